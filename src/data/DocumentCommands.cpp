#include "data/DocumentCommands.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "base/Progress.h"
#include "base/Sjis.h"
#include "data/CommandScope.h"
#include "data/CsvImport.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapFile.h"
#include "data/MapGlobal.h"
#include "data/MapIni.h"
#include "data/UndoHistory.h"
#include "layout/Layout.h"
#include "layout/LoadLayout.h"
#include "layout/Shapes.h"
#include "layout/Specials.h"

namespace {

std::string_view TypeName(const MMapFile::Row& row) {
  return row.empty() ? std::string_view() : std::string_view(row.front());
}

// The pages need a first row with a point: that is where the end of the data starts.
void CheckPageForm(const MLayout& layout, const std::string& layoutPath) {
  if (!layout.HasForms()) {
    throw base::Error(base::Utf8ToSjis("レイアウト \"") + layoutPath +
                      base::Utf8ToSjis("\" にはページの様式 (form) がありません。"));
  }
  const MGrid& grid = layout.Forms.front()->Grid;
  if (grid.RowCount() == 0 || grid.PointCount(1) == 0) {
    throw base::Error(base::Utf8ToSjis("レイアウト \"") + layoutPath +
                      base::Utf8ToSjis("\" の最初の様式には、1 行目に配置点 (grid-point) がありません。"));
  }
}

// One entry of the same-position plan: a special entry, a look-up by key, or a blank.
struct PlanItem {
  MEntry special;
  int query = -1;
};

// The position of a key field in a block-field row; item 0 is the class name, not a field.
int FieldPosition(const MMapFile::Row& fields, std::string_view name) {
  for (std::size_t i = 1; i < fields.size(); ++i) {
    if (base::SameText(fields[i], name)) return static_cast<int>(i);
  }
  return -1;
}

// Moves the blocks that the pages refused to the end of the unplaced list; returns their number.
int MoveRefusedToUnplaced() {
  std::vector<std::unique_ptr<MBlockInstance>> refused = gMapDB->TakeRefused();
  for (std::unique_ptr<MBlockInstance>& block : refused) gUnmapDB->Add(std::move(block));
  return static_cast<int>(refused.size());
}

int PageCountNow() { return gMapDB != nullptr ? gMapDB->PageCount() : 0; }
int CurrentPageNow() { return PageCountNow() > 0 ? gMapDB->CurrentPage() : 0; }

}  // namespace

MCommandScope::MCommandScope(Recording recording)
    : pagesBefore_(PageCountNow()),
      pageBefore_(CurrentPageNow()),
      rowBefore_(pageBefore_ > 0 ? gMapDB->CurrentRow() : 0),
      columnBefore_(pageBefore_ > 0 ? gMapDB->CurrentColumn() : 0) {
  if (recording == kRecorded && gUndo != nullptr && !gUndo->Recording()) {
    gUndo->Begin();
    recording_ = true;
  }
}

MCommandReport MCommandScope::Done(unsigned lists) {
  report_.Lists |= lists;
  if ((lists & dlPages) != 0 && gMapDB != nullptr) {
    report_.MovedToUnplaced = MoveRefusedToUnplaced();
    if (report_.MovedToUnplaced > 0) report_.Lists |= dlUnmap;
  }
  EndStep();
  report_.PageCount = PageCountNow();
  report_.CurrentPage = CurrentPageNow();
  report_.CursorRow = report_.CurrentPage > 0 ? gMapDB->CurrentRow() : 0;
  report_.CursorColumn = report_.CurrentPage > 0 ? gMapDB->CurrentColumn() : 0;
  report_.PageCountChanged = report_.PageCount != pagesBefore_;
  report_.CurrentPageChanged = report_.CurrentPage != pageBefore_;
  // An entry inserted or taken at the cursor changes what the cursor stands on, not its place.
  report_.CursorChanged = report_.CurrentPageChanged || report_.CursorRow != rowBefore_ ||
                          report_.CursorColumn != columnBefore_ || (report_.Lists & dlPages) != 0;
  return report_;
}

