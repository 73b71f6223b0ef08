// Building the main window: the actions, menus, tool bars, the views in the centre and the status
// bar. Every control carries its name as objectName and its hint as tool tip, status tip and
// accessible name.
#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/dialogs/StartPanel.h"
#include "app/platform/Icons.h"
#include "app/widgets/BoxEdit.h"
#include "app/widgets/ListPane.h"
#include "app/widgets/PageView.h"
#include "app/widgets/StatusBar.h"
#include "app/window/MainWindow.h"

QAction* TfmMain::NewAction(const char* name, const QString& caption, const QString& hint) {
  auto* action = new QAction(caption, this);
  action->setObjectName(QString::fromLatin1(name));
  if (!hint.isEmpty()) {
    action->setToolTip(hint);
    action->setStatusTip(hint);
  }
  addAction(action);  // its shortcut works wherever the focus is in the window
  return action;
}

void TfmMain::BuildActions() {
  const auto make = [this](const char* name, const QString& caption, const QString& hint,
                           std::optional<MIcon> icon, QKeySequence keys, std::function<void()> command) {
    QAction* action = NewAction(name, caption, hint);
    if (!keys.isEmpty()) action->setShortcut(keys);
    if (icon) action->setIcon(IconFor(*icon));
    if (command) OnTriggered(action, std::move(command));
    return action;
  };
  miNew = make("miNew", "新規作成(&N)...", "新規作成", MIcon::New, Qt::CTRL | Qt::Key_N, [this] { New(); });
  miOpen = make("miOpen", "開く(&O)...", "開く", MIcon::Open, Qt::CTRL | Qt::Key_O, [this] { Open(); });
  miSave = make("miSave", "上書き保存(&S)", "保存", MIcon::Save, Qt::CTRL | Qt::Key_S, [this] { Save(); });
  miSaveAs = make("miSaveAs", "名前を付けて保存(&A)...", {}, std::nullopt, {}, [this] { SaveAs(); });
  miImportCsv = make("miImportCsv", "CSVから未配置ブロックを追加(&I)...", "CSVから未配置ブロックを追加",
                     std::nullopt, {}, [this] { ImportCsv(); });
  miExportCsv = make("miExportCsv", "ページをCSVに書き出し(&C)...", "ページをCSVに書き出し", std::nullopt, {},
                     [this] { ExportCsv(); });
  miPrint = make("miPrint", "印刷(&P)...", "印刷", MIcon::Print, Qt::CTRL | Qt::Key_P, [this] { Print(); });
  miPrintPreview = make("miPrintPreview", "印刷プレビュー(&V)...", "印刷プレビュー", MIcon::PrintPreview, {},
                        [this] { PrintPreview(); });
  miExportPdf = make("miExportPdf", "PDFに書き出し(&E)...", "PDFに書き出し", std::nullopt, {},
                     [this] { ExportToPdf(); });
  miExportPng =
      make("miExportPng", "画像に書き出し...", "画像に書き出し", std::nullopt, {}, [this] { ExportToPng(); });
  miExit = make("miExit", "終了(&X)", {}, std::nullopt, {}, [this] { close(); });

  // Copy and paste act on the text being typed, so they do not commit it first.
  miCopy = make("miCopy", "コピー(&C)", "コピー", MIcon::Copy, Qt::CTRL | Qt::Key_C, {});
  connect(miCopy, &QAction::triggered, this, [this] { copyToClipboard(); });
  miPaste = make("miPaste", "貼り付け(&P)", "貼り付け", MIcon::Paste, Qt::CTRL | Qt::Key_V, {});
  connect(miPaste, &QAction::triggered, this, [this] { PasteFromClipboard(); });
  miUndo = make("miUndo", "元に戻す(&U)", "元に戻す", MIcon::Undo, Qt::CTRL | Qt::Key_Z, [this] { Undo(); });
  miRedo = make("miRedo", "やり直し(&R)", "やり直し", MIcon::Redo, {}, [this] { Redo(); });
  miRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  miMappingMode = make("miMappingMode", "マッピングモード(&M)", "マッピングモード", MIcon::MappingMode,
                       Qt::Key_F4, [this] { ChangeEditMode(false); });
  miTextMode = make("miTextMode", "テキスト入力モード(&T)", "テキスト入力モード", MIcon::TextMode, Qt::Key_F5,
                    [this] { ChangeEditMode(true); });
  auto* modes = new QActionGroup(this);
  for (QAction* a : {miMappingMode, miTextMode}) {
    a->setCheckable(true);
    modes->addAction(a);
  }
  miMappingMode->setChecked(true);
  miPrePage = make("miPrePage", "前ページ(&R)", {}, std::nullopt, Qt::Key_PageUp, [this] { PreviousPage(); });
  miNextPage = make("miNextPage", "次ページ(&N)", {}, std::nullopt, Qt::Key_PageDown, [this] { NextPage(); });

  miInsertBlock = make("miInsertBlock", "ブロック(&B)...", {}, std::nullopt, {}, [this] { InsertBlock(); });
  miNewLine =
      make("miNewLine", "改ページ(&L)", {}, std::nullopt, Qt::CTRL | Qt::Key_L, [this] { miNewLineClick(); });
  miAutoMapping =
      make("miAutoMapping", "オートマッピング(&A)", {}, std::nullopt, {}, [this] { AutoMapping(); });
  miSameMapping =
      make("miSameMapping", "同位置マッピング(&S)...", {}, std::nullopt, {}, [this] { SameMapping(); });
  miManual =
      make("miManual", "マニュアル(&H)", "マニュアル", MIcon::Help, Qt::Key_F1, [this] { ShowManual(); });
  miAbout = make("miAbout", "バージョン情報(&A)...", {}, std::nullopt, {}, [this] { miAboutClick(); });
  BuildViewActions();
}

