#include "app/dialogs/DialogParts.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <algorithm>

QHBoxLayout* OkCancelRow(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel) {
  ok = new QPushButton(QStringLiteral("O K"), dialog);
  NameControl(ok, "btnOK", QStringLiteral("OK"));
  ok->setDefault(true);
  cancel = new QPushButton(QStringLiteral("キャンセル"), dialog);
  NameControl(cancel, "btnCancel", QStringLiteral("キャンセル"));
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

QHBoxLayout* PageRangeRow(QDialog* dialog, int pageCount, int from, int to, MPageRangeControls& controls) {
  const int last = std::max(pageCount, 1);
  auto* row = new QHBoxLayout;
  controls.Range = new QRadioButton(QStringLiteral("ページ指定(&G)"), dialog);
  NameControl(controls.Range, "rbPageRange", QStringLiteral("ページ指定"));
  row->addWidget(controls.Range);
  controls.From = new QSpinBox(dialog);
  NameControl(controls.From, "edtFromPage", QStringLiteral("開始ページ"));
  controls.To = new QSpinBox(dialog);
  NameControl(controls.To, "edtToPage", QStringLiteral("終了ページ"));
  for (QSpinBox* box : {controls.From, controls.To}) box->setRange(1, last);
  controls.From->setValue(std::clamp(from, 1, last));
  controls.To->setValue(std::clamp(to, controls.From->value(), last));
  row->addWidget(controls.From);
  row->addWidget(new QLabel(QStringLiteral("～"), dialog));
  row->addWidget(controls.To);
  row->addStretch();
  QObject::connect(controls.From, &QSpinBox::valueChanged, controls.To, &QSpinBox::setMinimum);
  QRadioButton* range = controls.Range;
  for (QSpinBox* box : {controls.From, controls.To})
    QObject::connect(box, &QSpinBox::valueChanged, range, [range] { range->setChecked(true); });
  return row;
}
