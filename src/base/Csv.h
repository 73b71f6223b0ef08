// CSV files as spreadsheets and databases write them: RFC 4180 and its everyday variants.
//
//   code,name,price          a header row, or none
//   A-1,"Tea, green",120     quoted fields: separators, "" for a quote and line breaks inside
//
// Separators: comma, tab or semicolon. Encodings: UTF-8 with or without a byte order mark, and
// Shift-JIS (code page 932). Reading gives Shift-JIS fields, as every text of the program is; a
// character that Shift-JIS cannot hold is an error that names its line and column, never replaced.
// Writing takes Shift-JIS fields and gives the bytes of a file.
//
// Every structural byte (",", tab, ";", quote, CR, LF) is below 0x40, so it is never the second byte
// of a Shift-JIS character nor part of a UTF-8 sequence: the bytes are scanned as they are, in
// either encoding.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace base {

enum class CsvEncoding { Detect, Utf8, Sjis };

struct CsvReadOptions {
  CsvEncoding Encoding = CsvEncoding::Detect;
  char Separator = 0;  // ',', '\t' or ';'; 0: detected
};

struct CsvTable {
  CsvEncoding Encoding = CsvEncoding::Utf8;  // what the bytes were read as
  char Separator = ',';
  // The records in file order, blank lines left out; fields in Shift-JIS, line breaks inside them as
  // the file had them. No record has more fields than the first; trailing ones may be missing.
  std::vector<std::vector<std::string>> Rows;
  // Line of the file (from 1) on which each record starts.
  std::vector<int> Lines;
  // Fields of the first record: the width of the table.
  std::size_t Width() const { return Rows.empty() ? 0 : Rows.front().size(); }
};

// UTF-8 when the bytes start with its byte order mark or are valid UTF-8, else Shift-JIS.
CsvEncoding DetectCsvEncoding(std::string_view bytes);
// The separator of the first record: the most frequent of comma, tab and semicolon outside quotes
// (comma on a tie or when there is none).
char DetectCsvSeparator(std::string_view bytes);

// Reads a whole file's bytes. Raises base::Error with a message naming the line when a quote is not
// closed, a quoted field is followed by other text, a record has more (non-empty) fields than the
// first, bytes are not valid in the encoding, or characters cannot be held by Shift-JIS (all such
// places up to a few are listed).
CsvTable ReadCsv(std::string_view bytes, const CsvReadOptions& options = {});

struct CsvWriteOptions {
  CsvEncoding Encoding = CsvEncoding::Utf8;  // Detect counts as UTF-8
  bool ByteOrderMark = true;                 // for UTF-8: spreadsheets then show Japanese
  char Separator = ',';
};

// Builds the bytes of a file record by record from Shift-JIS fields, so that a large table need never
// be held as rows of strings: CR LF after each record; a field is quoted when it holds the separator, a
// quote or a line break, and a record of one empty field is written "".
class CsvWriter {
 public:
  explicit CsvWriter(const CsvWriteOptions& options = {});
  void Field(std::string_view field);
  void EndRecord();
  // The bytes of the file in the options' encoding; the writer is empty afterwards.
  std::string Finish();

 private:
  CsvWriteOptions options_;
  bool special_[256] = {};  // the bytes that make a field quoted
  void Put(std::string_view sjis);

  std::string out_;         // in the options' encoding
  std::size_t fields_ = 0;  // of the record being written
  bool lastEmpty_ = false;
};

// The bytes of a file holding rows, as CsvWriter writes them.
std::string WriteCsv(const std::vector<std::vector<std::string>>& rows, const CsvWriteOptions& options = {});

// The name of a separator for messages and options: "," "tab" ";".
std::string_view CsvSeparatorName(char separator);

}  // namespace base
