// What the computed texts (dates, page numbers) read of the document: the date of the mapping data
// file, today's date and the page count. The global objects install one over gMapFile and gMapDB
// (layout/ComputedText.h); the page that holds a text is said by whoever reads or draws it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "layout/ComputedText.h"

class MMapFile;
class MMapDB;

// A day number (days since 1899-12-30, the day 0 of the data file's date stamps) as a short date text
// (Shift-JIS). The programs give the desktop's locale format; without one, ShortDateIso.
using MShortDateFormat = std::function<std::string(std::int64_t day)>;

class MDocumentTextSource : public MComputedTextSource {
 public:
  // Both must outlive this object.
  MDocumentTextSource(const MMapFile& mapFile, const MMapDB& mapDB, MShortDateFormat shortDate = {});

  // The file's date as a short date; empty for a document without a file date.
  std::string CreateDate() const override;
  std::string NowDate() const override;
  int PageCount() const override;

 private:
  // A short date, remembered for the day last asked.
  struct DateText {
    std::int64_t day = INT64_MIN;
    std::string text;
  };
  const std::string& ShortDate(std::int64_t day, DateText& memo) const;

  const MMapFile& mapFile_;
  const MMapDB& mapDB_;
  MShortDateFormat shortDate_;
  mutable DateText createDate_;
  mutable DateText nowDate_;
};

// The day number of a date stamp of the data file: its whole days.
std::int64_t DayOfFileDate(double fileDate);
// Today's day number in local time.
std::int64_t TodayDayNumber();
// A day number as "yyyy/mm/dd".
std::string ShortDateIso(std::int64_t day);
