// Mapping data files of any size for benchmarks: a shop catalogue whose blocks carry Japanese names,
// product codes, prices, image names with a folder alias, memo texts and visible flags, with some
// blanks, row breaks and page breaks among the placed blocks. Rows average about 100 bytes, so
// 100,000 rows make a file of about 10 MB. The same shape and seed always give the same bytes.
//
// The block classes are "item" and "notice" with the fields of GeneratedBlockFields(); a layout that
// defines them (elements of the same names) can open the generated documents.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "base/CommaText.h"
#include "base/Sjis.h"

namespace bench {

struct MapFileShape {
  std::size_t placedRows = 90000;
  std::size_t unplacedRows = 5000;
  std::size_t trashRows = 5000;
  std::size_t pages = 100;  // the number of "1.title=..." form data lines
  std::uint32_t seed = 1;
};

inline std::vector<std::vector<std::string>> GeneratedBlockFields() {
  return {{"item", "name", "code", "price", "photo", "photo.visible", "memo", "category"},
          {"notice", "title", "body"}};
}

namespace detail {

class RowMaker {
 public:
  explicit RowMaker(std::uint32_t seed) : rng_(seed) {
    for (const char* w : {"緑茶", "ほうじ茶", "玄米茶", "抹茶", "紅茶", "烏龍茶", "麦茶", "煎茶", "番茶",
                          "玉露", "表示", "ソース", "特選", "有機", "国産", "限定"}) {
      words_.push_back(base::Utf8ToSjis(w));
    }
    for (const char* w : {"飲料", "食品", "菓子", "日用品", "季節"})
      categories_.push_back(base::Utf8ToSjis(w));
    blank_ = base::Utf8ToSjis("　");
    br_ = base::Utf8ToSjis("<br>");
  }

  std::vector<std::string> Item(std::size_t n) {
    std::vector<std::string> row{"item"};
    std::string name = Word() + Word();
    if (Chance(5)) name += " " + Word();  // a blank: written in quotes
    if (Chance(7)) name += blank_ + Word();
    row.push_back(std::move(name));
    row.push_back("49" + std::to_string(1000000000 + rng_() % 9000000000ULL).substr(0, 11));
    row.push_back(Chance(10) ? std::string() : std::to_string(80 + rng_() % 9000));
    row.push_back("<img>\\products\\p" + std::to_string(100000 + n % 900000) + ".jpg");
    row.push_back(Chance(3) ? "0" : "1");
    row.push_back(Word() + Word() + Word() + br_ + Word() + "," + Word() + Word() + Word() +
                  Word());  // quoted
    row.push_back(categories_[rng_() % categories_.size()]);
    if (Chance(8)) row.resize(4);  // missing trailing values keep the class defaults
    return row;
  }

  std::vector<std::string> Placed(std::size_t n) {
    const auto r = rng_() % 100;
    if (r == 0) return {"newpage"};
    if (r < 3) return {"newline"};
    if (r < 5) return {"space"};
    if (r < 7) return {"notice", Word(), "\"" + Word() + "\" " + Word() + Word() + Word() + Word()};
    return Item(n);
  }

  std::string Word() { return words_[rng_() % words_.size()]; }

 private:
  bool Chance(unsigned oneIn) { return rng_() % oneIn == 0; }

  std::mt19937_64 rng_;
  std::vector<std::string> words_;
  std::vector<std::string> categories_;
  std::string blank_;
  std::string br_;
};

inline void AppendRow(const std::vector<std::string>& row, std::string& out) {
  base::AppendCommaText(row, out);
  out += "\r\n";
}

}  // namespace detail

// The bytes of a mapping data file in the form the editor writes.
inline std::string GenerateMapFileText(const MapFileShape& shape) {
  detail::RowMaker maker(shape.seed);
  std::string out;
  out.reserve((shape.placedRows + shape.unplacedRows + shape.trashRows) * 110 + 4096);
  out += "[basic_info]\r\nlayout=<lay>\\catalogue.lay\r\n";
  out += "\r\n[block_field]\r\n";
  for (const auto& row : GeneratedBlockFields()) detail::AppendRow(row, out);
  out += "\r\n[form_data]\r\n";
  for (std::size_t p = 1; p <= shape.pages; ++p) out += std::to_string(p) + ".title=" + maker.Word() + "\r\n";
  out += "\r\n[map_data]\r\n";
  for (std::size_t i = 0; i < shape.placedRows; ++i) detail::AppendRow(maker.Placed(i), out);
  out += "\r\n[unmap_data]\r\n";
  for (std::size_t i = 0; i < shape.unplacedRows; ++i) detail::AppendRow(maker.Item(i), out);
  out += "\r\n[trash_data]\r\n";
  for (std::size_t i = 0; i < shape.trashRows; ++i) detail::AppendRow(maker.Item(i), out);
  return out;
}

}  // namespace bench
