// The window as far as documents go: start-up and the command line, opening, saving, the close
// question, the no-document state and the reload of design mode.
#include <QAction>
#include <QApplication>
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
#include "app/widgets/CanvasWidgets.h"
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

// The file name part of a Shift-JIS path, for the caption.
QString FileNamePart(const std::string& path) { return QFileInfo(FromSjis(path)).fileName(); }

// A name that stays inside the temporary folder: not empty, no separator, not "." or "..".
bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\\') == std::string::npos;
}

}  // namespace

TfmMain::TfmMain(const QStringList& arguments, const QString& startFolder, QWidget* parent)
    : QMainWindow(parent), startFolder_(startFolder) {
  setObjectName(QStringLiteral("fmMain"));
  setWindowTitle(kTitle);
  BuildActions();
  BuildMenus();
  BuildToolBars();
  BuildCentre();
  BuildStatusBar();
  ConnectMappingCommands();
  qApp->installEventFilter(this);
  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          [this](Qt::ApplicationState state) { ApplicationStateChanged(state); });

  ParseCommandLine(arguments);
  // The canvases draw into their controls.
  mapControls_->Bind(gMapCanvas.get());
  gMapCanvas->SetUnit(0);
  imgThumbBack = MakeThumbBack();
  unmap_.controls->Bind(gUnmapCanvas.get());
  trash_.controls->Bind(gTrashCanvas.get());
  for (const bool unmapPane : {true, false}) PaneCanvas(unmapPane)->SetThumbBack(&imgThumbBack);
  ResetDocument();
  dialogFolder_ = FromSjis(gIni->MapFolder());
}

TfmMain::~TfmMain() {
  qApp->removeEventFilter(this);
  // The canvases outlive the window: they must not reach its controls any more.
  mapControls_->Unbind();
  unmap_.controls->Unbind();
  trash_.controls->Unbind();
}

