// The NL-means module: its shared suite, its option texts and clamps, the
// script call that resets whatever its length, and strengths libavfilter refuses.
#include <gtest/gtest.h>

#include <climits>

#include "plugin_suite.h"
#include "plugins/nlmeans/nlmeans.h"

namespace testhost {
namespace {

INSTANTIATE_TEST_SUITE_P(NlMeans, PluginPixels, ::testing::ValuesIn(PluginPixelCases()), PixelCaseName);

INSTANTIATE_TEST_SUITE_P(NlMeans, PluginSuite,
                         ::testing::Values(PluginCase{"Tarvu NlMeans",
                                                      "Config(10,3,1,0,2,1)",
                                                      "s=1:p=7:pc=5:r=3:rc=3",
                                                      {{{15, 60, -5, -1, 2, 1}, "Config(15,60,-5,-1,2,1)",
                                                        "s=1.5:p=99:pc=5:r=1:rc=3"},
                                                       {{5, -5, 60, 1, 70, -8}, "Config(5,-5,60,1,70,-8)",
                                                        "s=0.5:p=1:pc=0:r=99:rc=0"},
                                                       {{400, 2, 2, 0, 49, 0}, "Config(400,2,2,0,49,0)",
                                                        "s=40:p=5:pc=99:r=5:rc=1"}},
                                                      {10, 3, 1, 0, 2, 1},
                                                      {120, 2, 3, 1, 2, 1}}),
                         PluginCaseName);

TEST(NlMeansOptions, StrengthIsAnUnclampedSinglePrecisionTenth) {
  TMyFilterData_NlMeans d;
  const std::pair<int32_t, const char*> strengths[] = {{10, "1"},   {15, "1.5"}, {299, "29.9"}, {300, "30"},
                                                       {5, "0.5"},  {400, "40"}, {1, "0.1"},    {0, "0"},
                                                       {-10, "-1"}, {33, "3.3"}};
  for (auto [tenths, text] : strengths) {
    d.strength = tenths;
    EXPECT_EQ(d.OptionString(), fmt::format("s={}:p=7:pc=5:r=3:rc=3", text)) << tenths;
  }
}

TEST(NlMeansOptions, SizesAreOddAndClampedAndAutoChromaSendsZeros) {
  TMyFilterData_NlMeans d;
  for (auto [half, size] : {std::pair{0, 1}, {-5, 1}, {INT_MIN, 1}, {49, 99}, {50, 99}, {INT_MAX, 99}, {17, 35}}) {
    d.patchSize = d.researchSize = d.chromaPatchSize = d.chromaResearchSize = half;
    EXPECT_EQ(d.OptionString(), fmt::format("s=1:p={0}:pc={0}:r={0}:rc={0}", size)) << half;
  }
  d = TMyFilterData_NlMeans();
  // Only a value above 0 means automatic: a script's -1 still sends the sizes.
  for (auto [autoChroma, chroma] : {std::pair{1, "pc=0:r=3:rc=0"}, {2, "pc=0:r=3:rc=0"}, {INT_MAX, "pc=0:r=3:rc=0"},
                                    {0, "pc=5:r=3:rc=3"}, {-1, "pc=5:r=3:rc=3"}, {INT_MIN, "pc=5:r=3:rc=3"}}) {
    d.autoChroma = autoChroma;
    EXPECT_EQ(d.OptionString(), fmt::format("s=1:p=7:{}", chroma)) << autoChroma;
  }
}

TEST(NlMeansOptions, BuilderDoesNothingWithoutAPendingChange) {
  TMyFilterData_NlMeans d;
  d.strength = -77;
  EXPECT_TRUE(ApplyFilterArgs(d, nullptr, nullptr));  // would crash if it touched libavfilter
}

class NlMeansInstance : public ::testing::Test {
 protected:
  NlMeansInstance() : source(40, 30, 15, 3), destination(40, 30, 15, 3), instance(PluginDefinition(), source, destination) {
    EXPECT_EQ(instance.Init(), 0);
    source.FillBlocks(5);
  }
  NlMeansFilter& filter() { return *static_cast<NlMeansFilter*>(instance.FilterObject()); }
  Picture source, destination;
  Instance instance;
};

// Every call starts from the defaults and counts as a change, however short.
TEST_F(NlMeansInstance, AnyScriptCallResetsAndMarksAChange) {
  for (int32_t count : {0, -1, INT_MIN, 5}) {
    instance.Script({120, 9, 9, 1, 9, 9});
    filter().settings.reinitPending = false;
    filter().settings.viewMode = 1;
    instance.Script(std::vector<int32_t>(5, 77), count);
    EXPECT_EQ(instance.ScriptLine(), "Config(10,3,1,0,2,1)") << count;
    EXPECT_TRUE(filter().settings.reinitPending) << count;
    EXPECT_EQ(filter().settings.viewMode, 1) << count;
  }
}

// libavfilter takes strengths of 1 to 30 only: the source passes through
// until the next acceptable setting, and nothing is retried meanwhile.
TEST_F(NlMeansInstance, RefusedStrengthPassesThroughUntilAnAcceptableOne) {
  const std::vector<int32_t> good = {120, 2, 3, 0, 2, 1};
  const auto filtered = FilteredByFreshInstance(PluginDefinition(), source, good);
  ASSERT_NE(filtered, source.RawBytes());
  instance.GetParams();
  instance.Start();
  for (const std::vector<int32_t>& refused :
       {std::vector<int32_t>{5, 2, 3, 0, 2, 1}, {400, 2, 3, 0, 2, 1}, {9, 3, 1, 1, 2, 1}, {301, 3, 1, 0, 2, 1}}) {
    instance.Script(refused, 6);
    const uint32_t builds = filter().road.GraphBuilds();
    for (int frame = 0; frame < 3; ++frame) {
      destination.Fill(0x22);
      instance.Run();
      EXPECT_EQ(destination.RawBytes(), source.RawBytes()) << refused[0];
    }
    EXPECT_EQ(filter().road.GraphBuilds(), builds + 1) << "one refused build, no retry per frame";
    EXPECT_FALSE(filter().road.GraphReady());
    EXPECT_FALSE(filter().settings.reinitPending);
    instance.Script(good, 6);
    instance.Run();
    EXPECT_EQ(destination.RawBytes(), filtered) << "after " << refused[0];
  }
  instance.End();
}

}  // namespace
}  // namespace testhost
