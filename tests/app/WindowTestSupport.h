// The real main window offscreen, with a small document of three pages: the fixture of the window
// tests. Message boxes and file dialogs are answered by the test.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <memory>

#include "app/AppGlobals.h"
#include "app/platform/ErrorBox.h"
#include "app/platform/ProgressDialog.h"
#include "app/window/MainWindow.h"
#include "base/Sjis.h"
#include "data/DocumentCommands.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapGlobal.h"
#include "data/MapIni.h"
#include "render/MapCanvas.h"
#include "render/RenderGlobal.h"
#include "support/DocumentTestSupport.h"

namespace window_test {

namespace fs = std::filesystem;
using doc_test::SjisCrLf;

// Answers each dialog as it shows, from the event loop it shows in (the progress dialog shows at the
// first report meanwhile).
class DialogAnswers : public QObject {
 public:
  explicit DialogAnswers(std::function<void(QDialog*)> answer)
      : answer_(std::move(answer)), delay_(MProgressDialog::SetShowDelayForTest(0)) {
    qApp->installEventFilter(this);
  }
  ~DialogAnswers() override { MProgressDialog::SetShowDelayForTest(delay_); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (event->type() == QEvent::Show && dialog != nullptr)
      QTimer::singleShot(0, dialog, [this, dialog] { answer_(dialog); });
    return false;
  }

 private:
  std::function<void(QDialog*)> answer_;
  int delay_;
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateGlobals();
    // The user's settings of this test only: never the real home, nothing left by another test.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(Config().string()));
    SetMessageHook([this](const QString& text, bool error) { messages_.push_back({text, error}); });
    // A document of 14 item blocks on a grid of two rows of three points: three pages.
    doc_test::WriteBytes(folder_ / "shop.lay",
                         SjisCrLf(doc_test::GridLayoutText({{"all", "all", "all"}, {"all", "all", "all"}})));
    std::string text =
        "[basic_info]\nlayout=shop.lay\n\n[block_field]\nitem,name,code,kana,biko\n\n[map_data]\n";
    for (int i = 1; i <= 14; ++i) text += "item,b" + std::to_string(i) + ",c" + std::to_string(i) + ",,\n";
    text +=
        "\n[unmap_data]\nitem,tea1,u1,,\nitem,cup,u2,,\nitem,tea2,u3,,\nitem,pot,u4,,\n\n[trash_data]\nitem,"
        "old,t1,,\n";
    doc_test::WriteBytes(folder_ / "shop.map", SjisCrLf(text));
  }
  void TearDown() override {
    window_.reset();
    SetMessageHook(nullptr);
    ReleaseGlobals();
  }

  TfmMain& Window(const QStringList& arguments = {}) {
    window_ = std::make_unique<TfmMain>(arguments, QString::fromStdString(folder_.Path().string()));
    window_->resize(1000, 700);
    window_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    window_->OpenStartFile();
    return *window_;
  }
  TfmMain& OpenShop() {
    TfmMain& w = Window();
    EXPECT_TRUE(w.OpenDocument(folder_.SjisPath("shop.map")));
    ClearModified();
    return w;
  }
  // Where the window keeps what it remembers between runs.
  fs::path Config() const { return folder_ / "config"; }
  template <class T>
  T* Find(const char* name) const {
    return window_->findChild<T*>(QString::fromLatin1(name));
  }
  QString Text(const char* name) const {
    if (auto* label = Find<QLabel>(name)) return label->text();
    if (auto* box = Find<QLineEdit>(name)) return box->text();
    if (auto* combo = Find<QComboBox>(name)) return combo->currentText();
    return "?";
  }
  // Which view-mode buttons are down, as "real", "all", "width" joined.
  QString ViewMode() const {
    QStringList down;
    for (const auto& [name, tag] :
         {std::pair{"miViewReal", "real"}, {"miViewAll", "all"}, {"miViewBaseW", "width"}}) {
      if (Find<QAction>(name)->isChecked()) down << tag;
    }
    return down.join(",");
  }
  // An item chosen as a person chooses it: its menu opened by a click on its title in the menu bar,
  // then a click on the item in the popup.
  void ChooseFromMenu(const char* item) {
    QMenuBar* bar = window_->menuBar();
    QAction* action = Find<QAction>(item);
    for (QAction* title : bar->actions()) {
      QMenu* menu = title->menu();
      if (menu == nullptr || !menu->actions().contains(action)) continue;
      QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(title).center());
      ASSERT_TRUE(menu->isVisible()) << item;
      QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(action).center());
      return;
    }
    ADD_FAILURE() << item << " stands in no menu";
  }
  void TypeZoom(const QString& text) {
    auto* box = Find<QComboBox>("cbxZoom");
    box->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), text);
    QTest::keyClick(box, Qt::Key_Return);
  }
  void TypePage(const QString& text) {
    auto* box = Find<QLineEdit>("edtNowPage");
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
  }

  doc_test::TempFolder folder_{"window"};
  std::unique_ptr<TfmMain> window_;
  std::vector<std::pair<QString, bool>> messages_;
};

}  // namespace window_test
