#include "bare_graph.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavutil/opt.h>
}

#include "framework/frame_road.h"

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

}  // namespace portable
