// Printing on CUPS queues, against a private print server of the test's own: the batch mode's --print
// and --list-printers run as the program, and the window's print dialog driven as a user would. What
// the queues wrote is read back with pdfinfo and pdftotext (ASCII text only: the drivers draw the
// pages again through Ghostscript).
#include <cups/cups.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolBar>
#include <cmath>

#include "WindowTestSupport.h"
#include "app/platform/CupsQueues.h"
#include "support/CupsServer.h"
#include "support/RunProgram.h"

namespace {

namespace fs = std::filesystem;
using test_support::CupsDriver;
using test_support::CupsServer;
using test_support::PdfFacts;
using test_support::PdfInfo;
using test_support::PdfText;
using window_test::DialogAnswers;

const std::string kSample = TESSORA_SOURCE_DIR "/samples/catalog.map";
constexpr double kPointsPerMm = 72 / 25.4;

// A page of width x height millimetres, as pdfinfo shows it, within a point.
bool PageIs(const PdfFacts& facts, double widthMm, double heightMm) {
  return std::abs(facts.Width - widthMm * kPointsPerMm) <= 1 &&
         std::abs(facts.Height - heightMm * kPointsPerMm) <= 1;
}

std::string Shown(const PdfFacts& facts) {
  return std::to_string(facts.Pages) + " pages of " + std::to_string(facts.Width) + " x " +
         std::to_string(facts.Height) + " pt";
}

// Labels of 100 x 100 mm, one per page: three labels and the end of the data make four pages.
void WriteLabels(const fs::path& folder) {
  doc_test::WriteBytes(
      folder / "label.lay",
      doc_test::SjisCrLf("setting { print { width: 100; height: 100; } }\n"
                         "form page { box frame { x: 2; y: 2; width: 96; height: 96; }\n"
                         "  grid-point { x: 10; y: 10; } }\n"
                         "block label { width: 80; height: 80;\n"
                         "  text name { x: 0; y: 0; width: 80; height: 10; font-size: 6; } }\n"));
  doc_test::WriteBytes(folder / "label.map",
                       doc_test::SjisCrLf("[basic_info]\nlayout=label.lay\n\n[block_field]\nlabel,name\n\n"
                                          "[map_data]\nlabel,LabelA\nlabel,LabelB\nlabel,LabelC\n"));
}

class PrintQueues : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(cups_.Error(), "") << "the printing tests need a CUPS server of their own";
  }

  test_support::ProgramResult Tessora(const std::vector<std::string>& args) const {
    return test_support::RunProgram(test_support::TessoraProgram(), args, folder_.Path(), folder_.Path());
  }
  // What the queue printed once the server is done, as pdfinfo gives it.
  PdfFacts Printed(const std::string& queue) {
    EXPECT_TRUE(cups_.WaitForJobs()) << cups_.Error();
    const fs::path pdf = cups_.Printed(queue);
    EXPECT_FALSE(pdf.empty()) << queue << " printed nothing " << cups_.Error();
    return pdf.empty() ? PdfFacts{} : PdfInfo(pdf);
  }

  CupsServer cups_;
  doc_test::TempFolder folder_{"print"};
};

}  // namespace

// The paper a page asks of a queue: a named size within 1 mm either way round, turned for a wide
// page, or a custom size of the page as it stands; named sizes as CUPS knows them.
TEST(PrintPaper, NamedSizesWithinAMillimetreOtherwiseTheCustomPage) {
  const struct {
    int width, height;
    const char* media;
    bool landscape;
  } cases[] = {
      {210, 297, "iso_a4_210x297mm", false},        {297, 210, "iso_a4_210x297mm", true},
      {211, 298, "iso_a4_210x297mm", false},        {297, 420, "iso_a3_297x420mm", false},
      {148, 210, "iso_a5_148x210mm", false},        {364, 257, "jis_b4_257x364mm", true},
      {182, 257, "jis_b5_182x257mm", false},        {216, 279, "na_letter_8.5x11in", false},
      {100, 148, "jpn_hagaki_100x148mm", false},    {102, 152, "na_index-4x6_4x6in", false},
      {212, 297, "Custom.212x297mm", false},        {100, 100, "Custom.100x100mm", false},
      {150, 100, "om_small-photo_100x150mm", true}, {120, 80, "Custom.120x80mm", false},
      {176, 250, "Custom.176x250mm", false},
  };
  for (const auto& c : cases) {
    const MPaperRequest paper = PaperForPage(c.width, c.height);
    EXPECT_EQ(paper.Media, c.media) << c.width << " x " << c.height;
    EXPECT_EQ(paper.Landscape, c.landscape) << c.width << " x " << c.height;
    if (paper.Media.rfind("Custom.", 0) == 0) continue;
    const pwg_media_t* known = pwgMediaForPWG(paper.Media.c_str());
    ASSERT_NE(known, nullptr) << paper.Media;
    EXPECT_LE(std::abs(known->width - std::min(c.width, c.height) * 100), 100) << paper.Media;
    EXPECT_LE(std::abs(known->length - std::max(c.width, c.height) * 100), 100) << paper.Media;
  }
}

