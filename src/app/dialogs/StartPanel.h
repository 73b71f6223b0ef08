// What the window shows while no document is open: where to begin. Open a document, start a new one
// from a layout, one of the recent files, or the manual. The panel only asks; the window does the
// work through the signals (its own open and new-document commands, with the save question).
#pragma once

#include <QStringList>
#include <QWidget>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class TStartPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TStartPanel(QWidget* parent = nullptr);

  // The recent files, most recent first, as full paths; shown by file name with the path as tip.
  void SetRecentFiles(const QStringList& paths);
  QStringList RecentFiles() const { return recent_; }

 signals:
  // "開く..." was pressed: the window's open command.
  void openRequested();
  // "新規作成..." was pressed: the window's new-document command (it asks for the layout).
  void newRequested();
  // A recent file was chosen (double click, or Enter on it).
  void recentRequested(const QString& path);
  // "マニュアル" was pressed.
  void manualRequested();

 private:
  void ChooseRecent(QListWidgetItem* item);

  QStringList recent_;
  QLabel* lblTitle = nullptr;
  QLabel* lblHint = nullptr;
  QPushButton* btnStartOpen = nullptr;
  QPushButton* btnStartNew = nullptr;
  QPushButton* btnStartManual = nullptr;
  QLabel* lblRecent = nullptr;
  QListWidget* lbxRecent = nullptr;
  QLabel* lblNoRecent = nullptr;
};
