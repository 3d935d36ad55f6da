// The frame road through the deblock module when the host or the settings
// misbehave: refused options, missing filters, odd geometry, lifecycle misuse.
#include <gtest/gtest.h>

extern "C" {
#include <libavutil/frame.h>
}

#include <cstring>

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
    if (destination) {
      EXPECT_TRUE(destination->GuardsIntact());
    }
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

// --- Host memory and libavfilter ---------------------------------------------------

// Host planes in heap blocks of their own, each row followed by `margin`
// bytes of `around`. With no margin, AddressSanitizer reports any access
// outside the planes.
struct LoosePicture {
  LoosePicture(const Picture& like, int margin = 0, uint8_t around = 0) {
    layout = like.layout;
    pixmap = like.pixmap;
    bitmap.layout = &layout;
    bitmap.pixmap = &pixmap;
    void** data[3] = {&pixmap.data, &pixmap.data2, &pixmap.data3};
    int64_t* pitch[3] = {&pixmap.pitch, &pixmap.pitch2, &pixmap.pitch3};
    for (int plane = 0; plane < 3; ++plane) {
      const int width = like.PlaneWidth(plane), rows = like.PlaneHeight(plane);
      *pitch[plane] = width + margin;
      planes[plane].assign(static_cast<std::size_t>((width + margin) * rows), around);
      for (int y = 0; y < rows; ++y)
        std::memcpy(&planes[plane][static_cast<std::size_t>(y * (width + margin))], like.Row(plane, y),
                    static_cast<std::size_t>(width));
      *data[plane] = planes[plane].data();
    }
  }
  HostBitmap bitmap{};
  HostPixmapLayout layout{};
  HostPixmap pixmap{};
  std::vector<uint8_t> planes[3];
};

bool InitWithString(void* options, AVFilterContext* filterCtx, const AVFrame*) {
  return InitFilterOptions(filterCtx, *static_cast<const std::string*>(options));
}

// A frame road of its own around any libavfilter filter.
struct BareRoad {
  BareRoad(const char* filterName, std::string filterOptions, int width, int height, int hostFormat)
      : options(std::move(filterOptions)) {
    const int32_t pixelFormat = PixelFormatForHostFormat(hostFormat);
    road.Begin(width, height, pixelFormat);
    road.BuildGraph(filterName, {pixelFormat, -1}, &InitWithString, &options);
  }
  std::vector<uint8_t> Run(HostBitmap& source, Picture& destination, int32_t viewMode = kViewFull) {
    HostActivation activation{};
    activation.source = &source;
    activation.destination = &destination.bitmap;
    destination.Fill(0x33);
    road.Run(activation, viewMode, ColourProperties::kUnset);
    EXPECT_TRUE(destination.GuardsIntact());
    return destination.RawBytes();
  }
  std::string options;
  FrameRoad road;
};

TEST_F(FrameRoadTest, HostMemoryIsNeverWrittenByTheFilter) {
  // Strong deblocking writes in place and past the width, where the
  // source's row padding holds guard bytes.
  Open(321, 97, 15);
  const auto before = source->RawBytes();
  instance->Script({0, 8, 100, 100, 100, 100, 0});
  StartStreaming();
  for (int32_t mode : {kViewFull, kViewDifference}) {
    filter().settings.viewMode = mode;
    instance->Run();
    EXPECT_NE(destination->RawBytes(), before);
    EXPECT_EQ(source->RawBytes(), before);
    EXPECT_TRUE(source->GuardsIntact());
  }
}

TEST_F(FrameRoadTest, LibavfilterNeverReadsOutsideTheHostsPlanes) {
  for (int format : {15, 13}) {
    Picture like(321, 97, format), destination(321, 97, format);
    like.FillBlocks(3);
    LoosePicture tight(like), zeros(like, 40, 0x00), ones(like, 40, 0xFF);
    for (const char* filterName : {"deblock", "unsharp"}) {
      BareRoad road(filterName, "", 321, 97, format);
      ASSERT_TRUE(road.road.GraphReady()) << filterName;
      const auto filtered = road.Run(tight.bitmap, destination);
      EXPECT_NE(filtered, like.RawBytes()) << filterName;
      EXPECT_EQ(road.Run(zeros.bitmap, destination), filtered) << filterName << " " << format;
      EXPECT_EQ(road.Run(ones.bitmap, destination), filtered) << filterName << " " << format;
    }
  }
}

