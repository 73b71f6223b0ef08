#include "app/window/EditorMain.h"

#include <QApplication>
#include <QDir>
#include <QStringList>
#include <iostream>
#include <memory>

#include "app/AppGlobals.h"
#include "app/platform/ErrorBox.h"
#include "app/platform/HeadlessQt.h"
#include "app/platform/Icons.h"
#include "app/platform/Translations.h"
#include "app/window/MainWindow.h"
#include "render/Fonts.h"

namespace {

// A window needs a display; without one Qt would abort with a message of its own.
bool HaveDisplay() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}  // namespace

namespace {

// The editor's start shared by the window and its screenshot: application, fonts, translations and
// the global objects. False (after saying why) when the global objects cannot be made.
bool StartEditor(QApplication& app) {
  QApplication::setApplicationName("Tessora");
  QApplication::setWindowIcon(IconFor(MIcon::App));
  InstallQtTranslations(app);
  InstallFontSubstitutions();
  try {
    CreateGlobals();
  } catch (const std::exception& error) {
    ShowErrorBox(nullptr, error);
    return false;
  }
  return true;
}

}  // namespace

int RunEditor(int argc, char** argv) {
  if (!HaveDisplay()) {
    std::cerr << "tessora: no display to open the editor on (the command line works without one: tessora "
                 "--batch ...)\n";
    return 1;
  }
  // Relative file names of a terminal user mean the folder they started from.
  const QString startFolder = QDir::currentPath();
  QApplication app(argc, argv);
  // The global objects exist before the window and outlive it.
  if (!StartEditor(app)) return 1;
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  int status = 0;
  {
    TfmMain window(arguments, startFolder);
    window.RestoreAndShow();
    window.OpenStartFile();
    status = QApplication::exec();
  }
  ReleaseGlobals();
  return status;
}

int RunScreenshot(CommandArgs args) {
  if (args.empty() || args.size() > 2) return kExitUsage;
  PrepareHeadlessQt();
  int argc = 1;
  char name[] = "tessora";
  char* argv[] = {name, nullptr};
  const QString startFolder = QDir::currentPath();
  const QString out = QDir(startFolder).absoluteFilePath(QString::fromLocal8Bit(args[0]));
  QApplication app(argc, argv);
  if (!StartEditor(app)) return kExitFailure;
  // Messages would wait for a click nobody gives: they go to standard error.
  SetMessageHook([](const QString& text, bool) { std::cerr << "tessora: " << text.toStdString() << '\n'; });
  bool written = false;
  {
    TfmMain window(args.size() > 1 ? QStringList{QString::fromLocal8Bit(args[1])} : QStringList{},
                   startFolder);
    window.resize(1280, 800);
    window.show();
    window.OpenStartFile();
    QApplication::processEvents();
    written = window.grab().save(out, "PNG");
  }
  SetMessageHook(nullptr);
  ReleaseGlobals();
  if (!written) std::cerr << "tessora: cannot write " << out.toStdString() << '\n';
  return written ? kExitSuccess : kExitFailure;
}
