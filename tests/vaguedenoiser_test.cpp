// The vague-denoiser module: its shared suite, its option words and clamps,
// and the pictures its filter cannot take.
#include <gtest/gtest.h>

#include <climits>

#include <fmt/format.h>

#include "plugin_suite.h"
#include "plugins/vaguedenoiser/vaguedenoiser.h"

namespace testhost {
namespace {

using portable::ThePlugin;

INSTANTIATE_TEST_SUITE_P(VagueDenoiser, PluginPixels, ::testing::ValuesIn(PluginPixelCases()), PixelCaseName);

// The filter cuts nsteps to what the picture allows (2 for 40x30), so the
// change while streaming also tells a fresh graph from a re-initialised one.
INSTANTIATE_TEST_SUITE_P(
    VagueDenoiser, PluginSuite,
    ::testing::Values(PluginCase{
        "Tarvu VagueDenoiser",
        "Config(2,6,85,2,0)",
        "threshold=2:nsteps=6:percent=85:method=garrote:type=universal",
        {{{0, 0, -5, 7, 3}, "Config(0,0,-5,2,1)", "threshold=1:nsteps=1:percent=0:method=garrote:type=bayes"},
         {{150, 40, 101, 1, 0}, "Config(150,40,101,1,0)",
          "threshold=100:nsteps=32:percent=100:method=soft:type=universal"},
         {{1, 32, 0, 0, -1}, "Config(1,32,0,0,1)", "threshold=1:nsteps=32:percent=0:method=hard:type=bayes"}},
        {20, 1, 85, 2, 0},
        {20, 6, 85, 0, 0}}),
    PluginCaseName);

// Clamped for the option string only; no other words than these five.
TEST(VagueDenoiserOptions, ClampsAndWords) {
  struct Row {
    int32_t threshold, nsteps, percent, method, type;
    const char* options;
  };
  const Row rows[] = {
      {INT32_MIN, INT32_MIN, INT32_MIN, -1, -1, "threshold=1:nsteps=1:percent=0:method=garrote:type=bayes"},
      {1, 1, 0, 0, 0, "threshold=1:nsteps=1:percent=0:method=hard:type=universal"},
      {99, 31, 1, 1, 1, "threshold=99:nsteps=31:percent=1:method=soft:type=bayes"},
      {100, 33, 100, 3, INT32_MAX, "threshold=100:nsteps=32:percent=100:method=garrote:type=bayes"},
      {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MIN, 0,
       "threshold=100:nsteps=32:percent=100:method=garrote:type=universal"},
  };
  for (const Row& row : rows) {
    TMyFilterData_VagueDenoiser d;
    d.threshold = row.threshold;
    d.nsteps = row.nsteps;
    d.percent = row.percent;
    d.method = row.method;
    d.type = row.type;
    EXPECT_EQ(d.OptionString(), row.options);
    EXPECT_EQ(d.threshold, row.threshold);
  }
}

TEST(VagueDenoiserOptions, BuilderDoesNothingWithoutAPendingChange) {
  TMyFilterData_VagueDenoiser d;
  d.nsteps = -77;
  EXPECT_TRUE(ApplyFilterArgs(d, nullptr, nullptr));  // would crash if it touched libavfilter
}

// Below three chroma samples a side libavfilter's filter has no wavelet step
// left and spins for minutes on one frame: such pictures pass through, in
// every mode and after a change while streaming. From three up it filters.
TEST(VagueDenoiserPictures, TooSmallForTheFilterPassThrough) {
  struct Size {
    int width, height, format;
    bool filtered;
  };
  const Size sizes[] = {{4, 4, 15, false}, {64, 4, 28, false}, {3, 64, 35, false}, {2, 9, 13, false},
                        {9, 2, 40, false}, {5, 5, 15, true},   {64, 5, 42, true},  {3, 3, 13, true}};
  for (const Size& size : sizes) {
    SCOPED_TRACE(fmt::format("{}x{} format {}", size.width, size.height, size.format));
    Picture source(size.width, size.height, size.format, 5), destination(size.width, size.height, size.format, 2);
    source.FillPattern(17);
    StreamingInstance<VDXVideoFilter> streaming(PluginDefinition(), source, destination);
    void* object = streaming.instance.FilterObject();
    streaming.instance.Script({100, 6, 100, 0, 0}, 5);
    ASSERT_EQ(streaming.instance.GetParams(), ThePlugin().runFlags());
    streaming.instance.Start();
    for (int32_t mode : {0, 2, 0}) {
      *ThePlugin().ViewMode(object) = mode;
      destination.Fill(0x11);
      streaming.instance.Run();
      EXPECT_EQ(destination.RawBytes() == source.RawBytes(), !size.filtered) << "mode " << mode;
      EXPECT_EQ(ThePlugin().GraphReady(object), size.filtered);
      streaming.instance.Script({50, 32, 90, 1, 0}, 5);
    }
  }
}

}  // namespace
}  // namespace testhost
