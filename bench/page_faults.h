// Page faults of the running program, for the benchmark's "faults per frame".
#pragma once

#include <cstdint>
#include <optional>

namespace bench {

// Since the program started; empty where the platform does not tell.
std::optional<uint64_t> PageFaults();
// How the count is obtained, or why there is none.
const char* PageFaultSource();

}  // namespace bench