void MCommandScope::EndStep() {
  if (!recording_) return;
  recording_ = false;
  report_.Recorded = gUndo->End();
}

namespace {

MListDB& PaneList(MPane pane) {
  if (pane == MPane::Trash) return *gTrashDB;
  return *gUnmapDB;
}
unsigned PaneBit(MPane pane) { return pane == MPane::Trash ? dlTrash : dlUnmap; }

}  // namespace

std::string MovedToUnplacedMessage(const MCommandReport& report) {
  if (report.MovedToUnplaced <= 0) return {};
  return base::Utf8ToSjis("置ける配置点のないブロック ") + std::to_string(report.MovedToUnplaced) +
         base::Utf8ToSjis(" 個を未配置に移しました。");
}

bool HasDocument() { return gMapDB != nullptr && gMapDB->PageCount() > 0; }

bool IsModified() { return gMapDB->Modified() || gUnmapDB->Modified() || gTrashDB->Modified(); }

void ClearModified() {
  gMapDB->ResetModified();
  gUnmapDB->ResetModified();
  gTrashDB->ResetModified();
  if (gUndo != nullptr) gUndo->MarkSaved();
}

MCommandReport ResetDocument() {
  MCommandScope command(MCommandScope::kNotRecorded);
  // The blocks and pages first: they share the layout's classes and form.
  if (gUndo != nullptr) gUndo->Clear();
  gMapDB->Clear();
  gUnmapDB->Clear();
  gTrashDB->Clear();
  gLayout->Clear();
  return command.Done(dlAll);
}

namespace {

void SetCurrentFolderIfThere(const std::string& filePath) {
  try {
    gIni->SetCurrentFolder(filePath);
  } catch (const base::Error&) {
  }
}

// Opens the document at path, its content the file's or, when given, recovered bytes. Without a path
// the recovered bytes are an untitled document's, which names its layout by full path.
MCommandReport OpenDocumentContent(std::string_view path, const std::string* recovered) {
  MCommandScope command(MCommandScope::kNotRecorded);
  ResetDocument();
  try {
    const std::string fileName = path.empty() ? std::string() : gIni->FullPath(path);
    // Names in the document (its layout, its images) are relative to its folder.
    if (!fileName.empty()) gIni->SetCurrentFolder(fileName);
    if (recovered != nullptr) {
      gMapFile->ReadText(fileName, *recovered);
    } else {
      gMapFile->ReadFile(fileName);
    }

    // An empty or foreign file names no layout; its folder is no layout file to be reported.
    if (gMapFile->LayoutName().empty()) {
      throw base::Error(
          base::Utf8ToSjis("ファイル \"") + fileName +
          base::Utf8ToSjis("\" はマッピングデータではありません。レイアウトの指定 (layout=) がありません。"));
    }
    const std::string layoutPath = gIni->FullPath(gIni->ResolvePath(gMapFile->LayoutName()));
    // An untitled document lives in its layout's folder until it is saved; the layout's images
    // resolve against it as they load. A folder that is gone leaves the loader to say so.
    if (fileName.empty()) SetCurrentFolderIfThere(layoutPath);
    {
      MLoadLayout loader(*gLayout);
      if (!loader.Load(layoutPath)) throw MLayoutLoadError(loader.ErrorText);
    }
    CheckPageForm(*gLayout, layoutPath);

    // The rows of the three lists move one progress bar; a cancel raises base::Cancelled.
    using Data = MMapFile::Data;
    const auto mapRows = static_cast<std::int64_t>(gMapFile->RowCount(Data::Map));
    const auto unmapRows = static_cast<std::int64_t>(gMapFile->RowCount(Data::Unmap));
    const std::int64_t rows =
        mapRows + unmapRows + static_cast<std::int64_t>(gMapFile->RowCount(Data::Trash));
    gMapDB->CreateFirstPage();
    {
      const base::ProgressPart part(0, mapRows, rows);
      gMapDB->AddRows(*gMapFile, Data::Map);
    }
    gMapDB->CursorFirst();
    gMapDB->ApplyFormDataLines(gMapFile->FormData());
    {
      const base::ProgressPart part(mapRows, unmapRows, rows);
      gUnmapDB->AddRows(*gMapFile, Data::Unmap);
    }
    {
      const base::ProgressPart part(mapRows + unmapRows, rows - mapRows - unmapRows, rows);
      gTrashDB->AddRows(*gMapFile, Data::Trash);
    }
    gMapFile->ClearData();
    if (gUndo != nullptr) gUndo->Clear();
  } catch (...) {
    // Nothing half-read stays behind for a later save to write.
    gMapFile->ClearData();
    ResetDocument();
    throw;
  }
  return command.Done(dlAll);
}

}  // namespace

