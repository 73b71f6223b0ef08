// The man pages and the Debian package as the tools that judge them see them: mandoc and man-db find
// nothing to warn about in the pages; the package built by CPack is clean for lintian and carries the
// manual, the starters, the compressed man pages and changelog; its syntax definition gives layout
// keywords, strings and comments formats of their own in KDE's highlighter; its MIME type makes a
// .lay file a kind of plain text.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "docs/DocsSupport.h"
#include "support/DocumentTestSupport.h"

namespace {

using namespace docs_test;
using test_support::ProgramResult;

const char* const kManPages[] = {"tessora.1", "tessora-barcode.1", "fanbor.1", "tessora-layout.5"};

ProgramResult RunTool(const std::string& program, const std::vector<std::string>& args,
                      const doc_test::TempFolder& scratch, const std::vector<std::string>& set = {}) {
  return test_support::RunProgram(program, args, scratch.Path(), scratch.Path(), {}, set);
}

// The package, built once for the tests of this file from the programs of this build.
class Package : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    scratch_ = new doc_test::TempFolder("package");
    const std::string cpack = Tool("cpack", "cmake");
    if (cpack.empty()) return;
    const ProgramResult r = RunTool(cpack,
                                    {"-G", "DEB", "--config", (kBuild / "CPackConfig.cmake").string(), "-B",
                                     (scratch_->Path() / "out").string()},
                                    *scratch_);
    buildLog_ = r.out + r.err;
    for (const auto& entry : fs::directory_iterator(scratch_->Path() / "out"))
      if (entry.path().extension() == ".deb") deb_ = entry.path();
    if (deb_.empty()) return;
    root_ = scratch_->Path() / "root";
    RunTool(Tool("dpkg-deb", "dpkg"), {"-x", deb_.string(), root_.string()}, *scratch_);
  }
  static void TearDownTestSuite() {
    delete scratch_;
    scratch_ = nullptr;
  }
  void SetUp() override { ASSERT_FALSE(deb_.empty()) << "CPack made no package:\n" << buildLog_; }

  static doc_test::TempFolder* scratch_;
  static std::string buildLog_;
  static fs::path deb_;
  static fs::path root_;  // the package's files, unpacked
};
doc_test::TempFolder* Package::scratch_ = nullptr;
std::string Package::buildLog_;
fs::path Package::deb_;
fs::path Package::root_;

}  // namespace

TEST(ManPages, MandocAndManFindNothingToWarnAbout) {
  const std::string mandoc = Tool("mandoc", "mandoc");
  const std::string man = Tool("man", "man-db");
  ASSERT_FALSE(mandoc.empty() || man.empty());
  doc_test::TempFolder scratch("man");
  for (const char* page : kManPages) {
    SCOPED_TRACE(page);
    const std::string path = (kSource / "docs/man" / page).string();
    ProgramResult r = RunTool(mandoc, {"-T", "lint", "-W", "all", path}, scratch);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out + r.err, "");
    r = RunTool(man, {"--warnings", "-E", "UTF-8", "-l", path}, scratch, {"MANWIDTH=80", "LC_ALL=C.UTF-8"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    // The page says what it is about in its NAME section.
    EXPECT_NE(r.out.find("NAME"), std::string::npos);
  }
}

TEST_F(Package, LintianFindsNothing) {
  const std::string lintian = Tool("lintian", "lintian");
  ASSERT_FALSE(lintian.empty());
  const ProgramResult r = RunTool(lintian, {"--fail-on", "error,warning", deb_.string()}, *scratch_);
  std::string findings;
  std::istringstream lines(r.out + r.err);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("E: ", 0) == 0 || line.rfind("W: ", 0) == 0) findings += line + "\n";
  EXPECT_EQ(findings, "");
  EXPECT_EQ(r.status, 0) << r.out << r.err;
}

TEST_F(Package, CarriesTheDocumentationCompressedAsPolicyAsks) {
  const fs::path doc = root_ / "usr/share/doc/tessora";
  for (const char* file : {"copyright", "changelog.gz", "manual/index.md", "manual/tutorial.md",
                           "manual/layout-language.md", "manual/quickstart-ja.md", "samples/catalog.lay",
                           "samples/address/address.lay", "samples/shelf/shelf.csv",
                           "samples/badge/badge.map", "samples/seat/seat.map", "samples/images/logo.png"})
    EXPECT_TRUE(fs::is_regular_file(doc / file)) << file;
  EXPECT_FALSE(fs::exists(doc / "samples/images/make_images.cpp")) << "sources are no documentation";
  // gzip -9n: no name and no time stamp in the header, so that every build gives the same bytes.
  std::vector<fs::path> compressed = {doc / "changelog.gz"};
  for (const char* page : kManPages) {
    const std::string name(page);
    compressed.push_back(root_ / "usr/share/man" / ("man" + name.substr(name.size() - 1)) / (name + ".gz"));
  }
  for (const fs::path& file : compressed) {
    SCOPED_TRACE(file.filename().string());
    const std::string bytes = ReadText(file);
    ASSERT_GE(bytes.size(), 10u);
    EXPECT_EQ(bytes.substr(0, 3), std::string("\x1f\x8b\x08", 3));
    EXPECT_EQ(bytes[3] & 0x08, 0) << "a file name is stored";
    EXPECT_EQ(bytes.substr(4, 4), std::string(4, '\0')) << "a time is stored";
    EXPECT_EQ(static_cast<unsigned char>(bytes[8]), 2u) << "not the best compression";
  }
  for (const char* file : {"usr/bin/tessora", "usr/bin/tessora-barcode", "usr/bin/fanbor",
                           "usr/share/mime/packages/tessora-layout.xml",
                           "usr/share/org.kde.syntax-highlighting/syntax/tessora-layout.xml"})
    EXPECT_TRUE(fs::is_regular_file(root_ / file)) << file;
}

