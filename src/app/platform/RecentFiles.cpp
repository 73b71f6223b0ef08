#include "app/platform/RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {
const QString kKey = QStringLiteral("RecentFiles/Files");
}  // namespace

QString MRecentFiles::Clean(const QString& path) {
  if (path.isEmpty()) return {};
  return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

void MRecentFiles::Add(const QString& path) {
  const QString clean = Clean(path);
  if (clean.isEmpty()) return;
  files_.removeAll(clean);
  files_.prepend(clean);
  while (files_.size() > kLimit) files_.removeLast();
}

bool MRecentFiles::DropIfMissing(const QString& path) {
  const QString clean = Clean(path);
  if (clean.isEmpty() || QFileInfo(clean).isFile()) return false;
  files_.removeAll(clean);
  return true;
}

void MRecentFiles::Load(QSettings& settings) {
  // The file is the user's to edit: anything but a list of paths counts as no list, and the entries
  // go through Add so that duplicates, relative names and surplus entries do not survive.
  const QVariant value = settings.value(kKey);
  const QStringList stored =
      value.typeId() == QMetaType::QString ? QStringList{value.toString()} : value.toStringList();
  files_.clear();
  for (auto entry = stored.crbegin(); entry != stored.crend(); ++entry) {
    if (QDir::isAbsolutePath(*entry)) Add(*entry);
  }
}

void MRecentFiles::Save(QSettings& settings) const { settings.setValue(kKey, files_); }
