// The editor's main window.
//
// One class, TfmMain, split into files by concern: MainWindowBuild.cpp builds the menus, tool bars,
// page area, side pane and status bar; MainWindowDocument.cpp the start-up, opening, saving and the
// close question; MainWindowView.cpp the zoom, pages, panes and the refresh operations;
// MainWindowPrint.cpp printing; MainWindowMapping.cpp the mapping commands, copy and paste and the
// about box; MainWindowUndo.cpp undo and redo; MainWindowRecovery.cpp recovery copies and files
// changed by others; MainWindowSettings.cpp the recent files and the
// window state kept between runs. The window calls the engine's document commands and refreshes its
// controls from what they report (AfterCommand); every command runs through Run, the one place that
// turns errors into the standard error box.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/platform/RecentFiles.h"
#include "data/DocumentCommands.h"
#include "layout/Page.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QSlider;
class QSplitter;
class QTabWidget;
class QTextEdit;
class QTimer;
class QToolBar;
class QToolButton;
class MCanvasControls;
class MListCanvas;
class MListDB;
class MPaintBox;
class MPanel;
class MScrollBox;
class TdlgCsvExport;
class TdlgCsvImport;
class QDropEvent;
class QKeyEvent;
class QMouseEvent;

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

  // File menu.
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
  // File menu: records in and out as CSV (MainWindowCsv.cpp).
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
  // Edit menu: undo and redo of the document's changes.
  void Undo();
  void Redo();
  // Edit menu: pages.
  void PreviousPage();
  void NextPage();
  // Edit menu: the clipboard, by the focused control (the page or the unplaced pane).
  void copyToClipboard();
  void PasteFromClipboard();
  // Insert menu.
  void InsertBlock();
  void miNewLineClick();
  // Tool menu.
  void AutoMapping();
  void SameMapping();
  // Other menu.
  void miAboutClick();

  // The document.
  void ResetDocument();
  // Opens path (Shift-JIS); true when the document is open afterwards.
  bool OpenDocument(const std::string& path);
  // Asks whether to save changes; false means the caller gives up what it was about to do.
  bool QuerySave();

  // Recovery (MainWindowRecovery.cpp). A copy of the changed document is due (a timer runs).
  bool RecoveryCopyPending() const;
  // What the timer does: the copy written (or removed when the document is as saved).
  void WriteRecoveryCopyNow();

  // Refresh operations.
  void ApplyZoom(int request);
  void UpdateStatusBar();
  void UpdatePageIndicator(bool force);
  // Enables copy and paste by the mode, the focused control and the clipboard.
  void UpdateEditCommands();
  // Enables undo and redo by the history.
  void UpdateUndoCommands();
  // Refreshes what a command's report says changed, in one place.
  void AfterCommand(const MCommandReport& report);

  // The page box and the zoom box as the user commits them (Enter or leaving the box).
  void ApplyPageBox();
  void ApplyPaneSearch(bool unmapPane);

  // Runs a command; an error it raises is shown in the standard error box and the program goes on.
  // False when the command raised one. A cancel (base::Cancelled) ends it without a box.
  bool Run(const std::function<void()>& command);
  // Run with the progress dialog installed for long work, titled label, modal to parent's window
  // (this window when none).
  bool RunWithProgress(const QString& label, const std::function<void()>& command, QWidget* parent = nullptr);

  // Editing (MainWindowEdit.cpp): the edit modes, the cursor's caret, in-place text editing.
  void ChangeEditMode(bool textInput);
  void UpdateCaret();
  void OpenInplaceEditor();
  void CloseInplaceEditor();
  const MPageText& EditingText() const { return editingText_; }
  // The caret of the mapping cursor, shown over the page while the page has the focus.
  QWidget* Caret() const { return caret_; }

  // Set by tests: answers the save question and the file dialogs instead of the user.
  std::function<int()> AskSaveForTest;
  std::function<QString(bool save, const QString& title, const QString& proposed)> ChooseFileForTest;
  // Answers the trash pane's "delete for good?" question (true: Yes).
  std::function<bool(const QString& question)> ConfirmForTest;
  // Drive the CSV dialogs instead of the user (true: OK).
  std::function<bool(TdlgCsvImport& dialog)> CsvImportForTest;
  std::function<bool(TdlgCsvExport& dialog)> CsvExportForTest;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Building (MainWindowBuild.cpp).
  void BuildActions();
  void BuildMenus();
  void BuildToolBars();
  void BuildCentre();
  QWidget* BuildPane(bool unmapPane);
  void BuildStatusBar();
  QAction* NewAction(const char* name, const QString& caption, const QString& hint = {});
  void NameToolButton(QToolBar* bar, QAction* action, const char* name);

  // Document (MainWindowDocument.cpp).
  void ParseCommandLine(const QStringList& arguments);
  void SetDocumentCommandsEnabled(bool on);
  void ApplicationStateChanged(Qt::ApplicationState state);
  // A file to open or save: a document, or a PDF to write; or a folder to write into.
  enum class MFileKind { Document, Pdf, Folder };
  QString ChooseFile(bool save, const QString& title, const QString& proposed,
                     MFileKind kind = MFileKind::Document);
  std::string StartPath(const std::string& argument) const;

  // Editing (MainWindowEdit.cpp): the handlers of the page and the panes.
  bool EditEvent(QObject* watched, QEvent* event);
  void pnlMapKeyDown(QKeyEvent* key);
  void PaneKeyDown(bool unmapPane, QKeyEvent* key);
  void pbxMapMouseDown(QMouseEvent* mouse);
  void pbxMapMouseMove(QMouseEvent* mouse);
  void PaneMouseDown(bool unmapPane, QMouseEvent* mouse);
  void PaneMouseMove(bool unmapPane, QMouseEvent* mouse);
  bool pbxMapDragOver(QDropEvent* drag);
  void pbxMapDragDrop(QDropEvent* drop);
  // A file dragged from outside over any part of the window; true when the event was one.
  bool FileDragEvent(QObject* watched, QEvent* event);
  void PaneFocusIn(bool unmapPane);
  bool Confirm(const QString& question);
  void CommitBeforeLeavingThePage();

  // Recovery (MainWindowRecovery.cpp): the copy scheduled after a change, removed after a save or a
  // clean close; opening a file offers a copy newer than it (not when design mode reloads).
  void ScheduleRecoveryCopy();
  void DropRecoveryCopy();
  bool OpenFile(const std::string& path, bool offerRecovery = true);
  // Before a save over the document's file: asks when another program changed it.
  bool MayOverwriteChangedFile();
  // The window after a document opened.
  void FinishOpen(const std::string& path);
  // CSV (MainWindowCsv.cpp): a CSV file to read or write.
  QString ChooseCsvFile(bool save, const QString& title, const QString& proposed);

  // Undo (MainWindowUndo.cpp): one step back or forth.
  void StepHistory(bool back);

  // Mapping commands (MainWindowMapping.cpp). A long one shows progress; cancelled, it is reverted.
  void RunMappingCommand(const QString& label, const std::function<MCommandReport()>& command);
  void ConnectMappingCommands();

  // Settings kept between runs (MainWindowSettings.cpp).
  void BuildRecentMenu();
  void RefreshRecentMenu();
  void RememberRecent(const std::string& path);
  void OpenRecent(int index);
  void SaveWindowState();
  // The view a document opens with: the one the settings gave until a document opened, whole page
  // after that.
  void ApplyDocumentView();

  // View (MainWindowView.cpp).
  void ScrollToOrigin();
  void WheelScroll(bool up);
  void StatusBarResized();
  void RefreshPane(bool unmapPane);
  static MListCanvas* PaneCanvas(bool unmapPane);
  static MListDB& PaneList(bool unmapPane);

  // Menus and actions, by the names the handlers use.
  QMenu* miFile = nullptr;
  QMenu* miEdit = nullptr;
  QMenu* miView = nullptr;
  QMenu* miInsert = nullptr;
  QMenu* miTool = nullptr;
  QMenu* miOther = nullptr;
  QMenu* miRecent = nullptr;
  QAction* miRecentItems_[MRecentFiles::kLimit] = {};
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
  QAction* miInsertBlock = nullptr;
  QAction* miNewLine = nullptr;
  QAction* miAutoMapping = nullptr;
  QAction* miSameMapping = nullptr;
  QAction* miAbout = nullptr;
  QActionGroup* modeGroup_ = nullptr;
  QActionGroup* viewGroup_ = nullptr;

  // Tool bars and their controls.
  QToolBar* tbEdit = nullptr;
  QToolBar* tbView = nullptr;
  QToolBar* tbPage = nullptr;
  QToolBar* tbPrint = nullptr;
  QComboBox* cbxZoom = nullptr;
  QLineEdit* edtNowPage = nullptr;
  QSlider* tbPageBar = nullptr;

  // Page area and side pane.
  QSplitter* splitter_ = nullptr;
  MScrollBox* sbxMap = nullptr;
  MPanel* pnlMap = nullptr;
  MPaintBox* pbxMap = nullptr;
  QTextEdit* mmInplaceEdit = nullptr;
  QTabWidget* pcUnmap = nullptr;
  QWidget* pnlPane = nullptr;
  struct Pane {
    QToolButton* thumb = nullptr;
    QToolButton* list = nullptr;
    QLineEdit* search = nullptr;
    MScrollBox* scrollBox = nullptr;
    MPanel* panel = nullptr;
    MPaintBox* paintBox = nullptr;
    std::unique_ptr<MCanvasControls> controls;
  };
  Pane unmap_;
  Pane trash_;
  QImage imgThumbBack;
  std::unique_ptr<MCanvasControls> mapControls_;

  // Status bar panels.
  QLabel* statusPanels_[5] = {};

  // Document state.
  bool tempOpened_ = false;
  std::string startFileName_;
  QString startFolder_;
  QString dialogFolder_;
  bool reloading_ = false;
  // Long work is running and lets the event loop run under its progress dialog.
  bool working_ = false;
  // Editing.
  MPageText editingText_;
  QString editingOpened_;
  QTimer* recoveryTimer_ = nullptr;  // the editor's content when it opened: an unchanged text is no change
  QWidget* caret_ = nullptr;
  int dragOriginRow_ = 0, dragOriginColumn_ = 0;
  bool panning_ = false;
  QPoint panStart_;
  QPoint pressAt_;
  bool mayDrag_ = false;  // a press that may become a drag (page or pane)
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
