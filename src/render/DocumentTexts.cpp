#include "render/DocumentTexts.h"

#include <QDate>
#include <QLocale>
#include <cmath>

#include "data/MapDB.h"
#include "data/MapFile.h"
#include "render/QtText.h"

namespace {
// Day 0 of the data file's date stamps.
QDate Epoch() { return QDate(1899, 12, 30); }
}  // namespace

std::int64_t DayOfFileDate(double fileDate) { return static_cast<std::int64_t>(std::floor(fileDate)); }

std::string ShortDateText(std::int64_t day) {
  return ToSjis(QLocale::system().toString(Epoch().addDays(day), QLocale::ShortFormat));
}

MDocumentTexts::MDocumentTexts(const MMapFile& mapFile, const MMapDB& mapDB)
    : mapFile_(mapFile), mapDB_(mapDB) {}

const std::string& MDocumentTexts::ShortDate(std::int64_t day, DateText& memo) {
  if (memo.day != day) {
    memo.text = ShortDateText(day);
    memo.day = day;
  }
  return memo.text;
}

std::string MDocumentTexts::CreateDate() const {
  // A document that was never read from or written to a file has no date; day 0 would show as the
  // last days of 1899.
  const double stamp = mapFile_.FileDate();
  if (stamp == 0) return {};
  return ShortDate(DayOfFileDate(stamp), createDate_);
}

std::string MDocumentTexts::NowDate() const {
  return ShortDate(Epoch().daysTo(QDate::currentDate()), nowDate_);
}

int MDocumentTexts::PageOfText(const MControl& element) const {
  // An element belongs to one page at most, so the first page that holds it is the only one.
  const int count = mapDB_.PageCount();
  for (const int page : {lastPage_, lastPage_ + 1, lastPage_ - 1}) {
    if (page < 1 || page > count) continue;
    if (mapDB_.GetPage(page - 1)->Contains(&element)) {
      lastPage_ = page;
      return page;
    }
  }
  const int page = mapDB_.PageOfText(&element);
  if (page > 0) lastPage_ = page;
  return page;
}

int MDocumentTexts::PageCount() const { return mapDB_.PageCount(); }
