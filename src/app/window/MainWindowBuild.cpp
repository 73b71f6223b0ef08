// Building the main window: menus, tool bars, the page area, the side pane and the status bar. Every
// control carries its name as objectName (the handlers that decide by the focused control use it)
// and its hint as tool tip, status tip and accessible name.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/platform/Icons.h"
#include "app/widgets/CanvasWidgets.h"
#include "app/window/MainWindow.h"
#include "data/MapDB.h"
#include "data/MapGlobal.h"
#include "render/ListCanvas.h"
#include "render/MapCanvas.h"
#include "render/RenderGlobal.h"

namespace {

constexpr int kPaneBarHeight = 30;

// Gives a control its name and hint where people and scripts look for them: the hint as accessible
// name, and as tool tip and status tip where it helps (buttons and boxes, not the page and panes).
void Name(QWidget* widget, const char* name, const QString& hint = {}, bool tip = true) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setAccessibleName(hint.isEmpty() ? QString::fromLatin1(name) : hint);
  if (tip && !hint.isEmpty()) {
    widget->setToolTip(hint);
    widget->setStatusTip(hint);
  }
}

}  // namespace

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

void TfmMain::NameToolButton(QToolBar* bar, QAction* action, const char* name) {
  if (QWidget* button = bar->widgetForAction(action)) Name(button, name, action->toolTip());
}