void TfmMain::BuildViewActions() {
  miToolBar = NewAction("miToolBar", "ツールバー(&T)");
  miToolBar->setCheckable(true);
  miToolBar->setChecked(true);
  // The check mark follows the click itself; ToggleToolBar shows the bars to match.
  OnTriggered(miToolBar, [this] { ToggleToolBar(); });
  miUnmapPane = NewAction("miUnmapPane", "未配置パネル(&U)");
  miUnmapPane->setCheckable(true);
  miUnmapPane->setChecked(true);
  OnTriggered(miUnmapPane, [this] { VisibleUnmapPane(true); });
  // The tool button follows its own state, the menu item toggles: two actions kept in step.
  btnUnmapPaneAction = NewAction("btnUnmapPaneAction", "未配置パネル", "未配置パネル");
  btnUnmapPaneAction->setCheckable(true);
  btnUnmapPaneAction->setChecked(true);
  btnUnmapPaneAction->setIcon(IconFor(MIcon::UnmapPane));
  OnTriggered(btnUnmapPaneAction, [this] { VisibleUnmapPane(false); });

  const auto view = [this](const char* name, const QString& caption, const QString& hint, MIcon icon,
                           QKeySequence keys, std::function<void()> command) {
    QAction* action = NewAction(name, caption, hint);
    action->setShortcut(keys);
    action->setIcon(IconFor(icon));
    // A zoom keeps the text being typed open: it commits it and lays the editor out again.
    connect(action, &QAction::triggered, this, std::move(command));
    return action;
  };
  miViewAll = view("miViewAll", "ページ全体を表示(&W)", "ページ全体を表示", MIcon::ViewAll,
                   Qt::CTRL | Qt::Key_0, [this] { ViewAllClick(); });
  miViewReal = view("miViewReal", "等倍表示(&A)", "等倍表示", MIcon::ViewReal, Qt::CTRL | Qt::Key_1,
                    [this] { ViewRealClick(); });
  miViewBaseW = view("miViewBaseW", "ページ幅を基準に表示(&P)", "ページ幅を基準に表示", MIcon::ViewPageWidth,
                     Qt::CTRL | Qt::Key_2, [this] { ViewBaseWClick(); });
  // One group in which all may be unchecked: after a zoom step no view mode holds.
  auto* modes = new QActionGroup(this);
  modes->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (QAction* a : {miViewAll, miViewReal, miViewBaseW}) {
    a->setCheckable(true);
    modes->addAction(a);
  }
  // The captions show the zoom keys; the keys themselves are actions of their own that take the plus
  // and minus keys of the main keyboard and the keypad, whatever other modifier is held.
  miZoomIn =
      view("miZoomIn", "ズームイン(&Z)\tCtrl++", "ズームイン", MIcon::ZoomIn, {}, [this] { ZoomIn(); });
  miZoomOut = view("miZoomOut", "ズームアウト(&O)\tCtrl+-", "ズームアウト", MIcon::ZoomOut, {},
                   [this] { ZoomOut(); });
  const auto keys = [](std::initializer_list<Qt::Key> codes) {
    QList<QKeySequence> sequences;
    for (const Qt::Key code : codes)
      for (const Qt::KeyboardModifiers extra :
           {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ShiftModifier),
            Qt::KeyboardModifiers(Qt::AltModifier),
            Qt::KeyboardModifiers(Qt::ShiftModifier | Qt::AltModifier)})
        for (const Qt::KeyboardModifiers pad :
             {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::KeypadModifier)})
          sequences << QKeySequence(QKeyCombination(Qt::ControlModifier | extra | pad, code));
    return sequences;
  };
  zoomInKeys_ = NewAction("actZoomInKeys", "ズームイン");
  zoomInKeys_->setShortcuts(keys({Qt::Key_Plus, Qt::Key_Equal, Qt::Key_Semicolon}));
  OnTriggered(zoomInKeys_, [this] { ZoomIn(); });
  zoomOutKeys_ = NewAction("actZoomOutKeys", "ズームアウト");
  zoomOutKeys_->setShortcuts(keys({Qt::Key_Minus, Qt::Key_Underscore}));
  OnTriggered(zoomOutKeys_, [this] { ZoomOut(); });
}

