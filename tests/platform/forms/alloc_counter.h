#pragma once
// A replacement of the global operator new for this test program that counts allocations of at
// least GLargeAllocation bytes, so a test can check a path for frame-sized allocations (vectors,
// strings and objects go through it; the device layer's pixel memory does not, and the tests
// check that through its handles and row pointers instead).

#include <atomic>
#include <cstddef>
#include <cstdint>

extern std::atomic<size_t> GLargeAllocation;  // SIZE_MAX: counting off
extern std::atomic<int> GLargeAllocations;
