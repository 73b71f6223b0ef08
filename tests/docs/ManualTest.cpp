// The manual and the starter layouts as a reader uses them: every layout the manual shows loads
// without a warning, every starter opens, imports its own records and saves back to its own bytes,
// and every command the manual and the README mark as runnable (```sh) runs, in order, in a copy of
// samples/, with the files the reader is asked to write (```lay NAME, ```csv NAME) written as asked.
#include <gtest/gtest.h>

#include <set>

#include "base/Sjis.h"
#include "data/CsvImport.h"
#include "data/DocumentCommands.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapFile.h"
#include "data/MapGlobal.h"
#include "docs/DocsSupport.h"
#include "layout/Layout.h"
#include "layout/LayoutCheck.h"
#include "layout/LoadLayout.h"
#include "layout/Shapes.h"
#include "support/DocumentTestSupport.h"

namespace {

using namespace docs_test;

// UTF-8 text as a Shift-JIS file with CR LF line ends, as the reader's editor saves a layout.
void WriteSjis(const fs::path& path, const std::string& utf8) {
  std::string bytes;
  for (const char c : base::Utf8ToSjis(utf8)) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  std::ofstream(path, std::ios::binary) << bytes;
}

// Loads a layout file; the loader's message and the warnings of --check-layout as failures.
void ExpectCleanLayout(const fs::path& path, const std::string& where) {
  MLayout layout;
  MLoadLayout loader(layout);
  ASSERT_TRUE(loader.Load(base::Utf8ToSjis(path.string())))
      << where << ": " << base::SjisToUtf8(loader.ErrorText);
  EXPECT_FALSE(layout.Forms.empty()) << where;
  for (const std::string& warning : LayoutWarnings(layout))
    ADD_FAILURE() << where << ": " << base::SjisToUtf8(warning);
}

std::vector<fs::path> SampleFiles(const std::string& extension) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(kSource / "samples"))
    if (entry.path().extension() == extension) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

TEST(Manual, EveryLayoutItShowsLoadsWithoutWarnings) {
  doc_test::TempFolder scratch("layouts");
  int count = 0;
  for (const fs::path& page : ManualPages()) {
    for (const CodeBlock& block : CodeBlocks(page)) {
      if (block.language != "lay") continue;
      const fs::path file = scratch / ("layout" + std::to_string(++count) + ".lay");
      WriteSjis(file, block.text);
      ExpectCleanLayout(file, block.Where());
    }
  }
  // The tutorial's, the reference's two, the quick start's at least: a count that cannot pass empty.
  EXPECT_GE(count, 4);
}

TEST(Samples, EveryStarterLayoutLoadsWithoutWarnings) {
  const std::vector<fs::path> layouts = SampleFiles(".lay");
  EXPECT_GE(layouts.size(), 5u) << "the catalogue and four starters";
  for (const fs::path& layout : layouts) ExpectCleanLayout(layout, fs::relative(layout, kSource).string());
}

// Each starter document opens with every block on a point that takes it and every picture there,
// saves back to its own bytes, and imports its own records with every column feeding a field.
TEST(Samples, EveryDocumentOpensSavesItsOwnBytesAndImportsItsRecords) {
  const std::vector<fs::path> documents = SampleFiles(".map");
  EXPECT_GE(documents.size(), 5u);
  EXPECT_EQ(SampleFiles(".csv").size(), 4u);
  doc_test::TempFolder program("program");
  for (const fs::path& document : documents) {
    SCOPED_TRACE(fs::relative(document, kSource).string());
    CreateDataGlobals((program / "tessora").string());
    const MCommandReport report = OpenDocument(base::Utf8ToSjis(document.string()));
    EXPECT_EQ(report.MovedToUnplaced, 0) << "every block has a grid point that takes it";
    EXPECT_GT(gMapDB->BlockCount(), 0);
    std::set<std::string> missing;
    const auto checkForm = [&missing](const MContainer& form) {
      for (const auto& child : form.Children) {
        const MImage* image = As<MImage>(child.get());
        if (image != nullptr && !image->Value.empty() && !fs::exists(base::SjisToUtf8(image->FileName)))
          missing.insert(base::SjisToUtf8(image->Value));
      }
    };
    const auto checkBlock = [&missing](const MBlockInstance& block) {
      const auto& children = block.Class().Children;
      for (std::size_t i = 0; i < children.size(); ++i) {
        if (children[i]->Kind() != MKind::Image || block.StoredValue(i).empty()) continue;
        if (!fs::exists(base::SjisToUtf8(block.ImageFileName(i))))
          missing.insert(base::SjisToUtf8(std::string(block.StoredValue(i))));
      }
    };
    for (int p = 0; p < gMapDB->PageCount(); ++p) {
      const MPage& page = *gMapDB->GetPage(p);
      checkForm(page.Form());
      for (int r = 1; r <= page.RowCount(); ++r)
        for (int c = 1; c <= page.PointCount(r); ++c)
          if (const MEntry* entry = page.EntryAt(r, c); entry != nullptr && entry->IsBlock())
            checkBlock(*entry->Block());
    }
    for (const auto& block : gUnmapDB->Entries()) checkBlock(*block);
    EXPECT_TRUE(missing.empty()) << "a picture is missing: " << *missing.begin();
    // The starters are written as the editor writes them: a save gives their bytes back.
    EXPECT_EQ(PrepareSave().Bytes, ReadText(document));

    const fs::path table = fs::path(document).replace_extension(".csv");
    if (fs::exists(table)) {
      ASSERT_EQ(gLayout->Blocks.size(), 1u);
      const MCsvImport import = PlanCsvImport(*gLayout, *gMapFile, gLayout->Blocks.front()->Name,
                                              ReadCsvTable(base::Utf8ToSjis(table.string())));
      EXPECT_TRUE(import.HasHeader);
      EXPECT_GT(import.RecordCount(), 0u);
      for (std::size_t c = 0; c < import.Columns.size(); ++c)
        EXPECT_GE(import.Columns[c], 0) << "column " << c + 1 << " feeds no field";
    }
    ReleaseDataGlobals();
  }
}

