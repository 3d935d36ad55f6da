// The bwdif frame step when libavfilter answers try-again to the push or to
// the pull. libavfilter 5.1's buffer source never does so for a push, so the
// two calls are wrapped at link time here and answer as a test tells them.
#include <gtest/gtest.h>

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
}

#include "module_fixture.h"
#include "plugins/bwdif/bwdif.h"
#include "tests/portable/plugin_under_test.h"

namespace {

struct Answers {
  bool pushWaits = false, pullWaits = false;
  int pushes = 0, pulls = 0;
} answers;

}  // namespace

extern "C" {
int __real_av_buffersrc_add_frame_flags(AVFilterContext* context, AVFrame* frame, int flags);
int __real_av_buffersink_get_frame(AVFilterContext* context, AVFrame* frame);

int __wrap_av_buffersrc_add_frame_flags(AVFilterContext* context, AVFrame* frame, int flags) {
  ++answers.pushes;
  return answers.pushWaits ? AVERROR(EAGAIN) : __real_av_buffersrc_add_frame_flags(context, frame, flags);
}
int __wrap_av_buffersink_get_frame(AVFilterContext* context, AVFrame* frame) {
  ++answers.pulls;
  return answers.pullWaits ? AVERROR(EAGAIN) : __real_av_buffersink_get_frame(context, frame);
}
}

namespace testhost {
namespace {

// A graph past its first frame, whose next call would show a filtered picture.
struct Warmed {
  Warmed()
      : source(24, 16, 13, 2), destination(24, 16, 13),
        instance(*portable::ThePlugin().definition, source, destination) {
    answers = {};
    EXPECT_EQ(instance.Init(), 0);
    instance.GetParams();
    instance.Start();
    source.FillPattern(1);
    instance.Run();
    source.FillPattern(2);
    answers = {};
  }
  ~Warmed() { instance.End(); }
  tarvu::BwDifFilter& filter() { return *static_cast<tarvu::BwDifFilter*>(instance.FilterObject()); }
  Picture source, destination;
  Instance instance;
};

// Either answer shows the source, never a difference picture, and counts
// the call; a waiting push is not followed by a pull.
TEST(BwDifTryAgain, TheSourcePassesThroughAndTheCallCounts) {
  for (bool onPush : {true, false})
    for (int32_t view : {tarvu::kViewFull, tarvu::kViewDifference}) {
      SCOPED_TRACE(::testing::Message() << (onPush ? "push" : "pull") << ", view mode " << view);
      Warmed warmed;
      warmed.filter().settings.viewMode = view;
      (onPush ? answers.pushWaits : answers.pullWaits) = true;
      warmed.destination.Fill(0);
      warmed.instance.Run();
      EXPECT_EQ(answers.pulls, onPush ? 0 : 1);
      EXPECT_EQ(warmed.destination.RawBytes(), warmed.source.RawBytes());
      EXPECT_EQ(warmed.filter().road.outFrame->buf[0], nullptr);
      EXPECT_EQ(warmed.filter().road.frameCounter, 2);
      // Answered as libavfilter does, the same call shows a picture.
      answers = {};
      warmed.instance.Run();
      EXPECT_NE(warmed.destination.RawBytes(), warmed.source.RawBytes());
    }
}

}  // namespace
}  // namespace testhost
