// Small helpers of the block databases' files over entries.
#pragma once

#include <memory>

#include "layout/Containers.h"
#include "layout/Invalidate.h"

// Asks for the whole page view to be repainted.
inline void InvalidateView() {
  if (MBaseInvalidate* target = PageInvalidator()) target->InvalidateAll();
}

inline bool IsEndOfData(const MControl* entry) {
  return entry != nullptr && entry->Kind() == MKind::EndOfData;
}

// The entry as a block; null, releasing the entry, when it is none.
inline std::unique_ptr<MBlock> AsBlock(std::unique_ptr<MControl> entry) {
  if (entry == nullptr || !entry->IsBlock()) return nullptr;
  return std::unique_ptr<MBlock>(static_cast<MBlock*>(entry.release()));
}
