#include "reference_filter.h"

#include <algorithm>
#include <cstring>
#include <tuple>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
}

#include "tests/portable/bare_graph.h"

namespace hostile {
namespace {

struct Graph {
  portable::BareGraph bare;
  std::tuple<int, int, int32_t, int32_t, std::string, std::string> key;
  bool built = false;

  void Release() {
    portable::FreeBareGraph(bare);
    built = false;
  }

  void Build(int width, int height, int32_t pixelFormat, int32_t sinkFormat, const char* filterName,
             const std::string& options) {
    Release();
    key = {width, height, pixelFormat, sinkFormat, filterName, options};
    built = portable::BuildBareGraph(bare, width, height, pixelFormat, sinkFormat, filterName, options);
  }
};

Graph& Cached() {
  static Graph graph;
  return graph;
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

std::optional<FilteredPicture> FilterOnce(Graph& graph, const testhost::Picture& source, int32_t pixelFormat) {
  std::optional<FilteredPicture> picture;
  AVFrame* in = portable::FrameOf(source, pixelFormat);
  AVFrame* out = av_frame_alloc();
  if (in && av_buffersrc_add_frame_flags(graph.bare.source, in, 0) >= 0 &&
      av_buffersink_get_frame(graph.bare.sink, out) >= 0)
    picture = Unpack(*out);
  av_frame_free(&in);
  av_frame_free(&out);
  return picture;
}

}  // namespace

ReferenceResult FilterBare(const testhost::Picture& source, int32_t pixelFormat, int32_t sinkFormat,
                           const char* filterName, const std::string& options) {
  Graph& graph = Cached();
  if (graph.key != std::tuple{source.Width(), source.Height(), pixelFormat, sinkFormat, std::string(filterName),
                              options} ||
      !graph.bare.graph)
    graph.Build(source.Width(), source.Height(), pixelFormat, sinkFormat, filterName, options);
  ReferenceResult result;
  result.graphBuilt = graph.built;
  if (!graph.built) return result;
  result.picture = FilterOnce(graph, source, pixelFormat);
  return result;
}

void ReleaseReferenceGraph() { Cached().Release(); }

struct ReferenceStream::State {
  portable::BareGraph bare;
  bool built = false;
};

ReferenceStream::~ReferenceStream() {
  if (state_) portable::FreeBareGraph(state_->bare);
  delete state_;
}

void ReferenceStream::Rebuild(int width, int height, int32_t pixelFormat, int32_t sinkFormat, const char* filterName,
                              const std::string& options) {
  if (!state_) state_ = new State;
  portable::FreeBareGraph(state_->bare);
  state_->built =
      portable::BuildBareGraph(state_->bare, width, height, pixelFormat, sinkFormat, filterName, options);
}

ReferenceResult ReferenceStream::Filter(const testhost::Picture& source, int32_t pixelFormat) {
  ReferenceResult result;
  result.graphBuilt = state_ && state_->built;
  if (!result.graphBuilt) return result;
  AVFrame* in = portable::FrameOf(source, pixelFormat);
  AVFrame* out = av_frame_alloc();
  const int pushed = in ? av_buffersrc_add_frame_flags(state_->bare.source, in, 0) : AVERROR(ENOMEM);
  const int pulled = pushed == AVERROR(EAGAIN) ? pushed : av_buffersink_get_frame(state_->bare.sink, out);
  result.waiting = pulled == AVERROR(EAGAIN);
  if (pulled >= 0) result.picture = Unpack(*out);
  av_frame_unref(out);
  while (pulled >= 0 && av_buffersink_get_frame(state_->bare.sink, out) >= 0) av_frame_unref(out);
  av_frame_free(&in);
  av_frame_free(&out);
  return result;
}

}  // namespace hostile
