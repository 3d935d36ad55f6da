// What every plug-in's core tests share, run over the module's real boundary
// (natively over the core linked into the program) and instantiated per
// plug-in from its PluginCase.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pixel_checks.h"
#include "tests/portable/plugin_under_test.h"

namespace testhost {

// A script call, the line the module writes back and the options it sends.
struct ScriptCase {
  std::vector<int32_t> arguments;
  std::string line;
  std::string options;
};

struct PluginCase {
  std::string displayName;
  std::string defaultLine;
  std::string defaultOptions;
  std::vector<ScriptCase> scripts;
  // Two settings whose pictures differ, for a change while streaming.
  std::vector<int32_t> before, after;
};

inline std::ostream& operator<<(std::ostream& out, const PluginCase& c) { return out << c.displayName; }
inline std::string PluginCaseName(const ::testing::TestParamInfo<PluginCase>&) {
  return portable::ThePlugin().name;
}

const FilterDefinition& PluginDefinition();

class PluginSuite : public ::testing::TestWithParam<PluginCase> {};
class PluginPixels : public ::testing::TestWithParam<PixelCase> {};

// The reference cases of the plug-in's filter, each in every preview mode.
inline std::vector<PixelCase> PluginPixelCases() { return PixelCasesFor(portable::ThePlugin().filterName); }

}  // namespace testhost
