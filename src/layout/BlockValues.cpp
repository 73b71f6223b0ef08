// The values of blocks and pages: what makes one block of a class or one page of a form differ from
// another, and their text form in the mapping data file. The blocks keep them in
// layout/BlockInstance.cpp, the pages in layout/Page.cpp; the forms that both share are here.
#include "layout/BlockInstance.h"
#include "layout/Containers.h"
#include "layout/Controls.h"

namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kBreakTag = "<br>";  // a line break inside a one-line value of the file
constexpr std::string_view kVisibleWord = "visible";

// Line breaks and tags are structure, found byte by byte: neither CR, LF nor "<" is ever the second
// byte of a Shift-JIS character, so a lead byte before them is a broken character, and it must not
// hide a break (a form data line would keep it, and the document could not be saved) or a tag.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  std::size_t start = 0;
  for (std::size_t hit = text.find(from); hit != std::string_view::npos; hit = text.find(from, start)) {
    out.append(text.substr(start, hit - start));
    out.append(to);
    start = hit + from.size();
  }
  out.append(text.substr(start));
  return out;
}

}  // namespace

std::string BreakTagsToLineBreaks(std::string_view text) { return ReplaceAll(text, kBreakTag, kLineBreak); }
std::string LineBreaksToBreakTags(std::string_view text) { return ReplaceAll(text, kLineBreak, kBreakTag); }

std::unique_ptr<MBlockInstance> MBlock::NewInstance() const {
  return std::make_unique<MBlockInstance>(*this);
}

MBlock& MBlock::DrawTree() const {
  if (drawTree_ == nullptr || drawTree_->Children.size() != Children.size()) drawTree_ = Clone();
  return *drawTree_;
}

MBlock::ValueSlot MBlock::FindValueSlot(std::string_view key) const {
  const std::size_t dot = key.find('.');
  const std::string_view name = key.substr(0, dot);
  ValueSlot slot;
  if (dot != std::string_view::npos && key.substr(dot + 1) != kVisibleWord) return slot;
  for (std::size_t i = 0; i < Children.size(); ++i) {
    if (Children[i]->Name != name) continue;
    slot.name = name;
    slot.child = i;
    slot.visibleFlag = dot != std::string_view::npos;
    break;
  }
  return slot;
}
