// A side pane: the unplaced blocks or the trash, as thumbnail cards or list rows, with its search box
// and list type buttons; its keys, clicks, selection and the drags that start in it. One class, two
// instances. It reads the document it is given and changes it only through document commands, whose
// reports it hands on (reportReady).
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

#include "app/DocumentContext.h"
#include "app/widgets/CanvasWidgets.h"

class MBoxEdit;
class QToolButton;

class MListPane : public QWidget, private MViewInput {
  Q_OBJECT

 public:
  MListPane(MPane pane, const MDocumentContext& document, QWidget* parent = nullptr);
  ~MListPane() override;

  MPane Pane() const { return pane_; }
  // The panel that holds the pane's keyboard focus (pnlUnmap, pnlTrash).
  QWidget* Panel() const;
  MBoxEdit* SearchBox() const { return search_; }

  // After the document opened or was reset: the search box emptied, usable with a document only.
  void DocumentChanged();
  // After the list's visible blocks changed: the cells counted and repainted; an empty pane takes no
  // focus.
  void Refresh();
  // Thumbnail cards or list rows; the buttons follow.
  void SetThumbnails(bool thumbnails);
  // The search box emptied without a search (the list already shows every block).
  void ClearSearchBox();
  // The wheel: one line up or down.
  void ScrollLine(bool up);
  // The search box's text narrows the list (nothing when it is the search already set); with enter,
  // the keys go back to the list.
  void ApplySearch(bool enter);

  // Answers the trash's "delete for good?" question (true: Yes).
  std::function<bool(const QString& question)> Confirm;

 signals:
  void reportReady(const MCommandReport& report);
  // The pane cannot hold the focus (no document, or nothing visible): the page should take it.
  void focusRefused();

 private:
  void PanelKeyDown(QKeyEvent* key) override;
  void PanelFocusIn(QFocusEvent* focus) override;
  void PanelFocusOut(QFocusEvent* focus) override;
  void BoxMouseDown(QMouseEvent* mouse) override;
  void BoxMouseMove(QMouseEvent* mouse) override;
  void BoxMouseUp(QMouseEvent* mouse) override;
  bool BoxDragOver(QDragMoveEvent*) override { return false; }
  void BoxDrop(QDropEvent*) override {}

  void DeleteSelected();
  void Apply(const MCommandReport& report) { emit reportReady(report); }
  MListDB& List() const { return document_.List(pane_); }
  MListCanvas& Canvas() const { return document_.Canvas(pane_); }

  MPane pane_;
  const MDocumentContext& document_;
  QToolButton* thumb_;
  QToolButton* list_;
  MBoxEdit* search_;
  MScrollBox* scrollBox_;
  MPanel* panel_;
  MPaintBox* paintBox_;
  std::unique_ptr<MCanvasControls> controls_;
  QImage thumbBack_;
  // A press on a block that may become a drag onto the page.
  bool mayDrag_ = false;
  QPoint pressAt_;
};
