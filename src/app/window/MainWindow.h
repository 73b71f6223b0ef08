// The editor's main window: the glue between the views and the document.
//
// TfmMain keeps what belongs to the whole window: the actions shared by menus and tool bars, the
// document lifecycle, settings and recovery. The page view (MPageView) and the two side panes
// (MListPane) own their input and change the document through document commands; every report of a
// command reaches ApplyReport, the one place that refreshes the window, and UpdateActions computes the
// enabled state of every action from the state. Files: MainWindowBuild.cpp (actions, menus, tool bars,
// the centre, the status bar), MainWindowActions.cpp (the focused view, the enabled states, commands
// committing the typed text first), MainWindowView.cpp (zoom, pages, panes, wheel and drops,
// ApplyReport), MainWindowDocument.cpp (start-up, opening, saving, the close question),
// MainWindowMapping.cpp (the mapping commands, copy and paste, modes), MainWindowPrint.cpp,
// MainWindowCsv.cpp, MainWindowUndo.cpp, MainWindowRecovery.cpp, MainWindowSettings.cpp and
// MainWindowStart.cpp (a new document, the start panel, the manual).
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

#include "app/DocumentContext.h"
#include "app/platform/RecentFiles.h"
#include "data/DocumentCommands.h"

class MBoxEdit;
class MListPane;
class MPageBar;
class MPageView;
class MPageText;
class MZoomBox;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QSplitter;
class QStackedWidget;
class TStartPanel;
class TdlgManual;
class QTabWidget;
class QTimer;
class QToolBar;
class TdlgCsvExport;
class TdlgCsvImport;

class TfmMain : public QMainWindow {
  Q_OBJECT

 public:
  // The window of the editor; arguments are the command line after the program name ("-d", "-t",
  // file names). startFolder is the folder the program was started from, where a relative file
  // name is looked for when the program folder has no such file. The global objects must exist.
  explicit TfmMain(const QStringList& arguments = {}, const QString& startFolder = {},
                   QWidget* parent = nullptr);
  ~TfmMain() override;

  // Life cycle: the editor's own start takes the window state and the recent files from the user's
  // settings and shows the window as it was closed last time (maximized the first time); from then on
  // the window keeps them there. A window shown otherwise (tests, the screenshot) leaves them alone.
  void RestoreAndShow();
  // The command line's file, opened once the window is up.
  void OpenStartFile();

  // File menu. New: a new, untitled document on a layout file chosen (the save question first).
  void New();
  void Open();
  // Opens path (a local file, as the system names it) as Open does once a file is chosen: the save
  // question first. The recent files and a file dropped on the window come this way.
  void OpenNamed(const QString& path);
  // Save and SaveAs return false when the document was not saved (cancelled or failed).
  bool Save();
  bool SaveAs();
  void Print();
  // The print preview: the pages as paper gets them, all pages unless printing from it chooses.
  void PrintPreview();
  // The pages written as the batch mode's --pdf and --png write them, into a file or folder chosen.
  void ExportToPdf();
  void ExportToPng();
  // Records in and out as CSV.
  void ImportCsv();
  void ExportCsv();
  // View menu.
  void ZoomIn();
  void ZoomOut();
  void ViewRealClick();
  void ViewAllClick();
  void ViewBaseWClick();
  void VisibleUnmapPane(bool fromMenu);
  void ToggleToolBar();
  void ChangeListType(bool unmapPane, bool thumbnails);
  // Edit menu.
  void Undo();
  void Redo();
  void PreviousPage();
  void NextPage();
  // The clipboard: the in-place editor in text input mode, otherwise the focused view (the page or
  // the unplaced pane).
  void copyToClipboard();
  void PasteFromClipboard();
  void ChangeEditMode(bool textInput);
  // Insert menu.
  void InsertBlock();
  void miNewLineClick();
  // Tool menu.
  void AutoMapping();
  void SameMapping();
  // Other menu: the manual (one window, shown again), the about box.
  void ShowManual();
  void miAboutClick();

  // The document.
  void ResetDocument();
  // Opens path (Shift-JIS); true when the document is open afterwards.
  bool OpenDocument(const std::string& path);
  // Asks whether to save changes; false means the caller gives up what it was about to do.
  bool QuerySave();

  // Recovery. A copy of the changed document is due (a timer runs).
  bool RecoveryCopyPending() const;
  // What the timer does: the copy written (or removed when the document is as saved).
  void WriteRecoveryCopyNow();

