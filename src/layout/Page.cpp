#include "layout/Page.h"

#include "base/Sjis.h"
#include "layout/BlockInstance.h"
#include "layout/ComputedText.h"
#include "layout/Shapes.h"

MPage::MPage(MForm& form, int number) : form_(&form), number_(number) {
  entries_.resize(static_cast<std::size_t>(form.Grid.TotalPointCount()));
  for (const auto& child : form.Children) {
    if (const MFormText* text = As<MFormText>(child.get())) texts_.push_back({text->Lines, false});
  }
}

MPage::~MPage() = default;

int MPage::Index(int row, int position) const {
  if (position < 1 || position > PointCount(row)) return -1;
  return Grid().RowStart(row) + position - 1;
}

const MEntry* MPage::EntryAt(int row, int position) const {
  const int index = Index(row, position);
  if (index < 0) return nullptr;
  const MEntry& entry = entries_[static_cast<std::size_t>(index)];
  return entry ? &entry : nullptr;
}

bool MPage::EntryArea(int row, int position, double& x, double& y, MRect& bounds) const {
  const MEntry* entry = EntryAt(row, position);
  if (entry == nullptr) return false;
  const MGridPoint& point = *PointAt(row, position);
  if (const MBlockInstance* block = entry->Block()) {
    const MBlock& cls = block->Class();
    x = cls.X1 + point.X1;
    y = cls.Y1 + point.Y1;
    bounds = cls.Bounds.Moved(point.X1, point.Y1);
  } else {
    x = point.X1;
    y = point.Y1;
    bounds = {x, y, x, y};
  }
  return true;
}

// ---- texts

MPageText MPage::FindEditableText(double x, double y) {
  if (const int i = form_->EditableTextAt(x, y); i >= 0) {
    const auto child = static_cast<std::size_t>(i);
    return MPageText(this, nullptr, child, PageTextElement(child));
  }
  for (int row = 1; row <= RowCount(); ++row) {
    for (int position = 1; position <= PointCount(row); ++position) {
      const MEntry* entry = EntryAt(row, position);
      MBlockInstance* block = entry != nullptr ? entry->Block() : nullptr;
      if (block == nullptr) continue;
      const MGridPoint& point = *PointAt(row, position);
      const int i = block->Class().EditableTextAt(x, y, point.X1, point.Y1);
      if (i < 0) continue;
      const auto child = static_cast<std::size_t>(i);
      std::unique_ptr<MText> element = static_cast<const MText&>(*block->Class().Children[child]).Clone();
      element->Lines = block->TextLines(child);
      element->Visible = block->ChildVisible(child);
      element->MoveBy(point);
      return MPageText(this, block, child, std::move(element));
    }
  }
  return nullptr;
}

std::unique_ptr<MText> MPage::PageTextElement(std::size_t child, std::size_t formText) const {
  const MText* text = As<MText>(form_->Children[child].get());
  if (text == nullptr) return nullptr;
  std::unique_ptr<MText> element = text->Clone();
  if (auto* onPage = As<MFormText>(element.get())) {
    if (formText == kCountFormTexts) {
      formText = 0;
      for (std::size_t i = 0; i < child; ++i) formText += As<MFormText>(form_->Children[i].get()) != nullptr;
    }
    onPage->Lines = texts_[formText].Lines;
    onPage->Explicit = texts_[formText].Explicit;
  }
  return element;
}

int MPage::TextIndex(std::string_view name) const {
  int k = 0;
  for (const auto& child : form_->Children) {
    if (As<MFormText>(child.get()) == nullptr) continue;
    if (child->Name == name) return k;
    ++k;
  }
  return -1;
}

void MPage::SetFormText(std::string_view name, std::string_view value, bool isExplicit) {
  std::size_t k = 0;
  for (const auto& child : form_->Children) {
    const MFormText* text = As<MFormText>(child.get());
    if (text == nullptr) continue;
    if (text->Name == name) {
      // As MText::SetText: every line of a memo, the first of any other text.
      TextState& state = texts_[k];
      state.Lines = base::SplitLines(value);
      if (text->DataType != dtMemo && state.Lines.size() > 1) state.Lines.resize(1);
      state.Explicit = isExplicit;
      return;
    }
    ++k;
  }
}

std::string MPage::FormText(std::string_view name) const {
  const auto& children = form_->Children;
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (children[i]->Name != name || As<MText>(children[i].get()) == nullptr) continue;
    const MPageScope scope(number_);
    return PageTextElement(i)->GetText();
  }
  return {};
}

void MPage::CopyFormTexts(const MPage& source) {
  const auto& children = source.form_->Children;
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (As<MText>(children[i].get()) == nullptr) continue;
    std::string value;
    {
      const MPageScope scope(source.number_);
      value = source.PageTextElement(i)->GetText();
    }
    SetFormText(children[i]->Name, value, false);
  }
}

void MPage::WriteFormData(int pageNumber, std::vector<std::string>& lines) const {
  const MPageScope scope(number_);
  const auto& children = form_->Children;
  for (std::size_t i = 0; i < children.size(); ++i) {
    const MFormText* text = As<MFormText>(children[i].get());
    if (text == nullptr) continue;
    const std::unique_ptr<MText> onPage = PageTextElement(i);
    if (!static_cast<const MFormText&>(*onPage).Explicit) continue;
    // A data line cannot hold a line break: memo values are written with "<br>", as block values are.
    lines.push_back(std::to_string(pageNumber) + "." + text->Name + "=" +
                    LineBreaksToBreakTags(onPage->GetText()));
  }
}

std::string MPage::FormTextFromData(std::string_view name, std::string_view dataValue) const {
  for (const auto& child : form_->Children) {
    const MFormText* text = As<MFormText>(child.get());
    if (text == nullptr || text->Name != name) continue;
    return text->DataType == dtMemo ? BreakTagsToLineBreaks(dataValue) : std::string(dataValue);
  }
  return std::string(dataValue);
}

std::vector<MPage::TextState> MPage::FormTextStates() const { return texts_; }

void MPage::RestoreFormTexts(const std::vector<TextState>& states) {
  for (std::size_t k = 0; k < texts_.size() && k < states.size(); ++k) texts_[k] = states[k];
}

bool MPage::FormTextState(std::string_view name, TextState& state) const {
  const int k = TextIndex(name);
  if (k < 0) return false;
  state = texts_[static_cast<std::size_t>(k)];
  return true;
}

void MPage::RestoreFormText(std::string_view name, const TextState& state) {
  const int k = TextIndex(name);
  if (k >= 0) texts_[static_cast<std::size_t>(k)] = state;
}
