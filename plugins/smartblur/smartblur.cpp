#include "smartblur.h"

#include <algorithm>

#include <fmt/format.h>

#include "framework/host_callbacks.h"

namespace tarvu {
namespace {

struct PlaneValues {
  int32_t radius, strength, threshold;
};

PlaneValues Clamped(int32_t radius, int32_t strength, int32_t threshold) {
  return {std::clamp(radius, 1, 50), std::clamp(strength, -10, 10), std::clamp(threshold, -30, 30)};
}

// In double precision, then rounded to the float libavfilter's option holds.
float Tenths(int32_t value) { return static_cast<float>(value * 0.1); }

}  // namespace

void TMyFilterData_smartblur::ResetToDefaults() { ResetOwnFields(*this); }

std::string TMyFilterData_smartblur::OptionString() const {
  const PlaneValues luma = Clamped(lumaRadius, lumaStrength, lumaThreshold);
  const PlaneValues chroma = separateChroma ? Clamped(chromaRadius, chromaStrength, chromaThreshold) : luma;
  return fmt::format("lr={:1}:ls={:1}:lt={}:cr={:1}:cs={:1}:ct={:1}", Tenths(luma.radius), Tenths(luma.strength),
                     luma.threshold, Tenths(chroma.radius), Tenths(chroma.strength), chroma.threshold);
}

constinit FilterDefinition tarvuFilterDefinition = BuildFilterDefinition<SmartBlurFilter>("Tarvu SmartBlur");

}  // namespace tarvu
