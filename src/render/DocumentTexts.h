// The computed texts' view of the document: the date of the mapping data file, today's date, the page
// that holds a text and the page count. The global objects install one (layout/ComputedText.h).
#pragma once

#include <cstdint>
#include <string>

#include "layout/ComputedText.h"

class MMapFile;
class MMapDB;

class MDocumentTexts : public MTextDocument {
 public:
  // Both must outlive this object.
  MDocumentTexts(const MMapFile& mapFile, const MMapDB& mapDB);

  // The file's date as the system's short date; empty for a document without a file date.
  std::string CreateDate() const override;
  std::string NowDate() const override;
  // The page is looked for first where the last one was found and beside it: a page draws all its
  // page numbers, and printing goes from page to page, so a long document is not searched each time.
  int PageOfText(const MControl& element) const override;
  int PageCount() const override;

 private:
  // The date days after 1899-12-30 as a short date, remembered for the day last asked.
  struct DateText {
    std::int64_t day = INT64_MIN;
    std::string text;
  };
  static const std::string& ShortDate(std::int64_t day, DateText& memo);

  const MMapFile& mapFile_;
  const MMapDB& mapDB_;
  mutable int lastPage_ = 0;
  mutable DateText createDate_;
  mutable DateText nowDate_;
};

// The day number (days since 1899-12-30) of a date stamp of the data file: its whole days.
std::int64_t DayOfFileDate(double fileDate);
// A day number as the system locale's short date (Shift-JIS).
std::string ShortDateText(std::int64_t day);
