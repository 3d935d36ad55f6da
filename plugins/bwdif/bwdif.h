// Deinterlacing with libavfilter's "bwdif". The filter answers one frame
// late and keeps frames between calls, so this plug-in's frame step, lag and
// cache event differ from the framework's default (see kTraits).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "framework/base_filter.h"

namespace tarvu {

struct TMyFilterData_BwDif : TBaseFilterData {
  const char* filterName = "bwdif";
  int32_t pixelFormat = 0;
  SinkFormatList sinkFormats{0, -1};
  int32_t mode = 0;     // 0: one picture per frame ("Frame"), 1: one per field ("Field")
  int32_t parity = -1;  // field order: -1 automatic, 0 top field first, 1 bottom field first
  int32_t viewMode = kViewFull;
  bool reinitPending = false;

  void ResetToDefaults() override;
  std::string OptionString() const;

  static constexpr PluginTraits kTraits = [] {
    PluginTraits traits = kSecondGeneration;
    traits.frameStep = FrameStep::kFirstPictureOrSource;  // nothing comes out for the first frame
    traits.lagFrames = 1;
    traits.cacheEventMarksChanged = true;  // frames kept from before a seek must not be mixed in
    return traits;
  }();
  static constexpr auto ScriptFields() {
    using Row = ScriptField<TMyFilterData_BwDif>;
    return std::to_array<Row>({{&TMyFilterData_BwDif::mode}, {&TMyFilterData_BwDif::parity}});
  }
};

using BwDifFilter = TarvuFilter_BaseFilter<TMyFilterData_BwDif>;

}  // namespace tarvu
