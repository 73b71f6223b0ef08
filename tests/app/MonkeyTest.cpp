// Random input on the real window offscreen ("monkey" testing): seeded bursts of a random user's
// actions on the bundled sample and on documents of other layouts. After each action the status bar
// tells the databases' counts and only the actions that make or destroy blocks change their number;
// after each burst a save read back by a second process lists the pages the window shows, and undoing
// everything gives the bytes of a save before the burst.
//
//   TESSORA_MONKEY_SEED=N      replays seed N alone
//   TESSORA_MONKEY_SECONDS=S   runs seeds from TESSORA_MONKEY_FIRST (default 1000) for S seconds
// Without either, a short smoke of a few seeds.
#include <QDialog>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>

#include "RandomUser.h"
#include "app/cli/BatchMode.h"
#include "data/UndoHistory.h"
#include "support/RunProgram.h"

namespace {

using window_test::BlockEffect;
namespace fs = std::filesystem;

// Documents of other layouts than the fixture's shop: grids whose points take only some block
// types (so that placements are refused), a second form, special entries, long columns.
struct GeneratedDocument {
  const char* name;
  std::vector<std::vector<std::string>> grid;
  const char* placed;  // entries of [map_data], ';' between them
  const char* unplaced;
  const char* trash;
};

const GeneratedDocument kDocuments[] = {
    {"shop", {}, "", "", ""},  // the fixture's own
    {"restricted",
     {{"item", "feature", "all"}, {"feature", "item,space", "item"}},
     "item,b1,c1,,;feature,F1;space;item,b2,c2,,memo;newline;feature,F2;item,b3,c3,,;newpage;item,b4,c4,,",
     "feature,F3;item,u1,u1,,;feature,F4;item,u2,u2,,",
     "item,t1,t1,,;feature,F5"},
    {"column",
     {{"item"}, {"item"}, {"item"}},
     "item,a,1,,;item,b,2,,;newpage;item,c,3,,;newline;space;item,d,4,,;item,e,5,,;item,f,6,,",
     "item,g,7,,;feature,nowhere",
     ""},
    {"wide",
     {{"all", "all", "all", "all", "all", "all"}},
     "feature,W1;item,x1,1,,;feature,W2;newline;newline;item,x2,2,,",
     "item,y,9,,",
     "item,z,8,,;item,z,8,,"},
};

// The pages and the counts as --batch --list prints them.
std::string ListPages() { return PageListing() + DocumentCounts(); }

int Blocks() { return gMapDB->Count() + gUnmapDB->Count() + gTrashDB->Count(); }

// The entries of a list, then up to 20 more of the seed's own (names that need quoting among them).
std::string Entries(const char* list, std::mt19937& random) {
  std::string out(list);
  for (char& c : out) {
    if (c == ';') c = '\n';
  }
  if (!out.empty()) out += '\n';
  static const char* const kEntries[] = {"item,\"緑茶, 100g\",%,,",
                                         "item,ｶﾅ%,%,かな,一行目<br>二行目",
                                         "feature,特集%",
                                         "item,%,%,,",
                                         "space",
                                         "newline",
                                         "newpage",
                                         "feature,\"\"\"\"%"};
  for (int i = static_cast<int>(random() % 21); i > 0; --i) {
    std::string entry = kEntries[random() % std::size(kEntries)];
    for (std::size_t at; (at = entry.find('%')) != std::string::npos;)
      entry.replace(at, 1, std::to_string(i));
    out += entry + '\n';
  }
  return out;
}

class Monkey : public window_test::WindowTest {
 protected:
  struct Totals {
    long actions = 0, bursts = 0, seeds = 0, added = 0, removed = 0, dialogs = 0;
  };

