// A block of the document: its class, shared with every block of that class, and its own values.
//
// A document holds up to a million blocks of a handful of classes. What makes one block differ from
// another of its class are the values of the class's elements: the texts, the image names, the
// barcode codes and the visible flags (geometry, styles and fonts always come from the class). A
// block keeps exactly those, packed into one buffer, and addresses an element by its place among the
// class's children (a slot). An element tree of the block exists only when a caller needs one for a
// moment (Materialize: while the block draws).
//
// The buffer: for each child its value's end (4 bytes each), the visible flags (one bit each), then
// the values. A text's value is its lines, each followed by "\n" (lines never hold a line break, so
// the lines read back exactly, none and one empty line told apart); an image's is its value as
// written, a barcode's its code; other elements hold none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "layout/Containers.h"

class MBlockInstance {
 public:
  // A block holding its class's own values. The class must outlive it and keep its children.
  explicit MBlockInstance(const MBlock& blockClass);
  ~MBlockInstance();
  MBlockInstance(const MBlockInstance&) = delete;
  MBlockInstance& operator=(const MBlockInstance&) = delete;
  // Blocks come from the element pools (layout/ElementMemory.h), like the elements.
  static void* operator new(std::size_t size);
  static void operator delete(void* memory, std::size_t size) noexcept;

  const MBlock& Class() const { return *class_; }
  // The class name, the block's type name.
  const std::string& Name() const { return class_->Name; }

  // Block values by key: a child's name, or its name and ".visible".
  void SetElementValue(std::string_view key, std::string_view value);
  std::string GetElementValue(std::string_view key) const;
  // The value at a slot found on the class (MBlock::FindValueSlot), but a text's line breaks as
  // stored where GetElementValue gives "<br>"; scratch holds it when it is no stored string. isText
  // tells whether it is a text's.
  std::string_view ValueAt(const MBlock::ValueSlot& slot, std::string& scratch, bool* isText = nullptr) const;
  // The value at a slot as GetElementValue gives it (a text's line breaks as "<br>"), without a copy
  // when it is a stored string; scratch holds it otherwise. For writers of many blocks.
  std::string_view SavedValue(const MBlock::ValueSlot& slot, std::string& scratch) const;
  // record: entry 0 the class name, then one value per key of fieldRow (the data file's block-field
  // row of this class: entry 0 the class name, then the keys); null when the class has none.
  void LoadValues(const std::vector<std::string>& record, const std::vector<std::string>* fieldRow);
  void SaveValues(std::vector<std::string>& record, const std::vector<std::string>* fieldRow) const;
  std::string FaceText() const;
  // values: one per entry of the class's KeyElements, in that order.
  bool MatchesKeys(const std::vector<std::string>& values) const;
  bool MatchesSearch(std::string_view text) const;

  // By slot: the child's place among the class's children.
  bool ChildVisible(std::size_t child) const;
  // A text child's lines.
  std::vector<std::string> TextLines(std::size_t child) const;
  void SetTextLines(std::size_t child, const std::vector<std::string>& lines);
  // A text child's value as MText::SetText sets it: split into lines, all of them kept for a memo,
  // the first for any other text.
  void SetText(std::size_t child, std::string_view value);
  // A text child's text as MText::GetText gives it (computed for the page in scope, layout/
  // ComputedText.h), without a copy when it is one stored line; scratch holds it otherwise.
  std::string_view TextView(std::size_t child, std::string& scratch) const;
  // The value of an image child as written, or the code of a barcode child.
  std::string_view StoredValue(std::size_t child) const;
  // The file an image child's picture is loaded from: its value with the folder alias resolved
  // (layout/ImagePath.h).
  std::string ImageFileName(std::size_t child) const;

  // The block as an element tree: a copy of the class holding this block's values. Placed on a page,
  // it is moved by its grid point (MControl::MoveBy) by the caller.
  std::unique_ptr<MBlock> Materialize() const;
  // Puts this block's values into a tree that Materialize made of the same class, in place of the
  // values it holds: the blocks of a class draw through one tree.
  void MaterializeInto(MBlock& tree) const;

  // Many blocks of one class from the records of a data file, their keys looked up once.
  class Loader {
   public:
    Loader(const MBlock& blockClass, const std::vector<std::string>* fieldRow);
    ~Loader();
    Loader(const Loader&) = delete;
    Loader& operator=(const Loader&) = delete;
    std::unique_ptr<MBlockInstance> Load(const std::vector<std::string>& record) const;

   private:
    struct Field {
      std::size_t child = 0;
      bool visibleFlag = false;
      bool used = false;  // the key names a child and a value or flag of it
    };
    const MBlock& class_;
    std::vector<Field> fields_;                     // per key of the field row (entry 0 unused)
    std::string defaults_;                          // the class's own buffer
    std::unique_ptr<MBlockInstance> defaultBlock_;  // and a block holding it
    // What Load builds a block from, kept from block to block: per child the value, whether it
    // comes from the record, and its visible flag (-1: the class's).
    mutable std::vector<std::string> values_;
    mutable std::vector<std::uint8_t> source_;
    mutable std::vector<int> visible_;
    mutable std::string buffer_;
  };

 private:
  MBlockInstance(const MBlock& blockClass, std::string_view buffer);
  // A text child's text with its lines joined by separator (each line followed by it when there are
  // several), computed for the page in scope when it is of a computed type.
  std::string_view JoinedText(std::size_t child, std::string_view separator, std::string& scratch) const;
  // The value at a slot, a text's lines joined by lineBreak.
  std::string_view SlotValue(const MBlock::ValueSlot& slot, std::string_view lineBreak, std::string& scratch,
                             bool* isText) const;
  // The child a slot names here; -1 when none.
  int SlotChild(const MBlock::ValueSlot& slot) const;
  // The stored value bytes of a child.
  std::string_view Bytes(std::size_t child) const;
  const std::uint8_t* Flags() const;
  // Replaces the whole buffer.
  void Assign(std::string_view buffer);
  // Replaces one child's value bytes, or its visible flag.
  void SetBytes(std::size_t child, std::string_view bytes);
  void SetVisible(std::size_t child, bool visible);

  const MBlock* class_;
  char* data_ = nullptr;
  std::uint32_t size_ = 0;
  std::uint32_t count_ = 0;  // children of the class when the block was made
};

// What the buffer of a block holds for its class's own values.
std::string ClassValueBuffer(const MBlock& blockClass);
// A value of a text as its buffer holds it (lines each followed by "\n"): value split into lines as
// MText::SetText does, all of them for a memo, the first otherwise. With breakTags, "<br>" is a line
// break too (a memo's value in the data file).
void EncodeTextValue(std::string_view value, bool memo, bool breakTags, std::string& out);
