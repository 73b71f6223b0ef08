#include "data/DocumentTextSource.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "data/MapDB.h"
#include "data/MapFile.h"

namespace {
namespace chrono = std::chrono;

// Day 0 of the data file's date stamps.
constexpr chrono::sys_days kEpoch = chrono::year{1899} / chrono::December / 30;
}  // namespace

std::int64_t DayOfFileDate(double fileDate) { return static_cast<std::int64_t>(std::floor(fileDate)); }

std::int64_t TodayDayNumber() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const chrono::sys_days today = chrono::year{local.tm_year + 1900} /
                                 chrono::month{static_cast<unsigned>(local.tm_mon + 1)} /
                                 chrono::day{static_cast<unsigned>(local.tm_mday)};
  return (today - kEpoch).count();
}

std::string ShortDateIso(std::int64_t day) {
  const chrono::year_month_day date{kEpoch + chrono::days{day}};
  char text[32];
  std::snprintf(text, sizeof text, "%04d/%02u/%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

MDocumentTextSource::MDocumentTextSource(const MMapFile& mapFile, const MMapDB& mapDB,
                                         MShortDateFormat shortDate)
    : mapFile_(mapFile), mapDB_(mapDB), shortDate_(shortDate ? std::move(shortDate) : ShortDateIso) {}

const std::string& MDocumentTextSource::ShortDate(std::int64_t day, DateText& memo) const {
  if (memo.day != day) {
    memo.text = shortDate_(day);
    memo.day = day;
  }
  return memo.text;
}

std::string MDocumentTextSource::CreateDate() const {
  // A document that was never read from or written to a file has no date; day 0 would show as the
  // last days of 1899.
  const double stamp = mapFile_.FileDate();
  if (stamp == 0) return {};
  return ShortDate(DayOfFileDate(stamp), createDate_);
}

std::string MDocumentTextSource::NowDate() const { return ShortDate(TodayDayNumber(), nowDate_); }

int MDocumentTextSource::PageCount() const { return mapDB_.PageCount(); }
