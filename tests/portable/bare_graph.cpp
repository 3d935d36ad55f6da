#include "bare_graph.h"

#include <cstring>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavutil/frame.h>
#include <libavutil/opt.h>
}

#include "framework/frame_road.h"
#include "testhost/test_host.h"

namespace portable {

bool BuildBareGraph(BareGraph& bare, int width, int height, int32_t pixelFormat, int32_t sinkFormat,
                    const char* filterName, const std::string& options) {
  bare.graph = avfilter_graph_alloc();
  const std::string arguments = tarvu::BufferSourceArguments(width, height, pixelFormat);
  AVFilterContext* filter = nullptr;
  const int32_t sinkFormats[] = {sinkFormat};
  const bool built =
      bare.graph &&
      avfilter_graph_create_filter(&bare.source, avfilter_get_by_name("buffer"), "in", arguments.c_str(), nullptr,
                                   bare.graph) >= 0 &&
      avfilter_graph_create_filter(&filter, avfilter_get_by_name(filterName), "filter1", options.c_str(), nullptr,
                                   bare.graph) >= 0 &&
      avfilter_graph_create_filter(&bare.sink, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr,
                                   bare.graph) >= 0 &&
      av_opt_set_bin(bare.sink, "pix_fmts", reinterpret_cast<const uint8_t*>(sinkFormats), sizeof sinkFormats,
                     AV_OPT_SEARCH_CHILDREN) >= 0 &&
      avfilter_link(bare.source, 0, filter, 0) >= 0 && avfilter_link(filter, 0, bare.sink, 0) >= 0 &&
      avfilter_graph_config(bare.graph, nullptr) >= 0;
  if (!built) FreeBareGraph(bare);
  return built;
}

void FreeBareGraph(BareGraph& bare) {
  avfilter_graph_free(&bare.graph);
  bare.source = bare.sink = nullptr;
}

AVFrame* FrameOf(const testhost::Picture& picture, int32_t pixelFormat) {
  AVFrame* frame = av_frame_alloc();
  if (!frame) return nullptr;
  frame->width = picture.Width();
  frame->height = picture.Height();
  frame->format = pixelFormat;
  if (av_frame_get_buffer(frame, 0) < 0) {
    av_frame_free(&frame);
    return nullptr;
  }
  for (int plane = 0; plane < 3; ++plane)
    for (int y = 0; y < picture.PlaneHeight(plane); ++y) {
      uint8_t* row = frame->data[plane] + static_cast<std::ptrdiff_t>(y) * frame->linesize[plane];
      const int width = picture.PlaneWidth(plane);
      std::memcpy(row, picture.Row(plane, y), static_cast<std::size_t>(width));
      std::memset(row + width, row[width - 1], static_cast<std::size_t>(frame->linesize[plane] - width));
    }
  return frame;
}

}  // namespace portable
