#include "barcode/QRMask.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace barcode::detail {

namespace {

constexpr int kMaxVersion = 40;
constexpr int kMaxWords = 3;  // version 40 is 177 modules wide

// ISO/IEC 18004, Annex E: the row and column coordinates of the alignment patterns' centres.
constexpr std::array<std::array<std::uint8_t, 7>, kMaxVersion + 1> kAlignmentCentres = {{
    {},
    {},
    {6, 18},
    {6, 22},
    {6, 26},
    {6, 30},
    {6, 34},
    {6, 22, 38},
    {6, 24, 42},
    {6, 26, 46},
    {6, 28, 50},
    {6, 30, 54},
    {6, 32, 58},
    {6, 34, 62},
    {6, 26, 46, 66},
    {6, 26, 48, 70},
    {6, 26, 50, 74},
    {6, 30, 54, 78},
    {6, 30, 56, 82},
    {6, 30, 58, 86},
    {6, 34, 62, 90},
    {6, 28, 50, 72, 94},
    {6, 26, 50, 74, 98},
    {6, 30, 54, 78, 102},
    {6, 28, 54, 80, 106},
    {6, 32, 58, 84, 110},
    {6, 30, 58, 86, 114},
    {6, 34, 62, 90, 118},
    {6, 26, 50, 74, 98, 122},
    {6, 30, 54, 78, 102, 126},
    {6, 26, 52, 78, 104, 130},
    {6, 30, 56, 82, 108, 134},
    {6, 34, 60, 86, 112, 138},
    {6, 30, 58, 86, 114, 142},
    {6, 34, 62, 90, 118, 146},
    {6, 30, 54, 78, 102, 126, 150},
    {6, 24, 50, 76, 102, 128, 154},
    {6, 28, 54, 80, 106, 132, 158},
    {6, 32, 58, 84, 110, 136, 162},
    {6, 26, 54, 82, 110, 138, 166},
    {6, 30, 58, 86, 114, 142, 170},
}};

// ISO/IEC 18004, Table 10: the eight mask patterns; i is the row, j the column.
constexpr bool MaskBit(int mask, int i, int j) {
  switch (mask) {
    case 0:
      return (i + j) % 2 == 0;
    case 1:
      return i % 2 == 0;
    case 2:
      return j % 3 == 0;
    case 3:
      return (i + j) % 3 == 0;
    case 4:
      return (i / 2 + j / 3) % 2 == 0;
    case 5:
      return (i * j) % 2 + (i * j) % 3 == 0;
    case 6:
      return ((i * j) % 2 + (i * j) % 3) % 2 == 0;
    default:
      return ((i + j) % 2 + (i * j) % 3) % 2 == 0;
  }
}

// Every mask pattern repeats every 12 rows and every 12 columns, so a row of a pattern is one of
// twelve, and each of its machine words one of three (words start at columns 0, 64 and 128).
// kMaskWords[mask][i % 12][w]: bit b is module (row i, column 64 w + b). The patterns' transposes
// serve the columns: every pattern but 1, 2 and 4 is symmetric, and those are kept by row and column.
struct MaskTable {
  std::uint64_t byRow[8][12][kMaxWords] = {};
  std::uint64_t byColumn[8][12][kMaxWords] = {};
};

constexpr MaskTable MakeMaskTable() {
  MaskTable t;
  for (int mask = 0; mask < 8; ++mask)
    for (int k = 0; k < 12; ++k)
      for (int w = 0; w < kMaxWords; ++w)
        for (int b = 0; b < 64; ++b) {
          const int other = 64 * w + b;
          if (MaskBit(mask, k, other)) t.byRow[mask][k][w] |= std::uint64_t{1} << b;
          if (MaskBit(mask, other, k)) t.byColumn[mask][k][w] |= std::uint64_t{1} << b;
        }
  return t;
}

constexpr MaskTable kMasks = MakeMaskTable();

// ISO/IEC 18004, 7.9.1: the error correction level's two bits and the mask pattern's three, with a
// BCH (15, 5) code of generator 10100110111, masked with 101010000010010.
constexpr int FormatBits(int levelBits, int mask) {
  const int data = (levelBits << 3) | mask;
  int rest = data << 10;
  for (int bit = 14; bit >= 10; --bit)
    if ((rest >> bit) & 1) rest ^= 0x537 << (bit - 10);
  return ((data << 10) | rest) ^ 0x5412;
}

// The level bits of L, M, Q and H.
constexpr int kLevelBits[4] = {1, 0, 3, 2};

// Where the 15 format bits go (7.9.1, figure 25), bit 0 the least significant: column, row, bit.
struct FormatModule {
  int x, y, bit;
};

std::vector<FormatModule> FormatModules(int n) {
  std::vector<FormatModule> m;
  for (int i = 0; i <= 5; ++i) m.push_back({8, i, i});
  m.push_back({8, 7, 6});
  m.push_back({8, 8, 7});
  m.push_back({7, 8, 8});
  for (int i = 9; i < 15; ++i) m.push_back({14 - i, 8, i});
  for (int i = 0; i < 8; ++i) m.push_back({n - 1 - i, 8, i});
  for (int i = 8; i < 15; ++i) m.push_back({8, n - 15 + i, i});
  return m;
}

// What each version needs besides its size: which modules carry data (and so are masked), by row and
// by column, and where the format bits go. Made once per version.
struct VersionMaps {
  int n = 0;
  int words = 0;
  std::vector<std::uint64_t> dataRows, dataColumns;
  std::vector<FormatModule> format;
};

VersionMaps MakeVersionMaps(int version) {
  VersionMaps v;
  const int n = 17 + 4 * version;
  v.n = n;
  v.words = (n + 63) / 64;
  std::vector<std::uint8_t> function(std::size_t(n) * n, 0);
  auto mark = [&](int x0, int y0, int x1, int y1) {  // inclusive corners, clipped to the symbol
    for (int y = std::max(y0, 0); y <= std::min(y1, n - 1); ++y)
      for (int x = std::max(x0, 0); x <= std::min(x1, n - 1); ++x) function[std::size_t(y) * n + x] = 1;
  };
  // Finder patterns with their separators and the format information beside them (and the dark
  // module above the lower left one).
  mark(0, 0, 8, 8);
  mark(n - 8, 0, n - 1, 8);
  mark(0, n - 8, 8, n - 1);
  // Timing patterns.
  mark(6, 0, 6, n - 1);
  mark(0, 6, n - 1, 6);
  // Alignment patterns, except where a finder pattern stands.
  const auto& centres = kAlignmentCentres[version];
  int count = 0;
  while (count < 7 && centres[count] != 0) ++count;
  for (int a = 0; a < count; ++a)
    for (int b = 0; b < count; ++b) {
      if ((a == 0 && b == 0) || (a == 0 && b == count - 1) || (a == count - 1 && b == 0)) continue;
      mark(centres[a] - 2, centres[b] - 2, centres[a] + 2, centres[b] + 2);
    }
  // Version information.
  if (version >= 7) {
    mark(n - 11, 0, n - 9, 5);
    mark(0, n - 11, 5, n - 9);
  }
  v.dataRows.assign(std::size_t(n) * v.words, 0);
  v.dataColumns.assign(std::size_t(n) * v.words, 0);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      if (function[std::size_t(y) * n + x]) continue;
      v.dataRows[std::size_t(y) * v.words + x / 64] |= std::uint64_t{1} << (x % 64);
      v.dataColumns[std::size_t(x) * v.words + y / 64] |= std::uint64_t{1} << (y % 64);
    }
  v.format = FormatModules(n);
  return v;
}

