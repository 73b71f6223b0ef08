// A layout file through the tokenizer and the loader, and the model it gives through the operations
// that every document applies to it: copying pages and blocks, block values, flowing entries.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "layout/BlockInstance.h"
#include "layout/Containers.h"
#include "layout/Controls.h"
#include "layout/Form.h"
#include "layout/Grid.h"
#include "layout/Layout.h"
#include "layout/LoadLayout.h"
#include "layout/Page.h"
#include "layout/Scanner.h"
#include "layout/Specials.h"

namespace {

// Every token moves on by at least one byte, lines never go back, and the end is final.
void CheckTokens(const std::string& text) {
  MScanner scanner;
  scanner.OpenText("fuzz.lay", text);
  MToken token;
  std::int32_t lastLine = 1;
  std::size_t count = 0;
  while (true) {
    scanner.NextToken(token);
    FUZZ_CHECK(token.Kind < kTokenKindCount);
    if (token.Kind == tkEOF) break;
    FUZZ_CHECK(++count <= text.size());
    FUZZ_CHECK(token.Line >= lastLine);
    lastLine = token.Line;
    const char* spelling = TokenSpelling(token.Kind);
    if (spelling[0] != '\0') FUZZ_CHECK(token.Text.empty() || token.Text == spelling);
    if (token.Kind == tkNumber || token.Kind == tkIdent) FUZZ_CHECK(!token.Text.empty());
  }
  FUZZ_CHECK(token.Line == 0 && token.Text.empty());
  scanner.NextToken(token);
  FUZZ_CHECK(token.Kind == tkEOF);
}

// Writing what a block reads back gives the same values: the round trip of every saved document.
void CheckBlockValues(const MBlock& blockClass) {
  std::vector<std::string> fields{blockClass.Name};
  for (const auto& child : blockClass.Children) {
    if (fields.size() > 64) break;
    fields.push_back(child->Name);
    fields.push_back(child->Name + ".visible");
  }
  std::vector<std::string> saved;
  blockClass.NewInstance()->SaveValues(saved, &fields);
  FUZZ_CHECK(saved.size() == fields.size());
  std::unique_ptr<MBlockInstance> copy = blockClass.NewInstance();
  copy->LoadValues(saved, &fields);
  std::vector<std::string> again;
  copy->SaveValues(again, &fields);
  FUZZ_CHECK(again == saved);
  // A block loaded in bulk holds the same, and so does the tree it draws as.
  std::vector<std::string> bulk;
  MBlockInstance::Loader(blockClass, &fields).Load(saved)->SaveValues(bulk, &fields);
  FUZZ_CHECK(bulk == saved);
  FUZZ_CHECK(copy->Materialize()->Children.size() == blockClass.Children.size());
  (void)copy->FaceText();
  (void)copy->MatchesSearch("a");
  (void)copy->MatchesKeys(saved);
}

// Lays one of each block class and of each special entry over pages made from the first form, as
// the pages of a document are laid out, until everything has found a point or no page takes more.
void CheckFlow(const MLayout& layout) {
  MEntryQueue queue;
  for (std::size_t i = 0; i < layout.Blocks.size() && i < 16; ++i)
    queue.push_back(layout.Blocks[i]->NewInstance());
  for (const MKind kind : {MKind::Space, MKind::NewLine, MKind::NewPage, MKind::Space, MKind::EndOfData})
    queue.push_back(MEntry::Special(kind));
  const std::size_t entries = queue.size();

  MForm& form = *layout.Forms.front();
  std::vector<std::unique_ptr<MPage>> pages;
  for (int page = 0; page < 8 && !queue.empty(); ++page) {
    auto onPage = std::make_unique<MPage>(form, page + 1);
    int row = 1, position = 1, remaining = -1;
    const std::size_t before = queue.size();
    const bool done = onPage->FlowPage(row, position, remaining, queue);
    FUZZ_CHECK(done == queue.empty());
    pages.push_back(std::move(onPage));
    if (queue.size() == before) break;  // this page takes nothing: no other page will either
  }
  // Nothing is lost or duplicated on the way.
  std::size_t placed = 0;
  for (const auto& page : pages) {
    placed += static_cast<std::size_t>(page->EntryCount());
    int row = 0, position = 0;
    page->FindCursorPosition(form.Width / 2, form.Height / 2, row, position);
    (void)page->FindEditableText(form.Width / 3, form.Height / 3);
  }
  FUZZ_CHECK(placed + queue.size() == entries);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(fuzz::Bytes(data, size));
  CheckTokens(text);

  const std::string path = fuzz::Scratch().Write("fuzz.lay", text);
  MLayout layout;
  MLoadLayout loader(layout);
  const bool loaded = loader.Load(path);
  FUZZ_CHECK(loaded == loader.ErrorText.empty());
  if (!loaded) {
    layout.Clear();
    return 0;
  }
  for (const auto& form : layout.Forms) {
    std::unique_ptr<MForm> copy = form->Clone();
    FUZZ_CHECK(copy->Children.size() == form->Children.size());
    FUZZ_CHECK(copy->Grid.RowCount() == form->Grid.RowCount());
    copy->Translate(1.5, -2.5);
    MPage first(*form, 1), second(*form, 2);
    second.CopyFormTexts(first);
    for (const auto& child : form->Children) second.SetFormText(child->Name, "a\r\nb", true);
    std::vector<std::string> lines;
    second.WriteFormData(2, lines);
  }
  for (const auto& block : layout.Blocks) {
    CheckBlockValues(*block);
    std::vector<std::string> fields{block->Name};
    layout.AddEditableNames(block->Name, fields);
    FUZZ_CHECK(fields.size() == 1 + block->EditableNames().size());
  }
  if (layout.HasForms()) CheckFlow(layout);
  return 0;
}