namespace {

// The script a reader's terminal session amounts to: the ```sh blocks of a file in order, and the
// files the reader is asked to write, written where the session stands when it comes to them.
std::string SessionScript(const fs::path& markdown, int& commands) {
  std::string script = "set -euo pipefail\n";
  for (const CodeBlock& block : CodeBlocks(markdown)) {
    if (block.language == "sh") {
      script += "# " + block.Where() + "\n" + block.text;
      ++commands;
    } else if (!block.name.empty()) {
      // Layouts are saved in Shift-JIS as the manual asks; CSV files as they are shown (UTF-8).
      const std::string target = block.name;
      const std::string convert = block.language == "lay" ? " | iconv -f UTF-8 -t CP932" : "";
      script += "# " + block.Where() + ": the reader writes " + target + "\n";
      script +=
          "cat <<'TESSORA_DOCS_END'" + convert + " > '" + target + "'\n" + block.text + "TESSORA_DOCS_END\n";
    }
  }
  return script;
}

}  // namespace

TEST(Manual, EveryCommandItMarksRunnableRuns) {
  std::vector<fs::path> files = ManualPages();
  files.push_back(kSource / "README.md");
  // Nothing may reach a print queue: lp and lpr refuse, and CUPS points nowhere.
  doc_test::TempFolder tools("tools");
  for (const char* name : {"lp", "lpr"}) {
    std::ofstream(tools / name) << "#!/bin/sh\necho \"" << name
                                << ": the documentation must not print\" >&2\nexit 1\n";
    fs::permissions(tools / name, fs::perms::owner_all);
  }
  int commands = 0;
  for (const fs::path& file : files) {
    int before = commands;
    const std::string script = SessionScript(file, commands);
    if (commands == before) continue;
    SCOPED_TRACE(file.filename().string());
    doc_test::TempFolder session("session");
    fs::copy(kSource / "samples", session / "samples", fs::copy_options::recursive);
    std::ofstream(session / "session.sh") << script;
    const fs::path home = session / "home";
    fs::create_directories(home);
    const test_support::ProgramResult r = test_support::RunProgram(
        "/bin/bash", {(session / "session.sh").string()}, session / "samples", session.Path(),
        {"DISPLAY", "WAYLAND_DISPLAY", "PRINTER", "LPDEST"},
        {"PATH=" + (kBuild / "bin").string() + ":" + tools.Path().string() + ":/usr/bin:/bin",
         "HOME=" + home.string(), "XDG_CONFIG_HOME=" + (home / ".config").string(),
         "XDG_DATA_HOME=" + (home / ".local/share").string(),
         "XDG_STATE_HOME=" + (home / ".local/state").string(), "CUPS_SERVER=/nonexistent/cups.sock",
         "QT_QPA_PLATFORM=offscreen", "LC_ALL=C.UTF-8"});
    EXPECT_EQ(r.status, 0) << "the session failed:\n"
                           << r.err << "\n--- standard output:\n"
                           << r.out << "\n--- the session:\n"
                           << script;
  }
  EXPECT_GE(commands, 10) << "the manual's runnable commands were not found";
}
