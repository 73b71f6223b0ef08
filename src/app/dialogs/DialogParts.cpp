#include "app/dialogs/DialogParts.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

void NameControl(QWidget* widget, const char* name, const QString& hint) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setAccessibleName(hint);
}

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
