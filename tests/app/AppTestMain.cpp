// The application's tests run in one QApplication, as the editor does: the window needs one, and the
// command-line helpers take an application that exists instead of making their own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include "app/platform/HeadlessQt.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  PrepareHeadlessQt();  // offscreen unless a platform is chosen, as when CTest lists the tests
  QApplication app(argc, argv);
  // Whatever a test leaves in the user's settings goes to a folder of its own, not the real home.
  const QTemporaryDir settings;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  // So do recovery copies.
  const QTemporaryDir state;
  qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
  return RUN_ALL_TESTS();
}
