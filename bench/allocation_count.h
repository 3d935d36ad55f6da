// Counts heap allocations of the running program, for the benchmark's
// "allocations per frame".
#pragma once

#include <cstddef>
#include <cstdint>

namespace bench {

// At least this many bytes: a picture or a plane of one, for the sizes measured.
inline constexpr std::size_t kLargeAllocation = 64 * 1024;

struct AllocationCount {
  uint64_t all = 0;        // every allocation the counter sees
  uint64_t ownCode = 0;    // made outside FFmpeg's libraries: framework, test host, C++ runtime
  uint64_t large = 0;      // of them, kLargeAllocation bytes or more
};

AllocationCount Allocations();  // since the program started
// Whether `all` includes the allocations that FFmpeg's libraries make.
bool SeesLibraryAllocations();

}  // namespace bench
