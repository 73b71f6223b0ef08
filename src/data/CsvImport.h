// Records in and out: the rows of a CSV file made into blocks of a class, and the blocks of a
// document written as CSV rows. The CSV text itself is base/Csv.h's; this is what the rows mean.
//
// Import: each record becomes a new block of one class, its columns feeding fields of the class as the
// columns of a mapping data file do (values and visible flags as block values, a line break inside a
// field as "<br>"). Columns are matched to fields by the header's names without regard to case; a
// column may be re-assigned or left out. The ImportCsv command (data/DocumentCommands.h) appends the
// blocks to the unplaced list in one undo step.
//
// Export: one record per placed block in reading order, "page,row,column,class" followed by the
// values of the classes' fields (a line break for "<br>"); the unplaced and trash lists on request.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Csv.h"
#include "data/MapFile.h"

class MBlock;
class MBlockInstance;
class MLayout;
class MListDB;
class MMapDB;

// A field of a block class that a column can feed: a block-value key (a child's name, or its name and
// ".visible").
struct MCsvField {
  std::string Key;
  // What the class makes of the child.
  bool IsKey = false;
  bool IsFace = false;
  bool IsThumbnail = false;
  bool IsSearch = false;
};

// The fields of a block class in the order a header-less file feeds them: the keys of the document's
// block-field row for the class, then its named texts, images and barcodes that the row lacks; then
// the visible flags of its named children that the row lacks (fed only by name).
std::vector<MCsvField> CsvClassFields(const MBlock& blockClass, const MMapFile::Row* blockFields);
// How many of those fields a header-less file feeds by position.
std::size_t CsvPositionalFieldCount(const MBlock& blockClass, const MMapFile::Row* blockFields);

// An import made ready: the records of a file, the class and which column feeds which field.
struct MCsvImport {
  std::string ClassName;
  base::CsvTable Table;
  bool HasHeader = true;
  std::vector<MCsvField> Fields;
  std::size_t PositionalFields = 0;
  // For each column of the table: the index of the field it feeds, or -1 when it is left out.
  std::vector<int> Columns;

  // The records that become blocks (the header row not among them).
  std::size_t FirstRecord() const { return HasHeader ? 1 : 0; }
  std::size_t RecordCount() const { return Table.Rows.size() - std::min(Table.Rows.size(), FirstRecord()); }
};

// The bytes of a CSV file. Raises base::Error for a file over 1 GB, before reading it, and for one
// that cannot be read.
std::string ReadCsvFile(std::string_view path);

// ReadCsvFile and base::ReadCsv: the records of the file; the messages of its errors name the file.
base::CsvTable ReadCsvTable(std::string_view path, const base::CsvReadOptions& options = {});

// An import of table into blocks of the class (exact name): its fields, whether the first record is
// a header (some cell of it names a field), and the columns matched. Raises base::Error when the
// layout has no such class or the table no records.
MCsvImport PlanCsvImport(const MLayout& layout, const MMapFile& mapFile, std::string_view className,
                         base::CsvTable table);
// Matches the columns again: by the header's names (without regard to case; a field fed by the
// first column that names it), or by position without a header.
void MatchCsvColumns(MCsvImport& import);

// New blocks of the class with the values of the records. Raises base::Error when the class is gone
// or no column feeds a field.
std::vector<std::unique_ptr<MBlockInstance>> BuildCsvBlocks(const MLayout& layout, const MCsvImport& import);
// The block-field row that saving needs for the import: the document's row for the class (or a new
// one) extended by the fields the columns feed. Equal to *current when nothing is lacking.
MMapFile::Row CsvBlockFieldRow(const MCsvImport& import, const MMapFile::Row* current);

// The bytes of an export: a header ("page,row,column,class" and the fields of every class), then one
// record per placed block in reading order, then, when given, the blocks of the unplaced list and the
// trash (page "未配置" or "ごみ箱", no row or column). Written straight from the blocks, without a
// table of the whole document in between.
std::string CsvExportBytes(const MLayout& layout, const MMapFile& mapFile, const MMapDB& pages,
                           const base::CsvWriteOptions& options, const MListDB* unplaced = nullptr,
                           const MListDB* trash = nullptr);
// Writes bytes as the file at path: complete or not at all. Raises base::Error when it cannot.
void WriteCsvFile(std::string_view path, const std::string& bytes);
// The open document of the global objects as the bytes of a CSV file; lists adds the unplaced list
// and the trash.
std::string DocumentCsvBytes(const base::CsvWriteOptions& options, bool lists);
