#include "vaguedenoiser.h"

#include <algorithm>

#include <fmt/format.h>

#include "framework/frame_road.h"
#include "framework/host_callbacks.h"

namespace tarvu {
namespace {

const char* MethodWord(int32_t method) {
  switch (method) {
    case 0: return "hard";
    case 1: return "soft";
    default: return "garrote";
  }
}

const char* TypeWord(int32_t type) { return type == 0 ? "universal" : "bayes"; }

}  // namespace

void TMyFilterData_VagueDenoiser::ResetToDefaults() { ResetOwnFields(*this); }

std::string TMyFilterData_VagueDenoiser::OptionString() const {
  return fmt::format("threshold={}:nsteps={}:percent={}:method={}:type={}", std::clamp(threshold, 1, 100),
                     std::clamp(nsteps, 1, 32), std::clamp(percent, 0, 100), MethodWord(method), TypeWord(type));
}

bool TMyFilterData_VagueDenoiser::FiltersPicture(int32_t width, int32_t height, int32_t pixelFormat) {
  const int32_t shift = pixelFormat == kPixelFormatYuv420 ? 1 : 0;
  const auto chromaSide = [shift](int32_t side) { return (side + shift) >> shift; };
  return chromaSide(width) > 2 && chromaSide(height) > 2;
}

constinit FilterDefinition tarvuFilterDefinition =
    BuildFilterDefinition<VagueDenoiserFilter>("Tarvu VagueDenoiser");

}  // namespace tarvu
