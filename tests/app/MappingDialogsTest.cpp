// The two dialogs of the mapping commands on their own: the block class dialog and the about box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <tuple>
#include <vector>

#include "app/dialogs/SelectBlockDialog.h"
#include "app/dialogs/VersionDialog.h"
#include "base/Sjis.h"
#include "support/DocumentTestSupport.h"

namespace {

using doc_test::Sjis;

class MappingDialogs : public ::testing::Test {
 protected:
  doc_test::TempFolder folder_{"dialogs"};
};

}  // namespace

TEST_F(MappingDialogs, TheBlockClassDialog) {
  TdlgSelectBlock dialog({"item", "feature", "品目"});
  EXPECT_EQ(dialog.windowTitle(), "ブロッククラスの選択");
  EXPECT_EQ(dialog.size(), QSize(273, 219));
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "fixed size";
  EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
  auto* list = dialog.findChild<QListWidget*>("lbxBlocks");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->size(), QSize(177, 201));
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->item(2)->text(), "品目");
  EXPECT_EQ(dialog.SelectedIndex(), 0);
  auto* ok = dialog.findChild<QPushButton*>("btnOK");
  auto* cancel = dialog.findChild<QPushButton*>("btnCancel");
  ASSERT_TRUE(ok && cancel);
  EXPECT_EQ(ok->text(), "O K");
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(cancel->text(), "キャンセル");
  for (QWidget* control : std::initializer_list<QWidget*>{list, ok, cancel})
    EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
  list->setCurrentRow(2);
  EXPECT_EQ(dialog.SelectedIndex(), 2);
  list->clearSelection();
  EXPECT_EQ(dialog.SelectedIndex(), -1) << "no selection chooses nothing";
}

TEST_F(MappingDialogs, TheAboutBoxShowsTheVersionAndTheInformationFile) {
  const QString info = QString::fromStdString((folder_ / "tessora.info").string());
  {
    TdlgVersion dialog(nullptr, info);  // no file there yet
    EXPECT_EQ(dialog.windowTitle(), "バージョン情報");
    EXPECT_EQ(dialog.size(), QSize(473, 441));
    EXPECT_EQ(dialog.findChild<QPlainTextEdit*>("mmInfo")->toPlainText(),
              "マッピング作業が快適になることを願っています。");
    EXPECT_EQ(dialog.findChild<QLabel*>("lblAppName")->text(), "Tessora");
    // The project's version, major.minor and patch.tweak.
    QStringList parts = QString(TESSORA_PROJECT_VERSION).split('.');
    while (parts.size() < 4) parts << "0";
    EXPECT_EQ(dialog.findChild<QLabel*>("lblVersion")->text(), parts[0] + "." + parts[1]);
    EXPECT_EQ(dialog.findChild<QLabel*>("lblBuild")->text(), parts[2] + "." + parts[3]);
    auto* picture = dialog.findChild<QLabel*>("imgAbout");
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->pixmap().isNull());
    for (QWidget* control : dialog.findChildren<QWidget*>()) {
      if (control->objectName().startsWith("qt_")) continue;
      if (!control->objectName().isEmpty()) {
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
      }
    }
  }

  std::string lines;
  for (int i = 1; i <= 60; ++i) lines += "行 " + std::to_string(i) + " の説明\r\n";
  doc_test::WriteBytes(folder_ / "tessora.info", Sjis(lines));
  TdlgVersion dialog(nullptr, info);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  auto* memo = dialog.findChild<QPlainTextEdit*>("mmInfo");
  const QStringList shown = memo->toPlainText().split('\n');
  ASSERT_EQ(shown.size(), 60);
  EXPECT_EQ(shown[0], "行 1 の説明");
  EXPECT_EQ(shown[59], "行 60 の説明");
  EXPECT_TRUE(memo->font().fixedPitch());

  // The memo passes the focus on to OK.
  memo->setFocus();
  EXPECT_EQ(QApplication::focusWidget(), dialog.findChild<QPushButton*>("btnOK"));

  // The wheel anywhere scrolls the memo one line: up for a positive value, down otherwise.
  QScrollBar* bar = memo->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 3);
  const auto wheel = [&](QWidget* target, int delta) {
    QWheelEvent event(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
  };
  QWidget* label = dialog.findChild<QLabel*>("lblAppName");
  const std::vector<std::tuple<QWidget*, int, int>> steps = {{label, -120, 1},
                                                             {memo->viewport(), -120, 2},
                                                             {&dialog, -360, 3},
                                                             {label, 120, 2},
                                                             {memo->viewport(), 0, 3}};
  for (const auto& [target, delta, line] : steps) {
    wheel(target, delta);
    EXPECT_EQ(bar->value(), line) << target->objectName().toStdString() << " " << delta;
  }
}