const VersionMaps& Maps(int version) {
  static std::once_flag once[kMaxVersion + 1];
  static std::unique_ptr<VersionMaps> maps[kMaxVersion + 1];
  std::call_once(once[version],
                 [version] { maps[version] = std::make_unique<VersionMaps>(MakeVersionMaps(version)); });
  return *maps[version];
}

// A line of modules (a row or a column) as W machine words, module x at bit x % 64 of word x / 64.
template <int W>
struct Line {
  std::uint64_t w[W];

  Line operator&(const Line& o) const {
    Line r;
    for (int i = 0; i < W; ++i) r.w[i] = w[i] & o.w[i];
    return r;
  }
  Line operator|(const Line& o) const {
    Line r;
    for (int i = 0; i < W; ++i) r.w[i] = w[i] | o.w[i];
    return r;
  }
  Line operator^(const Line& o) const {
    Line r;
    for (int i = 0; i < W; ++i) r.w[i] = w[i] ^ o.w[i];
    return r;
  }
  Line operator~() const {
    Line r;
    for (int i = 0; i < W; ++i) r.w[i] = ~w[i];
    return r;
  }
  // Module x of the result is module x + k (0 < k < 64); past the end light.
  Line Next(int k) const {
    Line r;
    for (int i = 0; i < W; ++i) r.w[i] = (w[i] >> k) | (i + 1 < W ? w[i + 1] << (64 - k) : 0);
    return r;
  }
  // Module x of the result is module x - k (0 < k < 64); before the start light.
  Line Previous(int k) const {
    Line r;
    for (int i = 0; i < W; ++i) r.w[i] = (w[i] << k) | (i > 0 ? w[i - 1] >> (64 - k) : 0);
    return r;
  }
  int Count() const {
    int c = 0;
    for (int i = 0; i < W; ++i) c += std::popcount(w[i]);
    return c;
  }
};