namespace {

// The style of each highlighted piece of an HTML page of kate-syntax-highlighter, by its text.
std::map<std::string, std::string> StylesOfPieces(const std::string& html) {
  std::map<std::string, std::string> styles;
  static const std::regex span("<span style=\"([^\"]*)\">([^<]*)</span>");
  for (auto it = std::sregex_iterator(html.begin(), html.end(), span); it != std::sregex_iterator(); ++it)
    styles.emplace((*it)[2].str(), (*it)[1].str());
  return styles;
}

}  // namespace

TEST_F(Package, TheSyntaxDefinitionHighlightsLayouts) {
  const std::string highlighter = Tool("kate-syntax-highlighter", "libkf5syntaxhighlighting-tools");
  ASSERT_FALSE(highlighter.empty());
  // A layout as authors write them, in ASCII so that the pieces can be named here.
  const fs::path layout = scratch_->Path() / "sample.lay";
  std::ofstream(layout) << "/* price cards */\n"
                           "setting { default { font-size: 3.5; } }  // defaults\n"
                           "form sheet { grid-point { x: 10; y: 20; block-type: card; } }\n"
                           "block card { text name { width: 40; value: \"tea\"; } }\n";
  // Found by the file's extension through the definition the package installs.
  const ProgramResult r =
      RunTool(highlighter, {"-f", "html", layout.string()}, *scratch_,
              {"XDG_DATA_DIRS=" + (root_ / "usr/share").string() + ":/usr/share",
               "XDG_DATA_HOME=" + (scratch_->Path() / "none").string(), "QT_QPA_PLATFORM=offscreen"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Definition (Tessora Layout)"), std::string::npos) << r.out.substr(0, 600);
  const std::map<std::string, std::string> styles = StylesOfPieces(r.out);
  const auto style = [&styles](const std::string& piece) {
    const auto found = styles.find(piece);
    EXPECT_NE(found, styles.end()) << piece << " is not highlighted";
    return found != styles.end() ? found->second : std::string();
  };
  const std::string keyword = style("setting"), property = style("font-size"), value = style("3.5"),
                    string = style("&quot;tea&quot;"), comment = style("/* price cards */"),
                    lineComment = style("// defaults"), element = style("grid-point");
  EXPECT_EQ(style("block"), keyword);
  EXPECT_EQ(style("block-type"), property) << "a keyword with a hyphen is one word";
  EXPECT_EQ(lineComment, comment);
  const std::set<std::string> distinct{keyword, property, value, string, comment, element};
  EXPECT_EQ(distinct.size(), 6u)
      << "keywords, properties, numbers, strings, comments and elements look alike";
  EXPECT_EQ(styles.count("sheet"), 0u) << "names are plain text";
}

TEST_F(Package, LayoutFilesAreAKindOfPlainText) {
  const std::string update = Tool("update-mime-database", "shared-mime-info");
  const std::string mimetype = Tool("mimetype", "libfile-mimeinfo-perl");
  ASSERT_FALSE(update.empty() || mimetype.empty());
  // The package's MIME files in a database of their own.
  const fs::path mime = scratch_->Path() / "share/mime";
  fs::create_directories(mime / "packages");
  fs::copy_file(root_ / "usr/share/mime/packages/tessora-layout.xml", mime / "packages/tessora-layout.xml",
                fs::copy_options::overwrite_existing);
  ProgramResult r = RunTool(update, {mime.string()}, *scratch_);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(ReadText(mime / "subclasses").find("text/x-tessora-layout text/plain"), std::string::npos);

  const fs::path layout = scratch_->Path() / "shelf.lay";
  fs::copy_file(kSource / "samples/shelf/shelf.lay", layout, fs::copy_options::overwrite_existing);
  r = RunTool(mimetype, {"-b", layout.string()}, *scratch_,
              {"XDG_DATA_DIRS=" + (scratch_->Path() / "share").string() + ":/usr/share",
               "XDG_DATA_HOME=" + (scratch_->Path() / "none").string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "text/x-tessora-layout\n") << r.err;
}