MCommandReport OpenDocument(std::string_view path) { return OpenDocumentContent(path, nullptr); }

MCommandReport OpenRecoveredDocument(std::string_view path, const std::string& bytes) {
  MCommandReport report = OpenDocumentContent(path, &bytes);
  // The content is not what the file holds, whatever is undone.
  gMapDB->SetModified(true);
  if (gUndo != nullptr) gUndo->MarkNothingSaved();
  return report;
}

bool DocumentChangedOnDisk() { return HasDocument() && gMapFile->ChangedOnDisk(); }

MCommandReport NewDocument(std::string_view layoutPath) {
  MCommandScope command(MCommandScope::kNotRecorded);
  // The layout is read into a layout of its own: one that does not load leaves the open document.
  // Its images resolve against its folder as they load, so that folder is current while it loads.
  const std::string layoutFile = gIni->FullPath(layoutPath);
  const std::string previousFolder = gIni->CurrentFolder();
  MLayout layout;
  try {
    SetCurrentFolderIfThere(layoutFile);
    MLoadLayout loader(layout);
    if (!loader.Load(layoutFile)) throw MLayoutLoadError(loader.ErrorText);
    CheckPageForm(layout, layoutFile);
  } catch (...) {
    SetCurrentFolderIfThere(previousFolder + "/.");
    throw;
  }

  ResetDocument();
  gMapFile->Clear();
  gLayout->Setting = layout.Setting;
  gLayout->Forms = std::move(layout.Forms);
  gLayout->Blocks = std::move(layout.Blocks);
  // Until the first save names the document, its layout is named by full path: that is what a
  // recovery copy of it must say.
  gMapFile->SetLayoutName(layoutFile);
  MMapFile::Rows& fields = gMapFile->EditBlockFields();
  for (const auto& block : gLayout->Blocks) {
    MMapFile::Row& row = fields.emplace_back(1, block->Name);
    for (const auto& child : block->Children) {
      const MKind kind = child->Kind();
      if (child->IsText() || kind == MKind::Image || kind == MKind::Barcode) row.push_back(child->Name);
    }
  }
  gMapDB->CreateFirstPage();
  gMapDB->CursorFirst();
  if (gUndo != nullptr) gUndo->Clear();
  ClearModified();
  return command.Done(dlAll);
}

bool DocumentUntitled() { return HasDocument() && !gMapFile->StandsForFile(); }

std::string ProposedDocumentPath() {
  if (!DocumentUntitled()) return gMapFile->FileName();
  const std::string layout = gIni->FullPath(gMapFile->LayoutName());
  const std::size_t slash = layout.rfind('/');
  const std::size_t dot = layout.rfind('.');
  const std::size_t stemEnd =
      dot != std::string::npos && (slash == std::string::npos || dot > slash + 1) ? dot : layout.size();
  return layout.substr(0, stemEnd) + ".map";
}

MCommandReport OpenRecoveredUntitled(const std::string& bytes) {
  MCommandReport report = OpenDocumentContent({}, &bytes);
  gMapDB->SetModified(true);
  if (gUndo != nullptr) gUndo->MarkNothingSaved();
  return report;
}