TEST_F(FrameRoadTest, NoHostPlaneIsHeldAfterTheRunThatLentIt) {
  // bwdif keeps the frames before and after the one it puts out.
  auto outputs = [](bool hostReusesItsPlanes) {
    BareRoad road("bwdif", "mode=send_frame", 64, 48, 15);
    EXPECT_TRUE(road.road.GraphReady());
    Picture like(64, 48, 15), destination(64, 48, 15);
    std::vector<std::unique_ptr<LoosePicture>> kept;
    std::vector<std::vector<uint8_t>> results;
    for (uint32_t frame = 1; frame <= 5; ++frame) {
      like.FillPattern(frame);
      auto source = std::make_unique<LoosePicture>(like);
      results.push_back(road.Run(source->bitmap, destination));
      if (hostReusesItsPlanes)
        for (auto& plane : source->planes) std::fill(plane.begin(), plane.end(), uint8_t{0});
      else
        kept.push_back(std::move(source));  // else freed here
    }
    return results;
  };
  const auto results = outputs(false);
  EXPECT_NE(results[3], results[0]);  // frames did come out
  EXPECT_EQ(outputs(true), results);
}

TEST_F(FrameRoadTest, DeblockEdgeIsTheSameWhateverCameBefore) {
  // 321 and its chroma 161 leave one column after the last block edge:
  // deblock reads two bytes past the width.
  for (int format : {15, 13}) {
    Open(321, 97, format);
    const std::initializer_list<int32_t> strong = {0, 8, 60, 60, 60, 60, 0};
    const auto fresh = FilteredWith(strong);
    instance->Script(strong);
    StartStreaming();
    for (uint32_t seed : {11u, 12u}) {
      source->FillPattern(seed);
      instance->Run();
      source->FillBlocks(7);
      instance->Run();
      EXPECT_EQ(destination->RawBytes(), fresh) << format;
    }
    instance->End();
    instance->Destroy();
    instance.reset();
  }
}

TEST(FrameRoadCopies, EveryCopyStaysWithinEachBitmapsOwnPlanes) {
  // A host that swaps in pictures of another format without negotiating.
  for (auto [from, to] : {std::pair{13, 15}, {15, 13}}) {
    Picture source(64, 48, from), destination(64, 48, to);
    source.FillPattern(5);
    AVFrame* frame = av_frame_alloc();
    frame->width = 64;
    frame->height = 48;
    frame->format = PixelFormatForHostFormat(from);
    ASSERT_GE(av_frame_get_buffer(frame, 0), 0);
    for (int plane = 0; plane < 3; ++plane)
      std::memset(frame->data[plane], 0x77, static_cast<std::size_t>(frame->linesize[plane] * source.PlaneHeight(plane)));

    destination.Fill(0x33);
    CopySourcePlanes(source.bitmap, destination.bitmap);
    EXPECT_EQ(destination.Row(0, 47)[63], source.Row(0, 47)[63]);
    EXPECT_EQ(destination.Row(2, 23)[31], source.Row(2, 23)[31]);
    CopyFramePlanes(*frame, destination.bitmap);
    EXPECT_EQ(destination.Row(2, 23)[31], 0x77);
    MakeDifferenceImage(source.bitmap, *frame, destination.bitmap);
    EXPECT_EQ(destination.Row(2, 23)[31], source.Row(2, 23)[31] == 0x77 ? 0x77 : 0);
    EXPECT_TRUE(destination.GuardsIntact()) << from << " into " << to;
    EXPECT_TRUE(source.GuardsIntact());
    if (to == 13) {
      EXPECT_EQ(destination.Row(1, 47)[63], 0x33) << "beyond the 4:2:0 chroma, untouched";
    }
    av_frame_free(&frame);
  }
  // A format whose chroma planes we cannot size (4:2:2 here) is neither read nor written.
  for (auto [from, to] : {std::pair{13, 14}, {14, 13}}) {
    Picture source(64, 48, from), destination(64, 48, to);
    source.FillPattern(5);
    destination.Fill(0x33);
    const std::vector<uint8_t> untouched = destination.RawBytes();
    CopySourcePlanes(source.bitmap, destination.bitmap);
    EXPECT_EQ(destination.RawBytes(), untouched) << from << " into " << to;
  }
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
