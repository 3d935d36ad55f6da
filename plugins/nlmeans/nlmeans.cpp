#include "nlmeans.h"

#include <algorithm>

#include <fmt/format.h>

#include "framework/host_callbacks.h"

namespace tarvu {
namespace {

int WindowSize(int32_t halfSize) { return 2 * std::clamp(halfSize, 0, 49) + 1; }

// Unclamped: libavfilter refuses what lies outside 1 to 30.
float Strength(int32_t tenths) { return static_cast<float>(tenths) / 10.0f; }

}  // namespace

void TMyFilterData_NlMeans::ResetToDefaults() { ResetOwnFields(*this); }

std::string TMyFilterData_NlMeans::OptionString() const {
  // 0 lets libavfilter use the luma size for the chroma planes.
  const bool automatic = autoChroma > 0;
  const int chromaPatch = automatic ? 0 : WindowSize(chromaPatchSize);
  const int chromaResearch = automatic ? 0 : WindowSize(chromaResearchSize);
  return fmt::format("s={}:p={}:pc={}:r={}:rc={}", Strength(strength), WindowSize(patchSize), chromaPatch,
                     WindowSize(researchSize), chromaResearch);
}

constinit FilterDefinition tarvuFilterDefinition = BuildFilterDefinition<NlMeansFilter>("Tarvu NlMeans");

}  // namespace tarvu
