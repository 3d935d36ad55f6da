// The libavfilter side of one filter instance: the graph "in" -> "filter1" ->
// "out", the frames, and the copies between host bitmaps and frames.
//
// Host memory never enters libavfilter: each frame is copied once into a
// padded frame of the road's own pool and pushed with its reference handed
// over, so a filter may write it in place, read past its edges, or keep it
// for later frames; the result is copied once into the destination.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host_interface.h"
#include "settings_record.h"

struct AVBufferPool;
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

// Every copy covers only what both sides hold, each side's planes taken from
// its own size and format.
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

  // Allocates the frames (when missing), describes the input picture and
  // makes the pool of padded input frames for it.
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

  void Run(const HostActivation& activation, int32_t viewMode, ColourProperties colour,
           FrameStep step = FrameStep::kOneInOneOut);

  bool Streaming() const { return inFrame != nullptr; }
  bool GraphReady() const { return graphReady; }
  // Counts graph builds, so a caller can tell whether one happened meanwhile.
  uint32_t GraphBuilds() const { return graphBuilds; }

  // Describes the input picture and carries each frame's time stamps and
  // colour description; the pixels travel in a frame of the pool.
  AVFrame* inFrame = nullptr;
  AVFrame* outFrame = nullptr;
  AVFilterContext* bufferSrc = nullptr;
  AVFilterContext* bufferSink = nullptr;
  AVFilterContext* filterCtx = nullptr;
  AVFilterGraph* graph = nullptr;
  int64_t frameCounter = 0;

 private:
  // Where the planes lie in one buffer of the pool.
  struct PoolLayout {
    int linesize[3] = {0, 0, 0};
    std::size_t offset[3] = {0, 0, 0};
    std::size_t bufferSize = 0;
  };

  static bool LayOut(int32_t width, int32_t height, int32_t pixelFormat, PoolLayout& layout);
  bool CanFilter(const HostBitmap& source) const;
  void StampInput(const HostBitmap& source, ColourProperties colour);
  // Takes a buffer from the pool and fills it from the host's planes.
  bool FillPushFrame(const HostBitmap& source);
  void DropFurtherPictures();

  AVFrame* pushFrame = nullptr;
  AVBufferPool* pool = nullptr;
  PoolLayout poolLayout;
  bool graphReady = false;
  uint32_t graphBuilds = 0;
};

}  // namespace tarvu
