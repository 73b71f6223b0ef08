// The about box: the program's picture, name, version and build, and a memo of notes that the file
// "tessora.info" beside the program can replace.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class TdlgVersion : public QDialog {
  Q_OBJECT

 public:
  // infoPath: the information file; by default "tessora.info" in the program's folder.
  explicit TdlgVersion(QWidget* parent = nullptr, const QString& infoPath = DefaultInfoPath());

  static QString DefaultInfoPath();
  // The memo's text without an information file.
  static QString DefaultInfo();
  // "major.minor" and "patch.tweak" of the program's version, as the build set it.
  static QString VersionText();
  static QString BuildText();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* imgAbout = nullptr;
  QLabel* lblAppName = nullptr;
  QLabel* lblVersion = nullptr;
  QLabel* lblBuild = nullptr;
  QPushButton* btnOK = nullptr;
  QPlainTextEdit* mmInfo = nullptr;
};