namespace {

// The document as the bytes of a file that names its layout layoutName (the document keeps its own
// name): the form data and the block-field rows of gMapFile, each block-field row extended by the
// editable texts of its class that it lacks, and the entries of the three databases written straight
// into the text.
std::string DocumentText(const std::string& layoutName) {
  const std::string own = gMapFile->LayoutName();
  gMapFile->SetLayoutName(layoutName);
  try {
    gMapFile->ClearData();
    gMapDB->WriteFormData(gMapFile->FormData());
    for (MMapFile::Row& fields : gMapFile->EditBlockFields()) {
      if (!fields.empty()) gLayout->AddEditableNames(fields.front(), fields);
    }
    std::string bytes = gMapFile->FileText([](std::string& out) { gMapDB->WriteRows(out); },
                                           [](std::string& out) { gUnmapDB->WriteRows(out); },
                                           [](std::string& out) { gTrashDB->WriteRows(out); });
    gMapFile->ClearData();
    gMapFile->SetLayoutName(own);
    return bytes;
  } catch (...) {
    gMapFile->ClearData();
    gMapFile->SetLayoutName(own);
    throw;
  }
}

// How a document saved at documentPath names the layout at layoutPath (both full): relative to the
// document's folder when the layout lies in it or below it, so that the two move together.
std::string LayoutNameFor(const std::string& layoutPath, const std::string& documentPath) {
  const std::size_t slash = documentPath.rfind('/');
  if (slash == std::string::npos) return layoutPath;
  const std::string folder = documentPath.substr(0, slash + 1);
  if (layoutPath.size() > folder.size() && layoutPath.compare(0, folder.size(), folder) == 0)
    return layoutPath.substr(folder.size());
  return layoutPath;
}

}  // namespace

std::string DocumentFileText() {
  if (!HasDocument()) throw base::Error(base::Utf8ToSjis("保存する文書がありません。"));
  return DocumentText(gMapFile->LayoutName());
}

MPreparedSave PrepareSave(std::string_view path) {
  if (!HasDocument()) throw base::Error(base::Utf8ToSjis("保存する文書がありません。"));
  MPreparedSave save;
  save.Path = path.empty() ? gMapFile->FileName() : gIni->FullPath(path);
  if (save.Path.empty()) throw base::Error(base::Utf8ToSjis("保存するファイル名がありません。"));
  if (DocumentUntitled()) {
    // Its folder stays the layout's until the save is done.
    save.LayoutName = LayoutNameFor(gIni->FullPath(gMapFile->LayoutName()), save.Path);
  } else {
    // Names in the document are written as they are, relative to its folder.
    gIni->SetCurrentFolder(gMapFile->FileName().empty() ? save.Path : gMapFile->FileName());
    save.LayoutName = gMapFile->LayoutName();
  }
  save.Bytes = DocumentText(save.LayoutName);
  return save;
}

MCommandReport WriteSave(const MPreparedSave& save) {
  MCommandScope command(MCommandScope::kNotRecorded);
  if (DocumentUntitled()) {
    const std::string ownName = gMapFile->FileName();
    gMapFile->SetFileName(save.Path);
    try {
      gMapFile->WriteText(save.Bytes);
    } catch (...) {
      gMapFile->SetFileName(ownName);
      throw;
    }
    gMapFile->SetLayoutName(save.LayoutName);
    gIni->SetCurrentFolder(save.Path);
    ClearModified();
  } else if (save.Path == gMapFile->FileName()) {
    gMapFile->WriteText(save.Bytes);
    ClearModified();
  } else {
    MMapFile other;
    other.SetFileName(save.Path);
    other.WriteText(save.Bytes);
  }
  return command.None();
}

MCommandReport SaveDocument() { return WriteSave(PrepareSave()); }

MCommandReport SaveDocumentAs(std::string_view path) {
  if (!HasDocument()) throw base::Error(base::Utf8ToSjis("保存する文書がありません。"));
  gMapFile->SetFileName(gIni->FullPath(path));
  return SaveDocument();
}

MCommandReport AutoMapping() {
  MCommandScope command;
  if (!HasDocument()) return command.None();
  MEntryList blocks = gUnmapDB->RemoveAll();
  if (blocks.empty()) return command.None();
  gMapDB->AddList(std::move(blocks));
  return command.Done(dlPages | dlUnmap);
}

