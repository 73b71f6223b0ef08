// The mapping data file (".map"): the document on disk, read into plain rows of text and written back.
//
//   [basic_info]
//   layout=<lay>\shop.lay
//
//   [block_field]
//   item,name,price,photo          class name, then its fields in column order
//
//   [form_data]
//   1.title=Spring catalogue       per-page values of the forms' texts
//
//   [map_data]
//   item,"Green tea",120,tea.png   placed blocks in reading order ("space", "newline", "newpage" too)
//
//   [unmap_data]
//
//   [trash_data]
//
// The file is Shift-JIS with CR LF line ends and is read and written byte for byte (rows as comma
// text, base/CommaText.h; reading follows the ini rules of base/IniText.h, data sections included).
// MMapFile knows nothing of blocks or layouts: the document commands turn rows into blocks and back.
// A row is a list of items whose item 0 is its key (the class name or special word).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace base {
class IniText;
}

class MMapFile {
 public:
  using Row = std::vector<std::string>;
  using Rows = std::vector<Row>;

  MMapFile();
  ~MMapFile();
  MMapFile(const MMapFile&) = delete;
  MMapFile& operator=(const MMapFile&) = delete;
  MMapFile(MMapFile&&) noexcept;
  MMapFile& operator=(MMapFile&&) noexcept;

  // Full path of the file (Shift-JIS text, as MIni::FullPath gives it); empty for no document.
  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string_view path) { fileName_ = path; }
  // Modification time of the file as of the last read or write: days since 1899-12-30, local time,
  // to two seconds (the resolution of the date stamp the documents have always shown); 0 without one.
  double FileDate() const { return fileDate_; }
  // Whether the file on disk is no longer the one last read or written here: another program wrote,
  // replaced or removed it since (its modification time or size differ). False without a file name
  // or when nothing was read or written yet.
  bool ChangedOnDisk() const;
  // The rows stand for a file: they were read from one (or given as its content by ReadText) or
  // written to one since the object was last cleared. False for a document that has no file yet,
  // also once a name was set for its first save.
  bool StandsForFile() const { return disk_.known; }

  // The layout file name exactly as written after "layout=" (it may hold a folder alias).
  const std::string& LayoutName() const { return layoutName_; }
  void SetLayoutName(std::string_view name) { layoutName_ = name; }

  // Section "block_field": one row per block class, its class name followed by its field names.
  const Rows& BlockFields() const { return blockFields_; }
  // For changing the rows (adding field names before a save). Look-ups made after it see the change;
  // do not keep the reference across look-ups.
  Rows& EditBlockFields();
  // The first block-field row whose class name equals className without regard to case; null when
  // there is none. Cheap: it is used for every block loaded and saved.
  const Row* FindBlockFields(std::string_view className) const;

  // Section "form_data": plain lines ("1.title=..."). A line must not hold a line break.
  std::vector<std::string>& FormData() { return formData_; }
  const std::vector<std::string>& FormData() const { return formData_; }
  // Sections "map_data", "unmap_data" and "trash_data".
  enum class Data : std::uint8_t { Map, Unmap, Trash };
  Rows& MapData() { return Decoded(Data::Map); }
  const Rows& MapData() const { return Decoded(Data::Map); }
  Rows& UnmapData() { return Decoded(Data::Unmap); }
  const Rows& UnmapData() const { return Decoded(Data::Unmap); }
  Rows& TrashData() { return Decoded(Data::Trash); }
  const Rows& TrashData() const { return Decoded(Data::Trash); }
  // The number of rows of a data section.
  std::size_t RowCount(Data section) const;
  // Moves the first row of a data section out into row (reusing its storage); false when the section
  // is empty. Rows read from a file stay lines of its text until they are asked for, so that the open
  // command, taking them one by one as it builds the blocks, never holds every row of a large
  // document at once.
  bool TakeRow(Data section, Row& row);

  // Reads the file at path into the fields. A file that cannot be read raises base::Error naming it
  // and leaves the object empty, as after Clear.
  void ReadFile(std::string_view path);
  // Reads text as the content of the file at path (a recovered copy of it): the fields as ReadFile
  // gives them, FileName path, and the date and disk state of the file at path as it is now, so that
  // the content counts as a change of that file rather than as the file. With an empty path the
  // content stands for no file (the copy of a document that was never saved).
  void ReadText(std::string_view path, const std::string& text);
  // Writes the fields to FileName, then takes its FileDate. The previous file is replaced only once
  // the new one is complete on disk: a failure raises base::Error and leaves the old file as it was.
  void WriteFile() { WriteText(FileText()); }
  // The bytes WriteFile writes. Raises base::Error when a field cannot be written (a line break
  // inside a line).
  std::string FileText() const;
  // The same bytes with the lines of each data section written by a function (each row as comma text
  // followed by CR LF) in place of its rows: the save command writes the blocks straight into the
  // text, without a row for each of them.
  using RowWriter = std::function<void(std::string& out)>;
  std::string FileText(const RowWriter& map, const RowWriter& unmap, const RowWriter& trash) const;
  // Writes text as the file's content to FileName as WriteFile does, then takes its FileDate.
  void WriteText(const std::string& text);

  // Empties everything: FileName, LayoutName, FileDate, BlockFields and the data of ClearData.
  void Clear();
  // Empties FormData, MapData, UnmapData and TrashData; keeps FileName, LayoutName and BlockFields.
  void ClearData();

 private:
  // What the file on disk was when last read or written here.
  struct DiskState {
    bool known = false;
    std::string path;        // the file it is of: a document renamed since knows nothing of its new file
    long long modified = 0;  // nanoseconds
    long long size = 0;
    bool operator==(const DiskState&) const = default;
  };
  static DiskState DiskStateOf(std::string_view path);
  void Parse(std::string text);

  // A data section: decoded rows, or lines of the read text not yet decoded, less those taken.
  struct DataRows {
    Rows rows;
    std::vector<std::string_view> lines;
    std::size_t taken = 0;
  };
  // The section's rows, its lines decoded first.
  Rows& Decoded(Data section) const;

  std::string fileName_;
  DiskState disk_;
  double fileDate_ = 0;
  std::string layoutName_;
  Rows blockFields_;
  std::vector<std::string> formData_;
  mutable std::array<DataRows, 3> data_;
  // The text of the file read, while lines of it wait to be decoded.
  std::unique_ptr<const base::IniText> text_;

  // Folded class name -> index of its first block-field row; rebuilt after the rows change.
  mutable std::unordered_map<std::string, std::size_t> blockFieldIndex_;
  mutable bool blockFieldIndexValid_ = false;
  // The last look-up: blocks of one class tend to come in runs.
  mutable std::string lastClassName_;
  mutable const Row* lastBlockFields_ = nullptr;
};

// The whole content of a regular file of at most 1 GB, read as the document is; raises base::Error
// naming the file when it cannot be read.
std::string ReadDocumentFile(std::string_view path);
// Replaces the file at path by bytes as WriteFile does: complete or not at all (base::Error).
void ReplaceDocumentFile(std::string_view path, const std::string& bytes);
