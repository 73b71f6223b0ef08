#include "layout/BlockInstance.h"

#include <algorithm>
#include <cstring>

#include "base/Sjis.h"
#include "layout/ComputedText.h"
#include "layout/ElementMemory.h"
#include "layout/ImagePath.h"
#include "layout/Shapes.h"

namespace {

constexpr std::string_view kVisibleWord = "visible";

// What a child holds as its value.
enum class ValueKind { None, Text, Image, Barcode };

ValueKind KindOf(const MControl& child) {
  switch (child.Kind()) {
    case MKind::Text:
    case MKind::FormText:
      return ValueKind::Text;
    case MKind::Image:
      return ValueKind::Image;
    case MKind::Barcode:
      return ValueKind::Barcode;
    default:
      return ValueKind::None;
  }
}

bool IsMemo(const MControl& child) {
  const MText* text = As<MText>(&child);
  return text != nullptr && text->DataType == dtMemo;
}

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

// The place of the first child with exactly this name; -1 when there is none.
int ChildIndex(const MBlock& blockClass, std::string_view name) {
  for (std::size_t i = 0; i < blockClass.Children.size(); ++i) {
    if (blockClass.Children[i]->Name == name) return static_cast<int>(i);
  }
  return -1;
}

std::size_t HeaderSize(std::size_t count) { return count * 4 + (count + 7) / 8; }

std::uint32_t ReadEnd(const char* data, std::size_t child) {
  std::uint32_t end = 0;
  std::memcpy(&end, data + child * 4, 4);
  return end;
}

void WriteEnd(char* data, std::size_t child, std::uint32_t end) { std::memcpy(data + child * 4, &end, 4); }

// A buffer from each child's value and visible flag.
template <class ValueOf, class VisibleOf>
void BuildBuffer(std::size_t count, const ValueOf& valueOf, const VisibleOf& visibleOf, std::string& out) {
  const std::size_t header = HeaderSize(count);
  std::size_t total = header;
  for (std::size_t i = 0; i < count; ++i) total += valueOf(i).size();
  out.assign(total, '\0');
  char* data = out.data();
  std::size_t at = header;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view value = valueOf(i);
    std::memcpy(data + at, value.data(), value.size());
    at += value.size();
    WriteEnd(data, i, static_cast<std::uint32_t>(at - header));
    if (visibleOf(i)) data[count * 4 + i / 8] = static_cast<char>(data[count * 4 + i / 8] | (1 << (i % 8)));
  }
}

void AppendLines(const std::vector<std::string>& lines, std::string& out) {
  for (const std::string& line : lines) {
    out += line;
    out += '\n';
  }
}

// The lines of a stored text value joined, each followed by separator.
void JoinLines(std::string_view stored, std::string_view separator, std::string& out) {
  out.clear();
  std::size_t start = 0;
  for (std::size_t nl = stored.find('\n'); nl != std::string_view::npos; nl = stored.find('\n', start)) {
    out.append(stored.substr(start, nl - start));
    out.append(separator);
    start = nl + 1;
  }
}

// One stored line: its text without the "\n"; false for none or several.
bool SingleLine(std::string_view stored, std::string_view& line) {
  if (stored.empty() || stored.find('\n') != stored.size() - 1) return false;
  line = stored.substr(0, stored.size() - 1);
  return true;
}

}  // namespace

// ---- the buffer

std::string ClassValueBuffer(const MBlock& blockClass) {
  const auto& children = blockClass.Children;
  std::vector<std::string> values(children.size());
  for (std::size_t i = 0; i < children.size(); ++i) {
    const MControl& child = *children[i];
    if (const MText* text = As<MText>(&child)) {
      AppendLines(text->Lines, values[i]);
    } else if (const MImage* image = As<MImage>(&child)) {
      values[i] = image->Value;
    } else if (const MBarcode* barcode = As<MBarcode>(&child)) {
      values[i] = barcode->Value;
    }
  }
  std::string buffer;
  BuildBuffer(
      children.size(), [&values](std::size_t i) -> std::string_view { return values[i]; },
      [&children](std::size_t i) { return children[i]->Visible; }, buffer);
  return buffer;
}

void EncodeTextValue(std::string_view value, bool memo, bool breakTags, std::string& out) {
  out.clear();
  if (!memo) {
    // The first line only; an empty value has none.
    if (value.empty()) return;
    const std::size_t end = value.find_first_of("\r\n");
    out.append(value.substr(0, end));
    out += '\n';
    return;
  }
  const std::size_t n = value.size();
  std::size_t start = 0, i = 0;
  while (i < n) {
    const char c = value[i];
    std::size_t breakSize = 0;
    if (c == '\r') {
      breakSize = i + 1 < n && value[i + 1] == '\n' ? 2 : 1;
    } else if (c == '\n') {
      breakSize = 1;
    } else if (breakTags && c == '<' && value.substr(i, 4) == "<br>") {
      breakSize = 4;
    }
    if (breakSize == 0) {
      ++i;
      continue;
    }
    out.append(value.substr(start, i - start));
    out += '\n';
    i += breakSize;
    start = i;
  }
  if (start < n) {
    out.append(value.substr(start));
    out += '\n';
  }
}

