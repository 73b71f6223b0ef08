#include "layout/Entry.h"

#include "layout/BlockInstance.h"

MKind MEntryRef::Kind() const {
  if (IsBlock()) return MKind::Block;
  return static_cast<MKind>(bits_ >> 1);
}

MEntry::MEntry(std::unique_ptr<MBlockInstance> block)
    : bits_(reinterpret_cast<std::uintptr_t>(block.release())) {
  static_assert(alignof(MBlockInstance) >= 2, "a block's address must leave the lowest bit free");
}

MEntry MEntry::Special(MKind kind) {
  MEntry entry;
  entry.bits_ = (static_cast<std::uintptr_t>(kind) << 1) | 1;
  return entry;
}

MEntry& MEntry::operator=(MEntry&& other) noexcept {
  if (this != &other) {
    delete Block();
    bits_ = other.bits_;
    other.bits_ = 0;
  }
  return *this;
}

MEntry::~MEntry() { delete Block(); }

std::unique_ptr<MBlockInstance> MEntry::TakeBlock() {
  MBlockInstance* block = Block();
  if (block != nullptr) bits_ = 0;
  return std::unique_ptr<MBlockInstance>(block);
}

std::string_view MEntry::Name() const {
  if (bits_ == 0) return {};
  if (const MBlockInstance* block = Block()) return block->Name();
  return SpecialName(Kind());
}

std::string_view SpecialName(MKind kind) {
  switch (kind) {
    case MKind::Space:
      return "space";
    case MKind::NewLine:
      return "newline";
    case MKind::NewPage:
      return "newpage";
    case MKind::EndOfData:
      return "eod";
    default:
      return {};
  }
}

MEntry NewSpecialEntry(std::string_view typeName) {
  for (const MKind kind : {MKind::Space, MKind::NewLine, MKind::NewPage}) {
    if (typeName == SpecialName(kind)) return MEntry::Special(kind);
  }
  return MEntry();
}
