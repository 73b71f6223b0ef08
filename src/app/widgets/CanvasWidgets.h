// The three controls a canvas draws into: a scroll box, the panel it holds (sized by the canvas) and
// the paint box that fills the panel and paints through the canvas. The page view and the two side
// panes are each one such triple; MCanvasControls binds a canvas to its triple. The panel and the paint
// box hand their input to the view they belong to (MViewInput), which owns what it means.
#pragma once

#include <QScrollArea>
#include <QWidget>
#include <functional>

#include "app/platform/ControlNames.h"
#include "render/CanvasHost.h"

class MBaseCanvas;
class QDragMoveEvent;
class QDropEvent;
class QFocusEvent;
class QKeyEvent;
class QMouseEvent;

// What a view does with the input of its panel (keys, focus) and its paint box (mouse, drops).
class MViewInput {
 public:
  virtual ~MViewInput() = default;
  // A key pressed while the panel has the focus; Tab and Shift+Tab never come here (they move the
  // focus on).
  virtual void PanelKeyDown(QKeyEvent* key) = 0;
  virtual void PanelFocusIn(QFocusEvent* focus) = 0;
  virtual void PanelFocusOut(QFocusEvent* focus) = 0;
  virtual void BoxMouseDown(QMouseEvent* mouse) = 0;
  virtual void BoxMouseMove(QMouseEvent* mouse) = 0;
  virtual void BoxMouseUp(QMouseEvent* mouse) = 0;
  // A drag entering or moving over the paint box; true accepts it there.
  virtual bool BoxDragOver(QDragMoveEvent* drag) = 0;
  virtual void BoxDrop(QDropEvent* drop) = 0;
};

// A scroll box that does not scroll to bring its panel into view when the panel takes the focus, so
// that focusing the page never jumps the view to its top-left corner. The wheel over it is the
// window's: it scrolls the focused view, one line a turn.
class MScrollBox : public QScrollArea {
  Q_OBJECT

 public:
  explicit MScrollBox(QWidget* parent = nullptr);

  // Called after every resize (the whole-page and page-width views follow the window).
  std::function<void()> OnResize;

 protected:
  bool focusNextPrevChild(bool next) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
};

// A focusable panel. Enter and the arrow keys reach its view (a plain widget's keys move no focus but
// Tab's), so the page and the panes can use them.
class MPanel : public QWidget {
  Q_OBJECT

 public:
  explicit MPanel(MViewInput& input, QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  MViewInput& input_;
};

// Fills its panel and paints through a canvas: the canvas binds the paint event's painter and draws
// what lies in the repainted rectangle. Mouse and drops go to its view.
class MPaintBox : public QWidget {
  Q_OBJECT

 public:
  explicit MPaintBox(MViewInput& input, QWidget* parent = nullptr);
  void SetCanvas(MBaseCanvas* canvas) { canvas_ = canvas; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  MViewInput& input_;
  MBaseCanvas* canvas_ = nullptr;
};

// A canvas's window controls as the canvas sees them.
class MCanvasControls : public MCanvasHost {
 public:
  MCanvasControls(MScrollBox* scrollBox, QWidget* panel, MPaintBox* paintBox);
  ~MCanvasControls() override { Unbind(); }
  MCanvasControls(const MCanvasControls&) = delete;
  MCanvasControls& operator=(const MCanvasControls&) = delete;

  // Binds the canvas to these controls (and unbinds it again when the controls go).
  void Bind(MBaseCanvas* canvas);
  void Unbind();

  QSize ScrollBoxSize() const override;
  void SetPanelSize(int width, int height) override;
  void RepaintAll() override;
  void RepaintRect(const QRect& rect, bool erase) override;

 private:
  MScrollBox* scrollBox_;
  QWidget* panel_;
  MPaintBox* paintBox_;
  MBaseCanvas* canvas_ = nullptr;
};