void TfmMain::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenu");
  bar->setAccessibleName("メニュー");
  const auto menu = [&](const char* name, const QString& caption, std::initializer_list<QAction*> actions) {
    QMenu* m = bar->addMenu(caption);
    m->setObjectName(QString::fromLatin1(name));
    m->setAccessibleName(QString(caption).remove(QRegularExpression("\\(&.\\)")));
    for (QAction* a : actions) {
      if (a == nullptr)
        m->addSeparator();
      else
        m->addAction(a);
    }
    return m;
  };
  miFile = menu("miFile", "ファイル(&F)",
                {miNew, miOpen, miSave, miSaveAs, nullptr, miImportCsv, miExportCsv, nullptr, miPrint,
                 miPrintPreview, nullptr, miExportPdf, miExportPng, nullptr, miExit});
  BuildRecentMenu();
  miEdit = menu("miEdit", "編集(&E)",
                {miUndo, miRedo, nullptr, miCopy, miPaste, nullptr, miMappingMode, miTextMode, nullptr,
                 miPrePage, miNextPage});
  miView = menu(
      "miView", "表示(&V)",
      {miToolBar, miUnmapPane, nullptr, miViewAll, miViewReal, miViewBaseW, nullptr, miZoomIn, miZoomOut});
  miInsert = menu("miInsert", "挿入(&I)", {miInsertBlock, miNewLine});
  miTool = menu("miTool", "ツール(&T)", {miAutoMapping, miSameMapping});
  miOther = menu("miOther", "その他(&O)", {miManual, nullptr, miAbout});
}

