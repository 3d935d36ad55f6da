// The plug-in's libavfilter filter run bare, without the frame road:
// buffer -> filter(options) -> buffersink. The reference of the hostile
// tests and of the benchmark.
#pragma once

#include <cstdint>
#include <string>

struct AVFilterContext;
struct AVFilterGraph;
struct AVFrame;

namespace testhost {
class Picture;
}

namespace portable {

struct BareGraph {
  AVFilterGraph* graph = nullptr;
  AVFilterContext* source = nullptr;
  AVFilterContext* sink = nullptr;
};

// Builds the graph with the same "in" arguments as the frame road, the
// filter initialised once with `options`, and a sink that takes only
// `sinkFormat`. Returns false, with nothing left allocated, when any step fails.
bool BuildBareGraph(BareGraph& bare, int width, int height, int32_t pixelFormat, int32_t sinkFormat,
                    const char* filterName, const std::string& options);
void FreeBareGraph(BareGraph& bare);

// A frame of its own holding the picture, each row's padding filled with its
// last pixel as the frame road fills it (deblock reads there); null when it
// cannot be allocated. The caller frees it.
AVFrame* FrameOf(const testhost::Picture& picture, int32_t pixelFormat);

}  // namespace portable
