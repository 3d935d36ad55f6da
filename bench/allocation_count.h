// Counts heap allocations of the running program, for the benchmark's
// "allocations per frame".
#pragma once

#include <cstdint>

namespace bench {

struct AllocationCount {
  uint64_t all = 0;        // every allocation the counter sees
  uint64_t ownCode = 0;    // made outside FFmpeg's libraries: framework, test host, C++ runtime
};

AllocationCount Allocations();  // since the program started
// Whether `all` includes the allocations that FFmpeg's libraries make.
bool SeesLibraryAllocations();

}  // namespace bench
