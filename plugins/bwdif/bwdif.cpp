#include "bwdif.h"

#include <algorithm>

#include <fmt/format.h>

#include "framework/host_callbacks.h"

namespace tarvu {

void TMyFilterData_BwDif::ResetToDefaults() { ResetOwnFields(*this); }

std::string TMyFilterData_BwDif::OptionString() const {
  return fmt::format("mode={}:parity={}", std::clamp(mode, 0, 1), std::clamp(parity, -1, 1));
}

constinit FilterDefinition tarvuFilterDefinition =
    BuildFilterDefinition<BwDifFilter>("Tarvu BwDif Deinterlace");

}  // namespace tarvu
