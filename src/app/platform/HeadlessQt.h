// Qt without a window, for the command-line tools: text and pictures need a QGuiApplication, which
// needs a platform, and a script on a server has no display. Qt also wants a private runtime folder
// and warns on every run when the session has none; the tools then use the one Qt would choose.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QtGlobal>

inline void PrepareHeadlessQt() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    const QByteArray folder = "/tmp/runtime-" + QByteArray::number(::getuid());
    ::mkdir(folder.constData(), 0700);
    struct stat info {};
    // Only a folder of our own that nobody else may enter; otherwise Qt chooses and says so.
    if (::lstat(folder.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
        (info.st_mode & 0077) == 0)
      qputenv("XDG_RUNTIME_DIR", folder);
  }
}
