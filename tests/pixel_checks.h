// Runs a module over the frames of a reference case and compares every
// destination with what the FFmpeg command-line tool made.
#pragma once

#include <gtest/gtest.h>

#include "module_fixture.h"
#include "reference_frames.h"

namespace testhost {

struct PixelCase {
  ReferenceCase reference;
  Mode mode;
  bool bottomUp;
};

inline FrameShape ShapeOf(const Picture& picture) { return {picture.Width(), picture.Height(), picture.Is420()}; }

// Every case in every mode, and the first one with bottom-up pictures.
inline std::vector<PixelCase> PixelCasesFor(const std::string& filter) {
  std::vector<PixelCase> cases;
  const auto references = LoadReferenceCases(filter);
  for (const ReferenceCase& reference : references)
    for (Mode mode : {Mode::kFull, Mode::kDifference, Mode::kDisabled}) cases.push_back({reference, mode, false});
  if (!references.empty()) cases.push_back({references.front(), Mode::kFull, true});
  return cases;
}

inline std::string PixelCaseName(const ::testing::TestParamInfo<PixelCase>& info) {
  static const char* const modes[] = {"Full", "Disabled", "Difference"};
  return info.param.reference.name + "_" + modes[static_cast<int>(info.param.mode)] +
         (info.param.bottomUp ? "_bottom_up" : "");
}

}  // namespace testhost
