// The document whose blocks share their class and whose pages share their form, against a
// straightforward model: random commands (blocks and breaks inserted, blocks moved between the pages
// and the lists, texts of blocks and form texts set, undo and redo) leave the pages, the lists and
// the form texts of every page as the model has them, and each page draws exactly the values of the
// blocks on it, also a block drawn while another block of its class is edited.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <variant>
#include <vector>

#include "data/DocumentCommands.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapGlobal.h"
#include "data/UndoHistory.h"
#include "layout/ElementCanvas.h"
#include "support/DocumentTestSupport.h"

namespace {

using doc_test::SjisCrLf;
using Row = std::vector<std::string>;

// A block as the model holds it: its saved row ("item", name, code, kana, biko or "feature", name).
using Block = Row;
// An entry of the pages: a block, or a special word.
using Entry = std::variant<Block, std::string>;

struct Model {
  std::vector<Entry> pages;
  std::vector<Block> unplaced, trash;
  // The form text "title" of each page: its value and whether it was set there.
  std::vector<std::pair<std::string, bool>> titles;
};

Row RowOf(const Entry& entry) {
  if (const Block* block = std::get_if<Block>(&entry)) return *block;
  return {std::get<std::string>(entry)};
}

std::vector<Row> Rows(const std::vector<Entry>& entries) {
  std::vector<Row> rows;
  for (const Entry& e : entries) rows.push_back(RowOf(e));
  return rows;
}

// What a canvas is asked to write: one line of text, or the lines of a memo joined by "|".
class TextRecorder : public MElementCanvas {
 public:
  std::uint8_t Mode() const override { return cmMapping; }
  bool DesignMode() const override { return false; }
  MRect GetClipRectUnits() const override { return {-1e9, -1e9, 1e9, 1e9}; }
  int ToPixels(double length) const override { return static_cast<int>(length); }
  void SetPen(const MPen&) override {}
  void SetPenStyle(std::uint8_t) override {}
  void SetBrush(const MBrush&) override {}
  void SetBrushStyle(std::uint8_t) override {}
  void SetFontColor(std::uint32_t) override {}
  void SetFontFace(std::string_view) override {}
  void SetFontHeight(int) override {}
  void SetFontStyle(bool, bool) override {}
  void MoveTo(double, double) override {}
  void LineTo(double, double) override {}
  void Rectangle(const MRect&) override {}
  void Ellipse(const MRect&) override {}
  void DrawTextFit(const MRect&, std::string_view text, int) override { texts.emplace_back(text); }
  void DrawMemoText(const MRect&, const std::vector<std::string>& lines) override {
    std::string joined;
    for (const std::string& line : lines) joined += line + "|";
    texts.push_back(joined);
  }
  bool DrawImageElement(MImage&) override { return false; }
  bool DrawBarcodeElement(const MBarcode&) override { return false; }
  void DrawGridPointMark(bool, double, double) override {}
  void DrawSpaceMark(bool, double, double) override {}
  void DrawNewLineMark(bool, double, double) override {}
  void DrawNewPageMark(bool, double, double) override {}
  void DrawEndMark(bool, double, double) override {}
  std::vector<std::string> texts;
};

// A memo's saved value ("a<br>b<br>") as its drawn lines ("a|b|").
std::string MemoLines(const std::string& saved) {
  std::string lines = saved;
  for (std::size_t at = lines.find("<br>"); at != std::string::npos; at = lines.find("<br>", at))
    lines.replace(at, 4, "|");
  if (!lines.empty() && lines.back() != '|') lines += '|';
  return lines;
}

class SharedStorage : public ::testing::TestWithParam<std::vector<std::vector<std::string>>> {
 protected:
  void SetUp() override {
    CreateDataGlobals();
    doc_test::WriteBytes(folder_ / "doc.lay", SjisCrLf(doc_test::GridLayoutText(GetParam())));
    std::string text =
        "[basic_info]\nlayout=doc.lay\n\n[block_field]\nitem,name,code,kana,biko\nfeature,name\n";
    text += "\n[form_data]\n1.title=first\n\n[map_data]\n";
    for (int i = 1; i <= 7; ++i)
      text += "item,p" + std::to_string(i) + ",c" + std::to_string(i) + ",k,m<br>\n";
    text += "newline\nfeature,f1\nspace\nitem,p8,c8,,\n\n[unmap_data]\n";
    for (int i = 1; i <= 5; ++i) text += "item,u" + std::to_string(i) + ",d" + std::to_string(i) + ",,\n";
    text += "\n[trash_data]\nitem,t1,x1,,\n";
    doc_test::WriteBytes(folder_ / "doc.map", SjisCrLf(text));
    OpenDocument(folder_.SjisPath("doc.map"));
    for (const auto& row : GetParam()) {
      for (const std::string& types : row)
        featuresTaken_ = featuresTaken_ || types == "all" || types == "feature";
    }
    // The model of the document as opened.
    MMapFile::Rows rows;
    gMapDB->SaveTo(rows);
    for (const Row& r : rows)
      model_.pages.push_back(r.size() == 1 && r[0] != "feature" ? Entry(r[0]) : Entry(r));
    rows.clear();
    gUnmapDB->SaveTo(rows);
    model_.unplaced = rows;
    rows.clear();
    gTrashDB->SaveTo(rows);
    model_.trash = rows;
    for (int p = 1; p <= gMapDB->PageCount(); ++p) model_.titles.emplace_back("first", p == 1);
  }
  void TearDown() override { ReleaseDataGlobals(); }

