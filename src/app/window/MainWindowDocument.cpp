// The window as far as documents go: start-up and the command line, opening, saving, the close
// question, the no-document state and the reload of design mode.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScopedValueRollback>
#include <QSlider>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolButton>
#include <exception>
#include <filesystem>

#include "app/platform/ErrorBox.h"
#include "app/platform/ProgressDialog.h"
#include "app/widgets/ListPane.h"
#include "app/widgets/PageView.h"
#include "app/window/MainWindow.h"
#include "base/Error.h"
#include "base/Progress.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapFile.h"
#include "data/MapGlobal.h"
#include "data/MapIni.h"
#include "data/Recovery.h"
#include "layout/Layout.h"
#include "render/ListCanvas.h"
#include "render/MapCanvas.h"
#include "render/QtText.h"
#include "render/RenderGlobal.h"

namespace {

const QString kTitle = QStringLiteral("Tessora");
const QString kFilter = QStringLiteral("Mapping Data (*.map)");
const QString kPdfFilter = QStringLiteral("PDF (*.pdf)");
const QString kLayoutFilter = QStringLiteral("Layout (*.lay)");

// The file name part of a Shift-JIS path, for the caption.
QString FileNamePart(const std::string& path) { return QFileInfo(FromSjis(path)).fileName(); }

// A name that stays inside the temporary folder: not empty, no separator, not "." or "..".
bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\\') == std::string::npos;
}

}  // namespace

TfmMain::TfmMain(const QStringList& arguments, const QString& startFolder, QWidget* parent)
    : QMainWindow(parent), doc_(MDocumentContext::FromGlobals()), startFolder_(startFolder) {
  setObjectName(QStringLiteral("fmMain"));
  setWindowTitle(kTitle);
  BuildActions();
  BuildMenus();
  BuildToolBars();
  BuildCentre();
  BuildStatusBar();
  ConnectViews();
  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          [this](Qt::ApplicationState state) { ApplicationStateChanged(state); });
  ParseCommandLine(arguments);
  ClipboardChanged();
  ResetDocument();
  dialogFolder_ = FromSjis(gIni->MapFolder());
  // The keys go to the page from the start, not to the first box of the tool bar.
  pageView_->Panel()->setFocus();
  FocusChanged(focusWidget());
}

TfmMain::~TfmMain() {
  // The controls go after this: what they report while they go (focus moving on, the editor
  // closing) must not reach a window that is no more.
  QObject::disconnect(qApp, nullptr, this, nullptr);
  if (QClipboard* clipboard = QGuiApplication::clipboard())
    QObject::disconnect(clipboard, nullptr, this, nullptr);
  for (QObject* view : {static_cast<QObject*>(pageView_), static_cast<QObject*>(unmapPane_),
                        static_cast<QObject*>(trashPane_)})
    view->disconnect(this);
}

void TfmMain::ParseCommandLine(const QStringList& arguments) {
  for (const QString& argument : arguments) {
    if (argument == "-d") {
      for (MBaseCanvas* canvas :
           {static_cast<MBaseCanvas*>(&doc_.PageCanvas), static_cast<MBaseCanvas*>(&doc_.UnmapCanvas),
            static_cast<MBaseCanvas*>(&doc_.TrashCanvas)})
        canvas->SetDesignMode(true);
    } else if (argument == "-t") {
      tempOpened_ = true;
      tempQuestionDue_ = true;
    } else {
      startFileName_ = ToSjis(argument);  // a later one replaces an earlier one
    }
  }
}

std::string TfmMain::StartPath(const std::string& argument) const {
  // Relative names are taken in the program folder; a terminal user means the folder they started
  // from, so that one is used when only it holds the file.
  const std::string inProgramFolder = gIni->FullPath(argument);
  if (QFileInfo::exists(FromSjis(inProgramFolder)) || startFolder_.isEmpty() ||
      QFileInfo(FromSjis(argument)).isAbsolute())
    return inProgramFolder;
  const QString inStartFolder = QDir(startFolder_).absoluteFilePath(FromSjis(argument));
  return QFileInfo::exists(inStartFolder) ? ToSjis(QDir::cleanPath(inStartFolder)) : inProgramFolder;
}

