// The smart-blur module: its shared suite, and the texts and clamps of its
// option string.
#include <gtest/gtest.h>

extern "C" {
#include <libavutil/frame.h>
}

#include "plugin_suite.h"
#include "plugins/smartblur/smartblur.h"

namespace testhost {
namespace {

INSTANTIATE_TEST_SUITE_P(SmartBlur, PluginPixels, ::testing::ValuesIn(PluginPixelCases()), PixelCaseName);

INSTANTIATE_TEST_SUITE_P(SmartBlur, PluginSuite,
                         ::testing::Values(PluginCase{"Tarvu SmartBlur",
                                                      "Config(0,10,10,0,10,10,0)",
                                                      "lr=1:ls=1:lt=0:cr=1:cs=1:ct=0",
                                                      {{{7, 20, 10, 0, 35, 10, 0}, "Config(1,20,10,0,35,10,0)",
                                                        "lr=2:ls=1:lt=0:cr=3.5:cs=1:ct=0"},
                                                       {{0, -4, 99, 45, 3, -2, 9}, "Config(0,-4,99,45,3,-2,9)",
                                                        "lr=0.1:ls=1:lt=30:cr=0.1:cs=1:ct=30"}},
                                                      {0, 10, 10, 0, 10, 10, 0},
                                                      {1, 40, 10, 20, 40, -10, -20}}),
                         PluginCaseName);

// Tenths in double precision rounded to float, written in their shortest form.
TEST(SmartBlurOptions, ValueTexts) {
  TMyFilterData_smartblur d;
  const std::pair<int32_t, const char*> tenths[] = {{1, "0.1"}, {5, "0.5"}, {10, "1"}, {13, "1.3"}, {50, "5"},
                                                    {49, "4.9"}, {0, "0.1"}, {-3, "0.1"}, {51, "5"}};
  for (auto [value, text] : tenths) {
    d.lumaRadius = value;
    EXPECT_EQ(d.OptionString(), fmt::format("lr={0}:ls=1:lt=0:cr={0}:cs=1:ct=0", text)) << value;
  }
  d = TMyFilterData_smartblur();
  const std::pair<int32_t, const char*> strengths[] = {{0, "0"}, {-3, "-0.3"}, {-10, "-1"}, {-7, "-0.7"},
                                                       {-11, "-1"}, {11, "1"}, {3, "0.3"}};
  for (auto [value, text] : strengths) {
    d.lumaStrength = value;
    EXPECT_EQ(d.OptionString(), fmt::format("lr=1:ls={0}:lt=0:cr=1:cs={0}:ct=0", text)) << value;
  }
  d = TMyFilterData_smartblur();
  for (auto [value, text] : {std::pair{-30, "-30"}, {0, "0"}, {12, "12"}, {30, "30"}, {45, "30"}, {-31, "-30"}}) {
    d.lumaThreshold = value;
    EXPECT_EQ(d.OptionString(), fmt::format("lr=1:ls=1:lt={0}:cr=1:cs=1:ct={0}", text)) << value;
  }
}

TEST(SmartBlurOptions, ChromaValuesCountOnlyWhenSeparate) {
  TMyFilterData_smartblur d;
  d.chromaRadius = 35;
  d.chromaStrength = -4;
  d.chromaThreshold = 7;
  EXPECT_EQ(d.OptionString(), "lr=1:ls=1:lt=0:cr=1:cs=1:ct=0");
  d.separateChroma = 1;
  EXPECT_EQ(d.OptionString(), "lr=1:ls=1:lt=0:cr=3.5:cs=-0.4:ct=7");
  d.chromaRadius = -9;
  d.chromaStrength = 12;
  d.chromaThreshold = -99;
  EXPECT_EQ(d.OptionString(), "lr=1:ls=1:lt=0:cr=0.1:cs=1:ct=-30");
}

TEST(SmartBlurOptions, BuilderDoesNothingWithoutAPendingChange) {
  TMyFilterData_smartblur d;
  d.lumaRadius = -77;
  EXPECT_TRUE(ApplyFilterArgs(d, nullptr, nullptr));  // would crash if it touched libavfilter
  EXPECT_EQ(sizeof(d.separateChroma), 1u);
}

// Unlike the first generation's, the input frame leaves the colour
// description at libavutil's "unspecified".
TEST(SmartBlurFrames, InputFrameCarriesNoColourDescription) {
  for (int format : {13, 15, 26, 28, 33, 35, 40, 42}) {
    Picture source(16, 16, format), destination(16, 16, format);
    StreamingInstance<SmartBlurFilter> streaming(PluginDefinition(), source, destination);
    streaming.instance.GetParams();
    streaming.instance.Start();
    streaming.instance.Run();
    const AVFrame* in = streaming.filter().road.inFrame;
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->color_range, AVCOL_RANGE_UNSPECIFIED) << format;
    EXPECT_EQ(in->color_primaries, AVCOL_PRI_UNSPECIFIED) << format;
    EXPECT_EQ(in->color_trc, AVCOL_TRC_UNSPECIFIED) << format;
    EXPECT_EQ(in->colorspace, AVCOL_SPC_UNSPECIFIED) << format;
  }
}

}  // namespace
}  // namespace testhost
