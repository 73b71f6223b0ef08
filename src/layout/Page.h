// A page of the document: the form it shows (the layout's first form, shared by every page), the
// entry placed on each of the form's grid points, and its own values of the form's texts.
//
// The entries lie in one array in reading order, one per grid point; rows and positions within a row
// are numbered from 1. Placement and flow (Place, FlowPage, ...) are in GridFlow.cpp, the form values
// in Page.cpp, drawing in ElementDraw.cpp.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "layout/Entry.h"
#include "layout/Form.h"

class MBlockInstance;
class MElementCanvas;
class MPageText;

class MPage {
 public:
  // Page number (from 1) of form, with nothing placed; its form texts hold the form's own values, not
  // explicit. The form must outlive the page; drawing the page draws the form's elements.
  MPage(MForm& form, int number);
  ~MPage();
  MPage(const MPage&) = delete;
  MPage& operator=(const MPage&) = delete;

  const MForm& Form() const { return *form_; }
  const MGrid& Grid() const { return form_->Grid; }
  int Number() const { return number_; }
  int RowCount() const { return Grid().RowCount(); }
  int PointCount(int row) const { return Grid().PointCount(row); }
  // Null when either number is out of range.
  const MGridPoint* PointAt(int row, int position) const { return Grid().PointAt(row, position); }
  // The entry placed on a point; null when there is none or the numbers are out of range.
  const MEntry* EntryAt(int row, int position) const;
  // The number of entries placed.
  int EntryCount() const { return entryCount_; }
  // Where the entry on a point stands: its X1, Y1 on the page (a block's corner, a special entry's
  // point) and what it covers (a block's bounds; a special entry's point). False for no entry.
  bool EntryArea(int row, int position, double& x, double& y, MRect& bounds) const;

  // ---- placement and flow
  // Puts the entry on the point (entry becomes none): false, leaving the entry with the caller, when
  // the point is out of range, occupied or does not accept it. The area it covers is redrawn.
  bool Place(int row, int position, MEntry& entry);
  // Takes the entry off the point; none when the point holds none. The area it covered is redrawn.
  MEntry Remove(int row, int position);
  // The row queries take a valid row number.
  bool RowOccupied(int row) const;
  bool RowHasNewPage(int row) const;
  bool RowHasEndOfData(int row) const;
  // A new end-of-data entry on the first point of the first row; false when there is no such point.
  bool PlaceEndOfData();
  // Lays the queue onto the points from (row, position) on: each point's entry goes behind the queue,
  // the head of the queue onto the point when it accepts it. remaining counts down for each entry
  // placed; where it reaches 0, row and position are set to that point. True when the queue is
  // empty, false when entries are left for the next page. The flow ends as soon as the queue is
  // empty: what stands behind that point is where it stood, and where flowing it again would put it.
  bool FlowPage(int& row, int& position, int& remaining, MEntryQueue& queue);
  // The row and position of the placed entry that the point (x, y) designates; unchanged when
  // nothing is placed.
  void FindCursorPosition(double x, double y, int& row, int& position) const;
  // The editable text at the point: the form's own first, then those of the blocks placed here, in
  // reading order; none when there is none.
  MPageText FindEditableText(double x, double y);

  // ---- form values
  // What a form text holds on a page, exactly: its lines and whether it was set there.
  struct TextState {
    std::vector<std::string> Lines;
    bool Explicit = false;
    bool operator==(const TextState&) const = default;
  };
  // The first form text with exactly this name gets the value (MText::SetText) and the explicit mark.
  void SetFormText(std::string_view name, std::string_view value, bool isExplicit);
  // Every text of source's form passes its value on source to the form text of the same name here,
  // not explicit.
  void CopyFormTexts(const MPage& source);
  // Appends "<page>.<name>=<value>" for every explicit form text; line breaks are written "<br>".
  void WriteFormData(int pageNumber, std::vector<std::string>& lines) const;
  // The value to set for a form text from a "form_data" line: for a memo text every "<br>" becomes
  // CR LF, any other text keeps it as written (as block values do).
  std::string FormTextFromData(std::string_view name, std::string_view dataValue) const;
  // What the first text of the form with exactly this name shows on this page (MText::GetText of it
  // here, computed texts computed for this page); empty when there is none.
  std::string FormText(std::string_view name) const;
  // The state of every form text, in the form's order; RestoreFormTexts takes it back (undoing a
  // change restores the values byte for byte, not through SetText).
  std::vector<TextState> FormTextStates() const;
  void RestoreFormTexts(const std::vector<TextState>& states);
  // The state of the first form text with exactly this name; false when there is none.
  bool FormTextState(std::string_view name, TextState& state) const;
  void RestoreFormText(std::string_view name, const TextState& state);

  // ---- drawing
  // The form with this page's form texts, every entry on its point and the marks of the empty
  // points. The form and each block draw as element trees made for the moment.
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) const;

 private:
  // The index of a point in entries_; -1 out of range.
  int Index(int row, int position) const;
  // The form's text child as this page shows it, made for the moment; null when it is no text.
  // formText: its index among the form texts, when the caller knows it.
  static constexpr std::size_t kCountFormTexts = static_cast<std::size_t>(-1);
  std::unique_ptr<MText> PageTextElement(std::size_t child, std::size_t formText = kCountFormTexts) const;
  // The index in texts_ of the first form text named exactly name; -1 when there is none.
  int TextIndex(std::string_view name) const;
  void Invalidate(const MEntry& entry, const MGridPoint& point) const;

  MForm* form_;
  int number_;
  int entryCount_ = 0;
  std::vector<MEntry> entries_;   // one per grid point, in reading order
  std::vector<TextState> texts_;  // one per form text of the form, in child order
};

// A text as a page shows it, addressed without a pointer into any element tree: the page, the block
// placed there (none for a text of the form itself) and the text's place among its form's or class's
// children. What the in-place editor holds while the user types.
class MPageText {
 public:
  MPageText() = default;
  MPageText(std::nullptr_t) {}  // NOLINT(google-explicit-constructor): no text
  MPageText(MPage* page, MBlockInstance* block, std::size_t child, std::shared_ptr<const MText> element)
      : page_(page), block_(block), child_(child), element_(std::move(element)) {}

  explicit operator bool() const { return element_ != nullptr; }
  bool operator==(std::nullptr_t) const { return element_ == nullptr; }
  // The text as it stood when the handle was made, at its place on the page: its bounds, font, data
  // type, name and lines.
  const MText* operator->() const { return element_.get(); }
  const MText& operator*() const { return *element_; }
  bool IsFormText() const { return block_ == nullptr; }
  MPage* Page() const { return page_; }
  // The block whose text it is; null for a form text.
  MBlockInstance* Block() const { return block_; }
  // The text's place among the children of the block's class or of the page's form.
  std::size_t Child() const { return child_; }

 private:
  MPage* page_ = nullptr;
  MBlockInstance* block_ = nullptr;
  std::size_t child_ = 0;
  std::shared_ptr<const MText> element_;
};
