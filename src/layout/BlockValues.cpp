// The values of block instances and pages: what makes one copy of a block class or a form differ
// from another, and their text form in the mapping data file.
#include "base/Sjis.h"
#include "layout/Containers.h"
#include "layout/Controls.h"
#include "layout/Form.h"
#include "layout/Shapes.h"

namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kBreakTag = "<br>";  // a line break inside a one-line value of the file
constexpr std::string_view kVisibleWord = "visible";

// A value key: a child's name, optionally followed by "." and a property word.
struct ValueKey {
  std::string_view name;
  std::string_view property;
  bool hasProperty;
};

ValueKey SplitKey(std::string_view key) {
  const std::size_t dot = key.find('.');
  if (dot == std::string_view::npos) return {key, {}, false};
  return {key.substr(0, dot), key.substr(dot + 1), true};
}

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

// Sets a text from a one-line file value: a memo turns "<br>" into line breaks, any other text keeps
// the characters (and SetText keeps only its first line).
void SetTextFromData(MText& text, std::string_view value) {
  if (text.DataType == dtMemo) {
    text.SetText(BreakTagsToLineBreaks(value));
  } else {
    text.SetText(value);
  }
}

}  // namespace

std::string BreakTagsToLineBreaks(std::string_view text) { return ReplaceAll(text, kBreakTag, kLineBreak); }
std::string LineBreaksToBreakTags(std::string_view text) { return ReplaceAll(text, kLineBreak, kBreakTag); }

// ---- block values

void MBlock::SetElementValue(std::string_view key, std::string_view value) {
  const ValueKey k = SplitKey(key);
  MControl* child = FindChild(k.name);
  if (child == nullptr) return;
  if (k.hasProperty) {
    if (k.property == kVisibleWord && !value.empty()) child->Visible = value != "0";
    return;
  }
  if (MImage* image = As<MImage>(child)) {
    image->SetValue(std::string(value));
  } else if (MText* text = As<MText>(child)) {
    SetTextFromData(*text, value);
  } else if (MBarcode* barcode = As<MBarcode>(child)) {
    barcode->Value = value;
  }
}

std::string MBlock::GetElementValue(std::string_view key) const {
  std::string scratch;
  bool isText = false;
  const std::string_view value = ValueAt(FindValueSlot(key), scratch, &isText);
  return isText ? LineBreaksToBreakTags(value) : std::string(value);
}

MBlock::ValueSlot MBlock::FindValueSlot(std::string_view key) const {
  const ValueKey k = SplitKey(key);
  ValueSlot slot;
  if (k.hasProperty && k.property != kVisibleWord) return slot;
  for (std::size_t i = 0; i < Children.size(); ++i) {
    if (Children[i]->Name != k.name) continue;
    slot.name = k.name;
    slot.child = i;
    slot.visibleFlag = k.hasProperty;
    break;
  }
  return slot;
}

std::string_view MBlock::ValueAt(const ValueSlot& slot, std::string& scratch, bool* isText) const {
  if (slot.name.empty()) return {};
  const MControl* child = slot.child < Children.size() && Children[slot.child]->Name == slot.name
                              ? Children[slot.child].get()
                              : FindChild(slot.name);
  if (child == nullptr) return {};
  if (slot.visibleFlag) return child->Visible ? "1" : "0";
  if (const MImage* image = As<MImage>(child)) return image->Value;
  if (const MText* text = As<MText>(child)) {
    if (isText != nullptr) *isText = true;
    return text->TextView(scratch);
  }
  if (const MBarcode* barcode = As<MBarcode>(child)) return barcode->Value;
  return {};
}

void MBlock::LoadValues(const std::vector<std::string>& record, const std::vector<std::string>* fieldRow) {
  if (fieldRow == nullptr) return;
  for (std::size_t i = 1; i < fieldRow->size() && i < record.size(); ++i)
    SetElementValue((*fieldRow)[i], record[i]);
}

