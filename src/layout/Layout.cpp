#include "layout/Layout.h"

#include "base/Sjis.h"

std::unique_ptr<MLayout> gLayout;

MSetting::MSetting() : FontFamily(base::Utf8ToSjis("ＭＳ Ｐゴシック")) {}

void MSetting::Apply(MControl& element) const {
  element.StrokeWidth = StrokeWidth * Scale;
  if (MShape* shape = As<MShape>(&element)) shape->Align = Align;
  if (MText* text = As<MText>(&element)) {
    text->FontFamily = FontFamily;
    text->FontSize = FontSize * Scale;
    text->FontStyle = FontStyle;
  }
  if (MForm* form = As<MForm>(&element)) {
    form->SetWidth(PageWidth * Scale);
    form->SetHeight(PageHeight * Scale);
  }
}

void MLayout::Clear() {
  Forms.clear();
  Blocks.clear();
  Setting = MSetting();
}

MForm* MLayout::AddForm(std::unique_ptr<MForm> form) {
  Forms.push_back(std::move(form));
  return Forms.back().get();
}

MBlock* MLayout::AddBlock(std::unique_ptr<MBlock> block) {
  Blocks.push_back(std::move(block));
  return Blocks.back().get();
}

std::unique_ptr<MForm> MLayout::NewPageForm() const {
  if (Forms.empty()) return nullptr;
  return Forms.front()->Clone();
}

MBlock* MLayout::FindBlock(std::string_view className) const {
  for (const auto& block : Blocks) {
    if (block->Name == className) return block.get();
  }
  return nullptr;
}

void MLayout::RemoveEmptyRows() {
  for (const auto& form : Forms) form->Grid.RemoveEmptyRows();
}

void MLayout::AddEditableNames(std::string_view className, std::vector<std::string>& fieldRow) const {
  const MBlock* block = FindBlock(className);
  if (block == nullptr) return;
  for (const std::string& name : block->EditableNames()) {
    // Entry 0 is the class name, not a key: a text named like its class must still be added.
    bool present = false;
    for (std::size_t i = 1; i < fieldRow.size() && !present; ++i) present = base::SameText(fieldRow[i], name);
    if (!present) fieldRow.push_back(name);
  }
}
