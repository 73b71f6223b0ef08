// Never losing work: a recovery copy of a changed document in the user's state folder, written from
// the event loop some time after a change (never while the user types), removed by a clean save or
// close, and offered back when the document is opened after a crash; and the question before a save
// over a file that another program changed.
#include <QTimer>

#include "app/window/MainWindow.h"
#include "data/DocumentCommands.h"
#include "data/MapFile.h"
#include "data/MapGlobal.h"
#include "data/MapIni.h"
#include "data/Recovery.h"
#include "render/MapCanvas.h"
#include "render/QtText.h"
#include "render/RenderGlobal.h"

namespace {
constexpr int kRecoveryDelay = 30000;  // milliseconds after a change
}

void TfmMain::ScheduleRecoveryCopy() {
  if (recoveryTimer_ == nullptr) {
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setObjectName("tmRecovery");
    recoveryTimer_->setSingleShot(true);
    connect(recoveryTimer_, &QTimer::timeout, this, [this] { WriteRecoveryCopyNow(); });
  }
  // A copy at most every so often: a running timer already covers this change.
  if (!recoveryTimer_->isActive()) recoveryTimer_->start(kRecoveryDelay);
}

bool TfmMain::RecoveryCopyPending() const { return recoveryTimer_ != nullptr && recoveryTimer_->isActive(); }

void TfmMain::WriteRecoveryCopyNow() {
  if (recoveryTimer_ != nullptr) recoveryTimer_->stop();
  if (!doc_.Open() || tempOpened_) return;
  // An untitled document has no file to name its copy after: the copy is this editor's own.
  const bool untitled = DocumentUntitled();
  const std::string path = doc_.File.FileName();
  if (!untitled && path.empty()) return;
  try {
    if (!IsModified()) {
      DropRecoveryCopyOf(path, untitled);  // undone back to what the file holds
    } else if (untitled) {
      WriteUntitledRecoveryCopy(DocumentFileText());
    } else {
      WriteRecoveryCopy(path, PrepareSave().Bytes);
    }
  } catch (const std::exception&) {
    // A copy that cannot be written must not interrupt the work; the next change tries again.
  }
}

void TfmMain::DropRecoveryCopy() {
  if (doc_.Open() && !tempOpened_)
    DropRecoveryCopyOf(doc_.File.FileName(), DocumentUntitled());
  else if (recoveryTimer_ != nullptr)
    recoveryTimer_->stop();
}

void TfmMain::DropRecoveryCopyOf(const std::string& path, bool untitled) {
  if (recoveryTimer_ != nullptr) recoveryTimer_->stop();
  if (untitled)
    RemoveUntitledRecoveryCopy();
  else if (!path.empty())
    RemoveRecoveryCopy(path);
}

bool TfmMain::OpenFile(const std::string& path, bool offerRecovery) {
  // The document before it was saved or its changes given up: its copy goes.
  DropRecoveryCopy();
  // Whatever came from the temporary folder before, this document has a file of its own.
  tempOpened_ = false;
  tempQuestionDue_ = false;
  const std::string fullPath = gIni->FullPath(path);
  std::string recovered;
  if (offerRecovery && FindRecoveryCopy(fullPath, recovered)) {
    if (Confirm("前回保存されなかった変更があります。復元しますか？")) {
      ResetDocument();
      const bool opened = Run([&] { ::OpenRecoveredDocument(fullPath, recovered); });
      if (!opened) ResetDocument();
      if (opened) {
        FinishOpen(fullPath);
        ScheduleRecoveryCopy();  // the recovered changes are unsaved changes again
      }
      return opened;
    }
    RemoveRecoveryCopy(fullPath);
  } else if (!offerRecovery) {
    RemoveRecoveryCopy(fullPath);
  }
  if (!OpenDocument(path)) return false;
  ClearModified();
  return true;
}

bool TfmMain::MayOverwriteChangedFile() {
  if (!DocumentChangedOnDisk()) return true;
  return Confirm("ファイルは他のプログラムによって変更されています。上書きしますか？");
}
