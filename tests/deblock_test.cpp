// The deblock module over its real boundary: pixels against the FFmpeg tool,
// script and texts, negotiation, and what the frame road does when things go wrong.
#include <gtest/gtest.h>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavutil/frame.h>
}

#include "plugin_suite.h"
#include "plugins/deblock/deblock.h"

namespace testhost {
namespace {

auto& Deblock() { return LoadedModule(L"TarvuDeblock"); }
using Streaming = StreamingInstance<DeblockFilter>;

// --- Pixels against the FFmpeg command-line tool ------------------------------------

INSTANTIATE_TEST_SUITE_P(Deblock, PluginPixels, ::testing::ValuesIn(PluginPixelCases()), PixelCaseName);

INSTANTIATE_TEST_SUITE_P(Deblock, PluginSuite,
                         ::testing::Values(PluginCase{
                             "Tarvu Deblock",
                             "Config(0,8,10,5,5,5,0)",
                             "filter=strong:block=8:alpha=0.1:beta=0.05:gamma=0.05:delta=0.05:planes=3",
                             {{{0, 3, 150, 5, 5, 5, 0},
                               "Config(0,3,150,5,5,5,0)",
                               "filter=strong:block=4:alpha=1:beta=0.05:gamma=0.05:delta=0.05:planes=3"},
                              {{2, 1000, -5, 57, 100, 0, 7},
                               "Config(2,1000,-5,57,100,0,7)",
                               "filter=weak:block=512:alpha=0:beta=0.57:gamma=1:delta=0:planes=7"}},
                             {0, 8, 10, 5, 5, 5, 0},
                             {1, 4, 100, 100, 100, 100, 0}}),
                         PluginCaseName);

const ReferenceCase& CaseNamed(const std::string& name) {
  static const auto cases = LoadReferenceCases("deblock");
  for (const ReferenceCase& c : cases)
    if (c.name == name) return c;
  throw std::runtime_error("no case " + name);
}

// Runs the three frames of `first`, switching to `second`'s settings before
// frame `switchAt`; returns each frame's destination.
std::vector<std::vector<uint8_t>> RunWithChange(const ReferenceCase& first, const ReferenceCase& second,
                                                std::size_t switchAt) {
  Picture source(first.width, first.height, first.format), destination(first.width, first.height, first.format);
  const auto sources = SplitFrames(ReadBytes(SourceFile(first)), ShapeOf(source));
  Streaming streaming(Deblock().Definition(), source, destination);
  streaming.instance.Script(std::vector<int32_t>(first.arguments), 7);
  streaming.instance.GetParams();
  streaming.instance.Start();
  std::vector<std::vector<uint8_t>> results;
  for (std::size_t frame = 0; frame < sources.size(); ++frame) {
    if (frame == switchAt) streaming.instance.Script(std::vector<int32_t>(second.arguments), 7);
    source.SetRawBytes(sources[frame]);
    streaming.instance.Run();
    results.push_back(destination.RawBytes());
  }
  EXPECT_EQ(streaming.filter().road.frameCounter, 3);
  return results;
}

TEST(DeblockStreaming, ChangeWhileStreamingActsLikeAFreshRun) {
  const ReferenceCase& before = CaseNamed("defaults_420");
  const ReferenceCase& after = CaseNamed("thresholds100_420");
  const auto filteredAfter = SplitFrames(ReadBytes(FilteredFile(after)), {after.width, after.height, true});
  const auto filteredBefore = SplitFrames(ReadBytes(FilteredFile(before)), {before.width, before.height, true});
  const auto results = RunWithChange(before, after, 1);
  EXPECT_EQ(results[0], filteredBefore[0]);
  EXPECT_EQ(results[1], filteredAfter[1]);
  EXPECT_EQ(results[2], filteredAfter[2]);
}

TEST(DeblockStreaming, ChangeOfFilterTypeAndBlockSizeWhileStreaming) {
  const ReferenceCase& before = CaseNamed("defaults_420");
  const ReferenceCase& after = CaseNamed("block4_420");  // another host format, same picture
  const auto filteredAfter = SplitFrames(ReadBytes(FilteredFile(after)), {after.width, after.height, true});
  const auto results = RunWithChange(before, after, 2);
  EXPECT_EQ(results[2], filteredAfter[2]);
}

// --- Script function and texts --------------------------------------------------------

class DeblockInstance : public ::testing::Test {
 protected:
  DeblockInstance() : source(32, 32, 15), destination(32, 32, 15), instance(Deblock().Definition(), source, destination) {
    EXPECT_EQ(instance.Init(), 0);
  }
  TMyFilterData& settings() { return static_cast<DeblockFilter*>(instance.FilterObject())->settings; }
  DeblockFilter& filter() { return *static_cast<DeblockFilter*>(instance.FilterObject()); }
  Picture source, destination;
  Instance instance;
};

TEST_F(DeblockInstance, ScriptPathLeavesActivationAlone) {
  HostActivation scriptActivation = instance.activation;  // the same instance, another record
  const std::vector<int32_t> arguments = {1, 16, 20, 20, 20, 20, 0};
  std::vector<ScriptValue> values(arguments.size());
  for (std::size_t i = 0; i < arguments.size(); ++i) values[i].intValue = arguments[i];
  instance.Definition().scriptObject->functionTable[0].handler(nullptr, &scriptActivation, values.data(), 7);
  EXPECT_EQ(settings().block, 16);
  EXPECT_EQ(filter().activation, &instance.activation);
}

TEST_F(DeblockInstance, StateEventsAndPrefetch) {
  char buffer[8] = "abcdefg";
  EXPECT_EQ(instance.SaveState(buffer, 8), 0);
  EXPECT_EQ(instance.LoadState(buffer, 8), 0);
  EXPECT_STREQ(buffer, "abcdefg");
  EXPECT_FALSE(instance.Event(1));
  EXPECT_FALSE(instance.Event(7));
  RecordingPrefetcher prefetcher;
  EXPECT_TRUE(filter().RequestPrefetch(7, &prefetcher));
  ASSERT_EQ(prefetcher.calls.size(), 1u);
  EXPECT_EQ(prefetcher.calls[0].sourceIndex, 0);
  EXPECT_EQ(prefetcher.calls[0].frame, 7);
  EXPECT_EQ(prefetcher.calls[0].cookie, 0u);
}

// --- Negotiation ----------------------------------------------------------------------

TEST(DeblockNegotiation, RefusedFormatKeepsWhatAnEarlierNegotiationChose) {
  Picture p444(16, 16, 13), refused(16, 16, 14), destination(16, 16, 13);
  Instance instance(Deblock().Definition(), p444, destination);
  ASSERT_EQ(instance.Init(), 0);
  auto& settings = static_cast<DeblockFilter*>(instance.FilterObject())->settings;
  ASSERT_EQ(instance.GetParams(), 0x15);
  instance.SetPictures(refused, destination);
  EXPECT_EQ(instance.GetParams(), -1);
  EXPECT_EQ(settings.pixelFormat, 5);
  EXPECT_EQ(settings.sinkFormats, (SinkFormatList{5, -1}));
}

TEST(DeblockNegotiation, StartWithoutNegotiationFiltersAs420) {
  const ReferenceCase& c = CaseNamed("defaults_420");
  Picture source(c.width, c.height, c.format), destination(c.width, c.height, c.format);
  const auto sources = SplitFrames(ReadBytes(SourceFile(c)), ShapeOf(source));
  const auto filtered = SplitFrames(ReadBytes(FilteredFile(c)), ShapeOf(source));
  Instance instance(Deblock().Definition(), source, destination);
  ASSERT_EQ(instance.Init(), 0);
  instance.Start();
  source.SetRawBytes(sources[0]);
  instance.Run();
  EXPECT_EQ(destination.RawBytes(), filtered[0]);
  instance.End();
}

TEST(DeblockNegotiation, RenegotiatingKeepsExactlyTwoEntries) {
  Picture p444(16, 16, 13), p420(16, 16, 15), destination(16, 16, 15);
  Instance instance(Deblock().Definition(), p444, destination);
  ASSERT_EQ(instance.Init(), 0);
  auto& settings = static_cast<DeblockFilter*>(instance.FilterObject())->settings;
  instance.GetParams();
  EXPECT_EQ(settings.pixelFormat, 5);
  instance.SetPictures(p420, destination);
  instance.GetParams();
  EXPECT_EQ(settings.pixelFormat, 0);
  EXPECT_EQ(settings.sinkFormats, (SinkFormatList{0, -1}));
}

// --- Option strings (the module's own builder, linked here) --------------------------------

TEST(DeblockOptions, ClampsAndConvertsToFilterUnits) {
  TMyFilterData d;
  EXPECT_EQ(d.OptionString(3), "filter=strong:block=8:alpha=0.1:beta=0.05:gamma=0.05:delta=0.05:planes=3");
  const std::pair<int, const char*> blocks[] = {{3, "block=4"}, {1000, "block=512"}, {64, "block=64"}, {4, "block=4"}};
  for (auto [block, text] : blocks) {
    d.block = block;
    EXPECT_NE(d.OptionString(3).find(text), std::string::npos) << block;
  }
  d.block = 8;
  const std::pair<int, const char*> thresholds[] = {{-5, "0"}, {150, "1"}, {57, "0.57"}, {100, "1"}, {1, "0.01"}, {99, "0.99"}};
  for (auto [value, text] : thresholds) {
    d.alpha = d.beta = d.gamma = d.delta = value;
    EXPECT_EQ(d.OptionString(3), fmt::format("filter=strong:block=8:alpha={0}:beta={0}:gamma={0}:delta={0}:planes=3", text));
  }
  for (auto [lumaOnly, planes] : {std::pair{1, "planes=1"}, {0, "planes=3"}, {7, "planes=7"}, {-1, "planes=-1"}}) {
    d.lumaOnly = lumaOnly;
    EXPECT_NE(d.OptionString(3).find(planes), std::string::npos) << lumaOnly;
  }
  d.weak = 2;
  EXPECT_EQ(d.OptionString(3).rfind("filter=weak:", 0), 0u);
}

TEST(DeblockOptions, BuilderDoesNothingWithoutAPendingChange) {
  TMyFilterData d;
  d.block = -77;
  EXPECT_TRUE(ApplyFilterArgs(d, nullptr, nullptr));  // would crash if it touched libavfilter
}

TEST(DeblockOptions, ResetLeavesModeAndFlagAlone) {
  TMyFilterData d;
  d.viewMode = 2;
  d.reinitPending = true;
  d.alpha = 77;
  d.ResetToDefaults();
  EXPECT_EQ(d.alpha, 10);
  EXPECT_EQ(d.viewMode, 2);
  EXPECT_TRUE(d.reinitPending);
  TMyFilterData copy(d);
  copy.sinkFormats.push_back(9);
  EXPECT_EQ(d.sinkFormats, (SinkFormatList{0, -1}));
}

}  // namespace
}  // namespace testhost
