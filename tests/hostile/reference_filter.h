// The same libavfilter filter run bare, on a packed copy of a host picture:
// what the destination must hold after a filtered frame.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "testhost/test_host.h"

namespace hostile {

struct FilteredPicture {
  int width = 0;
  int height = 0;
  int pixelFormat = 0;
  std::vector<uint8_t> planes[3];
  int planeWidth[3] = {0, 0, 0};
  int planeHeight[3] = {0, 0, 0};
  std::size_t Index(int plane, int y, int x) const { return static_cast<std::size_t>(y) * planeWidth[plane] + x; }
  uint8_t At(int plane, int y, int x) const { return planes[plane][Index(plane, y, x)]; }
};

struct ReferenceResult {
  bool graphBuilt = false;
  std::optional<FilteredPicture> picture;  // empty when the sink gave nothing
  bool waiting = false;                    // the sink answered try-again
};

// Builds buffer -> filterName(options) -> buffersink (accepting sinkFormat)
// for the picture's size and pixelFormat and filters it once. The last graph is kept for the next
// call with the same description (both filters keep no state across frames).
ReferenceResult FilterBare(const testhost::Picture& source, int32_t pixelFormat, int32_t sinkFormat,
                           const char* filterName, const std::string& options);
void ReleaseReferenceGraph();

// A bare graph that lives as long as one instance's graph and gets the same
// frames, for a filter that keeps frames between calls: each frame gives the
// first picture the sink then has, and the rest are dropped.
class ReferenceStream {
 public:
  ReferenceStream() = default;
  ReferenceStream(const ReferenceStream&) = delete;
  ReferenceStream& operator=(const ReferenceStream&) = delete;
  ~ReferenceStream();

  void Rebuild(int width, int height, int32_t pixelFormat, int32_t sinkFormat, const char* filterName,
               const std::string& options);
  ReferenceResult Filter(const testhost::Picture& source, int32_t pixelFormat);

 private:
  struct State;
  State* state_ = nullptr;
};

}  // namespace hostile
