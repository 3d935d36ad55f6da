// Non-local-means denoising with libavfilter's "nlmeans".
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "framework/base_filter.h"

namespace tarvu {

struct TMyFilterData_NlMeans : TBaseFilterData {
  const char* filterName = "nlmeans";
  int32_t pixelFormat = 0;
  SinkFormatList sinkFormats{0, -1};
  int32_t strength = 10;           // in tenths
  int32_t patchSize = 3;           // sizes as half sizes n: size = 2n + 1
  int32_t researchSize = 1;
  int32_t autoChroma = 0;          // > 0: libavfilter takes the luma sizes for chroma
  int32_t chromaPatchSize = 2;
  int32_t chromaResearchSize = 1;
  int32_t viewMode = kViewFull;
  bool reinitPending = false;

  void ResetToDefaults() override;
  std::string OptionString() const;

  // Stored script lines may be short: every call starts again from the defaults.
  static constexpr PluginTraits kTraits = [] {
    PluginTraits traits = kSecondGeneration;
    traits.shortCall = ShortScriptCall::kResetsToDefaults;
    return traits;
  }();
  static constexpr auto ScriptFields() {
    using Row = ScriptField<TMyFilterData_NlMeans>;
    return std::to_array<Row>({{&TMyFilterData_NlMeans::strength},
                                {&TMyFilterData_NlMeans::patchSize},
                                {&TMyFilterData_NlMeans::researchSize},
                                {&TMyFilterData_NlMeans::autoChroma},
                                {&TMyFilterData_NlMeans::chromaPatchSize},
                                {&TMyFilterData_NlMeans::chromaResearchSize}});
  }
};

using NlMeansFilter = TarvuFilter_BaseFilter<TMyFilterData_NlMeans>;

}  // namespace tarvu
