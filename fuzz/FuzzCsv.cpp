// CSV files as the import reads them: any bytes, as each encoding and each separator.
//
// A read either fails with an error or gives records that are consistent (a line for each, lines in
// order, none wider than the first); records written again as Shift-JIS read back unchanged, and as
// UTF-8 as records of the same shape (code page 932 has characters that share one Unicode form).
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "base/Csv.h"
#include "base/Error.h"

namespace {

void CheckRead(std::string_view input, base::CsvEncoding encoding, char separator) {
  base::CsvTable table;
  try {
    table = base::ReadCsv(input, {encoding, separator});
  } catch (const base::Error&) {
    return;
  }
  FUZZ_CHECK(table.Rows.size() == table.Lines.size());
  for (std::size_t i = 0; i < table.Rows.size(); ++i) {
    FUZZ_CHECK(!table.Rows[i].empty() && table.Rows[i].size() <= table.Width());
    FUZZ_CHECK(table.Lines[i] >= 1 && (i == 0 || table.Lines[i] > table.Lines[i - 1]));
  }
  const base::CsvTable sjis =
      base::ReadCsv(base::WriteCsv(table.Rows, {base::CsvEncoding::Sjis, false, table.Separator}),
                    {base::CsvEncoding::Sjis, table.Separator});
  FUZZ_CHECK(sjis.Rows == table.Rows);
  const base::CsvTable utf8 =
      base::ReadCsv(base::WriteCsv(table.Rows, {base::CsvEncoding::Utf8, true, table.Separator}),
                    {base::CsvEncoding::Detect, table.Separator});
  FUZZ_CHECK(utf8.Rows.size() == table.Rows.size());
  for (std::size_t i = 0; i < utf8.Rows.size(); ++i) FUZZ_CHECK(utf8.Rows[i].size() == table.Rows[i].size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = fuzz::Bytes(data, size);
  CheckRead(input, base::CsvEncoding::Detect, 0);
  CheckRead(input, base::CsvEncoding::Sjis, '\t');
  CheckRead(input, base::CsvEncoding::Utf8, ';');
  return 0;
}
