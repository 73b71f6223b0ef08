// What the window's actions may do now: the focused view, the clipboard as last seen, and the one
// function that enables every action from the state. Every command but copy and paste commits the
// text being typed in place before it runs.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>

#include "app/platform/QtClipboard.h"
#include "app/widgets/BoxEdit.h"
#include "app/widgets/InplaceEditor.h"
#include "app/widgets/ListPane.h"
#include "app/widgets/PageView.h"
#include "app/window/MainWindow.h"
#include "data/MapDB.h"
#include "layout/Controls.h"

void TfmMain::OnTriggered(QAction* action, std::function<void()> command) {
  connect(action, &QAction::triggered, this, [this, command = std::move(command)] {
    CommitEdit();
    command();
  });
}

void TfmMain::CommitEdit() { pageView_->CommitEdit(); }

void TfmMain::FocusChanged(QWidget* now) {
  // Menus, popups, dialogs and other programs borrow the focus; the view keeps being the focused one.
  if (now == nullptr || now->window() != this || qobject_cast<QMenuBar*>(now) != nullptr ||
      qobject_cast<QMenu*>(now) != nullptr)
    return;
  if (now == pageView_->Panel() || now == pageView_->Editor())
    focusedView_ = MView::Page;
  else if (now == unmapPane_->Panel())
    focusedView_ = MView::Unmap;
  else if (now == trashPane_->Panel())
    focusedView_ = MView::Trash;
  else
    focusedView_ = MView::None;
  UpdateActions();
}

void TfmMain::ClipboardChanged() {
  const MQtClipboard clipboard;
  clipboardHasBlock_ = clipboard.HasData(kMapBlockFormat);
  clipboardHasText_ = clipboard.HasText();
  UpdateActions();
}

void TfmMain::ScrollFocusedView(bool up) {
  // Only while the keyboard focus is in the view: with it in a box, the wheel scrolls nothing.
  const QWidget* focused = QApplication::focusWidget();
  if (focused == pageView_->Panel())
    pageView_->ScrollLine(up);
  else if (focused == unmapPane_->Panel())
    unmapPane_->ScrollLine(up);
  else if (focused == trashPane_->Panel())
    trashPane_->ScrollLine(up);
}

void TfmMain::UpdateActions() {
  const bool open = doc_.Open();
  const bool mapping = open && !doc_.TextInput();
  const bool editing = pageView_->EditingText() != nullptr;

  for (QAction* a : {miSave, miSaveAs, miPrint, miPrintPreview, miExportPdf, miExportPng, miImportCsv,
                     miExportCsv, miMappingMode, miTextMode, miPrePage, miNextPage})
    a->setEnabled(open);
  miRecent->setEnabled(!recent_.Files().isEmpty());
  miEdit->setEnabled(open);
  miUndo->setEnabled(open && CanUndo());
  miRedo->setEnabled(open && CanRedo());

  // Copy and paste: the editor's text in text input mode, otherwise the focused view's entries.
  bool copy = false;
  bool paste = false;
  if (open && !mapping) {
    copy = pageView_->EditorHasSelection();
    paste = editing && clipboardHasText_;
  } else if (open) {
    switch (focusedView_) {
      case MView::Trash:
        break;
      case MView::Page: {
        const MEntry* entry = doc_.Pages.Current();
        copy = entry != nullptr && entry->Kind() != MKind::EndOfData;
        paste = clipboardHasBlock_;
        break;
      }
      default:
        copy = true;
        paste = clipboardHasBlock_;
        break;
    }
  }
  miCopy->setEnabled(copy);
  miPaste->setEnabled(paste);

  // Inserting happens at the cursor: only while the page is the focused view, in mapping mode.
  const bool insert = mapping && focusedView_ == MView::Page;
  miInsert->setEnabled(insert);
  for (QAction* a : miInsert->actions()) a->setEnabled(insert);
  miTool->setEnabled(mapping);
  for (QAction* a : miTool->actions()) a->setEnabled(mapping);

  // The zoom keys are the editor's own keys while a text is typed.
  zoomInKeys_->setEnabled(!editing);
  zoomOutKeys_->setEnabled(!editing);

  edtNowPage->setEnabled(open);
  tbPageBar->setEnabled(open);
}
