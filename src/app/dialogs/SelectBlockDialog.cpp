#include "app/dialogs/SelectBlockDialog.h"

#include <QListWidget>
#include <QPushButton>

namespace {
// The dialog's client area and the list's place in it, in pixels.
constexpr int kWidth = 273;
constexpr int kHeight = 219;
constexpr int kMargin = 9;
constexpr int kListWidth = 177;
constexpr int kListHeight = 201;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
}  // namespace

TdlgSelectBlock::TdlgSelectBlock(const QStringList& classNames, QWidget* parent)
    // A title and nothing else on the frame: the buttons are the only ways out but Escape.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("dlgSelectBlock"));
  setWindowTitle(QStringLiteral("ブロッククラスの選択"));
  setAccessibleName(windowTitle());
  setFixedSize(kWidth, kHeight);

  lbxBlocks = new QListWidget(this);
  lbxBlocks->setObjectName(QStringLiteral("lbxBlocks"));
  lbxBlocks->setAccessibleName(QStringLiteral("ブロッククラス"));
  lbxBlocks->setGeometry(kMargin, kMargin, kListWidth, kListHeight);
  lbxBlocks->setSelectionMode(QAbstractItemView::SingleSelection);
  lbxBlocks->addItems(classNames);
  if (lbxBlocks->count() > 0) lbxBlocks->setCurrentRow(0);

  const int buttonX = kMargin + kListWidth + (kWidth - kMargin - kListWidth - kButtonWidth) / 2;
  btnOK = new QPushButton(QStringLiteral("O K"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setAccessibleName(QStringLiteral("OK"));
  btnOK->setGeometry(buttonX, kMargin, kButtonWidth, kButtonHeight);
  btnOK->setDefault(true);
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  btnCancel = new QPushButton(QStringLiteral("キャンセル"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setAccessibleName(QStringLiteral("キャンセル"));
  btnCancel->setGeometry(buttonX, kMargin + kButtonHeight + 8, kButtonWidth, kButtonHeight);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);  // Escape rejects too
  lbxBlocks->setFocus();
}

int TdlgSelectBlock::SelectedIndex() const {
  // The selection, not the current row: a list whose selection was cleared chooses nothing.
  const QList<QListWidgetItem*> selected = lbxBlocks->selectedItems();
  return selected.isEmpty() ? -1 : lbxBlocks->row(selected.front());
}