void TfmMain::OpenStartFile() {
  if (startFileName_.empty()) {
    OfferUntitledRecovery();
    return;
  }
  if (tempOpened_) {
    if (!IsPlainFileName(startFileName_)) {
      ShowErrorBox(this,
                   base::Error(ToSjis(
                       QString("一時フォルダのファイル名ではありません: %1").arg(FromSjis(startFileName_)))));
      return;
    }
    const std::string path = gIni->TempFolder() + "/" + startFileName_;
    OpenDocument(path);
    std::error_code ignored;
    std::filesystem::remove(FromSjis(path).toStdString(), ignored);
    return;
  }
  OpenFile(StartPath(startFileName_));
}

void TfmMain::ResetDocument() {
  ::ResetDocument();
  ShowDocumentState();
  setWindowTitle(kTitle);
}

bool TfmMain::OpenDocument(const std::string& path) {
  ResetDocument();
  bool opened = false;
  try {
    const QScopedValueRollback busy(working_, true);
    MProgressDialog progress(this, "文書を開いています...");
    const base::ProgressScope scope(progress);
    ::OpenDocument(path);
    opened = true;
  } catch (const base::Cancelled&) {
    // The user stopped it: no box, the window is as without a document.
  } catch (const MLayoutLoadError& error) {
    // The loader's message, as it is, in a plain box.
    ShowMessage(this, FromSjis(error.what()));
  } catch (const std::exception& error) {
    ShowErrorBox(this, error);
  }
  if (!opened) {
    ResetDocument();
    return false;
  }
  FinishOpen(path);
  return true;
}

void TfmMain::FinishOpen(const std::string& path) {
  // A temporary document is deleted once read: nothing to open again later. An untitled one has no
  // file yet.
  if (DocumentUntitled()) {
    setWindowTitle(QString("%1 - [無題]").arg(kTitle));
  } else if (!tempOpened_) {
    setWindowTitle(QString("%1 - [%2]").arg(kTitle, FileNamePart(path)));
    RememberRecent(doc_.File.FileName());
  }
  ShowDocumentState();
  startView_.reset();
  // The keys go to the page, where the work on the document begins.
  pageView_->Panel()->setFocus();
  FocusChanged(focusWidget());
  pageView_->UpdateCaret();
}

void TfmMain::ShowDocumentState() {
  pageView_->DocumentChanged();
  for (MListPane* pane : {unmapPane_, trashPane_}) pane->DocumentChanged();
  ApplyDocumentView();
  ShowStartPanel(!doc_.Open());
  UpdatePageIndicator(true);
  UpdateStatusBar();
  UpdateActions();
}

