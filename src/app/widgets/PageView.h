// The page view: the page panel in its scroll box, painting through the page canvas, with the mapping
// cursor's caret, the in-place editor, the zoom, and the page's keys, mouse, wheel and drops. It reads
// the document it is given and changes it only through document commands, whose reports it hands on
// (reportReady) for the window to apply in one place.
#pragma once

#include <QPoint>
#include <QString>
#include <memory>

#include "app/DocumentContext.h"
#include "app/widgets/CanvasWidgets.h"
#include "layout/Page.h"

class MInplaceEditor;

// What a zoom asks for; the numbers are the page canvas's requests (MMapCanvas::ZoomFor).
enum class MZoomRequest { Text = 0, In = 1, Out = 2, RealSize = 3, WholePage = 4, PageWidth = 5 };
// The view mode a zoom leaves: none after a step or a typed zoom, unless it came to exactly 100 %.
enum class MViewMode { None, RealSize, WholePage, PageWidth };

class MPageView : public MScrollBox, private MViewInput {
  Q_OBJECT

 public:
  explicit MPageView(const MDocumentContext& document, QWidget* parent = nullptr);
  ~MPageView() override;

  // The panel that holds the page's keyboard focus (pnlMap).
  QWidget* Panel() const;
  // The mapping cursor's caret, shown over the page while the panel has the focus.
  QWidget* Caret() const { return caret_; }
  MInplaceEditor* Editor() const { return editor_; }

  // After a document opened or was reset: no text edited, the view at its top-left corner, the page
  // size and unit of the layout, the mouse taken only with a document.
  void DocumentChanged();

  // The zoom: the canvas's zoom set as the request says (typed: the zoom box's text for Text), the
  // editor laid out again with its typing committed, the caret placed; then zoomChanged.
  void ApplyZoom(MZoomRequest request, const QString& typed = {});
  MViewMode ViewMode() const { return viewMode_; }
  // The zoom as the zoom box shows it, a whole percentage.
  int ZoomPercent() const;
  // The wheel: one line up or down.
  void ScrollLine(bool up);
  void ScrollToOrigin();

  // Every way of turning a page comes here: the editor's typing committed, then the page shown.
  void TurnPage(int page);
  void PreviousPage();
  void NextPage();

  // The edit modes: text input (editable texts open in place) or mapping (the cursor).
  void SetEditMode(bool textInput);
  const MPageText& EditingText() const { return editing_; }
  // Commits the text being typed and closes the editor; nothing when none is open.
  void CommitEdit();
  // Copy and paste of the editor, in text input mode.
  bool EditorHasSelection() const;
  void CopyFromEditor();
  void PasteIntoEditor();

  // Shows the cursor as a caret over the page, where the panel has the focus in mapping mode.
  void UpdateCaret();

 signals:
  void reportReady(const MCommandReport& report);
  // The zoom or the view mode changed (also when a resize recomputed them).
  void zoomChanged();
  // An editor opened or closed, or its selection may have changed.
  void editorChanged();
  // A document file dropped on the page.
  void fileDropped(const QString& path);

 private:
  // Input of the panel and the paint box.
  void PanelKeyDown(QKeyEvent* key) override;
  void PanelFocusIn(QFocusEvent* focus) override;
  void PanelFocusOut(QFocusEvent* focus) override;
  void BoxMouseDown(QMouseEvent* mouse) override;
  void BoxMouseMove(QMouseEvent* mouse) override;
  void BoxMouseUp(QMouseEvent* mouse) override;
  bool BoxDragOver(QDragMoveEvent* drag) override;
  void BoxDrop(QDropEvent* drop) override;

  void pnlMapKeyDown(QKeyEvent* key);
  void Apply(const MCommandReport& report) { emit reportReady(report); }
  // The cursor to a pixel of the paint box.
  void CursorToPixel(QPoint pixel);
  bool DocumentOpen() const { return document_.Open(); }

  // Move drags on the page: started by a press on a block or a space entry, tracked by the mouse,
  // dropped by the release.
  void StartMoveDrag();
  void TrackMoveDrag(QPoint pixel);
  void EndMoveDrag(QPoint pixel, bool drop);
  bool MoveDragTarget() const;

  // In-place editing (PageViewEdit.cpp).
  void OpenInplaceEditor();
  // Places the editor over the text edited at the current scale, in its font.
  void LayOutEditor();
  void StoreEditorValue(const MPageText& text);
  void CloseInplaceEditor();

  const MDocumentContext& document_;
  MPanel* panel_;
  MPaintBox* paintBox_;
  MInplaceEditor* editor_;
  QWidget* caret_;
  std::unique_ptr<MCanvasControls> controls_;
  MViewMode viewMode_ = MViewMode::WholePage;

  // The text edited in place, and the editor's content when it was laid out: an unchanged text is no
  // change.
  MPageText editing_;
  QString editingShown_;

  // The mouse: a press that may become a move drag, the drag, panning.
  enum class MPress { None, MayDrag, Dragging, Panning };
  MPress press_ = MPress::None;
  QPoint pressAt_;
  int dragOriginRow_ = 0, dragOriginColumn_ = 0;
};
