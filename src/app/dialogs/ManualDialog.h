// The user's manual inside the program: the Markdown pages of docs/manual, compiled into the program's
// resources (so that it works offline and wherever the program is installed), shown in a browser with
// Qt's own Markdown support. Links between pages and back and forth work as in a web browser; links
// to the web open in the desktop's browser.
#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

class QPushButton;
class QTextBrowser;

class TdlgManual : public QDialog {
  Q_OBJECT

 public:
  // Opens on page (a file name of the manual such as "tutorial.md", "" for the contents).
  explicit TdlgManual(QWidget* parent = nullptr, const QString& page = {});

  // Shows a page of the manual: "editor.md", or with a section, "editor.md#keys".
  void OpenPage(const QString& page);
  // The page shown, as a resource URL (qrc:/manual/...).
  QUrl CurrentPage() const;
  QTextBrowser* Browser() const { return tbManual; }

  // The manual's resource URL of a page; the contents page for an empty name.
  static QUrl PageUrl(const QString& page);
  // Every page of the manual, as file names, contents first.
  static QStringList Pages();

 private:
  void UpdateButtons();

  QTextBrowser* tbManual = nullptr;
  QPushButton* btnBack = nullptr;
  QPushButton* btnForward = nullptr;
  QPushButton* btnContents = nullptr;
  QPushButton* btnClose = nullptr;
};