QString TfmMain::ChooseFile(bool save, const QString& title, const QString& proposed, MFileKind kind) {
  if (ChooseFileForTest) return ChooseFileForTest(save, title, proposed);
  QFileDialog dialog(this, title, proposed.isEmpty() ? dialogFolder_ : proposed,
                     kind == MFileKind::Pdf      ? kPdfFilter
                     : kind == MFileKind::Layout ? kLayoutFilter
                                                 : kFilter);
  dialog.setObjectName(kind == MFileKind::Folder ? "dlgFolder" : save ? "dlgSave" : "dlgOpen");
  dialog.setAccessibleName(title);
  dialog.setDefaultSuffix(kind == MFileKind::Pdf ? "pdf" : kind == MFileKind::Layout ? "lay" : "map");
  dialog.setAcceptMode(save && kind != MFileKind::Folder ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(kind == MFileKind::Folder ? QFileDialog::Directory
                     : save                    ? QFileDialog::AnyFile
                                               : QFileDialog::ExistingFile);
  if (kind == MFileKind::Folder) dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

void TfmMain::Open() {
  CommitEdit();
  if (!QuerySave()) return;
  const QString chosen = ChooseFile(false, QString(), QString());
  if (chosen.isEmpty()) return;
  OpenFile(ToSjis(chosen));
}

void TfmMain::OpenNamed(const QString& path) {
  CommitEdit();
  if (!QuerySave()) return;
  OpenFile(ToSjis(path));
}

bool TfmMain::Save() {
  if (!doc_.Open()) return false;
  CommitEdit();
  if (tempOpened_ || doc_.File.FileName().empty()) return SaveAs();
  if (!MayOverwriteChangedFile()) return false;
  const bool saved = Run([] { ::SaveDocument(); });
  if (saved) {
    RememberRecent(doc_.File.FileName());
    DropRecoveryCopy();
  }
  dialogFolder_ = QFileInfo(FromSjis(doc_.File.FileName())).absolutePath();
  doc_.PageCanvas.Invalidate();  // texts that show the file's date change
  UpdateActions();
  return saved;
}

bool TfmMain::SaveAs() {
  if (!doc_.Open()) return false;
  // An untitled document is proposed beside its layout, named after it.
  const QString proposed =
      tempOpened_ ? FromSjis(gIni->MapFolder() + "/" + startFileName_) : FromSjis(ProposedDocumentPath());
  const QString chosen = ChooseFile(true, QString(), proposed);
  if (chosen.isEmpty()) return false;
  const std::string previous = doc_.File.FileName();
  const bool wasUntitled = DocumentUntitled();
  doc_.File.SetFileName(gIni->FullPath(ToSjis(chosen)));
  const bool wasTemp = tempOpened_;
  tempOpened_ = false;
  if (!Save()) {
    // Not saved: the document keeps its old name and state.
    doc_.File.SetFileName(previous);
    tempOpened_ = wasTemp;
    return false;
  }
  // Its changes are in the new file now.
  if (wasUntitled)
    RemoveUntitledRecoveryCopy();
  else if (previous != doc_.File.FileName())
    RemoveRecoveryCopy(previous);
  setWindowTitle(QString("%1 - [%2]").arg(kTitle, QFileInfo(chosen).fileName()));
  return true;
}

bool TfmMain::QuerySave() {
  if (!tempQuestionDue_ && !(doc_.Open() && IsModified())) return true;
  const int answer = AskSaveForTest
                         ? AskSaveForTest()
                         : QMessageBox::warning(this, kTitle, "変更を保存しますか？",
                                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  // After a temporary start the question comes once, whatever the answer.
  tempQuestionDue_ = false;
  if (answer == QMessageBox::Cancel) return false;
  // A save that did not happen (cancelled, failed) gives up what asked: closing would lose the work,
  // and a temporary document still has no file of its own.
  if (answer == QMessageBox::Yes && doc_.Open() && !Save()) return false;
  return true;
}

void TfmMain::closeEvent(QCloseEvent* event) {
  if (!QuerySave()) {
    event->ignore();
    return;
  }
  DropRecoveryCopy();  // saved, or its changes given up: a clean close
  SaveWindowState();
  event->accept();
}

void TfmMain::ApplicationStateChanged(Qt::ApplicationState state) {
  // Not under long work either: it may be this very open, letting the event loop run.
  if (state != Qt::ApplicationActive || reloading_ || working_) return;
  ClipboardChanged();  // another program may have copied meanwhile
  // Design mode: the document and its layout are read again; unsaved changes are dropped. A temporary
  // document has no file left to read.
  if (!doc_.PageCanvas.DesignMode() || doc_.File.FileName().empty() || tempOpened_) return;
  reloading_ = true;
  CommitEdit();
  const std::string path = doc_.File.FileName();
  OpenFile(path, false);  // what was dropped is not to be recovered either
  reloading_ = false;
}

bool TfmMain::RunWithProgress(const QString& label, const std::function<void()>& command, QWidget* parent) {
  std::exception_ptr failure;
  {
    const QScopedValueRollback busy(working_, true);
    MProgressDialog progress(parent != nullptr ? parent : this, label);
    const base::ProgressScope scope(progress);
    try {
      command();
    } catch (...) {
      failure = std::current_exception();
    }
  }
  // The progress dialog is gone before an error box shows.
  return Run([&] {
    if (failure) std::rethrow_exception(failure);
  });
}

bool TfmMain::Confirm(const QString& question) {
  if (ConfirmForTest) return ConfirmForTest(question);
  return QMessageBox::question(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

bool TfmMain::Run(const std::function<void()>& command) {
  try {
    command();
    return true;
  } catch (const base::Cancelled&) {
    // The user stopped it and knows.
  } catch (const std::exception& error) {
    ShowErrorBox(this, error);
  }
  return false;
}