  // The document as the model has it.
  void ExpectAsModel() {
    MMapFile::Rows rows;
    gMapDB->SaveTo(rows);
    ASSERT_EQ(rows, Rows(model_.pages));
    rows.clear();
    gUnmapDB->SaveTo(rows);
    ASSERT_EQ(rows, model_.unplaced);
    rows.clear();
    gTrashDB->SaveTo(rows);
    ASSERT_EQ(rows, model_.trash);
    ASSERT_EQ(gMapDB->PageCount(), static_cast<int>(model_.titles.size()));
    for (int p = 1; p <= gMapDB->PageCount(); ++p) {
      MPage::TextState state;
      ASSERT_TRUE(gMapDB->GetPage(p - 1)->FormTextState("title", state));
      ASSERT_EQ(gMapDB->GetPage(p - 1)->FormText("title"), model_.titles[p - 1].first) << "page " << p;
      ASSERT_EQ(state.Explicit, model_.titles[p - 1].second) << "page " << p;
    }
  }

  // What the current page draws: its form's texts, then each block's texts in reading order, as the
  // model holds them.
  void ExpectDrawnAsModel() {
    const MPage& page = *gMapDB->ActivePage();
    TextRecorder drawn;
    page.Draw(drawn, 0, true);
    std::vector<std::string> expected{model_.titles[page.Number() - 1].first, ""};
    std::size_t index = 0;
    for (int p = 1; p < page.Number(); ++p)
      index += static_cast<std::size_t>(gMapDB->GetPage(p - 1)->EntryCount());
    for (int n = 0; n < page.EntryCount() && index < model_.pages.size(); ++n, ++index) {
      const Block* block = std::get_if<Block>(&model_.pages[index]);
      if (block == nullptr) continue;
      if ((*block)[0] == "feature") {
        expected.push_back(block->size() > 1 ? (*block)[1] : "F");
      } else {
        // name, kana, code, then the memo biko
        expected.insert(expected.end(), {(*block)[1], (*block)[3], (*block)[2], MemoLines((*block)[4])});
      }
    }
    ASSERT_EQ(drawn.texts, expected) << "page " << page.Number();
  }

  // The model takes in the pages' count: pages appended copy the last one's texts, not explicit.
  void FollowPageCount() {
    auto& titles = model_.titles;
    titles.resize(std::min(titles.size(), static_cast<std::size_t>(gMapDB->PageCount())));
    while (static_cast<int>(titles.size()) < gMapDB->PageCount())
      titles.emplace_back(titles.back().first, false);
  }

