// Smart blur with libavfilter's "smartblur": blurs flat areas, keeps edges.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "framework/base_filter.h"

namespace tarvu {

struct TMyFilterData_smartblur : TBaseFilterData {
  const char* filterName = "smartblur";
  int32_t pixelFormat = 0;
  SinkFormatList sinkFormats{0, -1};
  uint8_t separateChroma = 0;  // 0: the luma values serve the chroma planes too
  int32_t lumaRadius = 10;     // radius and strength in tenths
  int32_t lumaStrength = 10;
  int32_t lumaThreshold = 0;
  int32_t chromaRadius = 10;
  int32_t chromaStrength = 10;
  int32_t chromaThreshold = 0;
  int32_t viewMode = kViewFull;
  bool reinitPending = false;

  void ResetToDefaults() override;
  std::string OptionString() const;

  static constexpr PluginTraits kTraits = kSecondGeneration;
  static constexpr auto ScriptFields() {
    using Row = ScriptField<TMyFilterData_smartblur>;
    return std::to_array<Row>({{&TMyFilterData_smartblur::separateChroma, kStoreFlag},
                                {&TMyFilterData_smartblur::lumaRadius},
                                {&TMyFilterData_smartblur::lumaStrength},
                                {&TMyFilterData_smartblur::lumaThreshold},
                                {&TMyFilterData_smartblur::chromaRadius},
                                {&TMyFilterData_smartblur::chromaStrength},
                                {&TMyFilterData_smartblur::chromaThreshold}});
  }
};

using SmartBlurFilter = TarvuFilter_BaseFilter<TMyFilterData_smartblur>;

}  // namespace tarvu