  // The zoom: a request of the zoom box (0), zoom in (1) and out (2), real size (3), whole page (4),
  // page width (5).
  void ApplyZoom(int request);
  // The page box and a pane's search box as the user commits them (Enter or leaving the box).
  void ApplyPageBox();
  void ApplyPaneSearch(bool unmapPane);

  // The one place that refreshes the window after a command: what its report says changed is
  // repainted; the page indicator, the status bar, the caret and the enabled actions follow.
  void ApplyReport(const MCommandReport& report);
  void UpdateStatusBar();
  void UpdatePageIndicator(bool force);
  // The enabled state of every action, from the state: document, mode, focused view, the text edited,
  // the clipboard, the undo history.
  void UpdateActions();
  void UpdateEditCommands() { UpdateActions(); }
  void UpdateCaret();
  const MPageText& EditingText() const;

  // Runs a command; an error it raises is shown in the standard error box and the program goes on.
  // False when the command raised one. A cancel (base::Cancelled) ends it without a box.
  bool Run(const std::function<void()>& command);
  // Run with the progress dialog installed for long work, titled label, modal to parent's window
  // (this window when none).
  bool RunWithProgress(const QString& label, const std::function<void()>& command, QWidget* parent = nullptr);

  // Set by tests: answers the save question and the file dialogs instead of the user.
  std::function<int()> AskSaveForTest;
  std::function<QString(bool save, const QString& title, const QString& proposed)> ChooseFileForTest;
  // Answers the "Yes or No" questions (the trash pane's delete, recovery, overwriting) (true: Yes).
  std::function<bool(const QString& question)> ConfirmForTest;
  // Drive the CSV dialogs instead of the user (true: OK).
  std::function<bool(TdlgCsvImport& dialog)> CsvImportForTest;
  std::function<bool(TdlgCsvExport& dialog)> CsvExportForTest;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // The last of the page and the two panes to hold the keyboard focus; none while another control
  // of the window has it. Menus, dialogs and other programs taking the focus do not change it.
  enum class MView { None, Page, Unmap, Trash };

  // Building (MainWindowBuild.cpp).
  void BuildActions();
  void BuildViewActions();
  void BuildMenus();
  void BuildToolBars();
  void BuildCentre();
  void BuildStatusBar();
  QAction* NewAction(const char* name, const QString& caption, const QString& hint = {});
  // An action whose command runs with the text being typed committed first.
  void OnTriggered(QAction* action, std::function<void()> command);
  void ConnectViews();

  // A document file dropped on the window, opened as OpenNamed opens it.
  void OpenAfterDrop(const QString& path);

  // The focused view and the enabled states (MainWindowActions.cpp).
  void FocusChanged(QWidget* now);
  void ClipboardChanged();
  void ScrollFocusedView(bool up);

  // Document (MainWindowDocument.cpp).
  void ParseCommandLine(const QStringList& arguments);
  void ApplicationStateChanged(Qt::ApplicationState state);
  // A file to open or save: a document, or a PDF to write; or a folder to write into.
  enum class MFileKind { Document, Layout, Pdf, Folder };
  QString ChooseFile(bool save, const QString& title, const QString& proposed,
                     MFileKind kind = MFileKind::Document);
  std::string StartPath(const std::string& argument) const;
  // The window after a document opened.
  void FinishOpen(const std::string& path);
  // The views, the view, the indicators and the actions for the document as it now is (or none).
  void ShowDocumentState();
  bool Confirm(const QString& question);
  void CommitEdit();

  // Recovery (MainWindowRecovery.cpp): the copy scheduled after a change, removed after a save or a
  // clean close; opening a file offers a copy newer than it (not when design mode reloads).
  void ScheduleRecoveryCopy();
  void DropRecoveryCopy();
  // The copy of a document that was at path (untitled: this editor's untitled copy).
  void DropRecoveryCopyOf(const std::string& path, bool untitled);
  bool OpenFile(const std::string& path, bool offerRecovery = true);
  // Before a save over the document's file: asks when another program changed it.
  bool MayOverwriteChangedFile();
  QString ChooseCsvFile(bool save, const QString& title, const QString& proposed);

  // Where work begins (MainWindowStart.cpp): the start panel without a document, and the copies of
  // untitled documents that an earlier editor left, offered at a start without a file.
  void ConnectStartPanel();
  void ShowStartPanel(bool show);
  void OfferUntitledRecovery();

  // Undo (MainWindowUndo.cpp): one step back or forth.
  void StepHistory(bool back);
  // Mapping commands (MainWindowMapping.cpp). A long one shows progress; cancelled, it is reverted.
  void RunMappingCommand(const QString& label, const std::function<MCommandReport()>& command);

