#include "deblock.h"

#include <algorithm>

#include <fmt/format.h>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
}

#include "framework/host_callbacks.h"

namespace tarvu {
namespace {

float Hundredths(int32_t value) { return static_cast<float>(std::clamp(value, 0, 100) * 0.01); }

}  // namespace

void TMyFilterData::ResetToDefaults() { ResetOwnFields(*this); }

std::string TMyFilterData::OptionString(const AVFrame& inFrame) const {
  return OptionString(av_pix_fmt_count_planes(static_cast<AVPixelFormat>(inFrame.format)));
}

std::string TMyFilterData::OptionString(int planeCount) const {
  return fmt::format("filter={}:block={}:alpha={}:beta={}:gamma={}:delta={}:planes={}", weak ? "weak" : "strong",
                     std::clamp(block, 4, 512), Hundredths(alpha), Hundredths(beta), Hundredths(gamma),
                     Hundredths(delta), lumaOnly ? lumaOnly : planeCount);
}

constinit FilterDefinition tarvuFilterDefinition = BuildFilterDefinition<DeblockFilter>("Tarvu Deblock");

}  // namespace tarvu
