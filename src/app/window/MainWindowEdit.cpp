// Editing on the page and in the panes: the two edit modes, the mapping cursor's caret, the keys of
// the page and the panes, clicks, move drags, drags from the panes, panning with the right button,
// and in-place text editing. The changes themselves are the engine's document commands; the window
// refreshes from their reports (AfterCommand).
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QFileInfo>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextEdit>
#include <QUrl>

#include "app/widgets/CanvasWidgets.h"
#include "app/window/MainWindow.h"
#include "base/Numbers.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapGlobal.h"
#include "layout/Layout.h"
#include "layout/Shapes.h"
#include "render/ListCanvas.h"
#include "render/MapCanvas.h"
#include "render/QtText.h"
#include "render/RenderGlobal.h"

namespace {

// What a drag inside the window carries: where it started ("page", "unmap" or "trash").
const QString kDragFormat = QStringLiteral("application/x-tessora-drag-source");

QString DragSource(const QMimeData* data) {
  return data != nullptr && data->hasFormat(kDragFormat) ? QString::fromLatin1(data->data(kDragFormat))
                                                         : QString();
}

// The document a drag from outside brings: one local .map file (any case), or none.
QString DraggedMapFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return {};
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
  const QFileInfo file(urls.front().toLocalFile());
  if (file.suffix().compare("map", Qt::CaseInsensitive) != 0 || !file.isFile()) return {};
  return file.absoluteFilePath();
}

bool NoModifier(const QKeyEvent* key) {
  return (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0;
}

bool LayoutLoaded() { return gLayout != nullptr && gLayout->HasForms() && HasDocument(); }

}  // namespace

// ---- modes and the caret

void TfmMain::ChangeEditMode(bool textInput) {
  if (textInput) {
    gMapCanvas->SetMode(cmTextInput);
    miTextMode->setChecked(true);
  } else {
    CloseInplaceEditor();
    pnlMap->setFocus();
    gMapCanvas->SetMode(cmMapping);
    miMappingMode->setChecked(true);
  }
  const bool mapping = !textInput && HasDocument();
  miNewLine->setEnabled(mapping);
  for (QMenu* menu : {miInsert, miTool}) {
    menu->setEnabled(mapping);
    for (QAction* a : menu->actions()) a->setEnabled(mapping);
  }
  UpdateEditCommands();
  UpdateCaret();
}

void TfmMain::UpdateCaret() {
  caret_->hide();
  if (QApplication::focusWidget() != pnlMap || gMapCanvas->Mode() == cmTextInput) return;
  if (!HasDocument()) return;
  const MEntry* entry = gMapDB->Current();
  double x = 0, y = 0;
  MRect bounds;
  if (entry == nullptr || !gMapDB->CurrentArea(x, y, bounds)) return;
  const double zoom = gMapCanvas->Zoom();
  const int width = base::RoundHalfEven(zoom * 10);
  const int height = entry->IsBlock() ? gMapCanvas->ToPixels(entry->Block()->Class().Height)
                                      : base::RoundHalfEven(zoom * 20);
  const QPoint at = gMapCanvas->PointToPixels(x, y) + QPoint(1, 1);
  caret_->setGeometry(at.x(), at.y(), std::max(1, width), std::max(1, height));
  caret_->show();
  caret_->raise();
}

// ---- in-place text editing

