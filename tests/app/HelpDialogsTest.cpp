// The manual inside the program and the start panel of the window without a document: every page is
// compiled in, every link between pages (and to a heading) lands, links and buttons work by mouse and
// keys, and the panel asks the window through its signals.
#include <gtest/gtest.h>

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextFragment>

#include "app/dialogs/ManualDialog.h"
#include "app/dialogs/StartPanel.h"

namespace {

struct Link {
  QString href;
  int position = 0;  // in the document, inside the link's text
};

std::vector<Link> Links(const QTextDocument& document) {
  std::vector<Link> links;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (fragment.isValid() && fragment.charFormat().isAnchor() &&
          !fragment.charFormat().anchorHref().isEmpty())
        links.push_back({fragment.charFormat().anchorHref(), fragment.position() + fragment.length() / 2});
    }
  }
  return links;
}

QStringList AnchorNames(const QTextDocument& document) {
  QStringList names;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it) names << it.fragment().charFormat().anchorNames();
  return names;
}

// Clicks the link at a document position the way a reader does, in the browser's viewport.
void ClickAt(QTextBrowser& browser, int position) {
  QTextCursor cursor(browser.document());
  cursor.setPosition(position);
  browser.ensureCursorVisible();
  browser.setTextCursor(cursor);
  browser.ensureCursorVisible();
  const QPoint at = browser.cursorRect(cursor).center();
  QTest::mouseClick(browser.viewport(), Qt::LeftButton, {}, at);
}

QString PageName(const QUrl& url) { return url.fileName(); }

}  // namespace

TEST(ManualDialog, EveryPageOfDocsManualIsCompiledIn) {
  const QStringList onDisk =
      QDir(TESSORA_SOURCE_DIR "/docs/manual").entryList({"*.md"}, QDir::Files, QDir::Name);
  QStringList compiled = TdlgManual::Pages();
  EXPECT_EQ(compiled.front(), "index.md") << "the contents first";
  compiled.sort();
  EXPECT_EQ(compiled, onDisk);
  TdlgManual dialog;
  for (const QString& page : TdlgManual::Pages()) {
    dialog.OpenPage(page);
    EXPECT_EQ(PageName(dialog.CurrentPage()), page);
    // Markdown, not text: the page's title is a heading.
    const QTextBlock first = dialog.Browser()->document()->begin();
    EXPECT_EQ(first.blockFormat().headingLevel(), 1) << page.toStdString();
    EXPECT_FALSE(first.text().isEmpty());
  }
}

TEST(ManualDialog, EveryLinkLandsOnAPageAndHeadingThatExist) {
  TdlgManual dialog;
  QTextBrowser& browser = *dialog.Browser();
  const QStringList pages = TdlgManual::Pages();
  int internal = 0;
  for (const QString& page : pages) {
    dialog.OpenPage(page);
    for (const Link& link : Links(*browser.document())) {
      SCOPED_TRACE((page + " -> " + link.href).toStdString());
      const QUrl target = browser.source().resolved(QUrl(link.href));
      if (target.scheme() == "https" || target.scheme() == "http") continue;
      ++internal;
      ASSERT_EQ(target.scheme(), "qrc");
      ASSERT_TRUE(pages.contains(PageName(target)));
      if (!target.hasFragment()) continue;
      TdlgManual other(nullptr, PageName(target));
      EXPECT_TRUE(AnchorNames(*other.Browser()->document()).contains(target.fragment()))
          << "no heading gives the anchor " << target.fragment().toStdString();
    }
  }
  EXPECT_GT(internal, 40) << "the pages link to each other";
}

