// Memory for the elements of the model.
//
// A document of 100,000 blocks holds about a million elements, each a few hundred bytes, created in
// one go when the document opens. Taken one by one from the general heap, their pages are faulted in
// 4 KiB at a time, and on a virtual machine those faults cost more than building the elements. The
// elements therefore come from pools of equal-sized slots carved out of 2 MiB chunks that the kernel
// may back with transparent huge pages. Freed slots go back to their pool; once every element is gone,
// the next document is laid out afresh from the first chunk on. The chunks stay with the process.
//
// Builds with AddressSanitizer take every element from the general heap, so that the sanitizer still
// sees each one.
#pragma once

#include <cstddef>

namespace element_memory {

// Memory for one element of size bytes; never null (throws std::bad_alloc).
void* Allocate(std::size_t size);
// Gives back memory from Allocate with the same size.
void Release(void* memory, std::size_t size) noexcept;

// Bytes held in chunks, and elements handed out and not given back (for tests and benchmarks).
std::size_t ChunkBytes();
std::size_t LiveElements();

}  // namespace element_memory