void TfmMain::OpenInplaceEditor() {
  if (editingText_ == nullptr) return;
  const QRect box = gMapCanvas->RectToPixels(editingText_->Bounds);
  mmInplaceEdit->setGeometry(box);
  QFont font = mmInplaceEdit->font();
  if (!editingText_->FontFamily.empty()) font.setFamily(FromSjis(editingText_->FontFamily));
  if (editingText_->FontSize != 0)
    font.setPixelSize(std::max(1, gMapCanvas->ToPixels(editingText_->FontSize)));
  font.setBold((editingText_->FontStyle & kFontBold) != 0);
  font.setItalic((editingText_->FontStyle & kFontItalic) != 0);
  mmInplaceEdit->setFont(font);
  const bool memo = editingText_->DataType == dtMemo;
  mmInplaceEdit->setLineWrapMode(memo ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
  // The lines the text shows: all of a memo's, one otherwise.
  QStringList lines;
  for (const std::string& line : editingText_->Lines) lines << FromSjis(line);
  if (!memo && lines.size() > 1) lines = QStringList{lines.front()};
  if (!memo && editingText_->Lines.empty()) lines << FromSjis(editingText_->GetText());
  mmInplaceEdit->setPlainText(lines.join('\n'));
  editingOpened_ = mmInplaceEdit->toPlainText();
  mmInplaceEdit->show();
  mmInplaceEdit->raise();
  mmInplaceEdit->setFocus();
  UpdateEditCommands();
}

void TfmMain::CloseInplaceEditor() {
  if (editingText_ == nullptr) return;
  const MPageText text = editingText_;
  // Cleared first: hiding the editor takes its focus, which commits again otherwise.
  editingText_ = nullptr;
  // Looking at a text is not changing it: a form text committed unchanged would become the page's
  // own and overwrite the values that later pages set themselves.
  if (mmInplaceEdit->toPlainText() != editingOpened_) {
    std::string value;
    for (const QString& line : mmInplaceEdit->toPlainText().split('\n')) value += ToSjis(line) + "\r\n";
    Run([&] { AfterCommand(SetTextValue(text, value)); });
  }
  const QRect area = mmInplaceEdit->geometry();
  mmInplaceEdit->hide();
  pbxMap->update(area);
  gMapCanvas->Invalidate();
  UpdateEditCommands();
}

void TfmMain::CommitBeforeLeavingThePage() {
  if (gMapCanvas->Mode() == cmTextInput) CloseInplaceEditor();
}

// ---- keys

void TfmMain::pnlMapKeyDown(QKeyEvent* key) {
  if (!LayoutLoaded()) return;
  const bool mapping = gMapCanvas->Mode() == cmMapping;
  const bool plain = NoModifier(key);
  const auto move = [this](void (MMapDB::*step)()) {
    (gMapDB.get()->*step)();
    UpdateCaret();
  };
  switch (key->key()) {
    case Qt::Key_Backspace: {
      if (!mapping) return;
      if (gMapDB->CurrentPage() == 1 && gMapDB->CurrentRow() == 1 && gMapDB->CurrentColumn() == 1) return;
      gMapDB->CursorPrevious();
      AfterCommand(DeleteAtCursor());
      UpdateCaret();
      break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Execute:
      if (!mapping) return;
      AfterCommand(InsertSpecial((key->modifiers() & Qt::ShiftModifier) != 0 ? "newpage" : "newline"));
      UpdateCaret();
      break;
    case Qt::Key_Space:
      if (!mapping) return;
      AfterCommand(InsertSpecial("space"));
      UpdateCaret();
      break;
    case Qt::Key_End:
      if (!mapping || !plain) return;
      move(&MMapDB::CursorRowEnd);
      break;
    case Qt::Key_Dollar:
      if (!mapping) return;
      move(&MMapDB::CursorRowEnd);
      break;
    case Qt::Key_Home:
    case Qt::Key_0:
      if (!mapping || !plain) return;
      move(&MMapDB::CursorRowStart);
      break;
    case Qt::Key_Left:
    case Qt::Key_H:
      if (!mapping || !plain) return;
      move(&MMapDB::CursorPrevious);
      break;
    case Qt::Key_Up:
    case Qt::Key_K:
      if (!mapping || !plain) return;
      move(&MMapDB::CursorUp);
      break;
    case Qt::Key_Right:
    case Qt::Key_L:
      if (!mapping || !plain) return;
      move(&MMapDB::CursorNext);
      break;
    case Qt::Key_Down:
    case Qt::Key_J:
      if (!mapping || !plain) return;
      move(&MMapDB::CursorDown);
      break;
    case Qt::Key_Insert:
    case Qt::Key_I:
      if (!mapping || !plain || gUnmapDB->Current() == nullptr) return;
      AfterCommand(PlaceSelected(MPane::Unmap));
      UpdateCaret();
      break;
    case Qt::Key_Delete:
    case Qt::Key_X:
      if (!mapping || !plain) return;
      AfterCommand(DeleteAtCursor());
      UpdateCaret();
      break;
    case Qt::Key_B:
      if ((key->modifiers() & Qt::ControlModifier) == 0) return;
      CommitBeforeLeavingThePage();
      gMapDB->PreviousPage();
      UpdateCaret();
      break;
    case Qt::Key_F:
      if ((key->modifiers() & Qt::ControlModifier) == 0) return;
      CommitBeforeLeavingThePage();
      gMapDB->NextPage();
      UpdateCaret();
      break;
    default:
      break;
  }
  UpdateEditCommands();
  UpdatePageIndicator(false);
}

void TfmMain::PaneKeyDown(bool unmapPane, QKeyEvent* key) {
  if (!HasDocument()) return;
  MListCanvas* canvas = PaneCanvas(unmapPane);
  MListDB& list = PaneList(unmapPane);
  switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_H:
    case Qt::Key_K:
      canvas->InvalidateSelection();
      list.SelectPrevious();
      canvas->InvalidateSelection();
      return;
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_J:
    case Qt::Key_L:
      canvas->InvalidateSelection();
      list.SelectNext();
      canvas->InvalidateSelection();
      return;
    case Qt::Key_Delete:
    case Qt::Key_X:
      break;
    default:
      return;
  }
  if (unmapPane) {
    AfterCommand(TrashSelected());
  } else {
    const MBlockInstance* block = list.Current();
    if (block == nullptr) return;
    if (!Confirm(QString("'%1'を削除しますか？").arg(FromSjis(block->FaceText())))) return;
    AfterCommand(DeleteSelectedForGood());
  }
  if (list.VisibleCount() == 0) pnlMap->setFocus();
}

bool TfmMain::Confirm(const QString& question) {
  if (ConfirmForTest) return ConfirmForTest(question);
  return QMessageBox::question(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

// ---- the mouse on the page

void TfmMain::pbxMapMouseDown(QMouseEvent* mouse) {
  mayDrag_ = false;
  if (!HasDocument()) return;
  if (mouse->button() == Qt::RightButton) {
    // Panning: the grabbed point stays under the mouse, in both modes.
    panning_ = true;
    panStart_ = mouse->position().toPoint();
    pbxMap->setCursor(Qt::ClosedHandCursor);
    return;
  }
  if (mouse->button() != Qt::LeftButton) return;
  const QPointF point =
      gMapCanvas->PixelsToPoint(mouse->position().toPoint().x(), mouse->position().toPoint().y());
  if (gMapCanvas->Mode() == cmTextInput) {
    MPageText text = gMapDB->TextAt(point.x(), point.y());
    CloseInplaceEditor();
    editingText_ = text;
    if (text != nullptr)
      OpenInplaceEditor();
    else
      pnlMap->setFocus();
    return;
  }
  pnlMap->setFocus();
  gMapDB->CursorToPoint(point.x(), point.y());
  UpdateCaret();
  const MEntry* entry = gMapDB->Current();
  if (entry != nullptr && (entry->IsBlock() || entry->Kind() == MKind::Space)) {
    dragOriginRow_ = gMapDB->CurrentRow();
    dragOriginColumn_ = gMapDB->CurrentColumn();
    panning_ = false;
    mayDrag_ = true;
    pressAt_ = mouse->position().toPoint();
  }
  UpdateEditCommands();
}

void TfmMain::pbxMapMouseMove(QMouseEvent* mouse) {
  const QPoint at = mouse->position().toPoint();
  if (panning_ && (mouse->buttons() & Qt::RightButton) != 0) {
    if (at != panStart_) {
      sbxMap->horizontalScrollBar()->setValue(sbxMap->horizontalScrollBar()->value() + panStart_.x() -
                                              at.x());
      sbxMap->verticalScrollBar()->setValue(sbxMap->verticalScrollBar()->value() + panStart_.y() - at.y());
    }
    return;
  }
  if (!mayDrag_ || (mouse->buttons() & Qt::LeftButton) == 0) return;
  if ((at - pressAt_).manhattanLength() < QApplication::startDragDistance()) return;
  mayDrag_ = false;
  auto* data = new QMimeData;
  data->setData(kDragFormat, "page");
  auto* drag = new QDrag(pbxMap);
  drag->setMimeData(data);
  drag->exec(Qt::MoveAction);
}

bool TfmMain::pbxMapDragOver(QDropEvent* drag) {
  const QString source = DragSource(drag->mimeData());
  const QPointF point =
      gMapCanvas->PixelsToPoint(drag->position().toPoint().x(), drag->position().toPoint().y());
  if (source == "page") {
    gMapDB->CursorToPoint(point.x(), point.y());
    UpdateCaret();
    return gMapDB->CurrentRow() != dragOriginRow_ || gMapDB->CurrentColumn() != dragOriginColumn_;
  }
  if (source == "unmap" || source == "trash") {
    if (gMapCanvas->Mode() != cmMapping || !HasDocument()) return false;
    pnlMap->setFocus();
    gMapDB->CursorToPoint(point.x(), point.y());
    UpdateCaret();
    return true;
  }
  return false;
}

void TfmMain::pbxMapDragDrop(QDropEvent* drop) {
  if (!pbxMapDragOver(drop)) return;
  const QString source = DragSource(drop->mimeData());
  if (source == "page") {
    AfterCommand(MoveEntryToCursor(dragOriginRow_, dragOriginColumn_));
  } else {
    AfterCommand(PlaceSelected(source == "unmap" ? MPane::Unmap : MPane::Trash));
  }
  UpdateCaret();
  drop->acceptProposedAction();
}

bool TfmMain::FileDragEvent(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || (widget != this && !isAncestorOf(widget))) return false;
  auto* drag = static_cast<QDropEvent*>(event);
  const QMimeData* data = drag->mimeData();
  // Blocks dragged inside the window go their own way (pbxMapDragOver).
  if (data == nullptr || !data->hasUrls() || data->hasFormat(kDragFormat)) return false;
  const QString path = DraggedMapFile(data);
  // Copied, never moved: a file manager told that the file moved would delete it.
  if (path.isEmpty() || (drag->possibleActions() & Qt::CopyAction) == 0) {
    drag->ignore();
    return true;
  }
  drag->setDropAction(Qt::CopyAction);
  drag->accept();
  // Opened once the drop is over: the save question must not hold up the other program's drag.
  if (type == QEvent::Drop)
    QMetaObject::invokeMethod(
        this, [this, path] { OpenNamed(path); }, Qt::QueuedConnection);
  return true;
}

// ---- the panes

void TfmMain::PaneMouseDown(bool unmapPane, QMouseEvent* mouse) {
  mayDrag_ = false;
  Pane& pane = unmapPane ? unmap_ : trash_;
  pane.panel->setFocus();
  if (!HasDocument() || mouse->button() != Qt::LeftButton) return;
  if (PaneCanvas(unmapPane)->SelectAt(mouse->position().toPoint())) {
    mayDrag_ = true;
    pressAt_ = mouse->position().toPoint();
  }
}

void TfmMain::PaneMouseMove(bool unmapPane, QMouseEvent* mouse) {
  if (!mayDrag_ || (mouse->buttons() & Qt::LeftButton) == 0) return;
  if ((mouse->position().toPoint() - pressAt_).manhattanLength() < QApplication::startDragDistance()) return;
  mayDrag_ = false;
  Pane& pane = unmapPane ? unmap_ : trash_;
  auto* data = new QMimeData;
  data->setData(kDragFormat, unmapPane ? "unmap" : "trash");
  auto* drag = new QDrag(pane.paintBox);
  drag->setMimeData(data);
  // A drag that ends nowhere gives the pane the focus back.
  if (drag->exec(Qt::MoveAction) == Qt::IgnoreAction) pane.panel->setFocus();
}

void TfmMain::PaneFocusIn(bool unmapPane) {
  const MListDB& list = PaneList(unmapPane);
  // An empty pane cannot hold the focus: its keys would act on nothing.
  if (!HasDocument() || list.VisibleCount() == 0) {
    pnlMap->setFocus();
    return;
  }
  PaneCanvas(unmapPane)->ShowFocused();
  UpdateEditCommands();
}

// ---- events of the page and the panes

bool TfmMain::EditEvent(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == pnlMap) {
    if (type == QEvent::KeyPress) {
      pnlMapKeyDown(static_cast<QKeyEvent*>(event));
      return true;
    }
    if (type == QEvent::FocusIn) {
      UpdateCaret();
      const bool mapping = LayoutLoaded() && gMapCanvas->Mode() == cmMapping;
      miInsert->setEnabled(mapping);
      for (QAction* a : miInsert->actions()) a->setEnabled(mapping);
      if (mapping) UpdateEditCommands();
    } else if (type == QEvent::FocusOut) {
      caret_->hide();
      miInsert->setEnabled(false);
      for (QAction* a : miInsert->actions()) a->setEnabled(false);
    }
    return false;
  }
  if (watched == pbxMap) {
    switch (type) {
      case QEvent::MouseButtonPress:
        pbxMapMouseDown(static_cast<QMouseEvent*>(event));
        return true;
      case QEvent::MouseMove:
        pbxMapMouseMove(static_cast<QMouseEvent*>(event));
        return true;
      case QEvent::MouseButtonRelease:
        if (panning_) {
          panning_ = false;
          pbxMap->unsetCursor();
        }
        mayDrag_ = false;
        return true;
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (pbxMapDragOver(drag))
          drag->acceptProposedAction();
        else
          drag->ignore();
        return true;
      }
      case QEvent::Drop:
        pbxMapDragDrop(static_cast<QDropEvent*>(event));
        return true;
      default:
        return false;
    }
  }
  if (watched == mmInplaceEdit) {
    if (type == QEvent::KeyPress && editingText_ != nullptr && editingText_->DataType != dtMemo) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        CloseInplaceEditor();
        pnlMap->setFocus();
        return true;
      }
    }
    if (type == QEvent::FocusOut) CloseInplaceEditor();
    if (type == QEvent::KeyRelease || type == QEvent::MouseButtonRelease ||
        type == QEvent::MouseButtonDblClick)
      UpdateEditCommands();
    return false;
  }
  for (const bool unmapPane : {true, false}) {
    Pane& pane = unmapPane ? unmap_ : trash_;
    if (watched == pane.panel) {
      if (type == QEvent::KeyPress) {
        PaneKeyDown(unmapPane, static_cast<QKeyEvent*>(event));
        return true;
      }
      if (type == QEvent::FocusIn) PaneFocusIn(unmapPane);
      if (type == QEvent::FocusOut) PaneCanvas(unmapPane)->ShowUnfocused();
      return false;
    }
    if (watched == pane.paintBox) {
      if (type == QEvent::MouseButtonPress) {
        PaneMouseDown(unmapPane, static_cast<QMouseEvent*>(event));
        return true;
      }
      if (type == QEvent::MouseMove) {
        PaneMouseMove(unmapPane, static_cast<QMouseEvent*>(event));
        return true;
      }
      return false;
    }
  }
  return false;
}