template <int W>
Line<W> Load(const std::uint64_t* words) {
  Line<W> l;
  for (int i = 0; i < W; ++i) l.w[i] = words[i];
  return l;
}

template <int W>
Line<W> FirstModules(int count) {  // modules 0 .. count - 1
  Line<W> l;
  for (int i = 0; i < W; ++i) {
    const int bits = std::clamp(count - 64 * i, 0, 64);
    l.w[i] = bits == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
  }
  return l;
}

// N1 and N3 of one line (7.8.3.1, table 11): runs of five or more modules of one colour score 3 plus
// their length beyond five; a dark-light-dark-dark-dark-light-dark pattern with four light modules
// before or after it (outside the symbol counts as light) scores 40.
template <int W>
int LinePenalty(const Line<W>& dark, const Line<W>& all) {
  const Line<W> light = ~dark & all;
  const Line<W> darkRun = dark & dark.Next(1) & dark.Next(2) & dark.Next(3) & dark.Next(4);
  const Line<W> lightRun = light & light.Next(1) & light.Next(2) & light.Next(3) & light.Next(4);
  // Each run of length L has L - 4 windows of five; its first window scores 2 more: L - 2 in all.
  int score = (darkRun | lightRun).Count();
  score += 2 * ((darkRun & ~dark.Previous(1)).Count() + (lightRun & ~light.Previous(1)).Count());
  const Line<W> finder =
      dark & light.Next(1) & dark.Next(2) & dark.Next(3) & dark.Next(4) & light.Next(5) & dark.Next(6);
  const Line<W> lightBefore = ~(dark.Previous(1) | dark.Previous(2) | dark.Previous(3) | dark.Previous(4));
  const Line<W> lightAfter = ~(dark.Next(7) | dark.Next(8) | dark.Next(9) | dark.Next(10));
  score += 40 * (finder & (lightBefore | lightAfter)).Count();
  return score;
}

// The penalty of a candidate given as rows and as columns.
template <int W>
int Penalty(const std::vector<std::uint64_t>& rows, const std::vector<std::uint64_t>& columns, int n) {
  const Line<W> all = FirstModules<W>(n);
  const Line<W> allButLast = FirstModules<W>(n - 1);
  int score = 0;
  int darkModules = 0;
  Line<W> previous{};
  for (int y = 0; y < n; ++y) {
    const Line<W> row = Load<W>(&rows[std::size_t(y) * W]);
    score += LinePenalty(row, all);
    score += LinePenalty(Load<W>(&columns[std::size_t(y) * W]), all);
    darkModules += row.Count();
    if (y > 0) {
      // N2: 2 x 2 blocks of one colour score 3 each, overlapping ones counted.
      const Line<W> sameDown = ~(row ^ previous) & all;
      score += 3 * (sameDown & sameDown.Next(1) & ~(row ^ row.Next(1)) & allButLast).Count();
    }
    previous = row;
  }
  // N4: 10 for every full 5 % by which the dark modules' share differs from 50 %.
  const int total = n * n;
  score += 10 * (std::abs(20 * darkModules - 10 * total) / total);
  return score;
}

