// The unsharp module over its real boundary: pixels against the FFmpeg tool,
// its option string, script round trips, and matrices libavfilter refuses.
#include <gtest/gtest.h>

#include "plugin_suite.h"
#include "plugins/unsharp/unsharp.h"

namespace testhost {
namespace {

auto& Unsharp() { return LoadedModule(L"TarvuUnSharp"); }

INSTANTIATE_TEST_SUITE_P(Unsharp, PluginPixels, ::testing::ValuesIn(PluginPixelCases()), PixelCaseName);

INSTANTIATE_TEST_SUITE_P(Unsharp, PluginSuite,
                         ::testing::Values(PluginCase{"Tarvu UnSharp",
                                                      "Config(1,1,10,1,1,0)",
                                                      "lx=5:ly=5:la=1:cx=5:cy=5:ca=0",
                                                      {{{20, 1, 10, 1, 1, 0}, "Config(20,1,10,1,1,0)",
                                                        "lx=21:ly=5:la=1:cx=5:cy=5:ca=0"},
                                                       {{2, 2, -4, 2, 2, 4}, "Config(2,2,-4,2,2,4)",
                                                        "lx=7:ly=7:la=-0.4:cx=7:cy=7:ca=0.4"}},
                                                      {0, 0, 15, 0, 0, 15},
                                                      {4, 4, -15, 2, 2, 0}}),
                         PluginCaseName);

TEST(UnsharpOptions, SizesAndSinglePrecisionTenths) {
  TMyFilterData d;
  EXPECT_EQ(d.OptionString(), "lx=5:ly=5:la=1:cx=5:cy=5:ca=0");
  for (auto [code, size] : {std::pair{9, 21}, {10, 21}, {-3, 3}, {100, 21}, {0, 3}, {4, 11}}) {
    d.lumaX = d.lumaY = d.chromaX = d.chromaY = code;
    EXPECT_EQ(d.OptionString(), fmt::format("lx={0}:ly={0}:la=1:cx={0}:cy={0}:ca=0", size)) << code;
  }
  d = TMyFilterData();
  const std::pair<int, const char*> amounts[] = {{9, "0.90000004"}, {13, "1.3000001"}, {-9, "-0.90000004"},
                                                 {-13, "-1.3000001"}, {-15, "-1.5"}, {20, "1.5"},
                                                 {5, "0.5"},          {0, "0"},          {10, "1"}};
  for (auto [tenths, text] : amounts) {
    d.lumaStrength = d.chromaStrength = tenths;
    EXPECT_EQ(d.OptionString(), fmt::format("lx=5:ly=5:la={0}:cx=5:cy=5:ca={0}", text)) << tenths;
  }
}

class UnsharpInstance : public ::testing::Test {
 protected:
  UnsharpInstance() : source(64, 48, 15, 3), destination(64, 48, 15, 3), instance(Unsharp().Definition(), source, destination) {
    EXPECT_EQ(instance.Init(), 0);
    source.FillBlocks(11);
  }
  UnsharpFilter& filter() { return *static_cast<UnsharpFilter*>(instance.FilterObject()); }
  std::vector<uint8_t> FreshRun(std::initializer_list<int32_t> arguments) {
    return FilteredByFreshInstance(Unsharp().Definition(), source, arguments);
  }
  Picture source, destination;
  Instance instance;
};

TEST_F(UnsharpInstance, RefusedMatrixPassesThroughUntilAnAcceptableOne) {
  const auto accepted = FreshRun({9, 1, 10, 1, 1, 0});
  ASSERT_NE(accepted, source.RawBytes());
  instance.GetParams();
  instance.Start();
  // Size codes summing to 11 or more give a matrix libavfilter refuses.
  for (std::initializer_list<int32_t> refused :
       {std::initializer_list<int32_t>{9, 2, 10, 1, 1, 0}, {10, 10, 10, 1, 1, 0}, {1, 1, 10, 6, 5, 3}}) {
    instance.Script(refused);
    destination.Fill(0x22);
    instance.Run();
    EXPECT_EQ(destination.RawBytes(), source.RawBytes());
    EXPECT_FALSE(filter().road.GraphReady());
    instance.Script({9, 1, 10, 1, 1, 0});
    instance.Run();
    EXPECT_EQ(destination.RawBytes(), accepted);
  }
  instance.End();
}

}  // namespace
}  // namespace testhost