TEST_F(PrintQueues, TheBatchModeSendsThePagesWithTheirPaperAndCopies) {
  ASSERT_TRUE(cups_.AddQueue("pdf", CupsDriver::GenericPdf) && cups_.AddQueue("label", CupsDriver::CupsPdf))
      << cups_.Error();
  WriteLabels(folder_.Path());

  // Without a default queue, or with a queue that is not there, nothing is sent and nothing written.
  for (const char* queue : {"", "nosuch"}) {
    std::vector<std::string> args{"--batch", kSample, "--pdf", "out.pdf", "--print"};
    if (*queue != '\0') args.push_back(queue);
    const auto r = Tessora(args);
    EXPECT_EQ(r.status, 1) << queue;
    EXPECT_NE(
        r.err.find(*queue != '\0' ? "プリンター「nosuch」がありません" : "既定のプリンターがありません"),
        std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_FALSE(fs::exists(folder_ / "out.pdf"));
  EXPECT_EQ(cups_.JobsSeen(), 0);

  // The sample on the default queue: four A4 pages, turned onto the paper.
  ASSERT_TRUE(cups_.SetDefault("pdf")) << cups_.Error();
  auto r = Tessora({"--batch", kSample, "--print"});
  ASSERT_EQ(r.status, 0) << r.err;
  PdfFacts facts = Printed("pdf");
  EXPECT_EQ(facts.Pages, 4);
  EXPECT_TRUE(PageIs(facts, 210, 297) || PageIs(facts, 297, 210)) << Shown(facts);
  EXPECT_NE(PdfText(cups_.Printed("pdf"), 1, 1).find("101001"), std::string::npos);

  // Two collated copies of pages 2 and 3.
  cups_.ClearPrinted();
  r = Tessora({"--batch", kSample, "--print", "pdf", "--copies", "2", "--pages", "2-3"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Printed("pdf").Pages, 4);
  for (int page = 1; page <= 4; ++page) {
    const std::string text = PdfText(cups_.Printed("pdf"), page, page);
    EXPECT_NE(text.find(page % 2 == 1 ? "201001" : "301001"), std::string::npos) << "sheet " << page;
  }

  // A label of 100 x 100 mm arrives as that paper, unturned, on the driver that takes custom sizes.
  r = Tessora({"--batch", "label.map", "--print", "label", "--pages", "1-3"});
  ASSERT_EQ(r.status, 0) << r.err;
  facts = Printed("label");
  EXPECT_EQ(facts.Pages, 3);
  EXPECT_TRUE(PageIs(facts, 100, 100)) << Shown(facts);
  EXPECT_EQ(facts.Rotation, 0);

  // A queue that refuses jobs: the server's reason, no job, no file.
  ASSERT_TRUE(cups_.Reject("pdf", "paper jam")) << cups_.Error();
  const int jobs = cups_.JobsSeen();
  r = Tessora({"--batch", kSample, "--pdf", "out.pdf", "--print"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("プリンター「pdf」が印刷を受け付けませんでした"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("not accepting jobs"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(folder_ / "out.pdf"));
  EXPECT_EQ(cups_.JobsSeen(), jobs);

  // The queues as --list-printers shows them: name, default mark, state, paper.
  r = Tessora({"--list-printers"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("label - idle ", 0), 0u) << r.out;
  const std::size_t pdf = r.out.find("\npdf * rejecting ");
  ASSERT_NE(pdf, std::string::npos) << r.out;
  EXPECT_NE(r.out.find("iso_a4_210x297mm", pdf), std::string::npos);
  EXPECT_NE(r.out.substr(0, pdf).find("custom_min_"), std::string::npos) << "the custom sizes of CUPS-PDF";
}

namespace {

// The window's print command on the document of three pages of the window tests (b1 to b6 on the
// first page, b7 to b12 on the second, b13 and b14 on the third).
class PrintWindow : public window_test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_EQ(cups_.Error(), "") << "the printing tests need a CUPS server of their own";
    // libcups reads CUPS_SERVER once per process; an earlier test of this run had a server of its own.
    cupsSetServer(nullptr);
  }
  void TearDown() override {
    WindowTest::TearDown();
    cupsSetServer(nullptr);
  }
  // Prints through the dialog, answered by choose (which presses O K or キャンセル itself); other
  // dialogs are answered by other.
  void Print(const std::function<void(QDialog&)>& choose, const std::function<void(QDialog*)>& other = {}) {
    if (!window_->ChooseFileForTest) {
      window_->ChooseFileForTest = [](bool, const QString& title, const QString&) {
        ADD_FAILURE() << "a file was asked for: " << title.toStdString();
        return QString();
      };
    }
    const DialogAnswers answers([&](QDialog* d) {
      if (d->objectName() == "dlgPrint")
        choose(*d);
      else if (other)
        other(d);
    });
    ChooseFromMenu("miPrint");
  }
  template <class T>
  static T* In(QDialog& dialog, const char* name) {
    T* control = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  static QStringList Printers(QDialog& dialog) {
    QStringList items;
    auto* box = In<QComboBox>(dialog, "cbxPrinter");
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
  }
  static void Choose(QDialog& dialog, const QString& printer) {
    auto* box = In<QComboBox>(dialog, "cbxPrinter");
    box->setCurrentIndex(box->findText(printer, Qt::MatchStartsWith));
  }
  // A click on the radio button's circle: beyond its caption a radio button takes no click.
  static void Pick(QDialog& dialog, const char* name) {
    auto* button = In<QRadioButton>(dialog, name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    EXPECT_TRUE(button->isChecked()) << name;
  }
  static void Ok(QDialog& dialog) { QTest::mouseClick(In<QPushButton>(dialog, "btnOK"), Qt::LeftButton); }
  // The ASCII text of each sheet the queue printed.
  std::vector<std::string> Sheets(const std::string& queue) {
    std::vector<std::string> sheets;
    EXPECT_TRUE(cups_.WaitForJobs()) << cups_.Error();
    const fs::path pdf = cups_.Printed(queue);
    for (int page = 1; !pdf.empty() && page <= PdfInfo(pdf).Pages; ++page)
      sheets.push_back(PdfText(pdf, page, page));
    return sheets;
  }

  CupsServer cups_;
};

bool Shows(const std::string& sheet, const char* block) { return sheet.find(block) != std::string::npos; }

}  // namespace

TEST_F(PrintWindow, TheDialogListsTheQueuesAndPrintsWhatIsChosen) {
  ASSERT_TRUE(cups_.AddQueue("pdf", CupsDriver::GenericPdf) && cups_.AddQueue("label", CupsDriver::CupsPdf) &&
              cups_.SetDefault("pdf"))
      << cups_.Error();
  OpenShop();
  // As the dialog opens: the queues and the PDF file, the default queue chosen, page numbers 1 to 1,
  // one copy, not collated. Then pages 2 to 3, two copies.
  Print([&](QDialog& d) {
    EXPECT_EQ(Printers(d), QStringList({"label", "pdf (既定)", "PDFファイル"}));
    EXPECT_EQ(In<QComboBox>(d, "cbxPrinter")->currentText(), "pdf (既定)");
    EXPECT_TRUE(In<QLabel>(d, "lblNoPrinter")->isHidden());
    EXPECT_TRUE(In<QRadioButton>(d, "rbAllPages")->isChecked());
    EXPECT_EQ(In<QSpinBox>(d, "edtFromPage")->value(), 1);
    EXPECT_EQ(In<QSpinBox>(d, "edtToPage")->value(), 1);
    EXPECT_EQ(In<QSpinBox>(d, "edtToPage")->maximum(), 3);
    EXPECT_EQ(In<QSpinBox>(d, "edtCopies")->value(), 1);
    EXPECT_FALSE(In<QCheckBox>(d, "chkCollate")->isChecked());
    Pick(d, "rbPageRange");
    In<QSpinBox>(d, "edtToPage")->setValue(3);
    In<QSpinBox>(d, "edtFromPage")->setValue(2);
    In<QSpinBox>(d, "edtCopies")->setValue(2);
    Ok(d);
  });
  std::vector<std::string> sheets = Sheets("pdf");
  ASSERT_EQ(sheets.size(), 4u);
  // Not collated: each page twice in a row.
  EXPECT_TRUE(Shows(sheets[0], "b8") && Shows(sheets[1], "b8"));
  EXPECT_TRUE(Shows(sheets[2], "b13") && Shows(sheets[3], "b13"));

  // The selection: the page shown. The PDF file has no copies.
  cups_.ClearPrinted();
  TypePage("3");
  Print([&](QDialog& d) {
    Pick(d, "rbSelection");
    Choose(d, "PDFファイル");
    EXPECT_FALSE(In<QSpinBox>(d, "edtCopies")->isEnabled());
    Choose(d, "pdf");
    EXPECT_TRUE(In<QSpinBox>(d, "edtCopies")->isEnabled());
    Ok(d);
  });
  sheets = Sheets("pdf");
  ASSERT_EQ(sheets.size(), 1u);
  EXPECT_TRUE(Shows(sheets[0], "b13") && !Shows(sheets[0], "b8"));
  EXPECT_TRUE(messages_.empty());
}

TEST_F(PrintWindow, ARefusedOrCancelledPrintSendsNothing) {
  ASSERT_TRUE(cups_.AddQueue("pdf", CupsDriver::GenericPdf) &&
              cups_.AddQueue("spare", CupsDriver::GenericPdf) && cups_.SetDefault("pdf") &&
              cups_.Reject("pdf", "paper jam"))
      << cups_.Error();
  OpenShop();
  // The server's refusal, in Japanese, and the document as it was.
  Print(Ok);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0].second);
  EXPECT_TRUE(messages_[0].first.contains("プリンター「pdf」が印刷を受け付けませんでした"))
      << messages_[0].first.toStdString();
  EXPECT_TRUE(HasDocument());
  EXPECT_FALSE(IsModified());

  // Cancelled while the pages are drawn: no job reaches the server.
  int cancelled = 0;
  Print([](QDialog& d) { Choose(d, "spare"), Ok(d); },
        [&](QDialog* d) {
          if (d->objectName() == "dlgProgress" && ++cancelled)
            d->findChild<QPushButton*>("btnCancel")->click();
        });
  EXPECT_EQ(cancelled, 1);
  EXPECT_EQ(cups_.JobsSeen(), 0);
  EXPECT_EQ(messages_.size(), 1u) << "a cancel shows no box";

  // The same print not cancelled is one job of the three pages.
  Print([](QDialog& d) { Choose(d, "spare"), Ok(d); });
  EXPECT_EQ(Sheets("spare").size(), 3u);
  EXPECT_EQ(cups_.JobsSeen(), 1);
}

TEST_F(PrintWindow, WithoutQueuesTheDialogOffersThePdfFile) {
  OpenShop();
  window_->ChooseFileForTest = [this](bool save, const QString&, const QString&) {
    EXPECT_TRUE(save);
    return QString::fromStdString((folder_ / "printed.pdf").string());
  };
  Print([](QDialog& d) {
    EXPECT_EQ(Printers(d), QStringList({"PDFファイル"}));
    EXPECT_FALSE(In<QLabel>(d, "lblNoPrinter")->isHidden());
    Pick(d, "rbPageRange");
    Ok(d);
  });
  EXPECT_EQ(PdfInfo(folder_ / "printed.pdf").Pages, 1);
  EXPECT_TRUE(Shows(PdfText(folder_ / "printed.pdf"), "b1"));

  // The preview's print button closes it and opens the same dialog, not Qt's.
  bool asked = false;
  const DialogAnswers answers([&](QDialog* d) {
    if (d->objectName() == "dlgPrint") {
      asked = true;
      d->reject();
    } else if (d->objectName() == "dlgPrintPreview") {
      const QString print = QCoreApplication::translate("QPrintPreviewDialog", "Print");
      // Its print button in its tool bar, clicked.
      for (QToolBar* bar : d->findChildren<QToolBar*>())
        for (QAction* action : bar->actions())
          if (action->text() == print) QTest::mouseClick(bar->widgetForAction(action), Qt::LeftButton);
    }
  });
  ChooseFromMenu("miPrintPreview");
  EXPECT_TRUE(asked);
  EXPECT_TRUE(messages_.empty());
}
