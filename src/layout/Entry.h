// What a grid point of a page holds, and what the databases keep in sequence and hand to one
// another: a block of the document (owned) or one of the special entries.
//
// One word: the block's address, or a tag for a special entry, so that a page's entries lie in one
// array and a special entry costs nothing beside its place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string_view>
#include <vector>

#include "layout/Controls.h"

class MBlockInstance;

// Who an entry is, without owning it: a block (by its address) or a special kind. The undo history
// names the entries of a change this way.
class MEntryRef {
 public:
  MEntryRef() = default;
  MKind Kind() const;
  bool IsBlock() const { return bits_ != 0 && (bits_ & 1) == 0; }
  MBlockInstance* Block() const { return IsBlock() ? reinterpret_cast<MBlockInstance*>(bits_) : nullptr; }
  bool operator==(const MEntryRef&) const = default;

 private:
  friend class MEntry;
  explicit MEntryRef(std::uintptr_t bits) : bits_(bits) {}
  std::uintptr_t bits_ = 0;
};

class MEntry {
 public:
  MEntry() = default;
  // A block is an entry.
  MEntry(std::unique_ptr<MBlockInstance> block);  // NOLINT(google-explicit-constructor)
  // A special entry of a kind from MKind::Space to MKind::EndOfData.
  static MEntry Special(MKind kind);
  MEntry(MEntry&& other) noexcept : bits_(other.bits_) { other.bits_ = 0; }
  MEntry& operator=(MEntry&& other) noexcept;
  MEntry(const MEntry&) = delete;
  MEntry& operator=(const MEntry&) = delete;
  ~MEntry();

  // False for no entry.
  explicit operator bool() const { return bits_ != 0; }
  bool operator==(std::nullptr_t) const { return bits_ == 0; }
  MKind Kind() const { return Ref().Kind(); }
  bool IsBlock() const { return Ref().IsBlock(); }
  bool IsSpecial() const { return (bits_ & 1) != 0; }
  bool IsEndOfData() const { return Kind() == MKind::EndOfData && bits_ != 0; }
  MBlockInstance* Block() const { return Ref().Block(); }
  // The block, handed to the caller; the entry becomes none. Null (and the entry kept) for a special.
  std::unique_ptr<MBlockInstance> TakeBlock();
  // The type name: a block's class name, "space", "newline", "newpage" or "eod"; empty for none.
  std::string_view Name() const;
  MEntryRef Ref() const { return MEntryRef(bits_); }

 private:
  std::uintptr_t bits_ = 0;  // a block's address (even), or kind * 2 + 1
};

using MEntryList = std::vector<MEntry>;
// The entries waiting to be laid onto the points of a page, in sequence order.
using MEntryQueue = std::deque<MEntry>;

// A new special entry of a type name that a row of entries may hold: "space", "newline" or
// "newpage"; none for any other name ("eod" is never read: the pages make their own end).
MEntry NewSpecialEntry(std::string_view typeName);
// The word of a special kind ("space", "newline", "newpage", "eod").
std::string_view SpecialName(MKind kind);
