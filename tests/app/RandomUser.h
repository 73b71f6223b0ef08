// A seeded random user of the real window offscreen: keys of the page and the panes, clicks, drags
// and panning, modes, zoom and view, pages, searches, the mapping commands, the clipboard, in-place
// edits in Japanese and ASCII, undo, redo and save. Each action is written to a log so that a seed can
// be replayed and read; each says what it may do to the number of blocks.
#pragma once

#include <QDropEvent>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTextEdit>
#include <random>
#include <string>

#include "WindowTestSupport.h"
#include "layout/Form.h"
#include "layout/Grid.h"
#include "layout/Shapes.h"

namespace window_test {

// What an action may do to placed + unplaced + trash.
enum class BlockEffect { Keeps, MayAdd, MayRemove, Any };

class RandomUser {
 public:
  RandomUser(TfmMain& window, unsigned seed) : w_(window), random_(seed) {}

  int Pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
  template <class T>
  T* Find(const char* name) const {
    return w_.findChild<T*>(QString::fromLatin1(name));
  }
  QWidget* Widget(const char* name) const { return Find<QWidget>(name); }
  void Trigger(const char* action) {
    Note(action);
    Find<QAction>(action)->trigger();
  }
  void Note(const QString& what) { log_ += what.toStdString() + ' '; }
  const std::string& Log() const { return log_; }
  void ClearLog() { log_.clear(); }

  // A key pressed on a control (sent to it: QTest knows no text for keys such as Insert).
  void Key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    Note(QString("%1:%2%3")
             .arg(target->objectName())
             .arg(QKeySequence(key).toString())
             .arg(modifiers == Qt::NoModifier ? QString() : "+" + QString::number(modifiers.toInt() >> 25)));
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(target, &release);
  }

  // A drag of source ("unmap", "trash" or "page") ending over the page at pixel at. The drag's own
  // loop is left out: the events it would deliver are sent as they are.
  void Drop(const char* source, QPoint at) {
    Note(QString("drop:%1@%2,%3").arg(source).arg(at.x()).arg(at.y()));
    QMimeData data;
    data.setData("application/x-tessora-drag-source", source);
    QDragEnterEvent enter(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Widget("pbxMap"), &enter);
    if (!enter.isAccepted()) return;
    QDropEvent drop(QPointF(at), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Widget("pbxMap"), &drop);
  }

  // A pixel of the page: mostly a grid point or an editable text of the page shown, else anywhere.
  QPoint PagePoint() {
    const MPage* page = gMapDB->ActivePage();
    if (page != nullptr && Pick(5) != 0 && page->Grid().TotalPointCount() > 0) {
      const MGrid& grid = page->Grid();
      const int row = 1 + Pick(grid.RowCount());
      if (grid.PointCount(row) > 0)
        return gMapCanvas->RectToPixels(grid.PointAt(row, 1 + Pick(grid.PointCount(row)))->Bounds).center();
    }
    const QSize size = Widget("pbxMap")->size();
    return {Pick(std::max(1, size.width())), Pick(std::max(1, size.height()))};
  }

  void Click(QWidget* target, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    Note(QString("click:%1@%2,%3").arg(target->objectName()).arg(at.x()).arg(at.y()));
    QTest::mouseClick(target, button, Qt::NoModifier, at);
  }

  // Random text of Japanese (kana of both widths, kanji) and ASCII, some of it outside Shift-JIS.
  QString RandomText() {
    static const char* const kPieces[] = {"春の新作",   "Summer sale",
                                          "ｶﾅ と 漢字", "値下げ 20%",
                                          "〜",         "①",
                                          "髙",         "\"quoted, comma\"",
                                          "<br>",       "\n",
                                          "\r\n",       "😀",
                                          "é",          "\t",
                                          "",           "ー",
                                          "＼",         "∥"};
    QString text;
    for (int i = Pick(5); i > 0; --i) {
      if (Pick(3) == 0)
        text += QChar(0x3041 + Pick(0x53));  // hiragana
      else
        text += QString::fromUtf8(kPieces[Pick(std::size(kPieces))]);
    }
    return text;
  }

  // Types text into the form's title or into the memo of the block at a grid point, committing by
  // Enter, by a click elsewhere or by the mode change.
  void EditInPlace() {
    w_.ChangeEditMode(true);
    Note("edit");
    Click(Widget("pbxMap"), PagePoint() + QPoint(Pick(20), Pick(60)));
    if (w_.EditingText() == nullptr) return;
    auto* editor = Find<QTextEdit>("mmInplaceEdit");
    if (Pick(2) == 0) editor->selectAll();
    // Japanese arrives from the input method as committed text; ASCII may come as keys too.
    const QString text = RandomText();
    Note("type:" + QString(text).replace('\n', "\\n").replace('\r', "\\r").replace(' ', '_'));
    QInputMethodEvent typed;
    typed.setCommitString(text);
    QApplication::sendEvent(editor, &typed);
    if (Pick(3) == 0) QTest::keyClicks(editor, "ab 1,");
    switch (Pick(3)) {
      case 0:
        Key(editor, Qt::Key_Return);
        break;
      case 1:
        Click(Widget("pbxMap"), PagePoint());
        break;
      default:
        break;
    }
    if (Pick(2) == 0) {
      Note("mapmode");
      w_.ChangeEditMode(false);
    }
  }

