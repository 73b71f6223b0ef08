// The mapping commands of the window: automatic and same-position mapping, inserting a block or a
// page break, copy and paste of blocks through the clipboard, the edit modes, and the about box. Each
// command calls the engine's command and hands its report to ApplyReport.
#include <QAction>

#include "app/dialogs/SelectBlockDialog.h"
#include "app/dialogs/VersionDialog.h"
#include "app/platform/QtClipboard.h"
#include "app/widgets/ListPane.h"
#include "app/widgets/PageView.h"
#include "app/window/MainWindow.h"
#include "base/Progress.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "layout/Layout.h"
#include "render/QtText.h"

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
  ApplyReport(report);
}

void TfmMain::AutoMapping() {
  if (!doc_.Open()) return;
  RunMappingCommand("自動マッピングしています...", [] { return ::AutoMapping(); });
}

void TfmMain::SameMapping() {
  if (!doc_.Open()) return;
  const QString chosen = ChooseFile(false, QStringLiteral("参照マップファイルの選択"), QString());
  if (chosen.isEmpty()) return;
  // The engine reads the reference before it changes anything: an unreadable one leaves the pages,
  // the lists and the search as they were.
  RunMappingCommand("同一位置マッピングしています...", [&] {
    const MCommandReport report = ::SameMapping(ToSjis(chosen));
    unmapPane_->ClearSearchBox();  // the engine has shown every unplaced block again
    return report;
  });
}

void TfmMain::InsertBlock() {
  if (!doc_.Open() || doc_.Layout.Blocks.empty()) return;
  std::string className = doc_.Layout.Blocks.front()->Name;
  if (doc_.Layout.Blocks.size() > 1) {
    QStringList names;
    for (const auto& block : doc_.Layout.Blocks) names << FromSjis(block->Name);
    TdlgSelectBlock dialog(names, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const int index = dialog.SelectedIndex();
    if (index < 0 || index >= static_cast<int>(doc_.Layout.Blocks.size())) return;
    className = doc_.Layout.Blocks[static_cast<std::size_t>(index)]->Name;
  }
  Run([&] { ApplyReport(::InsertBlock(className)); });
}

void TfmMain::miNewLineClick() {
  if (!doc_.Open()) return;
  Run([this] { ApplyReport(InsertPageBreak()); });
}

void TfmMain::copyToClipboard() {
  if (!doc_.Open()) return;
  if (doc_.TextInput()) {
    pageView_->CopyFromEditor();
    return;
  }
  MBaseDB* db = focusedView_ == MView::Page    ? static_cast<MBaseDB*>(&doc_.Pages)
                : focusedView_ == MView::Unmap ? static_cast<MBaseDB*>(&doc_.Unplaced)
                                               : nullptr;
  if (db == nullptr) return;
  Run([db] {
    MQtClipboard clipboard;
    db->CopyEntry(clipboard);
  });
  UpdateActions();
}

void TfmMain::PasteFromClipboard() {
  if (!doc_.Open()) return;
  if (doc_.TextInput()) {
    pageView_->PasteIntoEditor();
    return;
  }
  if (focusedView_ != MView::Page && focusedView_ != MView::Unmap) return;
  const bool pages = focusedView_ == MView::Page;
  Run([this, pages] {
    const MQtClipboard clipboard;
    ApplyReport(pages ? PasteIntoPages(clipboard) : PasteIntoUnplaced(clipboard));
  });
}

void TfmMain::ChangeEditMode(bool textInput) {
  pageView_->SetEditMode(textInput);
  (textInput ? miTextMode : miMappingMode)->setChecked(true);
  UpdateActions();
}

void TfmMain::miAboutClick() {
  TdlgVersion dialog(this);
  dialog.exec();
}
