// Undo and redo of the document commands, as properties over seeded random command sequences: each
// undo gives back exactly the document (saved bytes, pages with cursor, panes' selections) that stood
// before its command, each redo the one after it.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "data/Clipboard.h"
#include "data/DocumentCommands.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapGlobal.h"
#include "data/UndoHistory.h"
#include "layout/Shapes.h"
#include "support/DocumentTestSupport.h"

namespace {

using doc_test::SjisCrLf;

struct Snapshot {
  std::string bytes;
  std::string pages;  // with the cursor
  const MBlockInstance* unplaced = nullptr;
  const MBlockInstance* trash = nullptr;
  std::string search;
  // The selection is compared under the same search only: the same-position mapping clears the
  // search, which is the pane's view and stays as it is on undo.
  bool operator==(const Snapshot& o) const {
    return bytes == o.bytes && pages == o.pages && trash == o.trash &&
           (search != o.search || unplaced == o.unplaced);
  }
};

void PrintTo(const Snapshot& s, std::ostream* out) {
  *out << "pages " << s.pages << " panes " << s.unplaced << " " << s.trash << "\n"
       << base::SjisToUtf8(s.bytes);
}

Snapshot Take() {
  return {PrepareSave().Bytes, doc_test::DumpPages(*gMapDB), gUnmapDB->Current(), gTrashDB->Current(),
          gUnmapDB->SearchText()};
}

class UndoHistory : public ::testing::TestWithParam<std::vector<std::vector<std::string>>> {
 protected:
  void SetUp() override {
    CreateDataGlobals();
    // "feature" blocks stand only where a grid says so: on some grids the pages refuse them.
    doc_test::WriteBytes(folder_ / "doc.lay", SjisCrLf(doc_test::GridLayoutText(GetParam())));
    std::string text =
        "[basic_info]\nlayout=doc.lay\n\n[block_field]\nitem,name,code,kana,biko\n\n[map_data]\n";
    for (int i = 1; i <= 9; ++i) text += "item,p" + std::to_string(i) + ",c" + std::to_string(i) + ",,\n";
    text += "newline\nfeature\nspace\nitem,p10,c10,,\n\n[form_data]\n2.title=second\n\n[unmap_data]\n";
    for (int i = 1; i <= 6; ++i) text += "item,u" + std::to_string(i) + ",c" + std::to_string(i) + ",,\n";
    text += "feature\n\n[trash_data]\nitem,t1,x1,,\nitem,t2,x2,,\n";
    doc_test::WriteBytes(folder_ / "doc.map", SjisCrLf(text));
    // The reference of the same-position mapping: keys of placed and unplaced blocks, and breaks.
    doc_test::WriteBytes(folder_ / "ref.map",
                         SjisCrLf("[basic_info]\nlayout=doc.lay\n\n[block_field]\nitem,code\n\n[map_data]\n"
                                  "item,c3\nitem,c1\nnewpage\nitem,c9\nitem,nothing\nitem,c2\n"));
    OpenDocument(folder_.SjisPath("doc.map"));
    ClearModified();
  }
  void TearDown() override { ReleaseDataGlobals(); }

  // One random change (or a move of the cursor or of a selection, which is no change).
  int RandomCommand(std::mt19937& random) {
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const int command = pick(16);
    switch (command) {
      case 0:
        InsertBlock(pick(2) ? "item" : "feature");
        break;
      case 1:
        InsertSpecial(std::vector<const char*>{"space", "newline", "newpage"}[pick(3)]);
        break;
      case 2:
        DeleteAtCursor();
        break;
      case 3:
        PlaceSelected(pick(2) ? MPane::Unmap : MPane::Trash);
        break;
      case 4:
        TrashSelected();
        break;
      case 5:
        DeleteSelectedForGood();
        break;
      case 6:
        MoveEntryToCursor(1 + pick(3), 1 + pick(3));
        break;
      case 7:
        AutoMapping();
        break;
      case 8:
        SameMapping(folder_.SjisPath("ref.map"));
        break;
      case 9:
        gMapDB->CopyEntry(clipboard_);
        PasteIntoPages(clipboard_);
        break;
      case 10:
        gMapDB->CopyEntry(clipboard_);
        PasteIntoUnplaced(clipboard_);
        break;
      case 11: {  // an edit in place: a placed block's memo, or a form text from the current page on
        double x = 0, y = 0;
        MRect bounds;
        if (gMapDB->Current()->IsBlock() && gMapDB->CurrentArea(x, y, bounds)) {
          // The memo "biko" stands at (0, 15) of the block.
          const MPageText text = gMapDB->TextAt(x + 1, y + 16);
          if (text != nullptr && text->Name == "biko")
            SetTextValue(text, "line " + std::to_string(pick(100)) + "\r\nmore\r\n");
        }
        break;
      }
      case 12: {
        // The form's first form text, "title" at (0, 0).
        if (const MPageText text = gMapDB->TextAt(1, 1); text != nullptr && text.IsFormText())
          SetTextValue(text, "t" + std::to_string(pick(100)) + "\r\n");
        break;
      }
      case 13:
        gMapDB->GoToPage(1 + pick(gMapDB->PageCount()));
        break;
      case 14:
        (pick(2) ? gUnmapDB->Select(pick(8)) : gTrashDB->Select(pick(4)));
        break;
      default:
        gMapDB->CursorNext();
        break;
    }
    return command;
  }

  doc_test::TempFolder folder_{"undo"};
  MMemoryClipboard clipboard_;
};

TEST_P(UndoHistory, RandomSequencesUndoAndRedoExactly) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    OpenDocument(folder_.SjisPath("doc.map"));
    ClearModified();
    // The search is the pane's view, not the document: undo keeps it, so it is set once per run.
    SetPaneSearch(MPane::Unmap, seed % 3 == 0 ? "u" : "");
    std::mt19937 random(seed);
    std::vector<std::pair<Snapshot, Snapshot>> steps;  // before and after each recorded command
    std::vector<int> commands;
    std::size_t savedAt = 0;  // steps done when the document was saved
    for (int i = 0; i < 30; ++i) {
      const Snapshot before = Take();
      const std::size_t stepsBefore = gUndo->StepCount();
      const int command = RandomCommand(random);
      if (i == 12) {
        SaveDocument();  // a save in the middle keeps the history
        savedAt = gUndo->StepCount();
      }
      if (gUndo->StepCount() != stepsBefore) {
        steps.emplace_back(before, Take());
        commands.push_back(command);
      }
    }
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
      ASSERT_TRUE(CanUndo());
      UndoChange();
      ASSERT_EQ(Take(), step->first) << "undoing step " << (steps.rend() - step) << ", command "
                                     << commands[static_cast<std::size_t>(steps.rend() - step - 1)];
      EXPECT_EQ(IsModified(), static_cast<std::size_t>(steps.rend() - step - 1) != savedAt);
    }
    EXPECT_FALSE(CanUndo());
    for (const auto& step : steps) {
      ASSERT_TRUE(CanRedo());
      RedoChange();
      ASSERT_EQ(Take(), step.second);
      EXPECT_EQ(IsModified(), static_cast<std::size_t>(&step - steps.data() + 1) != savedAt);
    }
    EXPECT_FALSE(CanRedo());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Grids, UndoHistory,
    ::testing::Values(std::vector<std::vector<std::string>>{{"all", "all", "all"}, {"all", "all", "all"}},
                      std::vector<std::vector<std::string>>{
                          {"item", "all", "item"}, {"item", "item", "item"}, {"all", "item", "all"}},
                      std::vector<std::vector<std::string>>{{"item", "item"}}));

}  // namespace
