// Deblocking with libavfilter's "deblock".
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "framework/base_filter.h"

namespace tarvu {

struct TMyFilterData : TBaseFilterData {
  const char* filterName = "deblock";
  int32_t pixelFormat = 0;
  SinkFormatList sinkFormats{0, -1};
  int32_t weak = 0;      // 0 strong filter, else weak
  int32_t block = 8;     // block size in pixels
  int32_t alpha = 10;    // thresholds in hundredths
  int32_t beta = 5;
  int32_t gamma = 5;
  int32_t delta = 5;
  int32_t lumaOnly = 0;  // 0: every plane; else sent as the planes value itself
  int32_t viewMode = kViewFull;
  bool reinitPending = false;

  void ResetToDefaults() override;
  std::string OptionString(const AVFrame& inFrame) const;
  std::string OptionString(int planeCount) const;

  static constexpr PluginTraits kTraits = kFirstGeneration;
  static constexpr auto ScriptFields() {
    using Row = ScriptField<TMyFilterData>;
    return std::to_array<Row>({{&TMyFilterData::weak},
                                {&TMyFilterData::block},
                                {&TMyFilterData::alpha},
                                {&TMyFilterData::beta},
                                {&TMyFilterData::gamma},
                                {&TMyFilterData::delta},
                                {&TMyFilterData::lumaOnly}});
  }
};

using DeblockFilter = TarvuFilter_BaseFilter<TMyFilterData>;


}  // namespace tarvu
