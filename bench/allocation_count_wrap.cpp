// Windows: the linker sends the program's own calls of the malloc family
// (the framework, the test host and the statically linked C++ runtime)
// here. FFmpeg's DLLs allocate through their own C runtime and are not seen.
#include <atomic>
#include <cstddef>

#include "allocation_count.h"

extern "C" {
void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);
void* __real_realloc(void* pointer, std::size_t size);
}

namespace bench {
namespace {
std::atomic<uint64_t> calls{0};
std::atomic<uint64_t> largeCalls{0};

void Count(std::size_t size) {
  calls.fetch_add(1, std::memory_order_relaxed);
  if (size >= kLargeAllocation) largeCalls.fetch_add(1, std::memory_order_relaxed);
}
}

AllocationCount Allocations() { return {calls.load(), calls.load(), largeCalls.load()}; }
bool SeesLibraryAllocations() { return false; }

}  // namespace bench

extern "C" {
void* __wrap_malloc(std::size_t size) {
  bench::Count(size);
  return __real_malloc(size);
}
void* __wrap_calloc(std::size_t count, std::size_t size) {
  bench::Count(count * size);
  return __real_calloc(count, size);
}
void* __wrap_realloc(void* pointer, std::size_t size) {
  bench::Count(size);
  return __real_realloc(pointer, size);
}
}