void MBlock::SaveValues(std::vector<std::string>& record, const std::vector<std::string>* fieldRow) const {
  record.push_back(Name);
  if (fieldRow == nullptr) return;
  for (std::size_t i = 1; i < fieldRow->size(); ++i) record.push_back(GetElementValue((*fieldRow)[i]));
}

std::string MBlock::FaceText() const {
  for (const auto& child : Children) {
    if (child->Name != FaceElement) continue;
    if (const MText* text = As<MText>(child.get())) return text->GetText();
    if (const MBarcode* barcode = As<MBarcode>(child.get())) return barcode->Value;
  }
  return {};
}

bool MBlock::MatchesKeys(const std::vector<std::string>& values) const {
  for (const auto& child : Children) {
    const int k = IndexOfName(KeyElements, child->Name);
    if (k < 0) continue;
    const MText* text = As<MText>(child.get());
    if (text == nullptr) return false;
    // A caller that passes fewer values than there are key elements compares with empty texts.
    const std::string_view expected =
        static_cast<std::size_t>(k) < values.size() ? std::string_view(values[k]) : std::string_view();
    if (text->GetText() != expected) return false;
  }
  return true;
}

bool MBlock::MatchesSearch(std::string_view text) const {
  for (const auto& child : Children) {
    if (IndexOfName(SearchElements, child->Name) < 0) continue;
    const MText* element = As<MText>(child.get());
    if (element != nullptr && base::ContainsText(element->GetText(), text)) return true;
  }
  return false;
}

// ---- form values of a page

void MForm::SetFormText(std::string_view name, std::string_view value, bool isExplicit) {
  for (const auto& child : Children) {
    MFormText* text = As<MFormText>(child.get());
    if (text == nullptr || text->Name != name) continue;
    text->SetText(value);
    text->Explicit = isExplicit;
    return;
  }
}

std::vector<MForm::TextState> MForm::FormTextStates() const {
  std::vector<TextState> states;
  for (const auto& child : Children) {
    if (const MFormText* text = As<MFormText>(child.get())) states.push_back({text->Lines, text->Explicit});
  }
  return states;
}

void MForm::RestoreFormTexts(const std::vector<TextState>& states) {
  std::size_t next = 0;
  for (const auto& child : Children) {
    MFormText* text = As<MFormText>(child.get());
    if (text == nullptr) continue;
    if (next >= states.size()) return;
    text->Lines = states[next].Lines;
    text->Explicit = states[next].Explicit;
    ++next;
  }
}

bool MForm::FormTextState(std::string_view name, TextState& state) const {
  for (const auto& child : Children) {
    const MFormText* text = As<MFormText>(child.get());
    if (text == nullptr || text->Name != name) continue;
    state = {text->Lines, text->Explicit};
    return true;
  }
  return false;
}

void MForm::RestoreFormText(std::string_view name, const TextState& state) {
  for (const auto& child : Children) {
    MFormText* text = As<MFormText>(child.get());
    if (text == nullptr || text->Name != name) continue;
    text->Lines = state.Lines;
    text->Explicit = state.Explicit;
    return;
  }
}

void MForm::CopyFormTexts(const MForm& source) {
  for (const auto& child : source.Children) {
    if (const MText* text = As<MText>(child.get())) SetFormText(text->Name, text->GetText(), false);
  }
}

void MForm::WriteFormData(int pageNumber, std::vector<std::string>& lines) const {
  for (const auto& child : Children) {
    const MFormText* text = As<MFormText>(child.get());
    if (text == nullptr || !text->Explicit) continue;
    // A data line cannot hold a line break: memo values are written with "<br>", as block values are.
    lines.push_back(std::to_string(pageNumber) + "." + text->Name + "=" +
                    LineBreaksToBreakTags(text->GetText()));
  }
}

std::string MForm::FormTextFromData(std::string_view name, std::string_view dataValue) const {
  for (const auto& child : Children) {
    const MFormText* text = As<MFormText>(child.get());
    if (text == nullptr || text->Name != name) continue;
    return text->DataType == dtMemo ? BreakTagsToLineBreaks(dataValue) : std::string(dataValue);
  }
  return std::string(dataValue);
}