// ---- MBlockInstance

void* MBlockInstance::operator new(std::size_t size) { return element_memory::Allocate(size); }
void MBlockInstance::operator delete(void* memory, std::size_t size) noexcept {
  element_memory::Release(memory, size);
}

MBlockInstance::MBlockInstance(const MBlock& blockClass)
    : MBlockInstance(blockClass, ClassValueBuffer(blockClass)) {}

MBlockInstance::MBlockInstance(const MBlock& blockClass, std::string_view buffer)
    : class_(&blockClass), count_(static_cast<std::uint32_t>(blockClass.Children.size())) {
  Assign(buffer);
}

MBlockInstance::~MBlockInstance() { element_memory::Release(data_, size_); }

void MBlockInstance::Assign(std::string_view buffer) {
  char* data = buffer.empty() ? nullptr : static_cast<char*>(element_memory::Allocate(buffer.size()));
  if (data != nullptr) std::memcpy(data, buffer.data(), buffer.size());
  element_memory::Release(data_, size_);
  data_ = data;
  size_ = static_cast<std::uint32_t>(buffer.size());
}

std::string_view MBlockInstance::Bytes(std::size_t child) const {
  if (child >= count_) return {};
  const char* values = data_ + HeaderSize(count_);
  const std::uint32_t start = child == 0 ? 0 : ReadEnd(data_, child - 1);
  return std::string_view(values + start, ReadEnd(data_, child) - start);
}

const std::uint8_t* MBlockInstance::Flags() const {
  return reinterpret_cast<const std::uint8_t*>(data_ + count_ * 4);
}

bool MBlockInstance::ChildVisible(std::size_t child) const {
  if (child >= count_) return child < class_->Children.size() && class_->Children[child]->Visible;
  return (Flags()[child / 8] & (1 << (child % 8))) != 0;
}

void MBlockInstance::SetBytes(std::size_t child, std::string_view bytes) {
  if (child >= count_) return;
  const std::string_view old = Bytes(child);
  if (old == bytes) return;
  std::string buffer(data_, size_);
  const auto start = static_cast<std::size_t>(old.data() - data_);
  buffer.replace(start, old.size(), bytes);
  const auto delta = static_cast<std::int64_t>(bytes.size()) - static_cast<std::int64_t>(old.size());
  for (std::size_t i = child; i < count_; ++i)
    WriteEnd(buffer.data(), i, static_cast<std::uint32_t>(ReadEnd(buffer.data(), i) + delta));
  Assign(buffer);
}

void MBlockInstance::SetVisible(std::size_t child, bool visible) {
  if (child >= count_ || ChildVisible(child) == visible) return;
  char& flags = data_[count_ * 4 + child / 8];
  flags = static_cast<char>(flags ^ (1 << (child % 8)));
}

std::vector<std::string> MBlockInstance::TextLines(std::size_t child) const {
  std::vector<std::string> lines;
  const std::string_view stored = Bytes(child);
  std::size_t start = 0;
  for (std::size_t nl = stored.find('\n'); nl != std::string_view::npos; nl = stored.find('\n', start)) {
    lines.emplace_back(stored.substr(start, nl - start));
    start = nl + 1;
  }
  return lines;
}

void MBlockInstance::SetTextLines(std::size_t child, const std::vector<std::string>& lines) {
  std::string stored;
  AppendLines(lines, stored);
  SetBytes(child, stored);
}

void MBlockInstance::SetText(std::size_t child, std::string_view value) {
  if (child >= count_ || KindOf(*class_->Children[child]) != ValueKind::Text) return;
  std::string stored;
  EncodeTextValue(value, IsMemo(*class_->Children[child]), false, stored);
  SetBytes(child, stored);
}

std::string_view MBlockInstance::TextView(std::size_t child, std::string& scratch) const {
  return JoinedText(child, "\r\n", scratch);
}