void TfmMain::BuildActions() {
  miOpen = NewAction("miOpen", "開く(&O)...", "開く");
  miOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  miOpen->setIcon(IconFor(MIcon::Open));
  connect(miOpen, &QAction::triggered, this, [this] { Open(); });
  miSave = NewAction("miSave", "上書き保存(&S)", "保存");
  miSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  miSave->setIcon(IconFor(MIcon::Save));
  connect(miSave, &QAction::triggered, this, [this] { Save(); });
  miSaveAs = NewAction("miSaveAs", "名前を付けて保存(&A)...");
  connect(miSaveAs, &QAction::triggered, this, [this] { SaveAs(); });
  miImportCsv = NewAction("miImportCsv", "CSVから未配置ブロックを追加(&I)...", "CSVから未配置ブロックを追加");
  connect(miImportCsv, &QAction::triggered, this, [this] { ImportCsv(); });
  miExportCsv = NewAction("miExportCsv", "ページをCSVに書き出し(&C)...", "ページをCSVに書き出し");
  connect(miExportCsv, &QAction::triggered, this, [this] { ExportCsv(); });
  miPrint = NewAction("miPrint", "印刷(&P)...", "印刷");
  miPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  miPrint->setIcon(IconFor(MIcon::Print));
  connect(miPrint, &QAction::triggered, this, [this] { Print(); });
  miPrintPreview = NewAction("miPrintPreview", "印刷プレビュー(&V)...", "印刷プレビュー");
  miPrintPreview->setIcon(IconFor(MIcon::PrintPreview));
  connect(miPrintPreview, &QAction::triggered, this, [this] { PrintPreview(); });
  miExportPdf = NewAction("miExportPdf", "PDFに書き出し(&E)...", "PDFに書き出し");
  connect(miExportPdf, &QAction::triggered, this, [this] { ExportToPdf(); });
  miExportPng = NewAction("miExportPng", "画像に書き出し...", "画像に書き出し");
  connect(miExportPng, &QAction::triggered, this, [this] { ExportToPng(); });
  miExit = NewAction("miExit", "終了(&X)");
  connect(miExit, &QAction::triggered, this, &QWidget::close);

  // The edit commands arrive with the editing of the next steps; the actions exist so that their
  // places, captions and enabled states are right from the start.
  miCopy = NewAction("miCopy", "コピー(&C)", "コピー");
  miCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  miCopy->setIcon(IconFor(MIcon::Copy));
  miPaste = NewAction("miPaste", "貼り付け(&P)", "貼り付け");
  miPaste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
  miPaste->setIcon(IconFor(MIcon::Paste));
  miUndo = NewAction("miUndo", "元に戻す(&U)", "元に戻す");
  miUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  miUndo->setIcon(IconFor(MIcon::Undo));
  connect(miUndo, &QAction::triggered, this, [this] { Undo(); });
  miRedo = NewAction("miRedo", "やり直し(&R)", "やり直し");
  miRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  miRedo->setIcon(IconFor(MIcon::Redo));
  connect(miRedo, &QAction::triggered, this, [this] { Redo(); });
  miMappingMode = NewAction("miMappingMode", "マッピングモード(&M)", "マッピングモード");
  miMappingMode->setShortcut(QKeySequence(Qt::Key_F4));
  miMappingMode->setIcon(IconFor(MIcon::MappingMode));
  miTextMode = NewAction("miTextMode", "テキスト入力モード(&T)", "テキスト入力モード");
  miTextMode->setShortcut(QKeySequence(Qt::Key_F5));
  miTextMode->setIcon(IconFor(MIcon::TextMode));
  modeGroup_ = new QActionGroup(this);
  for (QAction* a : {miMappingMode, miTextMode}) {
    a->setCheckable(true);
    modeGroup_->addAction(a);
  }
  miMappingMode->setChecked(true);
  connect(miMappingMode, &QAction::triggered, this, [this] { ChangeEditMode(false); });
  connect(miTextMode, &QAction::triggered, this, [this] { ChangeEditMode(true); });
  miPrePage = NewAction("miPrePage", "前ページ(&R)");
  miPrePage->setShortcut(QKeySequence(Qt::Key_PageUp));
  connect(miPrePage, &QAction::triggered, this, [this] { PreviousPage(); });
  miNextPage = NewAction("miNextPage", "次ページ(&N)");
  miNextPage->setShortcut(QKeySequence(Qt::Key_PageDown));
  connect(miNextPage, &QAction::triggered, this, [this] { NextPage(); });

  miToolBar = NewAction("miToolBar", "ツールバー(&T)");
  miToolBar->setCheckable(true);
  miToolBar->setChecked(true);
  // The check mark follows the click itself; ToggleToolBar shows the bars to match.
  connect(miToolBar, &QAction::triggered, this, [this] { ToggleToolBar(); });
  miUnmapPane = NewAction("miUnmapPane", "未配置パネル(&U)");
  miUnmapPane->setCheckable(true);
  miUnmapPane->setChecked(true);
  connect(miUnmapPane, &QAction::triggered, this, [this] { VisibleUnmapPane(true); });
  // The tool button follows its own state, the menu item toggles: two actions kept in step.
  btnUnmapPaneAction = NewAction("btnUnmapPaneAction", "未配置パネル", "未配置パネル");
  btnUnmapPaneAction->setCheckable(true);
  btnUnmapPaneAction->setChecked(true);
  btnUnmapPaneAction->setIcon(IconFor(MIcon::UnmapPane));
  connect(btnUnmapPaneAction, &QAction::triggered, this, [this] { VisibleUnmapPane(false); });

  miViewAll = NewAction("miViewAll", "ページ全体を表示(&W)", "ページ全体を表示");
  miViewAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
  miViewAll->setIcon(IconFor(MIcon::ViewAll));
  connect(miViewAll, &QAction::triggered, this, [this] { ViewAllClick(); });
  miViewReal = NewAction("miViewReal", "等倍表示(&A)", "等倍表示");
  miViewReal->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
  miViewReal->setIcon(IconFor(MIcon::ViewReal));
  connect(miViewReal, &QAction::triggered, this, [this] { ViewRealClick(); });
  miViewBaseW = NewAction("miViewBaseW", "ページ幅を基準に表示(&P)", "ページ幅を基準に表示");
  miViewBaseW->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_2));
  miViewBaseW->setIcon(IconFor(MIcon::ViewPageWidth));
  connect(miViewBaseW, &QAction::triggered, this, [this] { ViewBaseWClick(); });
  // One group in which all may be unchecked: after a zoom step no view mode holds.
  viewGroup_ = new QActionGroup(this);
  viewGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (QAction* a : {miViewAll, miViewReal, miViewBaseW}) {
    a->setCheckable(true);
    viewGroup_->addAction(a);
  }
  // The zoom keys are the window's own (eventFilter); the captions only show them.
  miZoomIn = NewAction("miZoomIn", "ズームイン(&Z)\tCtrl++", "ズームイン");
  miZoomIn->setIcon(IconFor(MIcon::ZoomIn));
  connect(miZoomIn, &QAction::triggered, this, [this] { ZoomIn(); });
  miZoomOut = NewAction("miZoomOut", "ズームアウト(&O)\tCtrl+-", "ズームアウト");
  miZoomOut->setIcon(IconFor(MIcon::ZoomOut));
  connect(miZoomOut, &QAction::triggered, this, [this] { ZoomOut(); });

  miInsertBlock = NewAction("miInsertBlock", "ブロック(&B)...");
  miNewLine = NewAction("miNewLine", "改ページ(&L)");
  miNewLine->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  miAutoMapping = NewAction("miAutoMapping", "オートマッピング(&A)");
  miSameMapping = NewAction("miSameMapping", "同位置マッピング(&S)...");
  miAbout = NewAction("miAbout", "バージョン情報(&A)...");
}

