// Unsharp masking (or blurring, with negative amounts) with libavfilter's "unsharp".
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "framework/base_filter.h"

namespace tarvu {

struct TMyFilterData : TBaseFilterData {
  const char* filterName = "unsharp";
  int32_t pixelFormat = 0;
  SinkFormatList sinkFormats{0, -1};
  int32_t lumaX = 1;  // matrix size codes: size = 2 * code + 3
  int32_t lumaY = 1;
  int32_t lumaStrength = 10;  // amounts in tenths
  int32_t chromaX = 1;
  int32_t chromaY = 1;
  int32_t chromaStrength = 0;
  int32_t viewMode = kViewFull;
  bool reinitPending = false;

  void ResetToDefaults() override;
  std::string OptionString() const;

  static constexpr PluginTraits kTraits = kFirstGeneration;
  static constexpr auto ScriptFields() {
    using Row = ScriptField<TMyFilterData>;
    return std::to_array<Row>({{&TMyFilterData::lumaX},
                                {&TMyFilterData::lumaY},
                                {&TMyFilterData::lumaStrength},
                                {&TMyFilterData::chromaX},
                                {&TMyFilterData::chromaY},
                                {&TMyFilterData::chromaStrength}});
  }
};

using UnsharpFilter = TarvuFilter_BaseFilter<TMyFilterData>;

}  // namespace tarvu
