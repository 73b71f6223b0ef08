// The block class dialog: which class a new block is made of.
#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

class TdlgSelectBlock : public QDialog {
  Q_OBJECT

 public:
  // classNames in layout order; the first is selected.
  TdlgSelectBlock(const QStringList& classNames, QWidget* parent = nullptr);

  // The index of the chosen class in classNames; -1 when none is selected.
  int SelectedIndex() const;

 private:
  QListWidget* lbxBlocks = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
};