  // Settings kept between runs (MainWindowSettings.cpp).
  void BuildRecentMenu();
  void RefreshRecentMenu();
  void RememberRecent(const std::string& path);
  void OpenRecent(int index);
  void SaveWindowState();
  // The view a document opens with: the one the settings gave until a document opened, whole page
  // after that.
  void ApplyDocumentView();
  // The zoom box and the view-mode actions show the page view's zoom.
  void ShowZoom();

  MDocumentContext doc_;

  // Menus and actions, by the names the handlers use.
  QMenu* miFile = nullptr;
  QMenu* miEdit = nullptr;
  QMenu* miView = nullptr;
  QMenu* miInsert = nullptr;
  QMenu* miTool = nullptr;
  QMenu* miOther = nullptr;
  QMenu* miRecent = nullptr;
  QAction* miRecentItems_[MRecentFiles::kLimit] = {};
  QAction* miNew = nullptr;
  QAction* miOpen = nullptr;
  QAction* miSave = nullptr;
  QAction* miSaveAs = nullptr;
  QAction* miImportCsv = nullptr;
  QAction* miExportCsv = nullptr;
  QAction* miPrint = nullptr;
  QAction* miPrintPreview = nullptr;
  QAction* miExportPdf = nullptr;
  QAction* miExportPng = nullptr;
  QAction* miExit = nullptr;
  QAction* miCopy = nullptr;
  QAction* miPaste = nullptr;
  QAction* miUndo = nullptr;
  QAction* miRedo = nullptr;
  QAction* miMappingMode = nullptr;
  QAction* miTextMode = nullptr;
  QAction* miPrePage = nullptr;
  QAction* miNextPage = nullptr;
  QAction* miToolBar = nullptr;
  QAction* miUnmapPane = nullptr;
  QAction* btnUnmapPaneAction = nullptr;
  QAction* miViewAll = nullptr;
  QAction* miViewReal = nullptr;
  QAction* miViewBaseW = nullptr;
  QAction* miZoomIn = nullptr;
  QAction* miZoomOut = nullptr;
  // The zoom keys (Ctrl and plus or minus, with any other modifier), the window's wherever the focus
  // is, but not while a text is typed in place.
  QAction* zoomInKeys_ = nullptr;
  QAction* zoomOutKeys_ = nullptr;
  QAction* miInsertBlock = nullptr;
  QAction* miNewLine = nullptr;
  QAction* miAutoMapping = nullptr;
  QAction* miSameMapping = nullptr;
  QAction* miManual = nullptr;
  QAction* miAbout = nullptr;

  // Tool bars and their controls.
  QToolBar* tbEdit = nullptr;
  QToolBar* tbView = nullptr;
  QToolBar* tbPage = nullptr;
  QToolBar* tbPrint = nullptr;
  MZoomBox* cbxZoom = nullptr;
  MBoxEdit* edtNowPage = nullptr;
  MPageBar* tbPageBar = nullptr;

  // The views. Without a document the start panel stands where the page view is.
  QSplitter* splitter_ = nullptr;
  QStackedWidget* centre_ = nullptr;
  TStartPanel* startPanel_ = nullptr;
  MPageView* pageView_ = nullptr;
  QPointer<TdlgManual> manual_;
  QWidget* pnlPane = nullptr;
  QTabWidget* pcUnmap = nullptr;
  MListPane* unmapPane_ = nullptr;
  MListPane* trashPane_ = nullptr;
  QLabel* statusPanels_[5] = {};

  // State.
  MView focusedView_ = MView::None;
  bool clipboardHasBlock_ = false;
  bool clipboardHasText_ = false;
  // The document came from the temporary folder: saving asks for a name until the user gave one.
  bool tempOpened_ = false;
  // After a temporary start the save question is asked once, changed or not.
  bool tempQuestionDue_ = false;
  std::string startFileName_;
  QString startFolder_;
  QString dialogFolder_;
  bool reloading_ = false;
  // Long work is running and lets the event loop run under its progress dialog.
  bool working_ = false;
  QTimer* recoveryTimer_ = nullptr;
  bool shown_ = false;

  // Kept between runs.
  bool remembers_ = false;  // RestoreAndShow was called: the settings are ours to read and write
  MRecentFiles recent_;
  int paneWidth_ = 260;  // the side pane's width at the first show
  // The view of the settings, for the first document: a request of ApplyZoom (3 real size, 4 whole
  // page, 5 page width) or 0 for the zoom box set to percent.
  struct StartView {
    int request = 4;
    int percent = 100;
  };
  std::optional<StartView> startView_;
};
