// The documents the user worked on last, most recent first: what the file menu offers again. Kept in
// the user's settings so that it survives the program; the window reads it back before every change
// so that two editors running at once do not wipe out each other's entries.
#pragma once

#include <QString>
#include <QStringList>

class QSettings;

class MRecentFiles {
 public:
  static constexpr int kLimit = 8;

  // Full paths, most recent first, no two the same.
  const QStringList& Files() const { return files_; }

  // Puts path (made absolute and clean) first; an entry of the same path moves there instead of
  // staying twice, and the oldest beyond the limit goes.
  void Add(const QString& path);
  // True when path's file is gone (no file, or a folder); then it leaves the list.
  bool DropIfMissing(const QString& path);

  // Replaces the list by the one in settings; what is not a usable entry there is skipped.
  void Load(QSettings& settings);
  void Save(QSettings& settings) const;

 private:
  static QString Clean(const QString& path);
  QStringList files_;
};
