// Comma text rows, as the mapping data file and the clipboard carry them.
//
// The input is read twice: as the text of a row (any bytes decode to some row), and as a row of
// items split at the byte 0xFF, so that the encoder also meets items that no decoding produces.
// Both rows must be written and read back unchanged, and their text must survive being a line of a
// data file.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "base/CommaText.h"
#include "base/IniText.h"
#include "base/Sjis.h"

namespace {

using Row = std::vector<std::string>;

void CheckRoundTrip(const Row& row) {
  const std::string text = base::EncodeCommaText(row);
  FUZZ_CHECK(base::DecodeCommaText(text) == row);
  // Appending gives the same bytes after what is already there.
  std::string appended = "x";
  base::AppendCommaText(row, appended);
  FUZZ_CHECK(appended.size() == text.size() + 1 && std::string_view(appended).substr(1) == text);

  // A line of a file: nothing that splits or ends it, nothing that trimming, a comment or a section
  // header would take away.
  FUZZ_CHECK(text.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
  FUZZ_CHECK(base::Trim(text).size() == text.size());
  FUZZ_CHECK(row.empty() == text.empty());
  if (!text.empty()) {
    FUZZ_CHECK(text.front() != ';' && text.front() != '[');
    // Read as a data section, the line is kept; where it holds no "=" it is kept byte for byte (the
    // blanks around the first "=" of a line are the ini rules' own business).
    const base::IniText ini("[s]\r\n" + text + "\r\n");
    FUZZ_CHECK(ini.Lines("s").size() == 1);
    if (text.find('=') == std::string::npos) FUZZ_CHECK(ini.Lines("s")[0] == text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = fuzz::Bytes(data, size);

  // Any text gives a row; the row's own text is a fixed point of decoding and encoding.
  const Row decoded = base::DecodeCommaText(input);
  CheckRoundTrip(decoded);
  const std::string once = base::EncodeCommaText(decoded);
  FUZZ_CHECK(base::EncodeCommaText(base::DecodeCommaText(once)) == once);
  // The reusing form gives the same row as the returning one, whatever the vector held before.
  Row reused{"stale", "items"};
  base::DecodeCommaText(input, reused);
  FUZZ_CHECK(reused == decoded);

  // The input as items.
  Row items;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= input.size(); ++i) {
    if (i == input.size() || static_cast<unsigned char>(input[i]) == 0xFF) {
      items.emplace_back(input.substr(start, i - start));
      start = i + 1;
    }
  }
  CheckRoundTrip(items);
  return 0;
}
