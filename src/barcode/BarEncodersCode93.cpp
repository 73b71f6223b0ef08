#include "barcode/BarEncodersCode93.h"

#include <vector>

namespace barcode {

namespace {

// Code 93: the 43 characters of Code 39 (values 0-42), then the shift characters ($), (%), (/), (+)
// (values 43-46), written in a code as "<$>", "<%>", "</>", "<+>".
constexpr std::string_view kCode93Chars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
constexpr std::string_view kCode93Shifts = "$%/+";
// Code 93 (AIM USS Code 93), character patterns of the values 0 to 46: bar, space, bar, space, bar,
// space.
constexpr const char* kCode93Patterns[47] = {
    "141012", "101214", "101412", "101610", "121014", "121212", "121410", "101016",  // 0 1 2 3 4 5 6 7
    "141210", "161010", "301014", "301212", "301410", "321012", "321210", "341010",  // 8 9 A B C D E F
    "103014", "103212", "103410", "123012", "143010", "101034", "101232", "101430",  // G H I J K L M N
    "121032", "141030", "303012", "303210", "301032", "301230", "321030", "323010",  // O P Q R S T U V
    "103032", "103230", "123030", "125010", "121050", "501012", "501210", "521010",  // W X Y Z - . space $
    "103050", "105030", "301050", "121230", "503010", "501030", "123210",            // / + % ($) (%) (/) (+)
};
constexpr const char* kCode93Start = "101070";
constexpr const char* kCode93Stop = "1010701";  // the start/stop character and the termination bar

int Code93Check(const std::vector<int>& values, int maxWeight) {
  int sum = 0;
  int weight = 1;
  for (auto it = values.rbegin(); it != values.rend(); ++it) {
    sum = (sum + *it * weight) % 47;
    weight = weight == maxWeight ? 1 : weight + 1;
  }
  return sum;
}

std::string Code93Text(int value) {
  if (value < 43) return std::string(1, kCode93Chars[value]);
  return std::string("<") + kCode93Shifts[value - 43] + ">";
}

}  // namespace

std::string EncodeCODE93(std::string_view code, std::string& symbolText) {
  symbolText.clear();
  if (code.empty()) return {};
  std::vector<int> values;
  values.reserve(code.size() + 2);
  for (std::size_t i = 0; i < code.size();) {
    if (code[i] == '<') {
      if (i + 2 >= code.size() || code[i + 2] != '>') return {};
      const std::size_t shift = kCode93Shifts.find(code[i + 1]);
      if (shift == std::string_view::npos) return {};
      values.push_back(43 + static_cast<int>(shift));
      i += 3;
    } else {
      const std::size_t value = kCode93Chars.find(code[i]);
      if (value == std::string_view::npos) return {};
      values.push_back(static_cast<int>(value));
      ++i;
    }
  }
  const int c = Code93Check(values, 20);
  values.push_back(c);
  const int k = Code93Check(values, 15);
  values.push_back(k);

  std::string pattern = kCode93Start;
  pattern.reserve((values.size() + 2) * 6 + 1);
  for (int v : values) pattern += kCode93Patterns[v];
  pattern += kCode93Stop;

  symbolText.push_back('(');  // symbolText is empty here
  symbolText += code;
  symbolText += Code93Text(c);
  symbolText += Code93Text(k);
  symbolText += ')';
  return pattern;
}

}  // namespace barcode
