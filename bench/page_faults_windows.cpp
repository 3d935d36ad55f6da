#include <windows.h>
#include <psapi.h>

#include <cstring>

#include "page_faults.h"

namespace bench {
namespace {

std::optional<uint64_t> Counter() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return std::nullopt;
  return counters.PageFaultCount;
}

// Wine may answer the call without counting: touch fresh pages and see.
bool Counts() {
  static const bool counts = [] {
    const std::optional<uint64_t> before = Counter();
    constexpr std::size_t kBytes = 8 << 20;
    void* memory = VirtualAlloc(nullptr, kBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!before || !memory) return false;
    std::memset(memory, 1, kBytes);
    const std::optional<uint64_t> after = Counter();
    VirtualFree(memory, 0, MEM_RELEASE);
    return after && *after > *before;
  }();
  return counts;
}

}  // namespace

std::optional<uint64_t> PageFaults() { return Counts() ? Counter() : std::nullopt; }

const char* PageFaultSource() {
  return Counts() ? "GetProcessMemoryInfo: PageFaultCount"
                  : "not told: GetProcessMemoryInfo's PageFaultCount does not count here";
}

}  // namespace bench