MCommandReport SameMapping(std::string_view referencePath) {
  MCommandScope command;
  if (!HasDocument()) return command.None();

  // Understand the reference completely before the pages change.
  std::vector<PlanItem> plan;
  std::vector<MKeyQuery> queries;
  {
    MMapFile reference;
    reference.ReadFile(gIni->FullPath(referencePath));
    plan.reserve(reference.MapData().size());
    for (const MMapFile::Row& row : reference.MapData()) {
      const std::string_view typeName = TypeName(row);
      PlanItem& item = plan.emplace_back();
      item.special = NewSpecialEntry(typeName);
      if (item.special) continue;
      const MBlock* blockClass = gLayout->FindBlock(typeName);
      if (blockClass == nullptr || blockClass->KeyElements.empty()) continue;
      const MMapFile::Row* fields = reference.FindBlockFields(typeName);
      if (fields == nullptr) continue;
      MKeyQuery query{std::string(typeName), {}};
      bool complete = true;
      for (const std::string& keyName : blockClass->KeyElements) {
        const int position = FieldPosition(*fields, keyName);
        // A key the reference does not hold, or a row too short to hold it, matches nothing.
        if (position < 0 || static_cast<std::size_t>(position) >= row.size()) {
          complete = false;
          break;
        }
        query.Keys.push_back(row[static_cast<std::size_t>(position)]);
      }
      if (!complete) continue;
      item.query = static_cast<int>(queries.size());
      queries.push_back(std::move(query));
    }
  }

  gUnmapDB->SetSearch({});
  MEntryList placed = gMapDB->RemoveAll();
  if (!placed.empty()) gUnmapDB->AddList(std::move(placed));

  std::vector<std::unique_ptr<MBlockInstance>> found = gUnmapDB->TakeByKeys(queries);
  MEntryList entries;
  entries.reserve(plan.size());
  for (PlanItem& item : plan) {
    if (item.special) {
      entries.push_back(std::move(item.special));
    } else if (item.query >= 0 && found[static_cast<std::size_t>(item.query)] != nullptr) {
      entries.push_back(std::move(found[static_cast<std::size_t>(item.query)]));
    } else {
      entries.push_back(MEntry::Special(MKind::Space));
    }
  }
  gMapDB->AddList(std::move(entries));
  gMapDB->CursorFirst();
  return command.Done(dlPages | dlUnmap);
}

MCommandReport InsertBlock(std::string_view className) {
  MCommandScope command;
  if (!HasDocument()) return command.None();
  const MBlock* blockClass = gLayout->FindBlock(className);
  if (blockClass == nullptr) return command.None();
  gMapDB->Add(blockClass->NewInstance());
  return command.Done(dlPages);
}

MCommandReport InsertSpecial(std::string_view typeName) {
  MCommandScope command;
  if (!HasDocument()) return command.None();
  MEntry entry = NewSpecialEntry(typeName);
  if (!entry) return command.None();
  gMapDB->Add(std::move(entry));
  return command.Done(dlPages);
}

MCommandReport InsertPageBreak() { return InsertSpecial("newpage"); }

MCommandReport MoveEntryToCursor(int row, int column) {
  MCommandScope command;
  if (!HasDocument()) return command.None();
  gMapDB->MoveToCursor(row, column);
  return command.Done(dlPages);
}

MCommandReport DeleteAtCursor() {
  MCommandScope command;
  if (!HasDocument()) return command.None();
  MEntry entry = gMapDB->Remove();
  if (!entry) return command.None();
  if (!entry.IsBlock()) {
    gUndo->Release(std::move(entry));  // a special entry is released; undo brings it back
    return command.Done(dlPages);
  }
  gUnmapDB->InsertAtSelection(entry.TakeBlock());
  return command.Done(dlPages | dlUnmap);
}

MCommandReport PlaceSelected(MPane pane) {
  MCommandScope command;
  if (!HasDocument()) return command.None();
  MEntry block = PaneList(pane).Remove();
  if (!block) return command.None();
  gMapDB->Add(std::move(block));
  return command.Done(dlPages | PaneBit(pane));
}

