// The three controls a canvas draws into: a scroll box, the panel it holds (sized by the canvas) and
// the paint box that fills the panel and paints through the canvas. The page view and the two side
// panes are each one such triple; MCanvasControls binds a canvas to its triple.
#pragma once

#include <QScrollArea>
#include <QWidget>
#include <functional>

#include "render/CanvasHost.h"

class MBaseCanvas;

// A scroll box that does not scroll to bring its panel into view when the panel takes the focus, so
// that focusing the page never jumps the view to its top-left corner.
class MScrollBox : public QScrollArea {
  Q_OBJECT

 public:
  explicit MScrollBox(QWidget* parent = nullptr);

  // Called after every resize (the whole-page and page-width views follow the window).
  std::function<void()> OnResize;

 protected:
  bool focusNextPrevChild(bool next) override;
  void resizeEvent(QResizeEvent* event) override;
};

// A focusable panel. Enter and the arrow keys reach its key handler (a plain widget's keys move no
// focus but Tab's), so the page and the panes can use them.
class MPanel : public QWidget {
  Q_OBJECT

 public:
  explicit MPanel(QWidget* parent = nullptr);
};

// Fills its panel and paints through a canvas: the canvas binds the paint event's painter and draws
// what lies in the repainted rectangle.
class MPaintBox : public QWidget {
  Q_OBJECT

 public:
  explicit MPaintBox(QWidget* parent = nullptr);
  void SetCanvas(MBaseCanvas* canvas) { canvas_ = canvas; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  MBaseCanvas* canvas_ = nullptr;
};

// A canvas's window controls as the canvas sees them.
class MCanvasControls : public MCanvasHost {
 public:
  MCanvasControls(MScrollBox* scrollBox, MPanel* panel, MPaintBox* paintBox);

  // Binds the canvas to these controls (and unbinds it again when the controls go).
  void Bind(MBaseCanvas* canvas);
  void Unbind();

  QSize ScrollBoxSize() const override;
  void SetPanelSize(int width, int height) override;
  void RepaintAll() override;
  void RepaintRect(const QRect& rect, bool erase) override;

 private:
  MScrollBox* scrollBox_;
  MPanel* panel_;
  MPaintBox* paintBox_;
  MBaseCanvas* canvas_ = nullptr;
};
