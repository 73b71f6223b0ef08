#include "assoc/Association.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

// The icons live in this library's resource, which a static library must register itself.
static void InitAssocResources() { Q_INIT_RESOURCE(Assoc); }

namespace {

const QString kAppIcon = QStringLiteral("tessora");
const QString kDocIcon = QStringLiteral("application-x-tessora-map");

QString XdgHome(const char* variable, const QString& fallback) {
  const QString value = qEnvironmentVariable(variable);
  // The base directory rules ignore relative values.
  if (!value.isEmpty() && QDir::isAbsolutePath(value)) return QDir::cleanPath(value);
  return QDir::homePath() + fallback;
}

void MakeFolder(const QString& folder) {
  if (!QDir().mkpath(folder))
    throw MAssocError(QStringLiteral("キー %1 の作成に失敗しました").arg(QDir::toNativeSeparators(folder)));
}

QString SetFailed(const QString& path) {
  return QStringLiteral("'%1' の設定に失敗しました").arg(QDir::toNativeSeparators(path));
}

// Replaces the file in one step, so a failed write never leaves half a file.
void WriteFile(const QString& path, const QByteArray& bytes) {
  MakeFolder(QFileInfo(path).path());
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    throw MAssocError(SetFailed(path));
}

// A desktop entry string value: backslash and control characters escaped.
QString StringValue(const QString& text) {
  QString value;
  for (const QChar c : text) {
    if (c == '\\')
      value += QStringLiteral("\\\\");
    else if (c == '\n')
      value += QStringLiteral("\\n");
    else if (c == '\t')
      value += QStringLiteral("\\t");
    else if (c == '\r')
      value += QStringLiteral("\\r");
    else
      value += c;
  }
  return value;
}

QByteArray ReadResource(const QString& name) {
  QFile file(name);
  file.open(QIODevice::ReadOnly);
  return file.readAll();
}

}  // namespace

QString XdgDataHome() { return XdgHome("XDG_DATA_HOME", QStringLiteral("/.local/share")); }
QString XdgConfigHome() { return XdgHome("XDG_CONFIG_HOME", QStringLiteral("/.config")); }

MAssociation::MAssociation(QString editor, QString dataHome, QString configHome)
    : Editor(std::move(editor)), DataHome(std::move(dataHome)), ConfigHome(std::move(configHome)) {}

QString MAssociation::MimePackagePath() const { return DataHome + "/mime/packages/tessora-map.xml"; }
QString MAssociation::DesktopEntryPath() const { return DataHome + "/applications/" + DesktopId; }
QString MAssociation::MimeAppsPath() const { return ConfigHome + "/mimeapps.list"; }
QString MAssociation::AppIconPath() const {
  return DataHome + "/icons/hicolor/scalable/apps/" + kAppIcon + ".svg";
}
QString MAssociation::DocIconPath() const {
  return DataHome + "/icons/hicolor/scalable/mimetypes/" + kDocIcon + ".svg";
}

void MAssociation::Register() const {
  InitAssocResources();
  WriteFile(MimePackagePath(), MimePackage());
  WriteFile(DocIconPath(), ReadResource(":/assoc/" + kDocIcon + ".svg"));
  WriteFile(AppIconPath(), ReadResource(":/assoc/" + kAppIcon + ".svg"));
  // TryExec is a plain string value: only the string escapes apply, not the argument quoting.
  WriteFile(DesktopEntryPath(), DesktopEntry(ExecArgument(Editor), StringValue(Editor)));

  const QString list = MimeAppsPath();
  QByteArray existing;
  if (QFileInfo::exists(list)) {
    QFile file(list);
    if (!file.open(QIODevice::ReadOnly)) throw MAssocError(SetFailed(list));
    existing = file.readAll();
  }
  WriteFile(list, MergeMimeApps(existing));
  RefreshDatabases();
}

void MAssociation::RefreshDatabases() const {
  // The desktop reads the caches, not our files: rebuild them, as a shell notification would make
  // the shell reload. Without the tools there is nothing to refresh.
  const auto run = [](const QString& tool, const QString& folder) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) return;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, {folder});
    process.waitForFinished(60000);
  };
  run(QStringLiteral("update-mime-database"), DataHome + "/mime");
  run(QStringLiteral("update-desktop-database"), DataHome + "/applications");
}

QByteArray MAssociation::MimePackage() {
  InitAssocResources();
  return ReadResource(QStringLiteral(":/assoc/tessora-map.xml"));
}

QByteArray MAssociation::DesktopEntry(const QString& exec, const QString& tryExec) {
  InitAssocResources();
  QByteArray entry = ReadResource(QStringLiteral(":/assoc/tessora.desktop.in"));
  return entry.replace("@TRYEXEC@", tryExec.toUtf8()).replace("@EXEC@", exec.toUtf8());
}

QString MAssociation::ExecArgument(const QString& path) {
  static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
  QString arg;
  const bool quote = std::any_of(path.begin(), path.end(), [](QChar c) { return reserved.contains(c); });
  if (quote) arg += '"';
  for (const QChar c : path) {
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) arg += '\\';
    arg += c;
    if (c == '%') arg += '%';  // a literal percent is doubled, or it reads as a field code
  }
  if (quote) arg += '"';
  // The string value escapes apply on top of the quoting.
  return StringValue(arg);
}

QByteArray MAssociation::MergeMimeApps(const QByteArray& existing) {
  const QByteArray section = "[Default Applications]";
  const QByteArray key = MimeType;
  const QByteArray entry = key + '=' + DesktopId + ';';
  // Lines keep their own endings (a '\r' stays with its line); only our key's lines change.
  QList<QByteArray> lines = existing.split('\n');
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  bool inSection = false, found = false;
  qsizetype sectionEnd = -1;  // where a missing key goes: after the section's last non-blank line
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QByteArray line = lines[i].trimmed();
    if (line.startsWith('[')) {
      inSection = line == section;
      if (inSection && sectionEnd < 0) sectionEnd = i + 1;
      continue;
    }
    if (!inSection) continue;
    if (!line.isEmpty()) sectionEnd = i + 1;
    const qsizetype equals = line.indexOf('=');
    if (equals > 0 && line.left(equals).trimmed() == key) {
      lines[i] = entry;
      found = true;
    }
  }
  if (!found) {
    if (sectionEnd >= 0) {
      lines.insert(sectionEnd, entry);
    } else {
      if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) lines.append(QByteArray());
      lines.append(section);
      lines.append(entry);
    }
  }
  return lines.join('\n') + '\n';
}

bool RegisterEditorIn(const QString& folder) {
  const QString editor = QDir(folder).absoluteFilePath(QStringLiteral("tessora"));
  if (!QFileInfo(editor).isFile()) return false;
  MAssociation(QDir::cleanPath(editor), XdgDataHome(), XdgConfigHome()).Register();
  return true;
}
