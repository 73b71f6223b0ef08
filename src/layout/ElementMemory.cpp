#include "layout/ElementMemory.h"

#include <sys/mman.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define TESSORA_ELEMENT_POOLS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSORA_ELEMENT_POOLS 0
#endif
#endif
#ifndef TESSORA_ELEMENT_POOLS
#define TESSORA_ELEMENT_POOLS 1
#endif

namespace element_memory {
namespace {

constexpr std::size_t kGranule = 16;     // slot sizes are multiples of this
constexpr std::size_t kLargestSlot = 512;  // larger objects come from the general heap
constexpr std::size_t kClasses = kLargestSlot / kGranule;
constexpr std::size_t kChunk = std::size_t{2} << 20;  // one huge page

struct FreeSlot {
  FreeSlot* next;
};

// The pools share one lock: the model lives on one thread, so it is never contended, and a spin on
// an atomic flag costs next to nothing then.
class Pools {
 public:
  void* Allocate(std::size_t size) {
    const std::size_t index = (size + kGranule - 1) / kGranule - 1;
    Lock lock(busy_);
    FreeSlot*& head = free_[index];
    if (head != nullptr) {
      FreeSlot* slot = head;
      head = slot->next;
      ++live_;
      return slot;
    }
    const std::size_t slotSize = (index + 1) * kGranule;
    if (static_cast<std::size_t>(end_ - next_) < slotSize) NextChunk();
    void* slot = next_;
    next_ += slotSize;
    ++live_;
    return slot;
  }

  void Release(void* memory, std::size_t size) noexcept {
    const std::size_t index = (size + kGranule - 1) / kGranule - 1;
    Lock lock(busy_);
    auto* slot = static_cast<FreeSlot*>(memory);
    slot->next = free_[index];
    free_[index] = slot;
    if (--live_ == 0) Rewind();
  }

  std::size_t ChunkBytes() {
    Lock lock(busy_);
    return chunkBytes_;
  }
  std::size_t LiveElements() {
    Lock lock(busy_);
    return live_;
  }

 private:
  class Lock {
   public:
    explicit Lock(std::atomic_flag& flag) : flag_(flag) {
      while (flag_.test_and_set(std::memory_order_acquire)) {
      }
    }
    ~Lock() { flag_.clear(std::memory_order_release); }

   private:
    std::atomic_flag& flag_;
  };

  // When the last element is gone (a document closed), the next document is laid out from the first
  // chunk on, in the order it is built, rather than into the freed slots in the order they were freed:
  // the elements of one block then lie together, which the flow of a large document feels.
  void Rewind() {
    free_.fill(nullptr);
    current_ = 0;
    next_ = end_ = nullptr;
    if (!chunks_.empty()) {
      next_ = chunks_.front();
      end_ = next_ + kChunk;
    }
  }

  // Moves on to the next chunk, taking a new one when all are in use. The rest of the current chunk
  // (less than one slot) is left unused.
  void NextChunk() {
    if (next_ != nullptr) ++current_;
    if (current_ >= chunks_.size()) chunks_.push_back(NewChunk());
    next_ = chunks_[current_];
    end_ = next_ + kChunk;
  }

  // A chunk aligned to its size, so that the kernel can map it as one huge page.
  char* NewChunk() {
    void* raw = ::mmap(nullptr, 2 * kChunk, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kChunk - 1) & ~(kChunk - 1);
    // Give back what lies before and after the aligned chunk.
    if (aligned > start) ::munmap(raw, aligned - start);
    const std::uintptr_t tail = aligned + kChunk;
    if (start + 2 * kChunk > tail) ::munmap(reinterpret_cast<void*>(tail), start + 2 * kChunk - tail);
    ::madvise(reinterpret_cast<void*>(aligned), kChunk, MADV_HUGEPAGE);  // advice only: may fail
    chunkBytes_ += kChunk;
    return reinterpret_cast<char*>(aligned);
  }

  std::atomic_flag busy_ = ATOMIC_FLAG_INIT;
  std::array<FreeSlot*, kClasses> free_{};
  std::vector<char*> chunks_;
  std::size_t current_ = 0;  // the chunk that next_ points into
  char* next_ = nullptr;
  char* end_ = nullptr;
  std::size_t live_ = 0;  // elements handed out and not given back
  std::size_t chunkBytes_ = 0;
};

// Never destroyed: elements held by static objects may be freed after the pools would be.
Pools& ThePools() {
  static Pools* pools = new Pools;
  return *pools;
}

}  // namespace

void* Allocate(std::size_t size) {
  if (TESSORA_ELEMENT_POOLS && size != 0 && size <= kLargestSlot) return ThePools().Allocate(size);
  return ::operator new(size);
}

void Release(void* memory, std::size_t size) noexcept {
  if (memory == nullptr) return;
  if (TESSORA_ELEMENT_POOLS && size != 0 && size <= kLargestSlot) {
    ThePools().Release(memory, size);
    return;
  }
  ::operator delete(memory);
}

std::size_t ChunkBytes() { return TESSORA_ELEMENT_POOLS ? ThePools().ChunkBytes() : 0; }
std::size_t LiveElements() { return TESSORA_ELEMENT_POOLS ? ThePools().LiveElements() : 0; }

}  // namespace element_memory
