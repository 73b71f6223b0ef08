// The ".map" association on the freedesktop desktop: the MIME type, the editor's desktop entry, its
// icons and its place as the type's default application, all per user under the XDG folders.
#pragma once

#include <QString>
#include <stdexcept>

// A folder or file of the association that could not be written; the text is for the error box.
class MAssocError : public std::runtime_error {
 public:
  explicit MAssocError(const QString& text) : std::runtime_error(text.toStdString()), Text(text) {}
  QString Text;
};

// The XDG base folders, from the environment when it holds an absolute path, otherwise the defaults.
QString XdgDataHome();
QString XdgConfigHome();

class MAssociation {
 public:
  static constexpr const char* MimeType = "application/x-tessora-map";
  static constexpr const char* DesktopId = "tessora.desktop";

  MAssociation(QString editor, QString dataHome, QString configHome);

  // Writes the files in order, each complete or not at all; the first failure throws MAssocError and
  // leaves what was written before it. Then refreshes the desktop's caches where the tools exist.
  void Register() const;

  // The files' texts, the same bytes on every run.
  static QByteArray MimePackage();
  // The desktop entry with the Exec argument and the TryExec value, both escaped already.
  static QByteArray DesktopEntry(const QString& exec, const QString& tryExec);
  // An Exec argument as the Desktop Entry rules want it: quoted when it holds a reserved character,
  // field codes escaped, then escaped as a string value.
  static QString ExecArgument(const QString& path);
  // `existing` with our type's default set in [Default Applications]; every other line kept.
  static QByteArray MergeMimeApps(const QByteArray& existing);

  // Where the files go.
  QString MimePackagePath() const;
  QString DesktopEntryPath() const;
  QString MimeAppsPath() const;
  QString AppIconPath() const;
  QString DocIconPath() const;

 private:
  void RefreshDatabases() const;

  QString Editor;
  QString DataHome;
  QString ConfigHome;
};

// Registers `folder`/tessora when that file exists; false (and nothing written) when it does not.
bool RegisterEditorIn(const QString& folder);