std::string_view MBlockInstance::JoinedText(std::size_t child, std::string_view separator,
                                            std::string& scratch) const {
  if (child < class_->Children.size()) {
    if (const MText* text = As<MText>(class_->Children[child].get());
        text != nullptr && ComputedText(*text, scratch)) {
      if (separator != "\r\n" && scratch.find("\r\n") != std::string::npos)
        scratch = LineBreaksToBreakTags(scratch);
      return scratch;
    }
  }
  const std::string_view stored = Bytes(child);
  std::string_view line;
  if (SingleLine(stored, line)) return line;
  JoinLines(stored, separator, scratch);
  return scratch;
}

std::string_view MBlockInstance::StoredValue(std::size_t child) const { return Bytes(child); }

std::string MBlockInstance::ImageFileName(std::size_t child) const {
  const MImage* image = child < class_->Children.size() ? As<MImage>(class_->Children[child].get()) : nullptr;
  if (image == nullptr) return {};
  // The class's own value keeps the file name the class resolved.
  const std::string_view value = StoredValue(child);
  return value == image->Value ? image->FileName : ResolveImagePath(std::string(value));
}

// ---- values by key

void MBlockInstance::SetElementValue(std::string_view key, std::string_view value) {
  const ValueKey k = SplitKey(key);
  const int found = ChildIndex(*class_, k.name);
  if (found < 0) return;
  const auto child = static_cast<std::size_t>(found);
  if (k.hasProperty) {
    if (k.property == kVisibleWord && !value.empty()) SetVisible(child, value != "0");
    return;
  }
  const MControl& element = *class_->Children[child];
  switch (KindOf(element)) {
    case ValueKind::Text: {
      std::string stored;
      EncodeTextValue(value, IsMemo(element), IsMemo(element), stored);
      SetBytes(child, stored);
      break;
    }
    case ValueKind::Image:
    case ValueKind::Barcode:
      SetBytes(child, value);
      break;
    case ValueKind::None:
      break;
  }
}

std::string MBlockInstance::GetElementValue(std::string_view key) const {
  std::string scratch;
  return std::string(SavedValue(class_->FindValueSlot(key), scratch));
}

std::string_view MBlockInstance::SavedValue(const MBlock::ValueSlot& slot, std::string& scratch) const {
  // A text's line breaks are written "<br>".
  return SlotValue(slot, "<br>", scratch, nullptr);
}

std::string_view MBlockInstance::ValueAt(const MBlock::ValueSlot& slot, std::string& scratch,
                                         bool* isText) const {
  return SlotValue(slot, "\r\n", scratch, isText);
}

std::string_view MBlockInstance::SlotValue(const MBlock::ValueSlot& slot, std::string_view lineBreak,
                                           std::string& scratch, bool* isText) const {
  const int child = SlotChild(slot);
  if (child < 0) return {};
  const auto at = static_cast<std::size_t>(child);
  if (slot.visibleFlag) return ChildVisible(at) ? "1" : "0";
  switch (KindOf(*class_->Children[at])) {
    case ValueKind::Text:
      if (isText != nullptr) *isText = true;
      return JoinedText(at, lineBreak, scratch);
    case ValueKind::Image:
    case ValueKind::Barcode:
      return StoredValue(at);
    case ValueKind::None:
      break;
  }
  return {};
}

int MBlockInstance::SlotChild(const MBlock::ValueSlot& slot) const {
  if (slot.name.empty()) return -1;
  const auto& children = class_->Children;
  if (slot.child < children.size() && children[slot.child]->Name == slot.name)
    return static_cast<int>(slot.child);
  return ChildIndex(*class_, slot.name);
}

void MBlockInstance::LoadValues(const std::vector<std::string>& record,
                                const std::vector<std::string>* fieldRow) {
  if (fieldRow == nullptr) return;
  for (std::size_t i = 1; i < fieldRow->size() && i < record.size(); ++i)
    SetElementValue((*fieldRow)[i], record[i]);
}

void MBlockInstance::SaveValues(std::vector<std::string>& record,
                                const std::vector<std::string>* fieldRow) const {
  record.push_back(Name());
  if (fieldRow == nullptr) return;
  for (std::size_t i = 1; i < fieldRow->size(); ++i) record.push_back(GetElementValue((*fieldRow)[i]));
}

std::string MBlockInstance::FaceText() const {
  const auto& children = class_->Children;
  std::string scratch;
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (children[i]->Name != class_->FaceElement) continue;
    switch (KindOf(*children[i])) {
      case ValueKind::Text:
        return std::string(TextView(i, scratch));
      case ValueKind::Barcode:
        return std::string(StoredValue(i));
      default:
        break;
    }
  }
  return {};
}

