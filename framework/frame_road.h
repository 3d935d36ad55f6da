// The libavfilter side of one filter instance: the graph "in" -> "filter1" ->
// "out", the two frames, and the copies between host bitmaps and frames.
#pragma once

#include <cstdint>

#include "host_interface.h"
#include "settings_record.h"

struct AVFilterContext;
struct AVFilterGraph;
struct AVFrame;

namespace tarvu {

inline constexpr int32_t kPixelFormatYuv420 = 0;  // libavutil's 8-bit planar 4:2:0
inline constexpr int32_t kPixelFormatYuv444 = 5;  // libavutil's 8-bit planar 4:4:4
inline constexpr int32_t kLogQuiet = -8;

// libavfilter never writes to the host's console or log (process-wide).
void SilenceLibraryLog();

// The libavutil pixel format a host format code maps to, or -1 when refused.
int32_t PixelFormatForHostFormat(int32_t hostFormat);
bool IsHostFormat420(int32_t hostFormat);

// The buffer source's arguments for a picture of this size and format.
std::string BufferSourceArguments(int32_t width, int32_t height, int32_t pixelFormat);

// "Disabled": copies the source planes into the destination.
void CopySourcePlanes(const HostBitmap& source, HostBitmap& destination);
// "Full": copies a filtered frame into the destination.
void CopyFramePlanes(const AVFrame& frame, HostBitmap& destination);
// "Difference": keeps each source byte the filter left alone, 0 elsewhere.
void MakeDifferenceImage(const HostBitmap& source, const AVFrame& filtered, HostBitmap& destination);

class FrameRoad {
 public:
  using ApplyOptionsFunction = bool (*)(void* record, AVFilterContext* filterCtx, const AVFrame* inFrame);

  FrameRoad() = default;
  // libavfilter objects are never shared: a copy has none until its own start.
  FrameRoad(const FrameRoad& other) : frameCounter(other.frameCounter) {}
  FrameRoad& operator=(const FrameRoad&) = delete;
  ~FrameRoad() { Stop(); }

  // Allocates the frames (when missing) and describes the input picture.
  void Begin(int32_t width, int32_t height, int32_t pixelFormat);
  // Builds a fresh graph around "filter1", whose one initialisation is the
  // option builder's. Any failure, or a picture the filter cannot take,
  // leaves no graph: frames then pass through. Returns whether the option
  // builder was reached.
  bool BuildGraph(const char* filterName, const SinkFormatList& sinkFormats, ApplyOptionsFunction applyOptions,
                  void* record, PictureCheck filtersPicture = nullptr);
  void FreeGraph();
  // Releases everything; safe without a start and twice in a row.
  void Stop();

  void Run(const HostActivation& activation, int32_t viewMode, ColourProperties colour);

  bool Streaming() const { return inFrame != nullptr; }
  bool GraphReady() const { return graphReady; }
  // Counts graph builds, so a caller can tell whether one happened meanwhile.
  uint32_t GraphBuilds() const { return graphBuilds; }

  AVFrame* inFrame = nullptr;
  AVFrame* outFrame = nullptr;
  AVFilterContext* bufferSrc = nullptr;
  AVFilterContext* bufferSink = nullptr;
  AVFilterContext* filterCtx = nullptr;
  AVFilterGraph* graph = nullptr;
  int64_t frameCounter = 0;

 private:
  bool CanFilter(const HostBitmap& source) const;
  void LendSource(const HostBitmap& source, ColourProperties colour);

  bool graphReady = false;
  uint32_t graphBuilds = 0;
};

}  // namespace tarvu