  // The actions that undo's tests take: changes only.
  BlockEffect Change() {
    QWidget* page = Widget("pnlMap");
    switch (Pick(11)) {
      case 0:
      case 1: {  // cursor keys, then a key that changes the pages
        page->setFocus();
        static const Qt::Key kMoves[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,
                                         Qt::Key_Down, Qt::Key_F,     Qt::Key_B};
        for (int i = Pick(4); i > 0; --i)
          Key(page, kMoves[Pick(6)], Pick(2) ? Qt::ControlModifier : Qt::NoModifier);
        static const Qt::Key kChanges[] = {Qt::Key_Delete, Qt::Key_Return, Qt::Key_Space, Qt::Key_Insert,
                                           Qt::Key_Backspace};
        Key(page, kChanges[Pick(5)]);
        return BlockEffect::Keeps;
      }
      case 2:  // a block of the unplaced list into the trash
        Find<QTabWidget>("pcUnmap")->setCurrentIndex(0);
        gUnmapDB->Select(Pick(4));
        Widget("pnlUnmap")->setFocus();
        Key(Widget("pnlUnmap"), Qt::Key_X);
        return BlockEffect::Keeps;
      case 3:  // a block of the trash deleted for good
        Find<QTabWidget>("pcUnmap")->setCurrentIndex(1);
        Widget("pnlTrash")->setFocus();
        Key(Widget("pnlTrash"), Qt::Key_Delete);
        return BlockEffect::MayRemove;
      case 4: {  // a drop from a pane or a move on the page
        static const char* const kSources[] = {"unmap", "trash", "page"};
        const char* source = kSources[Pick(3)];
        if (std::string(source) == "page") Click(Widget("pbxMap"), PagePoint());
        Drop(source, PagePoint());
        return BlockEffect::Keeps;
      }
      case 5:
        Trigger("miAutoMapping");
        return BlockEffect::Keeps;
      case 6:
        Trigger("miSameMapping");
        return BlockEffect::Keeps;
      case 7:
        page->setFocus();
        Trigger("miCopy");
        Trigger("miPaste");
        return BlockEffect::MayAdd;
      case 8:  // an edit, back to the mapping mode
        EditInPlace();
        w_.ChangeEditMode(false);
        return BlockEffect::Keeps;
      case 9:
        Note("ctrl+z");
        QTest::keyClick(page, Qt::Key_Z, Qt::ControlModifier);
        return BlockEffect::Any;
      default:
        Trigger("miRedo");
        return BlockEffect::Any;
    }
  }

