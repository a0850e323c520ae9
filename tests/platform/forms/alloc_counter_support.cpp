#include <cstdlib>
#include <new>

#include "alloc_counter.h"

std::atomic<size_t> GLargeAllocation{SIZE_MAX};
std::atomic<int> GLargeAllocations{0};

void* operator new(size_t Size) {
  if (Size >= GLargeAllocation) ++GLargeAllocations;
  if (void* Memory = std::malloc(Size ? Size : 1)) return Memory;
  throw std::bad_alloc();
}
void* operator new[](size_t Size) {
  return operator new(Size);
}
void operator delete(void* Memory) noexcept {
  std::free(Memory);
}
void operator delete[](void* Memory) noexcept {
  std::free(Memory);
}
void operator delete(void* Memory, size_t) noexcept {
  std::free(Memory);
}
void operator delete[](void* Memory, size_t) noexcept {
  std::free(Memory);
}
// The non-throwing forms (the standard library's temporary buffers use them) must come from the
// same heap as the deletes above.
void* operator new(size_t Size, const std::nothrow_t&) noexcept {
  if (Size >= GLargeAllocation) ++GLargeAllocations;
  return std::malloc(Size ? Size : 1);
}
void* operator new[](size_t Size, const std::nothrow_t& Tag) noexcept {
  return operator new(Size, Tag);
}
void operator delete(void* Memory, const std::nothrow_t&) noexcept {
  std::free(Memory);
}
void operator delete[](void* Memory, const std::nothrow_t&) noexcept {
  std::free(Memory);
}
