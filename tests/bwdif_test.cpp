// The bwdif module: its shared suite, and what its lagging frame step adds:
// the source while the graph fills, one picture per call however many the
// filter makes, every call counted, and a fresh graph after the host's
// cache event.
#include <gtest/gtest.h>

#include <climits>
#include <memory>

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/frame.h>
}

#include "plugin_suite.h"
#include "plugins/bwdif/bwdif.h"
#include "tests/portable/bare_graph.h"

namespace testhost {
namespace {

using portable::ThePlugin;

INSTANTIATE_TEST_SUITE_P(BwDif, PluginPixels, ::testing::ValuesIn(PluginPixelCases()), PixelCaseName);

INSTANTIATE_TEST_SUITE_P(BwDif, PluginSuite,
                         ::testing::Values(PluginCase{"Tarvu BwDif Deinterlace",
                                                      "Config(0,-1)",
                                                      "mode=0:parity=-1",
                                                      {{{3, -5}, "Config(3,-5)", "mode=1:parity=-1"},
                                                       {{-4, 7}, "Config(-4,7)", "mode=0:parity=1"},
                                                       {{1, 0}, "Config(1,0)", "mode=1:parity=0"},
                                                       {{INT_MAX, INT_MIN}, "Config(2147483647,-2147483648)",
                                                        "mode=1:parity=-1"}},
                                                      {0, 0},
                                                      {0, 1}}),
                         PluginCaseName);

// Every picture bwdif makes of the frames pushed so far, in order, as the
// FFmpeg tool gives them: nothing is dropped.
class AllPictures {
 public:
  AllPictures(const Picture& like, const std::string& options) : format_(like.Is420() ? 0 : 5) {
    built_ = portable::BuildBareGraph(bare_, like.Width(), like.Height(), format_, format_, "bwdif", options);
  }
  ~AllPictures() { portable::FreeBareGraph(bare_); }

  void Push(const Picture& picture) {
    ASSERT_TRUE(built_);
    AVFrame* in = portable::FrameOf(picture, format_);
    ASSERT_NE(in, nullptr);
    const int pushed = av_buffersrc_add_frame(bare_.source, in);
    av_frame_free(&in);
    ASSERT_GE(pushed, 0);
    while (av_buffersink_get_frame(bare_.sink, out_.get()) >= 0) {
      std::vector<uint8_t> raw;
      for (int plane = 0; plane < 3; ++plane)
        for (int y = 0; y < picture.PlaneHeight(plane); ++y) {
          const uint8_t* row = out_->data[plane] + y * out_->linesize[plane];
          raw.insert(raw.end(), row, row + picture.PlaneWidth(plane));
        }
      pictures.push_back(std::move(raw));
      av_frame_unref(out_.get());
    }
  }

  std::vector<std::vector<uint8_t>> pictures;