bool MBlockInstance::MatchesKeys(const std::vector<std::string>& values) const {
  const auto& children = class_->Children;
  std::string scratch;
  for (std::size_t i = 0; i < children.size(); ++i) {
    const int k = IndexOfName(class_->KeyElements, children[i]->Name);
    if (k < 0) continue;
    if (KindOf(*children[i]) != ValueKind::Text) return false;
    // A caller that passes fewer values than there are key elements compares with empty texts.
    const std::string_view expected =
        static_cast<std::size_t>(k) < values.size() ? std::string_view(values[k]) : std::string_view();
    if (TextView(i, scratch) != expected) return false;
  }
  return true;
}

bool MBlockInstance::MatchesSearch(std::string_view text) const {
  const auto& children = class_->Children;
  std::string scratch;
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (IndexOfName(class_->SearchElements, children[i]->Name) < 0) continue;
    if (KindOf(*children[i]) == ValueKind::Text && base::ContainsText(TextView(i, scratch), text))
      return true;
  }
  return false;
}

std::unique_ptr<MBlock> MBlockInstance::Materialize() const {
  std::unique_ptr<MBlock> tree = class_->Clone();
  MaterializeInto(*tree);
  return tree;
}

void MBlockInstance::MaterializeInto(MBlock& tree) const {
  const std::size_t count = std::min<std::size_t>(count_, tree.Children.size());
  for (std::size_t i = 0; i < count; ++i) {
    MControl& child = *tree.Children[i];
    child.Visible = ChildVisible(i);
    if (MText* text = As<MText>(&child)) {
      // Line by line, so that the tree's strings keep their storage from block to block.
      const std::string_view stored = Bytes(i);
      std::size_t line = 0, start = 0;
      for (std::size_t nl = stored.find('\n'); nl != std::string_view::npos; nl = stored.find('\n', start)) {
        if (line == text->Lines.size()) text->Lines.emplace_back();
        text->Lines[line++].assign(stored.substr(start, nl - start));
        start = nl + 1;
      }
      text->Lines.resize(line);
    } else if (MImage* image = As<MImage>(&child)) {
      image->Value = StoredValue(i);
      image->FileName = ImageFileName(i);
    } else if (MBarcode* barcode = As<MBarcode>(&child)) {
      barcode->Value = StoredValue(i);
    }
  }
}

// ---- loading many blocks

MBlockInstance::Loader::Loader(const MBlock& blockClass, const std::vector<std::string>* fieldRow)
    : class_(blockClass), defaults_(ClassValueBuffer(blockClass)) {
  defaultBlock_.reset(new MBlockInstance(blockClass, defaults_));
  if (fieldRow == nullptr) return;
  fields_.resize(fieldRow->size());
  for (std::size_t i = 1; i < fieldRow->size(); ++i) {
    const ValueKey k = SplitKey((*fieldRow)[i]);
    const int child = ChildIndex(blockClass, k.name);
    if (child < 0) continue;
    Field& field = fields_[i];
    field.child = static_cast<std::size_t>(child);
    field.visibleFlag = k.hasProperty;
    field.used = k.hasProperty ? k.property == kVisibleWord
                               : KindOf(*blockClass.Children[field.child]) != ValueKind::None;
  }
  values_.resize(blockClass.Children.size());
}

MBlockInstance::Loader::~Loader() = default;

std::unique_ptr<MBlockInstance> MBlockInstance::Loader::Load(const std::vector<std::string>& record) const {
  const std::size_t count = class_.Children.size();
  const std::size_t fields = std::min(fields_.size(), record.size());
  bool changed = false;
  for (std::size_t i = 1; i < fields && !changed; ++i) changed = fields_[i].used;
  if (!changed) return std::unique_ptr<MBlockInstance>(new MBlockInstance(class_, defaults_));

  // Later keys of the same child win, as setting the values one by one would.
  source_.assign(count, 0);
  visible_.assign(count, -1);
  for (std::size_t i = 1; i < fields; ++i) {
    const Field& field = fields_[i];
    if (!field.used) continue;
    const std::string& value = record[i];
    if (field.visibleFlag) {
      if (!value.empty()) visible_[field.child] = value != "0";
      continue;
    }
    const MControl& element = *class_.Children[field.child];
    if (KindOf(element) == ValueKind::Text) {
      EncodeTextValue(value, IsMemo(element), IsMemo(element), values_[field.child]);
    } else {
      values_[field.child].assign(value);
    }
    source_[field.child] = 1;
  }
  const MBlockInstance& defaults = *defaultBlock_;
  BuildBuffer(
      count,
      [&](std::size_t i) -> std::string_view {
        return source_[i] != 0 ? std::string_view(values_[i]) : defaults.Bytes(i);
      },
      [&](std::size_t i) { return visible_[i] >= 0 ? visible_[i] != 0 : defaults.ChildVisible(i); }, buffer_);
  return std::unique_ptr<MBlockInstance>(new MBlockInstance(class_, buffer_));
}
