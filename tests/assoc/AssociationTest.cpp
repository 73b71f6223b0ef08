// Fanbor's files under temporary XDG folders, then what the desktop's own tools make of them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "assoc/Association.h"
#include "assoc/FanborForm.h"

namespace {

QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

class AssocTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Temp.isValid());
    Data = Temp.filePath("data");
    Config = Temp.filePath("config");
    qputenv("XDG_DATA_HOME", Data.toUtf8());
    qputenv("XDG_CONFIG_HOME", Config.toUtf8());
  }
  // A folder holding a program file named like the editor; only its presence matters.
  QString EditorFolder(const QString& name) {
    const QString folder = Temp.filePath(name);
    Write(folder + "/tessora", "#!/bin/sh\n");
    return folder;
  }
  // Every file we own under the two folders, with its bytes (the caches of the tools left out).
  QMap<QString, QByteArray> Snapshot() const {
    QMap<QString, QByteArray> files;
    for (const QString& root : {Data, Config}) {
      QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
      while (it.hasNext()) {
        const QString path = it.next();
        if (path.contains("/mime/") && !path.contains("/mime/packages/")) continue;
        if (path.endsWith("mimeinfo.cache")) continue;
        files[path] = Read(path);
      }
    }
    return files;
  }
  QProcessEnvironment Env() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", Temp.path());
    env.insert("XDG_DATA_HOME", Data);
    env.insert("XDG_CONFIG_HOME", Config);
    env.remove("XDG_CURRENT_DESKTOP");
    return env;
  }
  QString Run(const QString& program, const QStringList& args, int* code = nullptr) const {
    QProcess process;
    process.setProcessEnvironment(Env());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    process.waitForFinished(60000);
    if (code) *code = process.exitCode();
    return QString::fromUtf8(process.readAll()).trimmed();
  }

  QTemporaryDir Temp;
  QString Data, Config;
};

TEST_F(AssocTest, WritesTheFilesAndTheSameBytesAgain) {
  const QString folder = EditorFolder("bin");
  ASSERT_TRUE(RegisterEditorIn(folder));
  const MAssociation assoc(folder + "/tessora", Data, Config);
  const QByteArray package = Read(Data + "/mime/packages/tessora-map.xml");
  EXPECT_EQ(package, MAssociation::MimePackage());
  EXPECT_TRUE(package.contains("<mime-type type=\"application/x-tessora-map\">"));
  EXPECT_TRUE(package.contains("<comment>map ファイル</comment>"));
  EXPECT_TRUE(package.contains("value=\"[basic_info]\""));
  const QString entry = QString::fromUtf8(Read(Data + "/applications/tessora.desktop"));
  EXPECT_TRUE(entry.contains("\nExec=" + folder + "/tessora %f\n")) << entry.toStdString();
  EXPECT_TRUE(entry.contains("\nMimeType=application/x-tessora-map;\n"));
  EXPECT_TRUE(entry.contains("\nIcon=tessora\n"));
  EXPECT_EQ(Read(Config + "/mimeapps.list"),
            "[Default Applications]\napplication/x-tessora-map=tessora.desktop;\n");
  EXPECT_TRUE(Read(assoc.AppIconPath()).startsWith("<svg"));
  EXPECT_TRUE(Read(assoc.DocIconPath()).startsWith("<svg"));

  const auto first = Snapshot();
  EXPECT_EQ(first.size(), 5);
  ASSERT_TRUE(RegisterEditorIn(folder));
  EXPECT_EQ(Snapshot(), first);
}

TEST_F(AssocTest, WithoutTheEditorNothingIsWritten) {
  QDir().mkpath(Temp.filePath("empty"));
  EXPECT_FALSE(RegisterEditorIn(Temp.filePath("empty")));
  EXPECT_FALSE(QFileInfo::exists(Data));
  EXPECT_FALSE(QFileInfo::exists(Config));
}

TEST_F(AssocTest, PathsWithReservedCharactersAreQuotedInExec) {
  const QString folder = EditorFolder("my apps");
  ASSERT_TRUE(RegisterEditorIn(folder));
  const QString entry = QString::fromUtf8(Read(Data + "/applications/tessora.desktop"));
  EXPECT_TRUE(entry.contains("\nExec=\"" + folder + "/tessora\" %f\n")) << entry.toStdString();
  // Inside quotes " ` $ \ take a backslash, then string escaping doubles every backslash.
  EXPECT_EQ(MAssociation::ExecArgument("/opt/a$b/t"), "\"/opt/a\\\\$b/t\"");
  EXPECT_EQ(MAssociation::ExecArgument("/opt/a\\b/t"), "\"/opt/a\\\\\\\\b/t\"");
  EXPECT_EQ(MAssociation::ExecArgument("/opt/100%/t"), "/opt/100%%/t");
  EXPECT_EQ(MAssociation::ExecArgument("/opt/x\"y/t"), "\"/opt/x\\\\\"y/t\"");
}