  // Any action of a user: the changes above and everything around them.
  BlockEffect Act() {
    switch (Pick(16)) {
      case 0: {  // every key of the page's table, with or without modifiers
        static const Qt::Key kKeys[] = {
            Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_End,    Qt::Key_Dollar,
            Qt::Key_Home,      Qt::Key_0,      Qt::Key_Left,  Qt::Key_H,     Qt::Key_Up,     Qt::Key_K,
            Qt::Key_Right,     Qt::Key_L,      Qt::Key_Down,  Qt::Key_J,     Qt::Key_Insert, Qt::Key_I,
            Qt::Key_Delete,    Qt::Key_X,      Qt::Key_B,     Qt::Key_F,     Qt::Key_Execute};
        static const Qt::KeyboardModifiers kModifiers[] = {Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier,
                                                           Qt::ControlModifier};
        Widget("pnlMap")->setFocus();
        for (int i = 1 + Pick(4); i > 0; --i)
          Key(Widget("pnlMap"), kKeys[Pick(std::size(kKeys))], kModifiers[Pick(4)]);
        return BlockEffect::Keeps;
      }
      case 1: {  // the panes' keys; the trash's Delete asks first
        const bool unmap = Pick(2) == 0;
        Find<QTabWidget>("pcUnmap")->setCurrentIndex(unmap ? 0 : 1);
        QWidget* pane = Widget(unmap ? "pnlUnmap" : "pnlTrash");
        pane->setFocus();
        static const Qt::Key kKeys[] = {Qt::Key_Left, Qt::Key_Up, Qt::Key_H, Qt::Key_K,      Qt::Key_Right,
                                        Qt::Key_Down, Qt::Key_J,  Qt::Key_L, Qt::Key_Delete, Qt::Key_X};
        Key(pane, kKeys[Pick(std::size(kKeys))]);
        return unmap ? BlockEffect::Keeps : BlockEffect::MayRemove;
      }
      case 2: {  // a click in a pane, perhaps the start of a drag to the page
        const bool unmap = Pick(2) == 0;
        Find<QTabWidget>("pcUnmap")->setCurrentIndex(unmap ? 0 : 1);
        QWidget* box = Widget(unmap ? "pbxUnmap" : "pbxTrash");
        Click(box, {Pick(std::max(1, box->width())), Pick(std::max(1, std::min(box->height(), 400)))});
        if (Pick(2) == 0) Drop(unmap ? "unmap" : "trash", PagePoint());
        return BlockEffect::Keeps;
      }
      case 3: {  // panning with the right button
        QWidget* box = Widget("pbxMap");
        const QPoint from = PagePoint(), to = from + QPoint(Pick(200) - 100, Pick(200) - 100);
        Note(QString("pan:%1,%2>%3,%4").arg(from.x()).arg(from.y()).arg(to.x()).arg(to.y()));
        QTest::mousePress(box, Qt::RightButton, Qt::NoModifier, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), box->mapToGlobal(QPointF(to)), Qt::NoButton,
                         Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(box, &move);
        QTest::mouseRelease(box, Qt::RightButton, Qt::NoModifier, to);
        return BlockEffect::Keeps;
      }
      case 4:  // the modes, as F4 and F5 choose them
        if (Pick(2) == 0) {
          Trigger(Pick(2) == 0 ? "miMappingMode" : "miTextMode");
        } else {  // through the shortcut
          const Qt::Key key = Pick(2) == 0 ? Qt::Key_F4 : Qt::Key_F5;
          Note(QKeySequence(key).toString());
          QTest::keyClick(QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &w_, key);
        }
        return BlockEffect::Keeps;
      case 5: {  // zoom and view
        static const char* const kViews[] = {"miZoomIn",    "miZoomOut", "miViewAll",  "miViewReal",
                                             "miViewBaseW", "miToolBar", "miUnmapPane"};
        const int how = Pick(8);
        if (how < 5) {
          Trigger(kViews[Pick(std::size(kViews))]);
        } else if (how == 5) {  // a pane as a list or as thumbnails
          const bool unmap = Pick(2) == 0, thumbnails = Pick(2) == 0;
          Note(QString("list:%1%2").arg(unmap).arg(thumbnails));
          w_.ChangeListType(unmap, thumbnails);
        } else if (how == 6) {
          const QSize size(200 + Pick(1200), 150 + Pick(900));
          Note(QString("resize:%1x%2").arg(size.width()).arg(size.height()));
          w_.resize(size);
          QApplication::processEvents();
        } else {
          static const char* const kZooms[] = {"10%", "400%", "75", "abc", "0", "-5", "99999"};
          Type(Find<QComboBox>("cbxZoom")->lineEdit(), kZooms[Pick(std::size(kZooms))]);
        }
        return BlockEffect::Keeps;
      }
      case 6:  // pages
        if (Pick(2) == 0) {
          Trigger(Pick(2) == 0 ? "miPrePage" : "miNextPage");
        } else {
          static const char* const kPages[] = {"1", "2", "3", "0", "999", "x", "-1"};
          Type(Find<QLineEdit>("edtNowPage"), kPages[Pick(std::size(kPages))]);
        }
        return BlockEffect::Keeps;
      case 7: {  // searches in both panes
        static const char* const kSearches[] = {"", "t", "tea", "b1", "ocha", "zz", "1"};
        const bool unmap = Pick(2) == 0;
        Find<QTabWidget>("pcUnmap")->setCurrentIndex(unmap ? 0 : 1);
        auto* box = Find<QLineEdit>(unmap ? "edtUnmapSearch" : "edtTrashSearch");
        if (Pick(3) == 0) {
          box->setFocus();
          box->setText(RandomText());
          Note("search:" + box->text());
          QTest::keyClick(box, Qt::Key_Return);
        } else {
          Type(box, kSearches[Pick(std::size(kSearches))]);
        }
        return BlockEffect::Keeps;
      }
      case 8:
        if (Pick(2) == 0) {
          Trigger("miNewLine");
          return BlockEffect::Keeps;
        }
        Trigger("miInsertBlock");
        return BlockEffect::MayAdd;
      case 9: {  // copy and paste from the page or the unplaced pane
        const bool unmap = Pick(2) == 0;
        if (unmap) Find<QTabWidget>("pcUnmap")->setCurrentIndex(0);
        Widget(unmap ? "pnlUnmap" : "pnlMap")->setFocus();
        Trigger("miCopy");
        if (Pick(2) == 0) Widget(Pick(2) == 0 ? "pnlUnmap" : "pnlMap")->setFocus();
        Trigger("miPaste");
        return BlockEffect::MayAdd;
      }
      case 10:
        Note("paint");
        w_.grab();
        return BlockEffect::Keeps;
      case 11:
        Note("save");
        w_.Save();
        return BlockEffect::Keeps;
      default:
        return Change();
    }
  }

 private:
  void Type(QLineEdit* box, const char* text) {
    Note(QString("type:%1=%2").arg(box->objectName(), text));
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
  }

  TfmMain& w_;
  std::mt19937 random_;
  std::string log_;
};

}  // namespace window_test