void TfmMain::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenu");
  const auto menu = [&](const char* name, const QString& caption, std::initializer_list<QAction*> actions) {
    QMenu* m = bar->addMenu(caption);
    m->setObjectName(QString::fromLatin1(name));
    for (QAction* a : actions) {
      if (a == nullptr)
        m->addSeparator();
      else
        m->addAction(a);
    }
    return m;
  };
  miFile = menu("miFile", "ファイル(&F)",
                {miOpen, miSave, miSaveAs, nullptr, miImportCsv, miExportCsv, nullptr, miPrint,
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
  miOther = menu("miOther", "その他(&O)", {miAbout});
}

void TfmMain::BuildToolBars() {
  const auto band = [this](const char* name, const QString& title) {
    QToolBar* bar = addToolBar(title);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setMovable(true);
    bar->setIconSize(QSize(20, 20));
    return bar;
  };
  tbEdit = band("tbEdit", "編集");
  tbEdit->addAction(miOpen);
  tbEdit->addAction(miSave);
  tbEdit->addSeparator();
  tbEdit->addAction(miUndo);
  tbEdit->addAction(miRedo);
  tbEdit->addSeparator();
  tbEdit->addAction(miCopy);
  tbEdit->addAction(miPaste);
  tbEdit->addSeparator();
  tbEdit->addAction(miMappingMode);
  tbEdit->addAction(miTextMode);
  NameToolButton(tbEdit, miOpen, "btnOpen");
  NameToolButton(tbEdit, miSave, "btnSave");
  NameToolButton(tbEdit, miCopy, "btnCopy");
  NameToolButton(tbEdit, miPaste, "btnPaste");
  NameToolButton(tbEdit, miMappingMode, "btnMappingMode");
  NameToolButton(tbEdit, miTextMode, "btnTextMode");

  tbView = band("tbView", "表示");
  tbView->addAction(btnUnmapPaneAction);
  tbView->addSeparator();
  tbView->addAction(miZoomOut);
  cbxZoom = new QComboBox(tbView);
  Name(cbxZoom, "cbxZoom", "ズーム");
  cbxZoom->setEditable(true);
  cbxZoom->setCompleter(nullptr);
  cbxZoom->setInsertPolicy(QComboBox::NoInsert);
  cbxZoom->addItems({"400%", "300%", "200%", "150%", "100%", "66%", "50%", "33%", "25%"});
  cbxZoom->setCurrentIndex(4);
  cbxZoom->setFixedWidth(72);
  cbxZoom->installEventFilter(this);
  connect(cbxZoom, &QComboBox::activated, this, [this] { ApplyZoom(0); });
  tbView->addWidget(cbxZoom);
  tbView->addAction(miZoomIn);
  tbView->addSeparator();
  tbView->addAction(miViewReal);
  tbView->addAction(miViewAll);
  tbView->addAction(miViewBaseW);
  NameToolButton(tbView, btnUnmapPaneAction, "btnUnmapPane");
  NameToolButton(tbView, miZoomOut, "btnZoomOut");
  NameToolButton(tbView, miZoomIn, "btnZoomIn");
  NameToolButton(tbView, miViewReal, "btnViewReal");
  NameToolButton(tbView, miViewAll, "btnViewAll");
  NameToolButton(tbView, miViewBaseW, "btnViewBaseW");

  tbPage = band("tbPage", "ページ");
  edtNowPage = new QLineEdit("1/1", tbPage);
  Name(edtNowPage, "edtNowPage", "ページ");
  edtNowPage->setFixedWidth(62);
  edtNowPage->setAlignment(Qt::AlignCenter);
  edtNowPage->installEventFilter(this);
  connect(edtNowPage, &QLineEdit::returnPressed, this, [this] { ApplyPageBox(); });
  tbPage->addWidget(edtNowPage);
  tbPageBar = new QSlider(Qt::Horizontal, tbPage);
  Name(tbPageBar, "tbPageBar", "ページ");
  tbPageBar->setRange(1, 1);
  tbPageBar->setPageStep(1);
  tbPageBar->setTickPosition(QSlider::NoTicks);
  tbPageBar->setFixedWidth(200);
  connect(tbPageBar, &QSlider::valueChanged, this, [this](int position) {
    // Setting the position from UpdatePageIndicator does not navigate: it is the current page then.
    if (HasDocument() && position != gMapDB->CurrentPage()) {
      gMapDB->GoToPage(position);
      UpdatePageIndicator(true);
    }
  });
  tbPage->addWidget(tbPageBar);

  tbPrint = band("tbPrint", "印刷");
  tbPrint->addAction(miPrint);
  tbPrint->addAction(miPrintPreview);
  NameToolButton(tbPrint, miPrint, "btnPrint");
  NameToolButton(tbPrint, miPrintPreview, "btnPrintPreview");
}

QWidget* TfmMain::BuildPane(bool unmapPane) {
  Pane& pane = unmapPane ? unmap_ : trash_;
  const char* prefix = unmapPane ? "Unmap" : "Trash";
  const auto name = [prefix](const char* kind) { return QString(kind).replace("#", prefix).toLatin1(); };
  auto* page = new QWidget;
  page->setObjectName(unmapPane ? "tsUnmap" : "tsTrash");
  auto* column = new QVBoxLayout(page);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto* bar = new QWidget(page);
  bar->setFixedHeight(kPaneBarHeight);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(2, 2, 2, 2);
  row->setSpacing(2);
  pane.thumb = new QToolButton(bar);
  Name(pane.thumb, name("btn#Thumb").constData(), "サムネイル表示");
  pane.thumb->setIcon(IconFor(MIcon::Thumbnails));
  pane.list = new QToolButton(bar);
  Name(pane.list, name("btn#List").constData(), "リスト表示");
  pane.list->setIcon(IconFor(MIcon::ListView));
  auto* group = new QButtonGroup(bar);
  for (QToolButton* b : {pane.thumb, pane.list}) {
    b->setCheckable(true);
    b->setAutoRaise(true);
    group->addButton(b);
    row->addWidget(b);
  }
  pane.thumb->setChecked(true);
  connect(pane.thumb, &QToolButton::clicked, this, [this, unmapPane] { ChangeListType(unmapPane, true); });
  connect(pane.list, &QToolButton::clicked, this, [this, unmapPane] { ChangeListType(unmapPane, false); });
  pane.search = new QLineEdit(bar);
  Name(pane.search, name("edt#Search").constData(), "検索");
  pane.search->setPlaceholderText("検索");
  pane.search->setClearButtonEnabled(true);
  pane.search->installEventFilter(this);
  connect(pane.search, &QLineEdit::returnPressed, this, [this, unmapPane] { ApplyPaneSearch(unmapPane); });
  row->addWidget(pane.search, 1);
  column->addWidget(bar);

  pane.scrollBox = new MScrollBox(page);
  Name(pane.scrollBox, name("sbx#").constData());
  pane.scrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  pane.scrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  pane.scrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  pane.scrollBox->setBackgroundRole(QPalette::Base);
  pane.panel = new MPanel;
  Name(pane.panel, name("pnl#").constData(), unmapPane ? "未配置" : "ごみ箱", false);
  pane.panel->resize(0, 0);
  pane.paintBox = new MPaintBox(pane.panel);
  Name(pane.paintBox, name("pbx#").constData());
  pane.scrollBox->setWidget(pane.panel);
  pane.controls = std::make_unique<MCanvasControls>(pane.scrollBox, pane.panel, pane.paintBox);
  pane.scrollBox->OnResize = [this, unmapPane] {
    if (MListCanvas* canvas = PaneCanvas(unmapPane)) canvas->Relayout();
  };
  column->addWidget(pane.scrollBox, 1);
  return page;
}

void TfmMain::BuildCentre() {
  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setObjectName("Splitter");
  splitter_->setChildrenCollapsible(false);

  sbxMap = new MScrollBox(splitter_);
  Name(sbxMap, "sbxMap");
  sbxMap->setBackgroundRole(QPalette::Dark);
  QPalette grey = sbxMap->palette();
  grey.setColor(QPalette::Dark, QColor(128, 128, 128));
  sbxMap->setPalette(grey);
  sbxMap->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  pnlMap = new MPanel;
  Name(pnlMap, "pnlMap", "ページ", false);
  pnlMap->setAutoFillBackground(true);
  QPalette white = pnlMap->palette();
  white.setColor(QPalette::Window, Qt::white);
  pnlMap->setPalette(white);
  pbxMap = new MPaintBox(pnlMap);
  Name(pbxMap, "pbxMap");
  mmInplaceEdit = new QTextEdit(pnlMap);
  Name(mmInplaceEdit, "mmInplaceEdit");
  mmInplaceEdit->setFrameShape(QFrame::NoFrame);
  mmInplaceEdit->setStyleSheet("QTextEdit { background: rgb(255, 204, 255); }");
  mmInplaceEdit->setLineWrapMode(QTextEdit::NoWrap);
  mmInplaceEdit->setFocusPolicy(Qt::ClickFocus);
  mmInplaceEdit->hide();
  // The mapping cursor: a gray bar over the page, placed by UpdateCaret.
  caret_ = new QWidget(pnlMap);
  caret_->setObjectName("Caret");
  caret_->setAttribute(Qt::WA_TransparentForMouseEvents);
  caret_->setAutoFillBackground(true);
  QPalette gray = caret_->palette();
  gray.setColor(QPalette::Window, QColor(128, 128, 128));
  caret_->setPalette(gray);
  caret_->hide();
  pbxMap->setAcceptDrops(true);
  // A document file dragged from a file manager may land anywhere in the window: the window takes
  // what no control below the mouse takes (FileDragEvent decides before any of them).
  setAcceptDrops(true);
  sbxMap->setWidget(pnlMap);
  sbxMap->OnResize = [this] {
    if (miViewAll->isChecked())
      ApplyZoom(4);
    else if (miViewBaseW->isChecked())
      ApplyZoom(5);
  };
  mapControls_ = std::make_unique<MCanvasControls>(sbxMap, pnlMap, pbxMap);

  pnlPane = new QWidget(splitter_);
  pnlPane->setObjectName("pnlPane");
  auto* paneColumn = new QVBoxLayout(pnlPane);
  paneColumn->setContentsMargins(0, 0, 0, 0);
  pcUnmap = new QTabWidget(pnlPane);
  Name(pcUnmap, "pcUnmap");
  pcUnmap->addTab(BuildPane(true), "未配置");
  pcUnmap->addTab(BuildPane(false), "ごみ箱");
  paneColumn->addWidget(pcUnmap);

  splitter_->addWidget(sbxMap);
  splitter_->addWidget(pnlPane);
  splitter_->setStretchFactor(0, 1);
  splitter_->setStretchFactor(1, 0);
  splitter_->setSizes({800, paneWidth_});
  setCentralWidget(splitter_);
}

void TfmMain::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName("StatusBar");
  bar->setSizeGripEnabled(false);
  const int widths[5] = {412, 120, 120, 120, 20};
  for (int i = 0; i < 5; ++i) {
    auto* panel = new QLabel(bar);
    panel->setObjectName(QString("StatusPanel%1").arg(i));
    panel->setFixedWidth(widths[i]);
    if (i >= 1 && i <= 3) {
      panel->setAlignment(Qt::AlignCenter);
      panel->setFrameShape(QFrame::StyledPanel);
      panel->setFrameShadow(QFrame::Sunken);
    }
    // The first panel is where hints show (the bar's message area); the counts stay put beside it.
    if (i == 0)
      bar->addWidget(panel);
    else
      bar->addPermanentWidget(panel);
    statusPanels_[i] = panel;
  }
  bar->installEventFilter(this);
}

void TfmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  // The side pane starts as wide as it was left (260 pixels the first time); the page takes the rest.
  const int total = splitter_->width();
  splitter_->setSizes({std::max(1, total - paneWidth_ - splitter_->handleWidth()), paneWidth_});
}