template <int W>
TBarMatrix BestMask(const QRBitRows& bits, const VersionMaps& maps) {
  const int n = bits.size;
  // The symbol as built, by column too.
  std::vector<std::uint64_t> columns0(std::size_t(n) * W, 0);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x)
      if ((bits.rows[std::size_t(y) * W + x / 64] >> (x % 64)) & 1)
        columns0[std::size_t(x) * W + y / 64] |= std::uint64_t{1} << (y % 64);

  // The error correction level, from the format information as built.
  int levelBits = -1;
  int built = 0;
  for (const FormatModule& f : maps.format)
    if ((bits.rows[std::size_t(f.y) * W + f.x / 64] >> (f.x % 64)) & 1) built |= 1 << f.bit;
  for (int level : kLevelBits)
    if (FormatBits(level, 0) == built) levelBits = level;
  if (levelBits < 0) return {};

  std::vector<std::uint64_t> rows(bits.rows.size()), columns(columns0.size());
  std::vector<std::uint64_t> bestRows;
  int bestScore = 0;
  for (int mask = 0; mask < 8; ++mask) {
    // Pattern 000 is undone and this one applied on the data modules.
    for (int y = 0; y < n; ++y)
      for (int i = 0; i < W; ++i) {
        const std::size_t at = std::size_t(y) * W + i;
        const std::uint64_t flip = kMasks.byRow[0][y % 12][i] ^ kMasks.byRow[mask][y % 12][i];
        rows[at] = bits.rows[at] ^ (maps.dataRows[at] & flip);
        const std::uint64_t flipColumn = kMasks.byColumn[0][y % 12][i] ^ kMasks.byColumn[mask][y % 12][i];
        columns[at] = columns0[at] ^ (maps.dataColumns[at] & flipColumn);
      }
    const int format = FormatBits(levelBits, mask);
    for (const FormatModule& f : maps.format) {
      const std::uint64_t rowBit = std::uint64_t{1} << (f.x % 64);
      const std::uint64_t columnBit = std::uint64_t{1} << (f.y % 64);
      std::uint64_t& inRow = rows[std::size_t(f.y) * W + f.x / 64];
      std::uint64_t& inColumn = columns[std::size_t(f.x) * W + f.y / 64];
      if ((format >> f.bit) & 1) {
        inRow |= rowBit;
        inColumn |= columnBit;
      } else {
        inRow &= ~rowBit;
        inColumn &= ~columnBit;
      }
    }
    const int score = Penalty<W>(rows, columns, n);
    // The first of equal scores, as libzint takes it.
    if (bestRows.empty() || score < bestScore) {
      bestScore = score;
      bestRows = rows;
    }
  }

  TBarMatrix symbol(n, n);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) symbol.SetDark(x, y, (bestRows[std::size_t(y) * W + x / 64] >> (x % 64)) & 1);
  return symbol;
}

}  // namespace

TBarMatrix ApplyBestQRMask(const QRBitRows& bits) {
  const int n = bits.size;
  if (n < 21 || n > 177 || (n - 17) % 4 != 0) return {};
  const int version = (n - 17) / 4;
  const VersionMaps& maps = Maps(version);
  if (bits.words != maps.words || bits.rows.size() != std::size_t(n) * maps.words) return {};
  switch (maps.words) {
    case 1:
      return BestMask<1>(bits, maps);
    case 2:
      return BestMask<2>(bits, maps);
    default:
      return BestMask<3>(bits, maps);
  }
}

}  // namespace barcode::detail
