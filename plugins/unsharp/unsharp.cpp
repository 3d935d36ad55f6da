#include "unsharp.h"

#include <algorithm>

#include <fmt/format.h>

#include "framework/host_callbacks.h"

namespace tarvu {
namespace {

int MatrixSize(int32_t code) { return 2 * std::clamp(code, 0, 9) + 3; }

// A product with the float tenth, not a quotient: 9 gives 0.90000004.
float Amount(int32_t tenths) { return static_cast<float>(std::clamp(tenths, -15, 15)) * 0.1f; }

}  // namespace

void TMyFilterData::ResetToDefaults() { ResetOwnFields(*this); }

std::string TMyFilterData::OptionString() const {
  return fmt::format("lx={}:ly={}:la={}:cx={}:cy={}:ca={}", MatrixSize(lumaX), MatrixSize(lumaY),
                     Amount(lumaStrength), MatrixSize(chromaX), MatrixSize(chromaY), Amount(chromaStrength));
}

constinit FilterDefinition tarvuFilterDefinition = BuildFilterDefinition<UnsharpFilter>("Tarvu UnSharp");

}  // namespace tarvu