MCommandReport TrashSelected() {
  MCommandScope command;
  MEntry entry = gUnmapDB->Remove();
  if (!entry.IsBlock()) return command.None();
  gTrashDB->InsertAtSelection(entry.TakeBlock());
  return command.Done(dlUnmap | dlTrash);
}

MCommandReport DeleteSelectedForGood() {
  MCommandScope command;
  MEntry block = gTrashDB->Remove();
  if (!block) return command.None();
  gUndo->Release(std::move(block));  // gone for good, unless the deletion is undone
  return command.Done(dlTrash);
}

MCommandReport PasteIntoPages(const MClipboard& clipboard) {
  MCommandScope command;
  if (!HasDocument()) return command.None();
  gMapDB->PasteEntry(clipboard);
  return command.Done(dlPages);
}

MCommandReport PasteIntoUnplaced(const MClipboard& clipboard) {
  MCommandScope command;
  if (!HasDocument()) return command.None();
  const int before = gUnmapDB->Count();
  gUnmapDB->PasteEntry(clipboard);
  return command.Done(gUnmapDB->Count() != before ? unsigned{dlUnmap} : 0u);
}

MCommandReport SetPaneSearch(MPane pane, std::string_view text) {
  MCommandScope command(MCommandScope::kNotRecorded);
  MListDB& list = PaneList(pane);
  if (list.SearchText() == text) return command.None();
  list.SetSearch(text);
  return command.Done(PaneBit(pane));
}

MCommandReport SetTextValue(const MPageText& text, std::string_view value) {
  MCommandScope command;
  if (!HasDocument() || !text) return command.None();
  if (text.IsFormText()) {
    gMapDB->SetFormText(gMapDB->CurrentPage(), text->Name, value);
  } else {
    gMapDB->SetBlockText(*text.Block(), text.Child(), value);
  }
  return command.Done(dlPages);
}

bool CanUndo() { return gUndo != nullptr && gUndo->CanUndo(); }
bool CanRedo() { return gUndo != nullptr && gUndo->CanRedo(); }

MCommandReport UndoChange() {
  MCommandScope command(MCommandScope::kNotRecorded);
  return command.Done(gUndo != nullptr ? gUndo->Undo() : 0u);
}

MCommandReport RedoChange() {
  MCommandScope command(MCommandScope::kNotRecorded);
  return command.Done(gUndo != nullptr ? gUndo->Redo() : 0u);
}

MCommandReport RevertLastChange() {
  MCommandReport report = UndoChange();
  if (gUndo != nullptr) gUndo->ForgetUndone();
  return report;
}

MCommandReport ImportCsv(const MCsvImport& import) {
  if (!HasDocument()) throw base::Error(base::Utf8ToSjis("CSV を読み込む文書がありません。"));
  // Everything that can fail comes before the first change.
  std::vector<std::unique_ptr<MBlockInstance>> blocks = BuildCsvBlocks(*gLayout, import);
  MMapFile::Row fields = CsvBlockFieldRow(import, gMapFile->FindBlockFields(import.ClassName));
  MCommandScope command;
  if (blocks.empty()) return command.None();
  MMapFile::Rows before = gMapFile->BlockFields();
  MMapFile::Rows& rows = gMapFile->EditBlockFields();
  const auto row = std::find_if(rows.begin(), rows.end(), [&](const MMapFile::Row& r) {
    return !r.empty() && base::SameText(r.front(), import.ClassName);
  });
  if (row != rows.end())
    *row = std::move(fields);
  else
    rows.push_back(std::move(fields));
  if (gUndo != nullptr) gUndo->BlockFieldsSet(*gMapFile, std::move(before));
  MEntryList entries;
  entries.reserve(blocks.size());
  for (std::unique_ptr<MBlockInstance>& block : blocks) entries.push_back(std::move(block));
  gUnmapDB->AddList(std::move(entries));
  return command.Done(dlUnmap);
}
