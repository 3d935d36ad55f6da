// The frame road through the deblock module when the host or the settings
// misbehave: refused options, missing filters, odd geometry, lifecycle misuse.
#include <gtest/gtest.h>

extern "C" {
#include <libavutil/frame.h>
}

#include "module_fixture.h"
#include "plugins/deblock/deblock.h"
#include "reference_frames.h"

namespace testhost {
namespace {

auto& Deblock() { return LoadedModule(L"TarvuDeblock"); }

class FrameRoadTest : public ::testing::Test {
 protected:
  void Open(int width, int height, int format, int destinationWidth = -1, int destinationHeight = -1) {
    source = std::make_unique<Picture>(width, height, format, 5);
    destination = std::make_unique<Picture>(destinationWidth < 0 ? width : destinationWidth,
                                            destinationHeight < 0 ? height : destinationHeight, format, 5);
    source->FillBlocks(7);
    destination->Fill(0x33);
    instance = std::make_unique<Instance>(Deblock().Definition(), *source, *destination);
    ASSERT_EQ(instance->Init(), 0);
  }
  void TearDown() override {
    if (instance) instance->End();
    if (destination) EXPECT_TRUE(destination->GuardsIntact());
  }
  DeblockFilter& filter() { return *static_cast<DeblockFilter*>(instance->FilterObject()); }
  bool DestinationHoldsSource() const { return destination->RawBytes() == source->RawBytes(); }
  std::vector<uint8_t> FilteredWith(std::initializer_list<int32_t> arguments) {
    return FilteredByFreshInstance(Deblock().Definition(), *source, arguments);
  }
  void StartStreaming() {
    ASSERT_EQ(instance->GetParams(), 0x15);
    instance->Start();
  }

