// Where work begins: a new document from a layout (ファイル > 新規作成), the start panel the window
// shows while no document is open, the copies of untitled documents an earlier editor left, and the
// manual (その他 > マニュアル).
#include <QAction>
#include <QStackedWidget>

#include "app/dialogs/ManualDialog.h"
#include "app/dialogs/StartPanel.h"
#include "app/platform/ErrorBox.h"
#include "app/widgets/PageView.h"
#include "app/window/MainWindow.h"
#include "data/DocumentCommands.h"
#include "data/MapFile.h"
#include "data/Recovery.h"
#include "render/QtText.h"

void TfmMain::New() {
  CommitEdit();
  if (!QuerySave()) return;
  const QString chosen =
      ChooseFile(false, QStringLiteral("レイアウトファイルの選択"), QString(), MFileKind::Layout);
  if (chosen.isEmpty()) return;
  // The layout is loaded before anything changes: one that does not load leaves the open document.
  const std::string previous = doc_.File.FileName();
  const bool previousUntitled = DocumentUntitled();
  try {
    ::NewDocument(ToSjis(chosen));
  } catch (const MLayoutLoadError& error) {
    ShowMessage(this, FromSjis(error.what()));
    return;
  } catch (const std::exception& error) {
    ShowErrorBox(this, error);
    return;
  }
  // The document before was saved or its changes given up at the question: its copy goes.
  DropRecoveryCopyOf(previous, previousUntitled);
  tempOpened_ = false;
  tempQuestionDue_ = false;
  FinishOpen({});
}

void TfmMain::OfferUntitledRecovery() {
  // Copies that editors which ended without saving left behind, newest first: the first one taken is
  // opened, every one declined is dropped.
  for (const MRecoveryCopy& copy : FindUntitledRecoveryCopies()) {
    if (!Confirm("前回保存されなかった変更があります。復元しますか？")) {
      RemoveRecoveryFile(copy.Path);
      continue;
    }
    if (!Run([&] { ::OpenRecoveredUntitled(copy.Bytes); })) {
      ResetDocument();
      return;
    }
    RemoveRecoveryFile(copy.Path);
    FinishOpen({});
    ScheduleRecoveryCopy();  // the recovered changes are unsaved changes again
    return;
  }
}

void TfmMain::ShowManual() {
  if (manual_ == nullptr) manual_ = new TdlgManual(this);
  manual_->show();
  manual_->raise();
  manual_->activateWindow();
}

void TfmMain::ConnectStartPanel() {
  connect(startPanel_, &TStartPanel::openRequested, this, [this] { Open(); });
  connect(startPanel_, &TStartPanel::newRequested, this, [this] { New(); });
  connect(startPanel_, &TStartPanel::manualRequested, this, [this] { ShowManual(); });
  connect(startPanel_, &TStartPanel::recentRequested, this, [this](const QString& path) {
    const int index = recent_.Files().indexOf(path);
    if (index >= 0) OpenRecent(index);
  });
}

void TfmMain::ShowStartPanel(bool show) {
  centre_->setCurrentWidget(show ? static_cast<QWidget*>(startPanel_) : static_cast<QWidget*>(pageView_));
}
