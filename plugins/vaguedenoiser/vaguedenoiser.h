// Wavelet denoising with libavfilter's "vaguedenoiser".
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "framework/base_filter.h"

namespace tarvu {

struct TMyFilterData_VagueDenoiser : TBaseFilterData {
  const char* filterName = "vaguedenoiser";
  int32_t pixelFormat = 0;
  SinkFormatList sinkFormats{0, -1};
  int32_t threshold = 2;
  int32_t method = 2;  // 0 hard, 1 soft, 2 garrote
  int32_t nsteps = 6;
  int32_t percent = 85;
  int32_t type = 0;  // 0 universal, 1 bayes
  int32_t viewMode = kViewFull;
  bool reinitPending = false;

  void ResetToDefaults() override;
  std::string OptionString() const;

  // The filter cuts its steps to what the chroma planes allow; below three
  // samples a side none are left and it never finishes a frame.
  static bool FiltersPicture(int32_t width, int32_t height, int32_t pixelFormat);

  static constexpr PluginTraits kTraits = [] {
    PluginTraits traits = kSecondGeneration;
    traits.filtersPicture = &FiltersPicture;
    return traits;
  }();

  // The script and the option string carry the method after the percentage.
  static constexpr auto ScriptFields() {
    using Row = ScriptField<TMyFilterData_VagueDenoiser>;
    return std::to_array<Row>({{&TMyFilterData_VagueDenoiser::threshold},
                                {&TMyFilterData_VagueDenoiser::nsteps},
                                {&TMyFilterData_VagueDenoiser::percent},
                                {&TMyFilterData_VagueDenoiser::method, StoreChoice(3, 2)},
                                {&TMyFilterData_VagueDenoiser::type, kStoreFlag}});
  }
};

using VagueDenoiserFilter = TarvuFilter_BaseFilter<TMyFilterData_VagueDenoiser>;

}  // namespace tarvu
