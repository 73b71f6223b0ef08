// The mapping commands of the window: automatic and same-position mapping, inserting a block or a
// page break, copy and paste of blocks through the clipboard, when copy and paste are enabled, and
// the about box. Each command calls the engine's command and refreshes from its report.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include "app/dialogs/SelectBlockDialog.h"
#include "app/dialogs/VersionDialog.h"
#include "app/platform/QtClipboard.h"
#include "app/window/MainWindow.h"
#include "base/Progress.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapGlobal.h"
#include "layout/Controls.h"
#include "layout/Layout.h"
#include "render/MapCanvas.h"
#include "render/QtText.h"
#include "render/RenderGlobal.h"

namespace {

bool TextInputMode() { return gMapCanvas->Mode() == cmTextInput; }

// The commands that act on "the focused control" go by its name, as the page and the panes carry it.
QString FocusedName() {
  const QWidget* focused = QApplication::focusWidget();
  return focused != nullptr ? focused->objectName() : QString();
}

}  // namespace

void TfmMain::ConnectMappingCommands() {
  connect(miCopy, &QAction::triggered, this, [this] { copyToClipboard(); });
  connect(miPaste, &QAction::triggered, this, [this] { PasteFromClipboard(); });
  connect(miInsertBlock, &QAction::triggered, this, [this] { InsertBlock(); });
  connect(miNewLine, &QAction::triggered, this, [this] { miNewLineClick(); });
  connect(miAutoMapping, &QAction::triggered, this, [this] { AutoMapping(); });
  connect(miSameMapping, &QAction::triggered, this, [this] { SameMapping(); });
  connect(miAbout, &QAction::triggered, this, [this] { miAboutClick(); });

  // What copy and paste can do changes with the clipboard (also another program's copy) and with the
  // return to the program; the page and the panes refresh them when they take the focus.
  if (QClipboard* clipboard = QGuiApplication::clipboard())
    connect(clipboard, &QClipboard::dataChanged, this, [this] { UpdateEditCommands(); });
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive) UpdateEditCommands();
  });
}

void TfmMain::RunMappingCommand(const QString& label, const std::function<MCommandReport()>& command) {
  MCommandReport report;
  bool cancelled = false;
  RunWithProgress(label, [&] {
    report = command();
    cancelled = base::ProgressCancelled();
  });
  // The flow cannot stop half-way: a cancelled command completes, then is taken back whole.
  if (cancelled && report.Recorded) {
    const MCommandReport reverted = RevertLastChange();
    report.Lists |= reverted.Lists;
    report.MovedToUnplaced = 0;
  }
  AfterCommand(report);
}

void TfmMain::AutoMapping() {
  if (!HasDocument()) return;
  RunMappingCommand("自動マッピングしています...", [] { return ::AutoMapping(); });
}

void TfmMain::SameMapping() {
  if (!HasDocument()) return;
  const QString chosen = ChooseFile(false, QStringLiteral("参照マップファイルの選択"), QString());
  if (chosen.isEmpty()) return;
  // The engine reads the reference before it changes anything: an unreadable one leaves the pages,
  // the lists and the search as they were.
  RunMappingCommand("同一位置マッピングしています...", [&] {
    const MCommandReport report = ::SameMapping(ToSjis(chosen));
    unmap_.search->clear();  // the engine has shown every unplaced block again
    return report;
  });
}

void TfmMain::InsertBlock() {
  if (!HasDocument() || gLayout->Blocks.empty()) return;
  std::string className = gLayout->Blocks.front()->Name;
  if (gLayout->Blocks.size() > 1) {
    QStringList names;
    for (const auto& block : gLayout->Blocks) names << FromSjis(block->Name);
    TdlgSelectBlock dialog(names, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const int index = dialog.SelectedIndex();
    if (index < 0 || index >= static_cast<int>(gLayout->Blocks.size())) return;
    className = gLayout->Blocks[static_cast<std::size_t>(index)]->Name;
  }
  Run([&] { AfterCommand(::InsertBlock(className)); });
}

void TfmMain::miNewLineClick() {
  if (!HasDocument()) return;
  Run([this] { AfterCommand(InsertPageBreak()); });
}

void TfmMain::copyToClipboard() {
  if (!HasDocument()) return;
  if (TextInputMode()) {
    // The in-place editor's selection, as plain text.
    if (!mmInplaceEdit->isHidden() && mmInplaceEdit->textCursor().hasSelection()) {
      QGuiApplication::clipboard()->setText(mmInplaceEdit->textCursor().selection().toPlainText());
    }
    UpdateEditCommands();
    return;
  }
  const QString focused = FocusedName();
  MBaseDB* db = nullptr;
  if (focused == QLatin1String("pnlMap"))
    db = gMapDB.get();
  else if (focused == QLatin1String("pnlUnmap"))
    db = gUnmapDB.get();
  else
    return;
  Run([db] {
    MQtClipboard clipboard;
    db->CopyEntry(clipboard);
  });
  UpdateEditCommands();
}

void TfmMain::PasteFromClipboard() {
  if (!HasDocument()) return;
  if (TextInputMode()) {
    // Clipboard text into the in-place editor at its selection.
    if (!mmInplaceEdit->isHidden()) mmInplaceEdit->insertPlainText(QGuiApplication::clipboard()->text());
    return;
  }
  const QString focused = FocusedName();
  const bool pages = focused == QLatin1String("pnlMap");
  if (!pages && focused != QLatin1String("pnlUnmap")) return;
  Run([this, pages] {
    const MQtClipboard clipboard;
    AfterCommand(pages ? PasteIntoPages(clipboard) : PasteIntoUnplaced(clipboard));
  });
  UpdateStatusBar();
}

void TfmMain::UpdateEditCommands() {
  UpdateUndoCommands();
  if (!HasDocument()) {
    miCopy->setEnabled(false);
    miPaste->setEnabled(false);
    return;
  }
  const MQtClipboard clipboard;
  if (TextInputMode()) {
    const bool editing = editingText_ != nullptr;
    miCopy->setEnabled(editing && mmInplaceEdit->textCursor().hasSelection());
    miPaste->setEnabled(editing && clipboard.HasText());
    return;
  }
  const QWidget* focused = QApplication::focusWidget();
  if (focused == nullptr) return;
  const QString name = focused->objectName();
  if (name == QLatin1String("pnlTrash")) {
    miCopy->setEnabled(false);
    miPaste->setEnabled(false);
    return;
  }
  if (name == QLatin1String("pnlMap")) {
    const MEntry* entry = gMapDB->Current();
    miCopy->setEnabled(entry != nullptr && entry->Kind() != MKind::EndOfData);
  } else {
    miCopy->setEnabled(true);
  }
  miPaste->setEnabled(clipboard.HasData(kMapBlockFormat));
}

void TfmMain::miAboutClick() {
  TdlgVersion dialog(this);
  dialog.exec();
}