  // Inserts before index; a feature no point takes goes to the end of the unplaced list instead.
  void ModelInsert(std::size_t index, std::vector<Entry> entries) {
    std::vector<Entry> placed;
    for (Entry& e : entries) {
      const Block* block = std::get_if<Block>(&e);
      if (block != nullptr && (*block)[0] == "feature" && !featuresTaken_) {
        model_.unplaced.push_back(*block);
      } else {
        placed.push_back(std::move(e));
      }
    }
    model_.pages.insert(model_.pages.begin() + static_cast<std::ptrdiff_t>(index), placed.begin(),
                        placed.end());
  }

  static void InsertAtSelection(std::vector<Block>& list, int selection, Block block) {
    if (selection < 0) {
      list.push_back(std::move(block));
    } else {
      list.insert(list.begin() + selection, std::move(block));
    }
  }

  doc_test::TempFolder folder_{"shared"};
  Model model_;
  bool featuresTaken_ = false;
};

TEST_P(SharedStorage, RandomCommandsLeaveTheDocumentAsTheModel) {
  std::mt19937 rng(17);
  auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  std::vector<Model> states{model_};  // the model after each step of the undo history
  std::size_t applied = 0;
  ASSERT_NO_FATAL_FAILURE(ExpectAsModel());
  for (int step = 0; step < 1000; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    const int size = static_cast<int>(model_.pages.size());
    const int at = pick(size + 1);
    gMapDB->CursorToIndex(at);
    Model next = model_;
    std::swap(next, model_);  // the commands change model_; next keeps the state before
    const int command = pick(12);
    MCommandReport report;
    switch (command) {
      case 0: {
        const bool feature = pick(3) == 0;
        report = InsertBlock(feature ? "feature" : "item");
        ModelInsert(static_cast<std::size_t>(at),
                    {Entry(feature ? Block{"feature", "F"} : Block{"item", "?", "0", "", ""})});
        break;
      }
      case 1: {
        const std::string word =
            std::vector<std::string>{"space", "newline", "newpage"}[static_cast<std::size_t>(pick(3))];
        report = InsertSpecial(word);
        ModelInsert(static_cast<std::size_t>(at), {Entry(word)});
        break;
      }
      case 2: {
        if (at == size) break;
        const int selection = gUnmapDB->Selection();
        report = DeleteAtCursor();
        const Entry taken = model_.pages[static_cast<std::size_t>(at)];
        model_.pages.erase(model_.pages.begin() + at);
        if (const Block* block = std::get_if<Block>(&taken))
          InsertAtSelection(model_.unplaced, selection, *block);
        break;
      }
      case 3: {
        gUnmapDB->Select(pick(static_cast<int>(model_.unplaced.size()) + 1));
        const int selection = gUnmapDB->Selection();
        report = PlaceSelected(MPane::Unmap);
        if (selection < 0) break;
        Block block = model_.unplaced[static_cast<std::size_t>(selection)];
        model_.unplaced.erase(model_.unplaced.begin() + selection);
        ModelInsert(static_cast<std::size_t>(at), {Entry(std::move(block))});
        break;
      }
      case 4: {
        const int selection = gUnmapDB->Selection();
        const int trashSelection = gTrashDB->Selection();
        report = TrashSelected();
        if (selection < 0) break;
        Block block = model_.unplaced[static_cast<std::size_t>(selection)];
        model_.unplaced.erase(model_.unplaced.begin() + selection);
        InsertAtSelection(model_.trash, trashSelection, std::move(block));
        break;
      }
      case 5:
      case 6: {
        // The memo of a block of a page typed into, while another block of its class is drawn.
        gMapDB->GoToPage(1 + pick(gMapDB->PageCount()));
        const MPage& page = *gMapDB->ActivePage();
        std::vector<std::pair<int, int>> items;
        for (int r = 1; r <= page.RowCount(); ++r) {
          for (int c = 1; c <= page.PointCount(r); ++c) {
            const MEntry* e = page.EntryAt(r, c);
            if (e != nullptr && e->IsBlock() && e->Block()->Name() == "item") items.emplace_back(r, c);
          }
        }
        if (items.empty()) break;
        const auto [r, c] = items[static_cast<std::size_t>(pick(static_cast<int>(items.size())))];
        const auto [or_, oc] = items[static_cast<std::size_t>(pick(static_cast<int>(items.size())))];
        const MBlockInstance& other = *page.EntryAt(or_, oc)->Block();
        const std::unique_ptr<MBlock> drawnOther = other.Materialize();
        const std::string otherBefore = other.GetElementValue("biko");
        double x = 0, y = 0;
        MRect bounds;
        ASSERT_TRUE(page.EntryArea(r, c, x, y, bounds));
        const MPageText text = gMapDB->TextAt(x + 1, y + 16);  // the memo stands at (0, 15) of the block
        ASSERT_NE(text, nullptr);
        ASSERT_EQ(text->Name, "biko");
        const std::string value = "v" + std::to_string(step) + (pick(2) ? "\r\nline 2\r\n" : "");
        report = SetTextValue(text, value);
        int index = 0;
        for (int p = 1; p < page.Number(); ++p) index += gMapDB->GetPage(p - 1)->EntryCount();
        for (int rr = 1; rr <= page.RowCount(); ++rr) {
          for (int cc = 1; cc <= page.PointCount(rr); ++cc)
            index += (rr < r || (rr == r && cc < c)) && page.EntryAt(rr, cc) != nullptr;
        }
        const std::size_t lineEnd = value.find('\r');
        std::get<Block>(model_.pages[static_cast<std::size_t>(index)])[4] =
            lineEnd == std::string::npos ? value : value.substr(0, lineEnd) + "<br>line 2<br>";
        // The other block, and the tree it was drawn from, keep their values.
        if (!(or_ == r && oc == c)) {
          EXPECT_EQ(other.GetElementValue("biko"), otherBefore);
          EXPECT_EQ(
              LineBreaksToBreakTags(static_cast<const MText&>(*drawnOther->FindChild("biko")).GetText()),
              otherBefore);
        }
        break;
      }
      case 7: {
        // A form text typed into on a page: its value from that page on.
        const int page = 1 + pick(gMapDB->PageCount());
        gMapDB->GoToPage(page);
        const MPageText text = gMapDB->TextAt(1, 1);
        ASSERT_NE(text, nullptr);
        ASSERT_TRUE(text.IsFormText());
        const std::string value = "t" + std::to_string(step);
        report = SetTextValue(text, value + "\r\n");
        for (std::size_t p = static_cast<std::size_t>(page) - 1; p < model_.titles.size(); ++p)
          model_.titles[p] = {value, p + 1 == static_cast<std::size_t>(page)};
        break;
      }
      case 8: {
        std::vector<Entry> all(model_.unplaced.begin(), model_.unplaced.end());
        report = AutoMapping();
        model_.unplaced.clear();
        ModelInsert(static_cast<std::size_t>(at), std::move(all));
        break;
      }
      case 9:
      case 10: {
        std::swap(next, model_);  // no change of its own
        if (command == 9 && applied > 0) {
          UndoChange();
          model_ = states[--applied];
        } else if (command == 10 && applied + 1 < states.size()) {
          RedoChange();
          model_ = states[++applied];
        }
        ASSERT_NO_FATAL_FAILURE(ExpectAsModel());
        continue;
      }
      default:
        std::swap(next, model_);
        gUnmapDB->Select(pick(std::max(1, static_cast<int>(model_.unplaced.size()))));
        continue;
    }
    FollowPageCount();
    if (report.Recorded) {
      states.resize(applied + 1);
      states.push_back(model_);
      ++applied;
    } else {
      ASSERT_EQ(Rows(model_.pages), Rows(next.pages)) << "a command that records nothing changes nothing";
    }
    ASSERT_NO_FATAL_FAILURE(ExpectAsModel());
    ASSERT_NO_FATAL_FAILURE(ExpectDrawnAsModel());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Grids, SharedStorage,
    ::testing::Values(std::vector<std::vector<std::string>>{{"all", "all", "all"}, {"all", "all", "all"}},
                      std::vector<std::vector<std::string>>{{"item", "all", "item"}, {"item", "item"}},
                      std::vector<std::vector<std::string>>{{"item", "item"}}));

}  // namespace