void TfmMain::BuildToolBars() {
  const auto band = [this](const char* name, const QString& title, std::initializer_list<QAction*> actions) {
    QToolBar* bar = addToolBar(title);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setAccessibleName(title);
    bar->setMovable(true);
    bar->setIconSize(QSize(20, 20));
    for (QAction* a : actions) {
      if (a == nullptr)
        bar->addSeparator();
      else
        bar->addAction(a);
    }
    return bar;
  };
  const auto buttonName = [](QToolBar* bar, QAction* action, const char* name) {
    if (QWidget* button = bar->widgetForAction(action)) NameControl(button, name, action->toolTip(), true);
  };
  tbEdit = band("tbEdit", "編集",
                {miNew, miOpen, miSave, nullptr, miUndo, miRedo, nullptr, miCopy, miPaste, nullptr,
                 miMappingMode, miTextMode});
  for (const auto& [action, name] : {std::pair{miNew, "btnNew"},
                                     {miOpen, "btnOpen"},
                                     {miSave, "btnSave"},
                                     {miCopy, "btnCopy"},
                                     {miPaste, "btnPaste"},
                                     {miMappingMode, "btnMappingMode"},
                                     {miTextMode, "btnTextMode"}})
    buttonName(tbEdit, action, name);

  tbView = band("tbView", "表示", {btnUnmapPaneAction, nullptr, miZoomOut});
  cbxZoom = new MZoomBox(tbView);
  NameControl(cbxZoom, "cbxZoom", "ズーム", true);
  cbxZoom->addItems({"400%", "300%", "200%", "150%", "100%", "66%", "50%", "33%", "25%"});
  cbxZoom->setCurrentIndex(4);
  cbxZoom->setFixedWidth(72);
  tbView->addWidget(cbxZoom);
  tbView->addAction(miZoomIn);
  tbView->addSeparator();
  for (QAction* a : {miViewReal, miViewAll, miViewBaseW}) tbView->addAction(a);
  for (const auto& [action, name] : {std::pair{btnUnmapPaneAction, "btnUnmapPane"},
                                     {miZoomOut, "btnZoomOut"},
                                     {miZoomIn, "btnZoomIn"},
                                     {miViewReal, "btnViewReal"},
                                     {miViewAll, "btnViewAll"},
                                     {miViewBaseW, "btnViewBaseW"}})
    buttonName(tbView, action, name);

  tbPage = band("tbPage", "ページ", {});
  edtNowPage = new MBoxEdit(tbPage);
  edtNowPage->setText("1/1");
  NameControl(edtNowPage, "edtNowPage", "ページ", true);
  edtNowPage->setFixedWidth(62);
  edtNowPage->setAlignment(Qt::AlignCenter);
  tbPage->addWidget(edtNowPage);
  tbPageBar = new MPageBar(tbPage);
  NameControl(tbPageBar, "tbPageBar", "ページ", true);
  tbPageBar->setRange(1, 1);
  tbPageBar->setPageStep(1);
  tbPageBar->setTickPosition(QSlider::NoTicks);
  tbPageBar->setFixedWidth(200);
  tbPage->addWidget(tbPageBar);

  tbPrint = band("tbPrint", "印刷", {miPrint, miPrintPreview});
  buttonName(tbPrint, miPrint, "btnPrint");
  buttonName(tbPrint, miPrintPreview, "btnPrintPreview");
}

void TfmMain::BuildCentre() {
  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setObjectName("Splitter");
  splitter_->setChildrenCollapsible(false);
  centre_ = new QStackedWidget(splitter_);
  centre_->setObjectName("stkCentre");
  pageView_ = new MPageView(doc_, centre_);
  startPanel_ = new TStartPanel(centre_);
  // It takes what room the page would have: it must not hold the side pane narrower.
  startPanel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  centre_->addWidget(pageView_);
  centre_->addWidget(startPanel_);
  ConnectStartPanel();
  pnlPane = new QWidget(splitter_);
  pnlPane->setObjectName("pnlPane");
  auto* paneColumn = new QVBoxLayout(pnlPane);
  paneColumn->setContentsMargins(0, 0, 0, 0);
  pcUnmap = new QTabWidget(pnlPane);
  NameControl(pcUnmap, "pcUnmap", "未配置とごみ箱");
  unmapPane_ = new MListPane(MPane::Unmap, doc_);
  trashPane_ = new MListPane(MPane::Trash, doc_);
  pcUnmap->addTab(unmapPane_, "未配置");
  pcUnmap->addTab(trashPane_, "ごみ箱");
  paneColumn->addWidget(pcUnmap);
  splitter_->addWidget(centre_);
  splitter_->addWidget(pnlPane);
  splitter_->setStretchFactor(0, 1);
  splitter_->setStretchFactor(1, 0);
  splitter_->setSizes({800, paneWidth_});
  setCentralWidget(splitter_);
  // A document file dragged from a file manager may land anywhere in the window: the controls pass
  // it on to the window (the boxes take no text drops).
  setAcceptDrops(true);
  // Tab goes from the tool bar's boxes to the page, then to the panes' tabs, search box and list.
  QWidget* chain[] = {tbPageBar,
                      pageView_->Panel(),
                      pcUnmap->findChild<QTabBar*>(),
                      unmapPane_->SearchBox(),
                      unmapPane_->Panel(),
                      trashPane_->SearchBox(),
                      trashPane_->Panel()};
  for (std::size_t i = 1; i < std::size(chain); ++i) setTabOrder(chain[i - 1], chain[i]);
}

void TfmMain::BuildStatusBar() {
  auto* bar = new MStatusBar(this);
  setStatusBar(bar);
  for (int i = 0; i < 5; ++i) statusPanels_[i] = bar->Panel(i);
}

void TfmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  // The side pane starts as wide as it was left (260 pixels the first time); the page takes the rest.
  const int total = splitter_->width();
  splitter_->setSizes({std::max(1, total - paneWidth_ - splitter_->handleWidth()), paneWidth_});
}
