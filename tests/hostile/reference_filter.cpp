#include "reference_filter.h"

#include <algorithm>
#include <cstring>
#include <tuple>

#include <fmt/format.h>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/frame.h>
#include <libavutil/opt.h>
}

namespace hostile {
namespace {

struct Graph {
  AVFilterGraph* graph = nullptr;
  AVFilterContext* source = nullptr;
  AVFilterContext* sink = nullptr;
  std::tuple<int, int, int32_t, std::string, std::string> key;
  bool built = false;

  void Release() {
    avfilter_graph_free(&graph);
    source = sink = nullptr;
    built = false;
  }

  void Build(int width, int height, int32_t pixelFormat, const char* filterName, const std::string& options) {
    Release();
    key = {width, height, pixelFormat, filterName, options};
    graph = avfilter_graph_alloc();
    const std::string arguments =
        fmt::format("video_size={}x{}:pix_fmt={}:time_base=1/1:pixel_aspect=1/1", width, height, pixelFormat);
    AVFilterContext* filter = nullptr;
    const int32_t sinkFormats[] = {pixelFormat};
    built = avfilter_graph_create_filter(&source, avfilter_get_by_name("buffer"), "in", arguments.c_str(), nullptr,
                                         graph) >= 0 &&
            avfilter_graph_create_filter(&filter, avfilter_get_by_name(filterName), "filter1", options.c_str(),
                                         nullptr, graph) >= 0 &&
            avfilter_graph_create_filter(&sink, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr, graph) >=
                0 &&
            av_opt_set_bin(sink, "pix_fmts", reinterpret_cast<const uint8_t*>(sinkFormats), sizeof sinkFormats,
                           AV_OPT_SEARCH_CHILDREN) >= 0 &&
            avfilter_link(source, 0, filter, 0) >= 0 && avfilter_link(filter, 0, sink, 0) >= 0 &&
            avfilter_graph_config(graph, nullptr) >= 0;
  }
};

Graph& Cached() {
  static Graph graph;
  return graph;
}

AVFrame* PackedCopy(const testhost::Picture& source, int32_t pixelFormat) {
  AVFrame* frame = av_frame_alloc();
  frame->width = source.Width();
  frame->height = source.Height();
  frame->format = pixelFormat;
  if (av_frame_get_buffer(frame, 0) < 0) {
    av_frame_free(&frame);
    return nullptr;
  }
  for (int plane = 0; plane < 3; ++plane)
    for (int y = 0; y < source.PlaneHeight(plane); ++y)
      std::memcpy(frame->data[plane] + static_cast<std::ptrdiff_t>(y) * frame->linesize[plane], source.Row(plane, y),
                  static_cast<std::size_t>(source.PlaneWidth(plane)));
  return frame;
}

FilteredPicture Unpack(const AVFrame& frame) {
  FilteredPicture picture;
  picture.width = frame.width;
  picture.height = frame.height;
  picture.pixelFormat = frame.format;
  const bool halved = frame.format == AV_PIX_FMT_YUV420P;
  for (int plane = 0; plane < 3; ++plane) {
    const int width = plane > 0 && halved ? (frame.width + 1) / 2 : frame.width;
    const int height = plane > 0 && halved ? (frame.height + 1) / 2 : frame.height;
    picture.planeWidth[plane] = width;
    picture.planeHeight[plane] = height;
    for (int y = 0; y < height; ++y) {
      const uint8_t* row = frame.data[plane] + static_cast<std::ptrdiff_t>(y) * frame.linesize[plane];
      picture.planes[plane].insert(picture.planes[plane].end(), row, row + width);
    }
  }
  return picture;
}

}  // namespace

ReferenceResult FilterBare(const testhost::Picture& source, int32_t pixelFormat, const char* filterName,
                           const std::string& options) {
  Graph& graph = Cached();
  if (graph.key != std::tuple{source.Width(), source.Height(), pixelFormat, std::string(filterName), options} ||
      !graph.graph)
    graph.Build(source.Width(), source.Height(), pixelFormat, filterName, options);
  ReferenceResult result;
  result.graphBuilt = graph.built;
  if (!graph.built) return result;
  AVFrame* in = PackedCopy(source, pixelFormat);
  AVFrame* out = av_frame_alloc();
  if (in && av_buffersrc_add_frame_flags(graph.source, in, 0) >= 0 && av_buffersink_get_frame(graph.sink, out) >= 0)
    result.picture = Unpack(*out);
  av_frame_free(&in);
  av_frame_free(&out);
  return result;
}

void ReleaseReferenceGraph() { Cached().Release(); }

}  // namespace hostile
