#include <sys/resource.h>

#include "page_faults.h"

namespace bench {

std::optional<uint64_t> PageFaults() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return std::nullopt;
  return static_cast<uint64_t>(usage.ru_minflt) + static_cast<uint64_t>(usage.ru_majflt);
}

const char* PageFaultSource() { return "getrusage: minor and major faults"; }

}  // namespace bench
