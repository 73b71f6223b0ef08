#include "data/DocumentCommands.h"

#include <memory>
#include <vector>

#include "base/Sjis.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapFile.h"
#include "data/MapGlobal.h"
#include "data/MapIni.h"
#include "layout/Layout.h"
#include "layout/LoadLayout.h"
#include "layout/Shapes.h"
#include "layout/Specials.h"

namespace {

std::string_view TypeName(const MMapFile::Row& row) {
  return row.empty() ? std::string_view() : std::string_view(row.front());
}

// The rows of a list, each released once its block is built.
void AddListRows(MListDB& db, MMapFile::Rows& rows) {
  for (MMapFile::Row& row : rows) {
    db.AddFromData(TypeName(row), row, false);
    MMapFile::Row().swap(row);
  }
  MMapFile::Rows().swap(rows);
}

// The pages need a first row with a point: that is where the end of the data starts.
void CheckPageForm(const std::string& layoutPath) {
  if (!gLayout->HasForms()) {
    throw base::Error(base::Utf8ToSjis("レイアウト \"") + layoutPath +
                      base::Utf8ToSjis("\" にはページの様式 (form) がありません。"));
  }
  const MGrid& grid = gLayout->Forms.front()->Grid;
  if (grid.RowCount() == 0 || grid.PointCount(1) == 0) {
    throw base::Error(base::Utf8ToSjis("レイアウト \"") + layoutPath +
                      base::Utf8ToSjis("\" の最初の様式には、1 行目に配置点 (grid-point) がありません。"));
  }
}

// One entry of the same-position plan: a special entry, a look-up by key, or a blank.
struct PlanItem {
  std::unique_ptr<MControl> special;
  int query = -1;
};

// The position of a key field in a block-field row; item 0 is the class name, not a field.
int FieldPosition(const MMapFile::Row& fields, std::string_view name) {
  for (std::size_t i = 1; i < fields.size(); ++i) {
    if (base::SameText(fields[i], name)) return static_cast<int>(i);
  }
  return -1;
}

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
}

void ResetDocument() {
  gLayout->Clear();
  gMapDB->Clear();
  gUnmapDB->Clear();
  gTrashDB->Clear();
}

int MoveRefusedToUnplaced() {
  std::vector<std::unique_ptr<MBlock>> refused = gMapDB->TakeRefused();
  for (std::unique_ptr<MBlock>& block : refused) gUnmapDB->Add(std::move(block));
  return static_cast<int>(refused.size());
}

MCommandReport OpenDocument(std::string_view path) {
  ResetDocument();
  MCommandReport report;
  try {
    const std::string fileName = gIni->FullPath(path);
    // Names in the document (its layout, its images) are relative to its folder.
    gIni->SetCurrentFolder(fileName);
    gMapFile->ReadFile(fileName);

    const std::string layoutPath = gIni->FullPath(gIni->ResolvePath(gMapFile->LayoutName()));
    {
      MLoadLayout loader(*gLayout);
      if (!loader.Load(layoutPath)) throw MLayoutLoadError(loader.ErrorText);
    }
    CheckPageForm(layoutPath);

    gMapDB->CreateFirstPage();
    gMapDB->AddRows(std::move(gMapFile->MapData()));
    gMapDB->CursorFirst();
    gMapDB->ApplyFormDataLines(gMapFile->FormData());
    AddListRows(*gUnmapDB, gMapFile->UnmapData());
    AddListRows(*gTrashDB, gMapFile->TrashData());
    report.MovedToUnplaced = MoveRefusedToUnplaced();
    gMapFile->ClearData();
  } catch (...) {
    // Nothing half-read stays behind for a later save to write.
    gMapFile->ClearData();
    ResetDocument();
    throw;
  }
  return report;
}

void FillDocumentRows() {
  gMapFile->ClearData();
  gMapDB->WriteFormData(gMapFile->FormData());
  for (MMapFile::Row& fields : gMapFile->EditBlockFields()) {
    if (!fields.empty()) gLayout->AddEditableNames(fields.front(), fields);
  }
  gMapDB->SaveTo(gMapFile->MapData());
  gUnmapDB->SaveTo(gMapFile->UnmapData());
  gTrashDB->SaveTo(gMapFile->TrashData());
}

void SaveDocument() {
  if (!HasDocument()) throw base::Error(base::Utf8ToSjis("保存する文書がありません。"));
  if (gMapFile->FileName().empty()) throw base::Error(base::Utf8ToSjis("保存するファイル名がありません。"));
  gIni->SetCurrentFolder(gMapFile->FileName());
  try {
    FillDocumentRows();
    gMapFile->WriteFile();
  } catch (...) {
    gMapFile->ClearData();
    throw;
  }
  gMapFile->ClearData();
  ClearModified();
}

void SaveDocumentAs(std::string_view path) {
  if (!HasDocument()) throw base::Error(base::Utf8ToSjis("保存する文書がありません。"));
  gMapFile->SetFileName(gIni->FullPath(path));
  SaveDocument();
}

MCommandReport AutoMapping() {
  MCommandReport report;
  if (!HasDocument()) return report;
  MEntryList blocks = gUnmapDB->RemoveAll();
  if (blocks.empty()) return report;
  gMapDB->AddList(std::move(blocks));
  report.MovedToUnplaced = MoveRefusedToUnplaced();
  return report;
}

MCommandReport SameMapping(std::string_view referencePath) {
  MCommandReport report;
  if (!HasDocument()) return report;

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
      if (item.special != nullptr) continue;
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

  std::vector<std::unique_ptr<MBlock>> found = gUnmapDB->TakeByKeys(queries);
  MEntryList entries;
  entries.reserve(plan.size());
  for (PlanItem& item : plan) {
    if (item.special != nullptr) {
      entries.push_back(std::move(item.special));
    } else if (item.query >= 0 && found[static_cast<std::size_t>(item.query)] != nullptr) {
      entries.push_back(std::move(found[static_cast<std::size_t>(item.query)]));
    } else {
      entries.push_back(std::make_unique<MSpace>());
    }
  }
  gMapDB->AddList(std::move(entries));
  gMapDB->CursorFirst();
  report.MovedToUnplaced = MoveRefusedToUnplaced();
  return report;
}

MCommandReport InsertBlock(std::string_view className) {
  MCommandReport report;
  if (!HasDocument()) return report;
  const MBlock* blockClass = gLayout->FindBlock(className);
  if (blockClass == nullptr) return report;
  gMapDB->Add(blockClass->Clone());
  report.MovedToUnplaced = MoveRefusedToUnplaced();
  return report;
}

void InsertPageBreak() {
  if (!HasDocument()) return;
  gMapDB->Add(std::make_unique<MNewPage>());
}

MCommandReport PasteIntoPages(const MClipboard& clipboard) {
  MCommandReport report;
  if (!HasDocument()) return report;
  gMapDB->PasteEntry(clipboard);
  report.MovedToUnplaced = MoveRefusedToUnplaced();
  return report;
}
