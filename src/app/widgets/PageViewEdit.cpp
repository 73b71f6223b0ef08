// Typing into the page's texts in place: the editor laid over a text, and its commit.
#include <QClipboard>
#include <QGuiApplication>
#include <QTextDocumentFragment>

#include "app/widgets/InplaceEditor.h"
#include "app/widgets/PageView.h"
#include "layout/Shapes.h"
#include "render/MapCanvas.h"
#include "render/QtText.h"

void MPageView::OpenInplaceEditor() {
  if (editing_ == nullptr) return;
  LayOutEditor();
  // The lines the text shows: all of a memo's, one otherwise.
  const MText& text = *editing_;
  const bool memo = text.DataType == dtMemo;
  QStringList lines;
  for (const std::string& line : text.Lines) lines << FromSjis(line);
  if (!memo && lines.size() > 1) lines = QStringList{lines.front()};
  if (!memo && text.Lines.empty()) lines << FromSjis(text.GetText());
  editor_->setPlainText(lines.join('\n'));
  editingShown_ = editor_->toPlainText();
  editor_->show();
  editor_->raise();
  editor_->setFocus();
  emit editorChanged();
}

void MPageView::LayOutEditor() {
  const MText& text = *editing_;
  const MMapCanvas& canvas = document_.PageCanvas;
  editor_->setGeometry(canvas.RectToPixels(text.Bounds));
  QFont font = editor_->font();
  if (!text.FontFamily.empty()) font.setFamily(FromSjis(text.FontFamily));
  if (text.FontSize != 0) font.setPixelSize(std::max(1, canvas.ToPixels(text.FontSize)));
  font.setBold((text.FontStyle & kFontBold) != 0);
  font.setItalic((text.FontStyle & kFontItalic) != 0);
  editor_->setFont(font);
  editor_->SetSingleLine(text.DataType != dtMemo);
}

void MPageView::StoreEditorValue(const MPageText& text) {
  // Looking at a text is not changing it: a form text committed unchanged would become the page's
  // own and overwrite the values that later pages set themselves.
  const QString typed = editor_->toPlainText();
  if (typed == editingShown_) return;
  editingShown_ = typed;
  std::string value;
  for (const QString& line : typed.split('\n')) value += ToSjis(line) + "\r\n";
  Apply(SetTextValue(text, value));
}

void MPageView::CloseInplaceEditor() {
  if (editing_ == nullptr) return;
  const MPageText text = editing_;
  // Cleared first: hiding the editor takes its focus, which would commit again.
  editing_ = nullptr;
  StoreEditorValue(text);
  const QRect area = editor_->geometry();
  editor_->hide();
  paintBox_->update(area);
  emit editorChanged();
}

void MPageView::CommitEdit() { CloseInplaceEditor(); }

bool MPageView::EditorHasSelection() const {
  return editing_ != nullptr && editor_->textCursor().hasSelection();
}

void MPageView::CopyFromEditor() {
  if (EditorHasSelection())
    QGuiApplication::clipboard()->setText(editor_->textCursor().selection().toPlainText());
  emit editorChanged();
}

void MPageView::PasteIntoEditor() {
  if (editing_ != nullptr) editor_->insertPlainText(QGuiApplication::clipboard()->text());
}
