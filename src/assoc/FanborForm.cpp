#include "assoc/FanborForm.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include "assoc/Association.h"

TfmMain::TfmMain(QString folder, QWidget* parent) : QWidget(parent), Folder(std::move(folder)) {
  setWindowTitle(QStringLiteral("Fanbor"));
  setFixedSize(184, 91);
  lblDescription = new QLabel(QStringLiteral("関連付けの実行中です・・・"), this);
  lblDescription->move(24, 24);
  lblDescription->adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  ErrorHandler = [this](const QString& text) {
    QMessageBox::critical(this, QGuiApplication::applicationDisplayName(), text);
  };
}

void TfmMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (Started) return;  // shown again after being restored: the work is done once
  Started = true;
  // The task bar shows the application title while the minimised window works.
  QGuiApplication::setApplicationDisplayName(QStringLiteral("処理中"));
  setWindowState(windowState() | Qt::WindowMinimized);
  // After the show: the event loop runs by then, so the request to end is not lost.
  QTimer::singleShot(0, this, &TfmMain::FormShow);
}

void TfmMain::FormShow() {
  try {
    RegisterEditorIn(Folder);
  } catch (const MAssocError& error) {
    ErrorHandler(error.Text);
    return;  // what was written stays; the window stays until closed
  }
  EndRequested = true;
  QCoreApplication::quit();
}