TEST_F(AssocTest, AnExistingMimeappsListKeepsItsOtherLines) {
  const QByteArray before =
      "# mine\n[Added Associations]\napplication/x-tessora-map=other.desktop;\n\n"
      "[Default Applications]\ntext/plain=gedit.desktop;\napplication/x-tessora-map = old.desktop;\n"
      "image/png=eog.desktop;\r\n";
  const QByteArray after =
      "# mine\n[Added Associations]\napplication/x-tessora-map=other.desktop;\n\n"
      "[Default Applications]\ntext/plain=gedit.desktop;\napplication/x-tessora-map=tessora.desktop;\n"
      "image/png=eog.desktop;\r\n";
  EXPECT_EQ(MAssociation::MergeMimeApps(before), after);
  EXPECT_EQ(
      MAssociation::MergeMimeApps("[Default Applications]\na/b=c.desktop;\n\n[X]\ny=z\n"),
      "[Default Applications]\na/b=c.desktop;\napplication/x-tessora-map=tessora.desktop;\n\n[X]\ny=z\n");
  EXPECT_EQ(MAssociation::MergeMimeApps("[X]\ny=z"),
            "[X]\ny=z\n\n[Default Applications]\napplication/x-tessora-map=tessora.desktop;\n");

  Write(Config + "/mimeapps.list", before);
  ASSERT_TRUE(RegisterEditorIn(EditorFolder("bin")));
  EXPECT_EQ(Read(Config + "/mimeapps.list"), after);
}

// Running as root, permissions stop nothing: a file standing where a folder must go does.
TEST_F(AssocTest, AnUnwritableFolderIsReportedAndTheWindowStays) {
  const QString folder = EditorFolder("bin");
  Write(Data + "/applications", "not a folder");
  try {
    RegisterEditorIn(folder);
    FAIL() << "no error";
  } catch (const MAssocError& error) {
    EXPECT_EQ(error.Text, "キー " + Data + "/applications の作成に失敗しました");
  }
  EXPECT_FALSE(Read(Data + "/mime/packages/tessora-map.xml").isEmpty());  // written before stays

  QStringList errors;
  TfmMain form(folder);
  form.ErrorHandler = [&](const QString& text) { errors << text; };
  form.FormShow();
  EXPECT_EQ(errors, QStringList{"キー " + Data + "/applications の作成に失敗しました"});
  EXPECT_FALSE(form.Ended());

  QFile::remove(Data + "/applications");
  QDir().mkpath(Config + "/mimeapps.list");  // a folder where the file goes
  errors.clear();
  form.FormShow();
  EXPECT_EQ(errors, QStringList{"'" + Config + "/mimeapps.list' の設定に失敗しました"});
  QDir(Config + "/mimeapps.list").removeRecursively();
  errors.clear();
  form.FormShow();
  EXPECT_TRUE(errors.isEmpty());
  EXPECT_TRUE(form.Ended());
}

TEST_F(AssocTest, TheDesktopToolsAgree) {
  const QString xdgMime = QStandardPaths::findExecutable("xdg-mime");
  const QString validate = QStandardPaths::findExecutable("desktop-file-validate");
  if (xdgMime.isEmpty() || validate.isEmpty() ||
      QStandardPaths::findExecutable("update-mime-database").isEmpty())
    GTEST_SKIP() << "xdg-utils, desktop-file-utils or shared-mime-info is not installed (scripts/deps.sh)";
  ASSERT_TRUE(RegisterEditorIn(EditorFolder("my apps")));
  const QString sample = QStringLiteral(TESSORA_SOURCE_DIR "/samples/catalog.map");
  EXPECT_EQ(Run(xdgMime, {"query", "filetype", sample}), "application/x-tessora-map");
  EXPECT_EQ(Run(xdgMime, {"query", "default", "application/x-tessora-map"}), "tessora.desktop");
  // Someone else's .map file is not ours; ours with a byte order mark is.
  Write(Temp.filePath("other.map"), "Linker map of something\n");
  EXPECT_NE(Run(xdgMime, {"query", "filetype", Temp.filePath("other.map")}), "application/x-tessora-map");
  Write(Temp.filePath("bom.map"), "\xef\xbb\xbf[basic_info]\r\nlayout=a.lay\r\n");
  EXPECT_EQ(Run(xdgMime, {"query", "filetype", Temp.filePath("bom.map")}), "application/x-tessora-map");
  int code = -1;
  EXPECT_EQ(Run(validate, {Data + "/applications/tessora.desktop"}, &code).toStdString(), "");
  EXPECT_EQ(code, 0);
}

}  // namespace

int main(int argc, char** argv) {
  // Headless, also when CTest lists the tests.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