TEST(ManualDialog, LinksAndButtonsNavigateLikeABrowser) {
  TdlgManual dialog;
  dialog.resize(800, 700);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTextBrowser& browser = *dialog.Browser();
  auto* back = dialog.findChild<QPushButton*>("btnBack");
  auto* forward = dialog.findChild<QPushButton*>("btnForward");
  auto* contents = dialog.findChild<QPushButton*>("btnContents");
  ASSERT_TRUE(back && forward && contents);
  EXPECT_EQ(PageName(dialog.CurrentPage()), "index.md");
  EXPECT_FALSE(back->isEnabled());

  // A click on the contents' link to the tutorial.
  const std::vector<Link> links = Links(*browser.document());
  const auto tutorial =
      std::find_if(links.begin(), links.end(), [](const Link& l) { return l.href == "tutorial.md"; });
  ASSERT_NE(tutorial, links.end());
  ClickAt(browser, tutorial->position);
  EXPECT_EQ(PageName(dialog.CurrentPage()), "tutorial.md");
  EXPECT_NE(browser.toPlainText().indexOf("shelf labels"), -1);
  EXPECT_TRUE(back->isEnabled());

  QTest::mouseClick(back, Qt::LeftButton);
  EXPECT_EQ(PageName(dialog.CurrentPage()), "index.md");
  ASSERT_TRUE(forward->isEnabled());
  QTest::mouseClick(forward, Qt::LeftButton);
  EXPECT_EQ(PageName(dialog.CurrentPage()), "tutorial.md");
  QTest::mouseClick(contents, Qt::LeftButton);
  EXPECT_EQ(PageName(dialog.CurrentPage()), "index.md");

  // A link to a heading of a long page scrolls down to it.
  dialog.OpenPage("layout-language.md#the-barcode-element");
  QApplication::processEvents();
  EXPECT_GT(browser.verticalScrollBar()->value(), 0);
  dialog.OpenPage("layout-language.md");
  EXPECT_EQ(browser.verticalScrollBar()->value(), 0);

  for (QWidget* control : dialog.findChildren<QWidget*>()) {
    if (control->objectName().isEmpty() || control->objectName().startsWith("qt_")) continue;
    EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
  }
}

TEST(StartPanel, AsksTheWindowThroughItsSignals) {
  TStartPanel panel;
  panel.resize(900, 600);
  panel.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
  QSignalSpy open(&panel, &TStartPanel::openRequested);
  QSignalSpy create(&panel, &TStartPanel::newRequested);
  QSignalSpy manual(&panel, &TStartPanel::manualRequested);
  QSignalSpy recent(&panel, &TStartPanel::recentRequested);

  struct Button {
    const char* name;
    QSignalSpy* spy;
  };
  for (const Button& b :
       {Button{"btnStartNew", &create}, Button{"btnStartOpen", &open}, Button{"btnStartManual", &manual}}) {
    auto* button = panel.findChild<QPushButton*>(b.name);
    ASSERT_NE(button, nullptr) << b.name;
    EXPECT_FALSE(button->accessibleName().isEmpty());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(b.spy->count(), 1) << b.name;
  }
  // The keyboard: the panel starts on "new", Tab goes on to "open", Space presses it.
  panel.setFocus();
  EXPECT_EQ(QApplication::focusWidget(), panel.findChild<QPushButton*>("btnStartNew"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), panel.findChild<QPushButton*>("btnStartOpen"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  EXPECT_EQ(open.count(), 2);
  EXPECT_EQ(recent.count(), 0);
}

TEST(StartPanel, RecentFilesByNameWithTheirPaths) {
  TStartPanel panel;
  panel.resize(900, 600);
  panel.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
  auto* list = panel.findChild<QListWidget*>("lbxRecent");
  auto* none = panel.findChild<QWidget*>("lblNoRecent");
  ASSERT_TRUE(list && none);
  EXPECT_TRUE(list->isHidden()) << "no recent files yet";
  EXPECT_TRUE(none->isVisible());

  panel.SetRecentFiles({"/home/a/labels/shelf.map", "/srv/shop/棚札 & 値札.map"});
  EXPECT_TRUE(list->isVisible());
  EXPECT_TRUE(none->isHidden());
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(0)->text(), "shelf.map");
  EXPECT_EQ(list->item(1)->text(), "棚札 & 値札.map");
  EXPECT_EQ(list->item(1)->toolTip(), "/srv/shop/棚札 & 値札.map");

  QSignalSpy recent(&panel, &TStartPanel::recentRequested);
  // A double click on the second; Enter on the first, reached by the keys.
  const QRect second = list->visualItemRect(list->item(1));
  // A real double click: a click, then the second press that the system reports as a double click.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
  ASSERT_EQ(recent.count(), 1);
  EXPECT_EQ(recent.at(0).at(0).toString(), "/srv/shop/棚札 & 値札.map");
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Up);
  QTest::keyClick(list, Qt::Key_Return);
  ASSERT_EQ(recent.count(), 2);
  EXPECT_EQ(recent.at(1).at(0).toString(), "/home/a/labels/shelf.map");

  panel.SetRecentFiles({});
  EXPECT_EQ(list->count(), 0);
  EXPECT_TRUE(none->isVisible());
}