  // The document of a seed in a folder of its own; its path (UTF-8).
  fs::path WriteDocument(unsigned seed) {
    const fs::path dir = folder_ / ("seed" + std::to_string(seed));
    fs::create_directories(dir);
    const std::size_t kind = seed % (std::size(kDocuments) + 1);
    if (kind == std::size(kDocuments)) {  // the bundled sample
      const fs::path samples = fs::path(TESSORA_SOURCE_DIR) / "samples";
      fs::copy(samples, dir, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
      return dir / "catalog.map";
    }
    const GeneratedDocument& d = kDocuments[kind];
    std::mt19937 random(seed);
    if (d.grid.empty()) {
      fs::copy_file(folder_ / "shop.lay", dir / "shop.lay", fs::copy_options::overwrite_existing);
      fs::copy_file(folder_ / "shop.map", dir / "shop.map", fs::copy_options::overwrite_existing);
      return dir / "shop.map";
    }
    // A second form, which the pages do not use, and a reference for the same-position mapping.
    doc_test::WriteBytes(dir / "gen.lay",
                         doc_test::SjisCrLf(doc_test::GridLayoutText(d.grid) +
                                            "form back {\n  grid-point { x: 5; y: 5; }\n}\n"));
    const std::string head =
        "[basic_info]\nlayout=gen.lay\n\n[block_field]\nitem,name,code,kana,biko\nfeature,name\n\n";
    doc_test::WriteBytes(
        dir / (std::string(d.name) + ".map"),
        doc_test::SjisCrLf(head + "[form_data]\n1.title=見出し\n\n[map_data]\n" + Entries(d.placed, random) +
                           "\n[unmap_data]\n" + Entries(d.unplaced, random) + "\n[trash_data]\n" +
                           Entries(d.trash, random)));
    return dir / (std::string(d.name) + ".map");
  }

  // Runs one seed: a few bursts on its document. False (with the failure reported) when an
  // invariant broke.
  bool RunSeed(TfmMain& w, unsigned seed, Totals& totals) {
    const fs::path path = WriteDocument(seed);
    doc_test::WriteBytes(path.parent_path() / "ref.map", doc_test::ReadBytes(path));
    w.ChooseFileForTest = [ref = (path.parent_path() / "ref.map").string()](
                              bool, const QString&, const QString&) { return QString::fromStdString(ref); };
    window_test::RandomUser user(w, seed);
    w.ConfirmForTest = [&](const QString&) { return user.Pick(2) == 0; };
    w.AskSaveForTest = [] { return int(QMessageBox::No); };
    // Dialogs that show (the block class choice, progress) are answered as they come.
    const window_test::DialogAnswers answers([&](QDialog* d) {
      ++totals.dialogs;
      user.Note("dialog:" + d->objectName());
      if (d->objectName() != "dlgProgress") user.Pick(2) == 0 ? d->accept() : d->reject();
    });
    std::string where;
    const auto fail = [&](const std::string& what) {
      ADD_FAILURE() << "seed " << seed << " (" << path.filename().string() << ", " << where << "): " << what
                    << "\nreplay with TESSORA_MONKEY_SEED=" << seed << "\nactions: " << user.Log();
      return false;
    };
    const std::string sjisPath = base::Utf8ToSjis(path.string());
    ++totals.seeds;
    for (int burst = 1; burst <= 3; ++burst) {
      where = "burst " + std::to_string(burst);
      if (!w.OpenDocument(sjisPath)) return fail("the document did not open");
      ClearModified();
      user.Note("|open");
      const std::string before = PrepareSave().Bytes;
      int blocks = Blocks();
      for (int i = 10 + user.Pick(30); i > 0; --i) {
        const BlockEffect effect = user.Act();
        ++totals.actions;
        const int now = Blocks();
        if ((effect == BlockEffect::Keeps && now != blocks) ||
            (effect == BlockEffect::MayAdd && now < blocks) ||
            (effect == BlockEffect::MayRemove && now > blocks))
          return fail("the blocks went from " + std::to_string(blocks) + " to " + std::to_string(now));
        (now > blocks ? totals.added : totals.removed) += std::abs(now - blocks);
        blocks = now;
        if (QApplication::activeModalWidget() != nullptr) return fail("a dialog was left open");
        const QString counts = Text("StatusPanel1") + ' ' + Text("StatusPanel2") + ' ' + Text("StatusPanel3");
        const QString expected = QString("配置 : %1 未配置 : %2/%3 ごみ箱 : %4/%5")
                                     .arg(gMapDB->Count())
                                     .arg(gUnmapDB->VisibleCount())
                                     .arg(gUnmapDB->Count())
                                     .arg(gTrashDB->VisibleCount())
                                     .arg(gTrashDB->Count());
        if (counts != expected)
          return fail("the status bar says " + counts.toStdString() + ", not " + expected.toStdString());
      }
      user.Note("mapmode");
      w.ChangeEditMode(false);
      ++totals.bursts;
      // A second process reads the save back as the pages the window shows.
      if (!w.Save()) return fail("the save failed");
      const test_support::ProgramResult listed =
          test_support::RunProgram(test_support::TessoraProgram(), {"--batch", path.string(), "--list"},
                                   path.parent_path(), path.parent_path());
      if (listed.status != 0) return fail("--list failed: " + listed.err);
      if (listed.out != ListPages())
        return fail("--list read\n" + listed.out + "the window shows\n" + ListPages());
      for (int guard = 0; gUndo->CanUndo() && guard < 1000; ++guard) w.Undo();
      if (PrepareSave().Bytes != before)
        return fail("undoing everything did not give the bytes before the burst");
    }
    return true;
  }

  // Runs seeds as the environment asks, or the given ones; prints the figures.
  void RunSeeds(std::vector<unsigned> seeds) {
    double seconds = 0;
    if (const char* one = std::getenv("TESSORA_MONKEY_SEED"))
      seeds = {static_cast<unsigned>(std::atol(one))};
    else if (const char* s = std::getenv("TESSORA_MONKEY_SECONDS"))
      seconds = std::atof(s);
    const char* first = std::getenv("TESSORA_MONKEY_FIRST");
    unsigned next = first != nullptr ? static_cast<unsigned>(std::atol(first)) : 1000;
    TfmMain& w = Window();
    // Active, so that the focused control decides what copy and paste take, as for a user.
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    Totals totals;
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
      return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    for (std::size_t i = 0; seconds > 0 ? elapsed() < seconds : i < seeds.size(); ++i) {
      const unsigned seed = seconds > 0 ? next++ : seeds[i];
      if (seconds > 0) std::cerr << "monkey seed " << seed << " start" << std::endl;
      const long actions = totals.actions;
      const bool ok = RunSeed(w, seed, totals);
      if (seconds > 0)
        std::cerr << "monkey seed " << seed << (ok ? " ok " : " FAILED ") << totals.actions - actions
                  << " actions" << std::endl;
    }
    std::cout << "monkey: " << totals.seeds << " seeds, " << totals.bursts << " bursts, " << totals.actions
              << " actions, " << totals.added << " blocks made, " << totals.removed << " destroyed, "
              << totals.dialogs << " dialogs, " << messages_.size() << " messages, " << elapsed() << " s"
              << std::endl;
    // What the window said, most frequent first: a refusal is expected, a failure to save is not.
    std::map<QString, int> said;
    for (const auto& [text, error] : messages_) ++said[text.left(80)];
    std::vector<std::pair<int, QString>> order;
    for (const auto& [text, count] : said) order.push_back({-count, text});
    std::sort(order.begin(), order.end());
    for (std::size_t i = 0; i < order.size() && i < 8; ++i)
      std::cout << "  " << -order[i].first << "x " << order[i].second.toStdString() << std::endl;
  }
};

TEST_F(Monkey, RandomBurstsKeepTheDocumentSound) {
  // One seed for each document and the sample.
  RunSeeds({1, 2, 3, 4, 5});
}

}  // namespace
