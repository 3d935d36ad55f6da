#include "frame_road.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include <fmt/format.h>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/buffer.h>
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/macros.h>
#include <libavutil/opt.h>
#include <libavutil/pixfmt.h>
}

namespace tarvu {
namespace {

struct PlaneRef {
  uint8_t* data;
  int64_t pitch;
  uint8_t* Row(int row) const { return data + static_cast<int64_t>(row) * pitch; }
};

PlaneRef HostPlane(const HostPixmap& pixmap, int plane) {
  switch (plane) {
    case 0: return {static_cast<uint8_t*>(pixmap.data), pixmap.pitch};
    case 1: return {static_cast<uint8_t*>(pixmap.data2), pixmap.pitch2};
    default: return {static_cast<uint8_t*>(pixmap.data3), pixmap.pitch3};
  }
}

PlaneRef FramePlane(const AVFrame& frame, int plane) { return {frame.data[plane], frame.linesize[plane]}; }

// Rows and bytes of each plane. 4:2:0 chroma planes hold the rounded-up
// half, as libavfilter's own planes do, so the last odd column and row are
// covered too.
struct PlaneArea {
  int rows = 0;
  int bytes = 0;
};
using PlaneAreas = std::array<PlaneArea, 3>;

PlaneAreas AreasOf(int width, int height, bool halveChroma) {
  PlaneAreas areas;
  if (width <= 0 || height <= 0) return areas;
  areas[0] = {height, width};
  const PlaneArea chroma = halveChroma ? PlaneArea{height / 2 + height % 2, width / 2 + width % 2} : areas[0];
  areas[1] = areas[2] = chroma;
  return areas;
}

// A bitmap's planes as its own layout and format describe them; when its
// layout and pixmap disagree on the format, the smaller reading. A format we
// do not take (4:2:2 and others) tells us nothing safe: nothing is copied.
PlaneAreas AreasOf(const HostBitmap& bitmap) {
  if (PixelFormatForHostFormat(bitmap.layout->format) < 0 || PixelFormatForHostFormat(bitmap.pixmap->format) < 0)
    return {};
  const bool halved = IsHostFormat420(bitmap.layout->format) || IsHostFormat420(bitmap.pixmap->format);
  PlaneAreas areas = AreasOf(bitmap.layout->width, bitmap.layout->height, halved);
  for (int plane = 0; plane < 3; ++plane)
    if (!HostPlane(*bitmap.pixmap, plane).data) areas[plane] = {};
  return areas;
}

PlaneAreas AreasOf(const AVFrame& frame) {
  PlaneAreas areas = AreasOf(frame.width, frame.height, frame.format == kPixelFormatYuv420);
  for (int plane = 0; plane < 3; ++plane)
    if (!frame.data[plane]) areas[plane] = {};
  return areas;
}

PlaneAreas Overlap(PlaneAreas a, const PlaneAreas& b) {
  for (int plane = 0; plane < 3; ++plane) {
    a[plane].rows = std::min(a[plane].rows, b[plane].rows);
    a[plane].bytes = std::min(a[plane].bytes, b[plane].bytes);
  }
  return a;
}

void CopyRows(PlaneRef to, PlaneRef from, PlaneArea area) {
  // Rows that follow each other on both sides go in one block.
  if (area.rows > 0 && to.pitch == area.bytes && from.pitch == area.bytes) {
    std::memcpy(to.data, from.data, static_cast<std::size_t>(area.bytes) * static_cast<std::size_t>(area.rows));
    return;
  }
  for (int row = 0; row < area.rows; ++row)
    std::memcpy(to.Row(row), from.Row(row), static_cast<std::size_t>(area.bytes));
}

// Rows padded for the widest SIMD load, planes apart and ended by the same
// margin, and 32 rows more below, as libavutil lays out its own frames.
constexpr int kRowAlignment = 64;
constexpr std::size_t kPlaneMargin = 64;

bool FitsLineSize(int64_t pitch) {
  return pitch >= std::numeric_limits<int>::min() && pitch <= std::numeric_limits<int>::max();
}

void SetColourProperties(AVFrame& frame, int32_t hostFormat) {
  switch (hostFormat) {
    case 13: case 15: case 33: case 35:
      frame.color_range = (hostFormat == 13 || hostFormat == 15) ? AVCOL_RANGE_MPEG : AVCOL_RANGE_JPEG;
      frame.color_primaries = AVCOL_PRI_SMPTE170M;
      frame.color_trc = AVCOL_TRC_SMPTE170M;
      frame.colorspace = AVCOL_SPC_SMPTE170M;
      break;
    case 26: case 28: case 40: case 42:
      frame.color_range = (hostFormat == 26 || hostFormat == 28) ? AVCOL_RANGE_MPEG : AVCOL_RANGE_JPEG;
      frame.color_primaries = AVCOL_PRI_BT709;
      frame.color_trc = AVCOL_TRC_BT709;
      frame.colorspace = AVCOL_SPC_BT709;
      break;
    default:
      break;
  }
}

void FreeContext(AVFilterContext*& context) {
  if (context) avfilter_free(context);
  context = nullptr;
}

}  // namespace

int32_t PixelFormatForHostFormat(int32_t hostFormat) {
  switch (hostFormat) {
    case 13: case 26: case 33: case 40: return kPixelFormatYuv444;
    case 15: case 28: case 35: case 42: return kPixelFormatYuv420;
    default: return -1;
  }
}

bool IsHostFormat420(int32_t hostFormat) { return PixelFormatForHostFormat(hostFormat) == kPixelFormatYuv420; }

std::string BufferSourceArguments(int32_t width, int32_t height, int32_t pixelFormat) {
  return fmt::format("video_size={}x{}:pix_fmt={}:time_base=1/1:pixel_aspect=1/1", width, height, pixelFormat);
}

void CopySourcePlanes(const HostBitmap& source, HostBitmap& destination) {
  const PlaneAreas areas = Overlap(AreasOf(source), AreasOf(destination));
  for (int plane = 0; plane < 3; ++plane)
    CopyRows(HostPlane(*destination.pixmap, plane), HostPlane(*source.pixmap, plane), areas[plane]);
}

void CopyFramePlanes(const AVFrame& frame, HostBitmap& destination) {
  const PlaneAreas areas = Overlap(AreasOf(frame), AreasOf(destination));
  for (int plane = 0; plane < 3; ++plane)
    CopyRows(HostPlane(*destination.pixmap, plane), FramePlane(frame, plane), areas[plane]);
}

void MakeDifferenceImage(const HostBitmap& source, const AVFrame& filtered, HostBitmap& destination) {
  const PlaneAreas areas = Overlap(Overlap(AreasOf(source), AreasOf(destination)), AreasOf(filtered));
  for (int plane = 0; plane < 3; ++plane) {
    const PlaneRef from = HostPlane(*source.pixmap, plane);
    const PlaneRef result = FramePlane(filtered, plane);
    const PlaneRef to = HostPlane(*destination.pixmap, plane);
    for (int row = 0; row < areas[plane].rows; ++row) {
      const uint8_t* original = from.Row(row);
      const uint8_t* changed = result.Row(row);
      uint8_t* out = to.Row(row);
      for (int x = 0; x < areas[plane].bytes; ++x) out[x] = original[x] == changed[x] ? original[x] : 0;
    }
  }
}

bool FrameRoad::LayOut(int32_t width, int32_t height, int32_t pixelFormat, PoolLayout& layout) {
  layout = {};
  const auto format = static_cast<AVPixelFormat>(pixelFormat);
  int linesizes[4] = {};
  if (av_image_check_size(static_cast<unsigned>(width), static_cast<unsigned>(height), 0, nullptr) < 0 ||
      av_image_fill_linesizes(linesizes, format, FFALIGN(width, kRowAlignment)) < 0)
    return false;
  ptrdiff_t alignedLinesizes[4] = {};
  for (int plane = 0; plane < 4; ++plane) alignedLinesizes[plane] = FFALIGN(linesizes[plane], kRowAlignment);
  std::size_t planeSizes[4] = {};
  if (av_image_fill_plane_sizes(planeSizes, format, FFALIGN(height, 32), alignedLinesizes) < 0) return false;
  std::size_t end = 0;
  for (int plane = 0; plane < 3; ++plane) {
    if (alignedLinesizes[plane] <= 0 || alignedLinesizes[plane] > std::numeric_limits<int>::max()) return false;
    layout.linesize[plane] = static_cast<int>(alignedLinesizes[plane]);
    layout.offset[plane] = end;
    end += planeSizes[plane] + kPlaneMargin;
  }
  layout.bufferSize = end;
  return true;
}

void FrameRoad::Begin(int32_t width, int32_t height, int32_t pixelFormat) {
  frameCounter = 0;
  if (!outFrame) outFrame = av_frame_alloc();
  if (!pushFrame) pushFrame = av_frame_alloc();
  if (!inFrame) inFrame = av_frame_alloc();
  if (!inFrame) return;
  inFrame->height = height;
  inFrame->width = width;
  inFrame->pict_type = AV_PICTURE_TYPE_I;
  inFrame->format = pixelFormat;
  if (pool) av_buffer_pool_uninit(&pool);
  // Zeroed once: what no copy reaches (the rows below the picture) is the
  // same on every run.
  if (LayOut(width, height, pixelFormat, poolLayout)) pool = av_buffer_pool_init(poolLayout.bufferSize, av_buffer_allocz);
}

bool FrameRoad::BuildGraph(const char* filterName, const SinkFormatList& sinkFormats,
                           ApplyOptionsFunction applyOptions, void* record, PictureCheck filtersPicture) {
  FreeGraph();
  ++graphBuilds;
  const AVFilter* source = avfilter_get_by_name("buffer");
  const AVFilter* sink = avfilter_get_by_name("buffersink");
  const AVFilter* filter = avfilter_get_by_name(filterName);
  if (!inFrame || !outFrame || !pushFrame || !pool || !source || !sink || !filter) return false;
  if (filtersPicture && !filtersPicture(inFrame->width, inFrame->height, inFrame->format)) return false;

  graph = avfilter_graph_alloc();
  if (!graph) return false;
  avfilter_graph_set_auto_convert(graph, 0);
  const std::string sourceArguments = BufferSourceArguments(inFrame->width, inFrame->height, inFrame->format);
  bool built = avfilter_graph_create_filter(&bufferSrc, source, "in", sourceArguments.c_str(), nullptr, graph) >= 0;
  if (built) filterCtx = avfilter_graph_alloc_filter(graph, filter, "filter1");
  const bool optionsReached = built && filterCtx;
  built = optionsReached && applyOptions(record, filterCtx, inFrame);
  built = built && avfilter_graph_create_filter(&bufferSink, sink, "out", nullptr, nullptr, graph) >= 0;
  if (built) {
    const unsigned count = av_int_list_length_for_size(sizeof(int32_t), sinkFormats.data(), uint64_t(-1));
    if (count <= 0x1fffffff)
      built = av_opt_set_bin(bufferSink, "pix_fmts", reinterpret_cast<const uint8_t*>(sinkFormats.data()),
                             static_cast<int>(count * sizeof(int32_t)), AV_OPT_SEARCH_CHILDREN) >= 0;
  }
  built = built && avfilter_link(bufferSrc, 0, filterCtx, 0) >= 0 && avfilter_link(filterCtx, 0, bufferSink, 0) >= 0 &&
          avfilter_graph_config(graph, nullptr) >= 0;
  if (built)
    graphReady = true;
  else
    FreeGraph();
  return optionsReached;
}

void FrameRoad::FreeGraph() {
  graphReady = false;
  FreeContext(bufferSrc);
  FreeContext(bufferSink);
  FreeContext(filterCtx);
  if (graph) avfilter_graph_free(&graph);
}

void FrameRoad::Stop() {
  FreeGraph();
  if (inFrame) av_frame_free(&inFrame);
  if (pushFrame) av_frame_free(&pushFrame);
  if (outFrame) av_frame_free(&outFrame);
  // Buffers still out (none once the graph is gone) would keep it alive.
  if (pool) av_buffer_pool_uninit(&pool);
}

bool FrameRoad::CanFilter(const HostBitmap& source) const {
  if (!graphReady) return false;
  const HostPixmapLayout& layout = *source.layout;
  const HostPixmap& pixmap = *source.pixmap;
  // The graph was built for one picture: the pool's frames hold exactly it.
  return layout.width == inFrame->width && layout.height == inFrame->height &&
         PixelFormatForHostFormat(layout.format) == inFrame->format &&
         PixelFormatForHostFormat(pixmap.format) == inFrame->format && FitsLineSize(pixmap.pitch) &&
         FitsLineSize(pixmap.pitch2) && FitsLineSize(pixmap.pitch3);
}

void FrameRoad::StampInput(const HostBitmap& source, ColourProperties colour) {
  inFrame->best_effort_timestamp = frameCounter;
  inFrame->pts = frameCounter;
  inFrame->pkt_dts = frameCounter;
  if (colour == ColourProperties::kFromHostFormat) SetColourProperties(*inFrame, source.pixmap->format);
}

bool FrameRoad::FillPushFrame(const HostBitmap& source) {
  AVBufferRef* buffer = av_buffer_pool_get(pool);
  if (!buffer) return false;
  pushFrame->buf[0] = buffer;
  pushFrame->width = inFrame->width;
  pushFrame->height = inFrame->height;
  pushFrame->format = inFrame->format;
  for (int plane = 0; plane < 3; ++plane) {
    pushFrame->data[plane] = buffer->data + poolLayout.offset[plane];
    pushFrame->linesize[plane] = poolLayout.linesize[plane];
  }
  av_frame_copy_props(pushFrame, inFrame);
  // A filter may read past a row's last pixel (deblock does, when the width
  // is no multiple of its block): it finds that pixel repeated, whatever the
  // buffer held before.
  const PlaneAreas areas = Overlap(AreasOf(source), AreasOf(*pushFrame));
  for (int plane = 0; plane < 3; ++plane) {
    const PlaneRef from = HostPlane(*source.pixmap, plane);
    const PlaneRef to = FramePlane(*pushFrame, plane);
    const int bytes = areas[plane].bytes;
    const auto padding = static_cast<std::size_t>(to.pitch - bytes);
    if (padding == 0) {
      CopyRows(to, from, areas[plane]);
      continue;
    }
    for (int row = 0; row < areas[plane].rows; ++row) {
      uint8_t* out = to.Row(row);
      std::memcpy(out, from.Row(row), static_cast<std::size_t>(bytes));
      std::memset(out + bytes, out[bytes - 1], padding);
    }
  }
  return true;
}

void FrameRoad::Run(const HostActivation& activation, int32_t viewMode, ColourProperties colour, FrameStep step) {
  const HostBitmap& source = *activation.source;
  HostBitmap& destination = *activation.destination;
  const bool sourceUntilReady = step == FrameStep::kFirstPictureOrSource;
  auto passThrough = [&] {
    CopySourcePlanes(source, destination);
    if (sourceUntilReady) ++frameCounter;
  };
  if (viewMode == kViewDisabled || !Streaming() || !CanFilter(source)) return passThrough();
  StampInput(source, colour);
  if (!FillPushFrame(source)) return passThrough();
  // The reference goes with the frame: the filter may write it in place, or
  // keep it for later frames.
  const int pushed = av_buffersrc_add_frame_flags(bufferSrc, pushFrame, 0);
  av_frame_unref(pushFrame);  // a refused push leaves it here
  const bool pushWaits = sourceUntilReady && pushed == AVERROR(EAGAIN);
  // A refused push leaves the sink empty, and an empty frame copies nothing.
  const int pulled = pushWaits ? pushed : av_buffersink_get_frame(bufferSink, outFrame);
  if (sourceUntilReady && pulled == AVERROR(EAGAIN)) return passThrough();
  // A negotiation in another format while streaming leaves a sink that
  // converts: its frames do not fit the host's planes and are dropped.
  const bool fits = outFrame->format == inFrame->format;
  if (fits && viewMode == kViewDifference)
    MakeDifferenceImage(source, *outFrame, destination);
  else if (fits)
    CopyFramePlanes(*outFrame, destination);
  av_frame_unref(outFrame);
  if (sourceUntilReady && pulled >= 0) DropFurtherPictures();
  ++frameCounter;
}

void FrameRoad::DropFurtherPictures() {
  // Each pull may ask the graph for more; a filter that keeps frames between
  // calls answers try-again once it has nothing more without new input.
  while (av_buffersink_get_frame(bufferSink, outFrame) >= 0) av_frame_unref(outFrame);
}

bool InitFilterOptions(AVFilterContext* filterCtx, const std::string& options) {
  return avfilter_init_str(filterCtx, options.empty() ? nullptr : options.c_str()) >= 0;
}

}  // namespace tarvu

namespace tarvu {
void SilenceLibraryLog() { av_log_set_level(kLogQuiet); }
}  // namespace tarvu
