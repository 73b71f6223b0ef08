#include "app/dialogs/StartPanel.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/DialogParts.h"
#include "app/platform/Icons.h"

namespace {
constexpr int kColumnWidth = 560;
constexpr int kButtonHeight = 40;
}  // namespace

TStartPanel::TStartPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("pnlStart"));
  setAccessibleName(QStringLiteral("はじめに"));
  setAutoFillBackground(true);

  lblTitle = new QLabel(QStringLiteral("Tessora"), this);
  NameControl(lblTitle, "lblStartTitle", QStringLiteral("Tessora"));
  QFont title = lblTitle->font();
  title.setPointSizeF(title.pointSizeF() * 2);
  title.setBold(true);
  lblTitle->setFont(title);
  lblHint = new QLabel(QStringLiteral("文書 (.map) を開くか、レイアウト (.lay) から新しい文書を作成します。"),
                       this);
  NameControl(lblHint, "lblStartHint", lblHint->text());
  lblHint->setWordWrap(true);

  const auto button = [this](const char* name, const QString& caption, const QString& hint, MIcon icon) {
    auto* b = new QPushButton(IconFor(icon), caption, this);
    NameControl(b, name, hint);
    b->setToolTip(hint);
    b->setMinimumHeight(kButtonHeight);
    b->setIconSize(QSize(24, 24));
    return b;
  };
  btnStartOpen =
      button("btnStartOpen", QStringLiteral("開く(&O)..."), QStringLiteral("文書を開く"), MIcon::Open);
  btnStartNew = button("btnStartNew", QStringLiteral("新規作成(&N)..."),
                       QStringLiteral("レイアウトから新しい文書を作成"), MIcon::New);
  btnStartManual =
      button("btnStartManual", QStringLiteral("マニュアル(&H)"), QStringLiteral("マニュアル"), MIcon::Help);
  connect(btnStartOpen, &QPushButton::clicked, this, &TStartPanel::openRequested);
  connect(btnStartNew, &QPushButton::clicked, this, &TStartPanel::newRequested);
  connect(btnStartManual, &QPushButton::clicked, this, &TStartPanel::manualRequested);

  lbxRecent = new QListWidget(this);
  NameControl(lbxRecent, "lbxRecent", QStringLiteral("最近使ったファイル"));
  lbxRecent->setSelectionMode(QAbstractItemView::SingleSelection);
  lblRecent = new QLabel(QStringLiteral("最近使ったファイル(&R)"), this);
  NameControl(lblRecent, "lblRecent", QStringLiteral("最近使ったファイル"));
  lblRecent->setBuddy(lbxRecent);
  lblNoRecent = new QLabel(QStringLiteral("最近使ったファイルはありません。"), this);
  NameControl(lblNoRecent, "lblNoRecent", lblNoRecent->text());
  // Enter and a double click both activate an item.
  connect(lbxRecent, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { ChooseRecent(item); });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnStartNew);
  buttons->addWidget(btnStartOpen);
  buttons->addWidget(btnStartManual);

  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("pnlStartColumn"));
  panel->setMaximumWidth(kColumnWidth);
  auto* column = new QVBoxLayout(panel);
  column->addWidget(lblTitle);
  column->addWidget(lblHint);
  column->addSpacing(12);
  column->addLayout(buttons);
  column->addSpacing(16);
  column->addWidget(lblRecent);
  // Room for the eight recent files the editor keeps, no more: the column stays a column.
  lbxRecent->setMaximumHeight(lbxRecent->fontMetrics().height() * 12);
  column->addWidget(lbxRecent);
  column->addWidget(lblNoRecent);
  column->addStretch(1);

  // The column stands in the middle of whatever room the window gives.
  auto* outer = new QHBoxLayout(this);
  outer->addStretch(1);
  outer->addWidget(panel, 4);
  outer->addStretch(1);

  setTabOrder(btnStartNew, btnStartOpen);
  setTabOrder(btnStartOpen, btnStartManual);
  setTabOrder(btnStartManual, lbxRecent);
  setFocusProxy(btnStartNew);
  SetRecentFiles({});
}

void TStartPanel::SetRecentFiles(const QStringList& paths) {
  recent_ = paths;
  lbxRecent->clear();
  for (const QString& path : paths) {
    auto* item = new QListWidgetItem(QFileInfo(path).fileName(), lbxRecent);
    item->setToolTip(path);
    item->setData(Qt::UserRole, path);
    item->setData(Qt::AccessibleDescriptionRole, path);
  }
  if (lbxRecent->count() > 0) lbxRecent->setCurrentRow(0);
  lbxRecent->setVisible(!paths.isEmpty());
  lblRecent->setVisible(!paths.isEmpty());
  lblNoRecent->setVisible(paths.isEmpty());
}

void TStartPanel::ChooseRecent(QListWidgetItem* item) {
  if (item == nullptr) return;
  emit recentRequested(item->data(Qt::UserRole).toString());
}