 private:
  struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
  };
  int32_t format_;
  portable::BareGraph bare_;
  bool built_ = false;
  std::unique_ptr<AVFrame, FrameFree> out_{av_frame_alloc()};
};

// A started instance of the core linked into this program, whose libavfilter
// objects the tests may look at.
struct LinkedInstance {
  LinkedInstance(Picture& source, Picture& destination, std::vector<int32_t> script)
      : instance(*ThePlugin().definition, source, destination) {
    EXPECT_EQ(instance.Init(), 0);
    instance.Script(script, static_cast<int32_t>(script.size()));
    EXPECT_EQ(instance.GetParams(), 0x10015);
    instance.Start();
  }
  ~LinkedInstance() { instance.End(); }
  tarvu::BwDifFilter& filter() { return *static_cast<tarvu::BwDifFilter*>(instance.FilterObject()); }
  Instance instance;
};

// The time stamps count calls, "Disabled" ones too (the pixel cases show
// the rest: the first call's source in every mode, and the count).
TEST(BwDifFrameStep, TimeStampsCountDisabledCalls) {
  Picture source(32, 24, 15), destination(32, 24, 15);
  LinkedInstance linked(source, destination, {0, -1});
  linked.filter().settings.viewMode = tarvu::kViewDisabled;
  linked.instance.Run();
  linked.instance.Run();
  linked.filter().settings.viewMode = tarvu::kViewFull;
  linked.instance.Run();
  EXPECT_EQ(linked.filter().road.inFrame->pts, 2);
  EXPECT_EQ(linked.filter().road.inFrame->best_effort_timestamp, 2);
}

// Field mode makes two pictures of every frame; each call shows the first
// picture of the frame before it and drops the other, so nothing piles up.
// Each frame's planes are freed right after its call: libavfilter keeps
// copies, never the host's memory.
TEST(BwDifFrameStep, FieldModeHoldsNoBacklogOverAThousandFrames) {
  constexpr int kFrames = 1000;
  auto frame = [](int index) {
    auto picture = std::make_unique<Picture>(32, 24, 15, index % 5, index % 3 == 0);
    picture->FillPattern(static_cast<uint32_t>(index) + 1);
    return picture;
  };
  Picture destination(32, 24, 15);
  std::unique_ptr<Picture> source = frame(0);
  LinkedInstance linked(*source, destination, {1, -1});
  AllPictures tool(*source, "mode=1:parity=-1");
  for (int call = 0; call < kFrames && !HasFailure(); ++call) {
    if (call > 0) source = frame(call);
    linked.instance.SetPictures(*source, destination);
    linked.instance.Run();
    tool.Push(*source);
    ASSERT_EQ(tool.pictures.size(), static_cast<std::size_t>(2 * call));
    const std::vector<uint8_t>& expected = call == 0 ? source->RawBytes() : tool.pictures[2 * (call - 1)];
    ASSERT_EQ(destination.RawBytes(), expected) << "call " << call;
  }
  // What is still inside: closing the input flushes it all out.
  tarvu::FrameRoad& road = linked.filter().road;
  ASSERT_GE(av_buffersrc_add_frame(road.bufferSrc, nullptr), 0);
  int held = 0;
  while (av_buffersink_get_frame(road.bufferSink, road.outFrame) >= 0) {
    ++held;
    av_frame_unref(road.outFrame);
  }
  EXPECT_EQ(held, 2) << "only the last frame's two fields";
}

TEST(BwDifEvents, CacheEventAndInvalidateMarkTheSettingsChanged) {
  Picture source(32, 24, 15), destination(32, 24, 15);
  LinkedInstance linked(source, destination, {0, -1});
  bool& pending = linked.filter().settings.reinitPending;
  for (uint32_t code : {0u, 2u, 3u, 0xFFFFFFFFu})
    for (bool before : {false, true}) {
      pending = before;
      EXPECT_FALSE(linked.instance.Event(code)) << code;
      EXPECT_EQ(pending, before) << code;
    }
  pending = false;
  EXPECT_TRUE(linked.instance.Event(1));
  EXPECT_TRUE(pending);
  pending = false;
  EXPECT_TRUE(static_cast<tarvu::VDXVideoFilter&>(linked.filter()).InvalidateState());
  EXPECT_TRUE(pending);
  const uint32_t builds = linked.filter().road.GraphBuilds();
  linked.instance.Run();
  EXPECT_EQ(linked.filter().road.GraphBuilds(), builds + 1);
  EXPECT_FALSE(pending);
}

// The host sends event 1 when its caches go stale, after a seek for
// instance. Nothing shown after it may depend on a frame from before it.
TEST(BwDifEvents, NoPictureAfterTheCacheEventMixesInEarlierFrames) {
  for (int32_t mode : {0, 1}) {
    SCOPED_TRACE(mode ? "field mode" : "frame mode");
    const std::string options = mode ? "mode=1:parity=1" : "mode=0:parity=1";
    Picture source(40, 30, 28), destination(40, 30, 28);
    StreamingInstance<VDXVideoFilter> streaming(PluginDefinition(), source, destination);
    streaming.instance.Script({mode, 1});
    streaming.instance.GetParams();
    streaming.instance.Start();
    for (uint32_t seed = 1; seed <= 4; ++seed) {  // earlier content, unrelated
      source.FillPattern(seed);
      streaming.instance.Run();
    }
    EXPECT_TRUE(streaming.instance.Event(1));
    AllPictures tool(source, options);
    for (int call = 0; call < 4; ++call) {
      source.FillBlocks(static_cast<uint32_t>(100 + call), 4 + call);
      streaming.instance.Run();
      tool.Push(source);
      ASSERT_EQ(tool.pictures.size(), static_cast<std::size_t>(mode ? 2 * call : call));
      const std::vector<uint8_t>& expected =
          call == 0 ? source.RawBytes() : tool.pictures[mode ? 2 * (call - 1) : call - 1];
      EXPECT_EQ(destination.RawBytes(), expected) << "call " << call << " after the event";
    }
  }
}

TEST(BwDifOptions, BuilderDoesNothingWithoutAPendingChange) {
  tarvu::TMyFilterData_BwDif d;
  d.mode = 9;
  EXPECT_TRUE(ApplyFilterArgs(d, nullptr, nullptr));  // would crash if it touched libavfilter
}

}  // namespace
}  // namespace testhost
