#include "frame_road.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include <fmt/format.h>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
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

// Rows and bytes to copy per plane. 4:2:0 chroma planes hold the rounded-up
// half, as libavfilter's own planes do, so the last odd column and row are
// covered too.
struct CopyArea {
  int rows[3] = {0, 0, 0};
  int bytes[3] = {0, 0, 0};
};

CopyArea AreaOf(int rows, int bytes, bool halveChroma) {
  CopyArea area;
  if (rows <= 0 || bytes <= 0) return area;
  const int chromaRows = halveChroma ? rows / 2 + rows % 2 : rows;
  const int chromaBytes = halveChroma ? bytes / 2 + bytes % 2 : bytes;
  area.rows[0] = rows;
  area.bytes[0] = bytes;
  for (int plane = 1; plane < 3; ++plane) {
    area.rows[plane] = chromaRows;
    area.bytes[plane] = chromaBytes;
  }
  return area;
}

void CopyRows(PlaneRef to, PlaneRef from, int rows, int bytes) {
  for (int row = 0; row < rows; ++row) std::memcpy(to.Row(row), from.Row(row), static_cast<std::size_t>(bytes));
}

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
  const int rows = std::min(source.layout->height, destination.layout->height);
  const int bytes = std::min(source.layout->width, destination.layout->width);
  const CopyArea area = AreaOf(rows, bytes, IsHostFormat420(source.pixmap->format));
  for (int plane = 0; plane < 3; ++plane)
    CopyRows(HostPlane(*destination.pixmap, plane), HostPlane(*source.pixmap, plane), area.rows[plane],
             area.bytes[plane]);
}

void CopyFramePlanes(const AVFrame& frame, HostBitmap& destination) {
  const int rows = std::min(frame.height, destination.layout->height);
  const int bytes = std::min(frame.width, destination.layout->width);
  const CopyArea area = AreaOf(rows, bytes, frame.format == kPixelFormatYuv420);
  for (int plane = 0; plane < 3; ++plane)
    CopyRows(HostPlane(*destination.pixmap, plane), FramePlane(frame, plane), area.rows[plane], area.bytes[plane]);
}

void MakeDifferenceImage(const HostBitmap& source, const AVFrame& filtered, HostBitmap& destination) {
  const int rows = std::min({source.layout->height, destination.layout->height, filtered.height});
  const int bytes = std::min({source.layout->width, destination.layout->width, filtered.width});
  const CopyArea area = AreaOf(rows, bytes, filtered.format == kPixelFormatYuv420);
  for (int plane = 0; plane < 3; ++plane) {
    const PlaneRef from = HostPlane(*source.pixmap, plane);
    const PlaneRef result = FramePlane(filtered, plane);
    const PlaneRef to = HostPlane(*destination.pixmap, plane);
    for (int row = 0; row < area.rows[plane]; ++row) {
      const uint8_t* original = from.Row(row);
      const uint8_t* changed = result.Row(row);
      uint8_t* out = to.Row(row);
      for (int x = 0; x < area.bytes[plane]; ++x) out[x] = original[x] == changed[x] ? original[x] : 0;
    }
  }
}

void FrameRoad::Begin(int32_t width, int32_t height, int32_t pixelFormat) {
  frameCounter = 0;
  if (!outFrame) outFrame = av_frame_alloc();
  if (!inFrame) inFrame = av_frame_alloc();
  if (!inFrame) return;
  inFrame->height = height;
  inFrame->width = width;
  inFrame->pict_type = AV_PICTURE_TYPE_I;
  inFrame->format = pixelFormat;
}

bool FrameRoad::BuildGraph(const char* filterName, const SinkFormatList& sinkFormats,
                           ApplyOptionsFunction applyOptions, void* record, PictureCheck filtersPicture) {
  FreeGraph();
  ++graphBuilds;
  const AVFilter* source = avfilter_get_by_name("buffer");
  const AVFilter* sink = avfilter_get_by_name("buffersink");
  const AVFilter* filter = avfilter_get_by_name(filterName);
  if (!inFrame || !outFrame || !source || !sink || !filter) return false;
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
  if (inFrame) {
    // The planes are the host's, lent for one frame at a time.
    for (int plane = 0; plane < 3; ++plane) {
      inFrame->data[plane] = nullptr;
      inFrame->linesize[plane] = 0;
    }
    av_frame_free(&inFrame);
  }
  if (outFrame) av_frame_free(&outFrame);
}

bool FrameRoad::CanFilter(const HostBitmap& source) const {
  if (!graphReady) return false;
  const HostPixmapLayout& layout = *source.layout;
  const HostPixmap& pixmap = *source.pixmap;
  // The graph was built for one picture; anything else would be read past its end.
  return layout.width == inFrame->width && layout.height == inFrame->height &&
         PixelFormatForHostFormat(layout.format) == inFrame->format && FitsLineSize(pixmap.pitch) &&
         FitsLineSize(pixmap.pitch2) && FitsLineSize(pixmap.pitch3);
}

void FrameRoad::LendSource(const HostBitmap& source, ColourProperties colour) {
  const HostPixmap& pixmap = *source.pixmap;
  for (int plane = 0; plane < 3; ++plane) {
    const PlaneRef lent = HostPlane(pixmap, plane);
    inFrame->data[plane] = lent.data;
    inFrame->linesize[plane] = static_cast<int>(lent.pitch);
  }
  inFrame->best_effort_timestamp = frameCounter;
  inFrame->pts = frameCounter;
  inFrame->pkt_dts = frameCounter;
  if (colour == ColourProperties::kFromHostFormat) SetColourProperties(*inFrame, pixmap.format);
}

void FrameRoad::Run(const HostActivation& activation, int32_t viewMode, ColourProperties colour) {
  const HostBitmap& source = *activation.source;
  HostBitmap& destination = *activation.destination;
  if (viewMode == kViewDisabled || !Streaming() || !CanFilter(source)) {
    CopySourcePlanes(source, destination);
    return;
  }
  LendSource(source, colour);
  // A refused push leaves the sink empty, and an empty frame copies nothing.
  [[maybe_unused]] const int pushed = av_buffersrc_add_frame_flags(bufferSrc, inFrame, 0);
  av_buffersink_get_frame(bufferSink, outFrame);
  // A negotiation in another format while streaming leaves a sink that
  // converts: its frames do not fit the host's planes and are dropped.
  const bool fits = outFrame->format == inFrame->format;
  if (fits && viewMode == kViewDifference)
    MakeDifferenceImage(source, *outFrame, destination);
  else if (fits)
    CopyFramePlanes(*outFrame, destination);
  av_frame_unref(outFrame);
  ++frameCounter;
}

bool InitFilterOptions(AVFilterContext* filterCtx, const std::string& options) {
  return avfilter_init_str(filterCtx, options.empty() ? nullptr : options.c_str()) >= 0;
}

}  // namespace tarvu

namespace tarvu {
void SilenceLibraryLog() { av_log_set_level(kLogQuiet); }
}  // namespace tarvu
