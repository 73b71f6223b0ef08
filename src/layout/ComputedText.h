// What the texts of the computed data types show.
//
// A create-date, now-date, now-page or total-page text shows a value of the document around the
// model: the date of the mapping data file, today's date, the number of the page that holds the text
// and the page count. The model does not know the document: it asks the source installed here (the
// global objects install one over the data file and the pages, data/DocumentTextSource.h). Without
// one, as in the loader's own tools, such a text shows its stored value.
//
// The elements of a page are its form's and its blocks' classes', shared by every page: which page a
// text is read or drawn on is said by whoever reads or draws it, with a page scope.
#pragma once

#include <string>

class MText;

class MComputedTextSource {
 public:
  virtual ~MComputedTextSource() = default;
  // The date of the mapping data file as a short date; empty when the document has no file yet.
  virtual std::string CreateDate() const = 0;
  // Today's date, in the same format.
  virtual std::string NowDate() const = 0;
  virtual int PageCount() const = 0;
};

// The page whose texts are being read or drawn, for as long as the object lives: a now-page text
// shows its number. Scopes nest; outside every scope a text stands on no page and shows 0.
class MPageScope {
 public:
  explicit MPageScope(int page);
  ~MPageScope();
  MPageScope(const MPageScope&) = delete;
  MPageScope& operator=(const MPageScope&) = delete;
  // The page of the innermost scope; 0 outside every scope.
  static int Current();

 private:
  int outer_;
};

// The installed source, or null.
const MComputedTextSource* ComputedTextSource();
// Installs the source (not owned); null uninstalls it.
void SetComputedTextSource(const MComputedTextSource* source);

// The computed value of a text of data type 5 to 8, in decimal for the page numbers. False (value
// untouched) for any other data type or when no source is installed.
bool ComputedText(const MText& text, std::string& value);