void TfmMain::ParseCommandLine(const QStringList& arguments) {
  for (const QString& argument : arguments) {
    if (argument == "-d") {
      for (MBaseCanvas* canvas :
           {static_cast<MBaseCanvas*>(gMapCanvas.get()), static_cast<MBaseCanvas*>(gUnmapCanvas.get()),
            static_cast<MBaseCanvas*>(gTrashCanvas.get())})
        canvas->SetDesignMode(true);
    } else if (argument == "-t") {
      tempOpened_ = true;
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
  if (startFileName_.empty()) return;
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

void TfmMain::SetDocumentCommandsEnabled(bool on) {
  for (QAction* a :
       {miSave, miSaveAs, miPrint, miPrintPreview, miExportPdf, miExportPng, miImportCsv, miExportCsv})
    a->setEnabled(on);
  for (QMenu* menu : {miEdit, miInsert, miTool}) {
    menu->setEnabled(on);
    for (QAction* a : menu->actions()) a->setEnabled(on);
  }
  // Copy and paste follow the focus and the clipboard.
  miCopy->setEnabled(false);
  miPaste->setEnabled(false);
  if (on) UpdateEditCommands();
  edtNowPage->setEnabled(on);
  tbPageBar->setEnabled(on);
  pbxMap->setEnabled(on);
  unmap_.search->setEnabled(on);
  trash_.search->setEnabled(on);
}

void TfmMain::ResetDocument() {
  // The text being edited goes with the document.
  editingText_ = nullptr;
  mmInplaceEdit->hide();
  ::ResetDocument();
  ScrollToOrigin();
  gMapCanvas->SetPageWidth(gLayout->Setting.PageWidth);
  gMapCanvas->SetPageHeight(gLayout->Setting.PageHeight);
  gMapCanvas->SetUnit(gLayout->Setting.Unit);
  ApplyDocumentView();
  unmap_.thumb->setChecked(gUnmapCanvas->ListType() == 0);
  unmap_.list->setChecked(gUnmapCanvas->ListType() != 0);
  trash_.thumb->setChecked(gTrashCanvas->ListType() == 0);
  trash_.list->setChecked(gTrashCanvas->ListType() != 0);
  gUnmapCanvas->SetItemCount(0);
  gTrashCanvas->SetItemCount(0);
  SetDocumentCommandsEnabled(false);
  edtNowPage->setText("1/1");
  {
    const QSignalBlocker quiet(tbPageBar);
    tbPageBar->setMaximum(1);
    tbPageBar->setValue(1);
  }
  UpdateStatusBar();
  unmap_.search->clear();
  trash_.search->clear();
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
    gMapCanvas->Invalidate();
    return false;
  }
  FinishOpen(path);
  return true;
}

void TfmMain::FinishOpen(const std::string& path) {
  // A temporary document is deleted once read: nothing to open again later.
  if (!tempOpened_) {
    setWindowTitle(QString("%1 - [%2]").arg(kTitle, FileNamePart(path)));
    RememberRecent(gMapFile->FileName());
  }
  RefreshPane(true);
  RefreshPane(false);
  ScrollToOrigin();
  gMapCanvas->SetPageWidth(gLayout->Setting.PageWidth);
  gMapCanvas->SetPageHeight(gLayout->Setting.PageHeight);
  gMapCanvas->SetUnit(gLayout->Setting.Unit);
  ApplyDocumentView();
  startView_.reset();
  SetDocumentCommandsEnabled(true);
  gMapCanvas->Invalidate();
  UpdatePageIndicator(true);
  UpdateStatusBar();
}

QString TfmMain::ChooseFile(bool save, const QString& title, const QString& proposed, MFileKind kind) {
  if (ChooseFileForTest) return ChooseFileForTest(save, title, proposed);
  QFileDialog dialog(this, title, proposed.isEmpty() ? dialogFolder_ : proposed,
                     kind == MFileKind::Pdf ? kPdfFilter : kFilter);
  dialog.setObjectName(kind == MFileKind::Folder ? "dlgFolder" : save ? "dlgSave" : "dlgOpen");
  dialog.setAccessibleName(title);
  dialog.setDefaultSuffix(kind == MFileKind::Pdf ? "pdf" : "map");
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
  CommitBeforeLeavingThePage();
  if (!QuerySave()) return;
  const QString chosen = ChooseFile(false, QString(), QString());
  if (chosen.isEmpty()) return;
  OpenFile(ToSjis(chosen));
}

void TfmMain::OpenNamed(const QString& path) {
  CommitBeforeLeavingThePage();
  if (!QuerySave()) return;
  OpenFile(ToSjis(path));
}

bool TfmMain::Save() {
  if (!HasDocument()) return false;
  CommitBeforeLeavingThePage();
  if (tempOpened_ || gMapFile->FileName().empty()) return SaveAs();
  if (!MayOverwriteChangedFile()) return false;
  const bool saved = Run([] { ::SaveDocument(); });
  if (saved) {
    RememberRecent(gMapFile->FileName());
    DropRecoveryCopy();
  }
  dialogFolder_ = QFileInfo(FromSjis(gMapFile->FileName())).absolutePath();
  gMapCanvas->Invalidate();  // texts that show the file's date change
  return saved;
}

bool TfmMain::SaveAs() {
  if (!HasDocument()) return false;
  const QString proposed =
      tempOpened_ ? FromSjis(gIni->MapFolder() + "/" + startFileName_) : FromSjis(gMapFile->FileName());
  const QString chosen = ChooseFile(true, QString(), proposed);
  if (chosen.isEmpty()) return false;
  const std::string previous = gMapFile->FileName();
  gMapFile->SetFileName(gIni->FullPath(ToSjis(chosen)));
  const bool wasTemp = tempOpened_;
  tempOpened_ = false;
  if (!Save()) {
    // Not saved: the document keeps its old name and state.
    gMapFile->SetFileName(previous);
    tempOpened_ = wasTemp;
    return false;
  }
  if (previous != gMapFile->FileName()) RemoveRecoveryCopy(previous);  // its changes are in the new file
  setWindowTitle(QString("%1 - [%2]").arg(kTitle, QFileInfo(chosen).fileName()));
  return true;
}

bool TfmMain::QuerySave() {
  if (!tempOpened_ && !(HasDocument() && IsModified())) return true;
  const int answer = AskSaveForTest
                         ? AskSaveForTest()
                         : QMessageBox::warning(this, kTitle, "変更を保存しますか？",
                                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  if (answer == QMessageBox::Cancel) return false;
  if (answer == QMessageBox::Yes) {
    // A save that did not happen (cancelled, failed) gives up what asked: closing would lose the
    // work, and a temporary document still has no file of its own.
    if (HasDocument() && !Save()) return false;
  }
  tempOpened_ = false;
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
  if (!gMapCanvas->DesignMode()) return;
  if (gMapFile->FileName().empty()) return;
  // Design mode: the document and its layout are read again; unsaved changes are dropped.
  reloading_ = true;
  CommitBeforeLeavingThePage();
  const std::string path = gMapFile->FileName();
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