  std::unique_ptr<Picture> source, destination;
  std::unique_ptr<Instance> instance;
};

TEST_F(FrameRoadTest, RefusedOptionsPassTheSourceThroughUntilTheNextChange) {
  Open(64, 48, 15);
  const auto good = FilteredWith({0, 8, 100, 100, 100, 100, 0});
  ASSERT_NE(good, source->RawBytes());
  for (int32_t planes : {-1, 16}) {
    instance->Script({0, 8, 100, 100, 100, 100, planes});
    StartStreaming();
    EXPECT_FALSE(filter().settings.reinitPending);
    EXPECT_FALSE(filter().road.GraphReady());
    destination->Fill(0x33);
    instance->Run();
    EXPECT_TRUE(DestinationHoldsSource()) << planes;
    EXPECT_EQ(filter().road.frameCounter, 0);
    const uint32_t builds = filter().road.GraphBuilds();
    instance->Run();  // no retry per frame without a change
    EXPECT_EQ(filter().road.GraphBuilds(), builds);

    instance->Script({0, 8, 100, 100, 100, 100, 0});
    instance->Run();
    EXPECT_EQ(destination->RawBytes(), good) << planes;
    instance->End();
  }
}

TEST_F(FrameRoadTest, MissingFilterPassesTheSourceThrough) {
  Open(32, 32, 13);
  filter().settings.filterName = "no_such_filter";
  StartStreaming();
  EXPECT_EQ(filter().road.graph, nullptr);
  instance->Run();
  EXPECT_TRUE(DestinationHoldsSource());
}

TEST_F(FrameRoadTest, EmptyAndTinyPictures) {
  for (auto [width, height] : {std::pair{0, 0}, {1, 1}, {0, 5}, {5, 0}, {1, 2}, {2, 1}, {3, 3}}) {
    for (int format : {13, 15}) {
      Open(width, height, format);
      StartStreaming();
      instance->Run();
      EXPECT_TRUE(destination->GuardsIntact()) << width << "x" << height;
      instance->End();
      instance->Destroy();
      instance.reset();
    }
  }
}

TEST_F(FrameRoadTest, OddSizedChromaIsCopiedToTheLastColumnAndRow) {
  Open(721, 577, 15);
  StartStreaming();
  filter().settings.viewMode = 1;
  instance->Run();
  EXPECT_TRUE(DestinationHoldsSource());
  filter().settings.viewMode = 0;
  destination->Fill(0x33);
  instance->Run();
  // Every chroma byte was written by the filtered copy as well.
  for (int plane = 1; plane < 3; ++plane) {
    EXPECT_NE(destination->Row(plane, 288)[360], 0x33);
    EXPECT_NE(destination->Row(plane, 100)[360], 0x33);
  }
}

TEST_F(FrameRoadTest, LargerDestinationKeepsWhatLiesOutsideThePicture) {
  Open(40, 30, 15, 64, 48);
  StartStreaming();
  instance->Run();
  EXPECT_EQ(destination->Row(0, 10)[45], 0x33);
  EXPECT_EQ(destination->Row(0, 35)[5], 0x33);
  EXPECT_EQ(destination->Row(1, 16)[5], 0x33);
  EXPECT_EQ(destination->Row(1, 5)[21], 0x33);
}

TEST_F(FrameRoadTest, PitchBeyondLineSizeRangePassesThrough) {
  Open(32, 1, 13);
  source->pixmap.pitch = int64_t{1} << 33;  // one row: only row 0 is ever read
  StartStreaming();
  instance->Run();
  EXPECT_TRUE(DestinationHoldsSource());
}

TEST_F(FrameRoadTest, SourceThatNoLongerMatchesTheGraphPassesThrough) {
  Open(64, 48, 15);
  StartStreaming();
  Picture smaller(32, 24, 15), otherDestination(32, 24, 15);
  smaller.FillPattern(3);
  instance->SetPictures(smaller, otherDestination);
  instance->Run();
  EXPECT_EQ(otherDestination.RawBytes(), smaller.RawBytes());
  EXPECT_TRUE(otherDestination.GuardsIntact());
}

TEST_F(FrameRoadTest, RenegotiationWhileStreamingNeverOverrunsTheDestination) {
  Open(64, 48, 15);
  StartStreaming();
  Picture other444(64, 48, 13), otherDestination(64, 48, 13);
  instance->SetPictures(other444, otherDestination);
  ASSERT_EQ(instance->GetParams(), 0x15);  // the sink now wants 4:4:4
  instance->SetPictures(*source, *destination);
  instance->Script({0, 8, 30, 30, 30, 30, 0});  // rebuilt with a converting sink
  destination->Fill(0x33);
  instance->Run();
  EXPECT_TRUE(destination->GuardsIntact());
  EXPECT_EQ(destination->Row(1, 23)[31], 0x33);
}

TEST_F(FrameRoadTest, LifecycleMisuseIsHarmless) {
  Open(64, 48, 15);
  instance->Run();  // without a start
  EXPECT_TRUE(DestinationHoldsSource());
  instance->End();  // without a start
  instance->End();
  StartStreaming();
  StartStreaming();  // twice without an end
  destination->Fill(0x33);
  instance->Run();
  EXPECT_EQ(destination->RawBytes(), FilteredWith({0, 8, 10, 5, 5, 5, 0}));
  EXPECT_EQ(filter().road.frameCounter, 1);
  instance->End();
  instance->End();
  EXPECT_EQ(filter().road.inFrame, nullptr);
  StartStreaming();
  EXPECT_EQ(filter().road.frameCounter, 0);
  instance->Destroy();  // while streaming
  instance.reset();
}

TEST_F(FrameRoadTest, ChangeBetweenFramesRebuildsOnce) {
  Open(64, 48, 15);
  StartStreaming();
  instance->Run();
  const uint32_t builds = filter().road.GraphBuilds();
  instance->Script({1, 16, 30, 30, 30, 30, 0});
  instance->Run();
  EXPECT_EQ(filter().road.GraphBuilds(), builds + 1);
  instance->Run();
  EXPECT_EQ(filter().road.GraphBuilds(), builds + 1);
  EXPECT_EQ(filter().road.frameCounter, 3);
}

TEST_F(FrameRoadTest, InputFrameCarriesTheHostsColourDescription) {
  struct Expected { int format, range, primaries; };
  for (Expected e : {Expected{13, 1, 6}, {15, 1, 6}, {26, 1, 1}, {28, 1, 1}, {33, 2, 6}, {35, 2, 6}, {40, 2, 1}, {42, 2, 1}}) {
    Open(16, 16, e.format);
    StartStreaming();
    instance->Run();
    const AVFrame* in = filter().road.inFrame;
    EXPECT_EQ(in->color_range, e.range) << e.format;
    EXPECT_EQ(in->color_primaries, e.primaries) << e.format;
    EXPECT_EQ(in->color_trc, e.primaries) << e.format;
    EXPECT_EQ(in->colorspace, e.primaries) << e.format;
    EXPECT_EQ(in->format, PixelFormatForHostFormat(e.format));
    EXPECT_EQ(in->pict_type, AV_PICTURE_TYPE_I);
    instance->End();
  }
}

TEST_F(FrameRoadTest, CopiesNeverShareLibavfilterObjects) {
  Open(64, 48, 15);
  StartStreaming();
  instance->Run();
  auto copy = instance->Copy();
  auto& copied = *static_cast<DeblockFilter*>(copy->FilterObject());
  EXPECT_EQ(copied.road.graph, nullptr);
  EXPECT_EQ(copied.road.inFrame, nullptr);
  EXPECT_EQ(copied.road.frameCounter, 1);
  EXPECT_EQ(copied.activation, &instance->activation);
  EXPECT_EQ(copied.hostServices, copy->services);
  copy->Destroy();
  destination->Fill(0x33);
  instance->Run();  // the source's graph still works
  EXPECT_EQ(destination->RawBytes(), FilteredWith({0, 8, 10, 5, 5, 5, 0}));

  auto copyEx = instance->CopyEx();
  auto& copiedEx = *static_cast<DeblockFilter*>(copyEx->FilterObject());
  EXPECT_EQ(copiedEx.activation, &copyEx->activation);
  EXPECT_EQ(copiedEx.settings.sinkFormats, filter().settings.sinkFormats);
  EXPECT_NE(copiedEx.settings.sinkFormats.data(), filter().settings.sinkFormats.data());
  copyEx->Start();
  instance->End();
  destination->Fill(0x33);
  copyEx->Run();
  EXPECT_EQ(destination->RawBytes(), FilteredWith({0, 8, 10, 5, 5, 5, 0}));
  copyEx->End();
}

TEST_F(FrameRoadTest, AcceleratedStartBuildsNoGraph) {
  Open(32, 32, 15);
  instance->GetParams();
  instance->activation.acceleratorContext = 1;
  instance->Start();
  EXPECT_EQ(filter().road.graph, nullptr);
  instance->End();
  instance->AccelRun();
  instance->activation.acceleratorContext = 0;
}

}  // namespace
}  // namespace testhost
