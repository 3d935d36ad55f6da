// The frame road against a bare libavfilter loop on the same filter, option
// string and frames. The module runs through the host callbacks: the source
// is copied into a frame of the road's pool, and the result into the host's
// destination. The bare loop pushes refcounted frames and pulls results,
// with no host copies.
//
//   bench_<plugin> [seconds per round, default 0.1]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <fmt/format.h>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
}

#include "allocation_count.h"
#include "page_faults.h"
#include "testhost/test_host.h"
#include "tests/portable/bare_graph.h"
#include "tests/portable/plugin_under_test.h"

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;
using portable::ThePlugin;
using testhost::Instance;
using testhost::Picture;

constexpr int kFrames = 4;  // distinct pictures, cycled
// Module and bare loop alternate in short rounds; the fastest round of each
// counts, as the one least disturbed by the rest of the machine.
constexpr int kRounds = 15;
// Filters slow enough that a round outlasts its time (nlmeans) get fewer.
constexpr int kSlowRounds = 3;

struct Case {
  int width, height, hostFormat;
  const char* chroma;
};
const Case kCases[] = {{1920, 1080, 15, "4:2:0"}, {1920, 1080, 13, "4:4:4"}, {720, 576, 15, "4:2:0"}, {720, 576, 13, "4:4:4"}};

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Fastest(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

// --- The bare loop -------------------------------------------------------------------

class BareLoop {
 public:
  // With `copyOutTo`, each result is also copied into that host picture:
  // the one copy out that no frame road avoids.
  BareLoop(const Case& shape, int32_t pixelFormat, const std::string& options,
           const std::vector<std::unique_ptr<Picture>>& pictures, Picture* copyOutTo = nullptr)
      : copyOutTo_(copyOutTo) {
    const bool built = portable::BuildBareGraph(bare_, shape.width, shape.height, pixelFormat, pixelFormat,
                                                ThePlugin().filterName, options);
    if (!built) throw std::runtime_error("bare graph failed: " + options);
    for (const auto& picture : pictures) frames_.push_back(portable::FrameOf(*picture, pixelFormat));
    out_ = av_frame_alloc();
  }
  ~BareLoop() {
    for (AVFrame*& frame : frames_) av_frame_free(&frame);
    av_frame_free(&out_);
    portable::FreeBareGraph(bare_);
  }

  void Run(int64_t index) {
    AVFrame* frame = frames_[static_cast<std::size_t>(index % kFrames)];
    frame->pts = index;
    if (av_buffersrc_add_frame_flags(bare_.source, frame, AV_BUFFERSRC_FLAG_KEEP_REF) < 0)
      throw std::runtime_error("bare loop could not push");
    // A lagging filter has nothing yet for its first frames, and may make
    // more than one picture of a frame: the first is shown, the rest taken
    // out, as the module does.
    int pictures = 0;
    while (av_buffersink_get_frame(bare_.sink, out_) >= 0) {
      if (pictures++ == 0 && copyOutTo_) tarvu::CopyFramePlanes(*out_, copyOutTo_->bitmap);
      av_frame_unref(out_);
      if (ThePlugin().traits.lagFrames == 0) break;
    }
    if (pictures == 0 && index >= ThePlugin().traits.lagFrames) throw std::runtime_error("bare loop gave no frame");
  }

 private:
  portable::BareGraph bare_;
  std::vector<AVFrame*> frames_;
  AVFrame* out_ = nullptr;
  Picture* copyOutTo_;
};

// --- The module through the host callbacks ----------------------------------------------

class ModuleLoop {
 public:
  ModuleLoop(const std::vector<std::unique_ptr<Picture>>& pictures, Picture& destination)
      : pictures_(pictures), destination_(destination),
        instance_(*ThePlugin().definition, *pictures.front(), destination) {
    if (instance_.Init() != 0 || instance_.GetParams() < 0) throw std::runtime_error("module refused the format");
    instance_.Start();
  }
  ~ModuleLoop() { instance_.End(); }

  void Run(int64_t index) {
    instance_.SetPictures(*pictures_[static_cast<std::size_t>(index % kFrames)], destination_);
    instance_.Run();
  }
  Instance& instance() { return instance_; }

 private:
  const std::vector<std::unique_ptr<Picture>>& pictures_;
  Picture& destination_;
  Instance instance_;
};

struct Timing {
  double secondsPerFrame;
  double allocationsPerFrame;
  double ownAllocationsPerFrame;
  double largeAllocationsPerFrame;
  double pageFaultsPerFrame;  // negative where the platform does not tell
};

// Runs `frames` frames and returns the time, allocations and faults per frame.
template <typename Loop>
Timing Measure(Loop& loop, int64_t& index, int frames) {
  // Reading the fault count may allocate: it stays outside the allocation count.
  const std::optional<uint64_t> faultsBefore = PageFaults();
  const AllocationCount before = Allocations();
  const auto start = Clock::now();
  for (int i = 0; i < frames; ++i) loop.Run(index++);
  const double seconds = Seconds(Clock::now() - start);
  const AllocationCount after = Allocations();
  const std::optional<uint64_t> faultsAfter = PageFaults();
  const double faults = faultsBefore && faultsAfter ? double(*faultsAfter - *faultsBefore) / frames : -1;
  return {seconds / frames, double(after.all - before.all) / frames, double(after.ownCode - before.ownCode) / frames,
          double(after.large - before.large) / frames, faults};
}

struct Result {
  Timing module, bare, bareOut;
};

Result Compare(ModuleLoop& module, BareLoop& bare, BareLoop& bareOut, double secondsPerMeasurement) {
  int64_t moduleIndex = 0, bareIndex = 0, bareOutIndex = 0;
  Measure(module, moduleIndex, kFrames * 2);  // warm-up: pools fill, caches settle
  Measure(bare, bareIndex, kFrames * 2);
  Measure(bareOut, bareOutIndex, kFrames * 2);
  const Timing probe = Measure(module, moduleIndex, kFrames);
  const int frames = std::max(kFrames, int(secondsPerMeasurement / std::max(probe.secondsPerFrame, 1e-6)));
  std::vector<double> moduleTimes, bareTimes, bareOutTimes;
  Result result{};
  const int rounds = probe.secondsPerFrame * kFrames > secondsPerMeasurement ? kSlowRounds : kRounds;
  for (int round = 0; round < rounds; ++round) {
    result.module = Measure(module, moduleIndex, frames);
    result.bare = Measure(bare, bareIndex, frames);
    result.bareOut = Measure(bareOut, bareOutIndex, frames);
    moduleTimes.push_back(result.module.secondsPerFrame);
    bareTimes.push_back(result.bare.secondsPerFrame);
    bareOutTimes.push_back(result.bareOut.secondsPerFrame);
  }
  result.module.secondsPerFrame = Fastest(moduleTimes);
  result.bare.secondsPerFrame = Fastest(bareTimes);
  result.bareOut.secondsPerFrame = Fastest(bareOutTimes);
  return result;
}

// Time from a settings change to the end of the frame that applies it.
double SettingsChangeSeconds(ModuleLoop& module) {
  std::vector<int32_t> values = ThePlugin().DefaultScriptValues();
  const std::vector<int32_t> defaults = values;
  // The third field is an amount or threshold where there is one; the last
  // one, the field order, for the deinterlacer.
  values[std::min<std::size_t>(2, values.size() - 1)] += 1;
  std::vector<double> times;
  int64_t index = 0;
  for (int change = 0; change < 20; ++change) {
    module.Run(index++);
    module.instance().Script(change % 2 ? defaults : values, static_cast<int32_t>(values.size()));
    const auto start = Clock::now();
    // A lagging filter's changed frame comes out its lag later.
    for (int32_t call = 0; call <= ThePlugin().traits.lagFrames; ++call) module.Run(index++);
    times.push_back(Seconds(Clock::now() - start));
  }
  return Median(times);
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

constexpr double kRatioTarget = 1.05;
// Steady streaming touches no fresh memory: a few faults at most, whatever the size.
constexpr double kPageFaultTarget = 4;

std::string FaultsText(double faults) { return faults < 0 ? "-" : fmt::format("{:.2f}", faults); }

int Main(double secondsPerMeasurement) {
  av_log_set_level(AV_LOG_QUIET);
  Allocations();  // learns where FFmpeg's code lies, before any thread starts
  const portable::PluginUnderTest& plugin = ThePlugin();
  std::printf("%s (%s), fastest of %d rounds of %.2f s each (%d rounds of %d frames where a frame takes longer)\n",
              plugin.name, plugin.filterName, kRounds, secondsPerMeasurement, kSlowRounds, kFrames);
  std::printf("%-10s %-6s %10s %10s %7s %7s %13s %8s %17s %13s %19s %14s\n", "size", "chroma", "module fps",
              "bare fps", "ratio", "target", "bare+out fps", "ratio", "allocs/fr mod(own)", "large allocs",
              "faults/fr mod/bare", "allocs/fr bare");
  bool allMet = true;
  double frameSeconds576 = 0, changeSeconds = 0;
  for (const Case& shape : kCases) {
    std::vector<std::unique_ptr<Picture>> pictures;
    for (int i = 0; i < kFrames; ++i) {
      pictures.push_back(std::make_unique<Picture>(shape.width, shape.height, shape.hostFormat));
      pictures.back()->FillBlocks(static_cast<uint32_t>(i + 1), 8);
    }
    Picture destination(shape.width, shape.height, shape.hostFormat);
    ModuleLoop module(pictures, destination);
    const std::string options = plugin.OptionString(module.instance().FilterObject());
    const int32_t pixelFormat = shape.hostFormat == 15 ? 0 : 5;
    BareLoop bare(shape, pixelFormat, options, pictures);
    Picture bareDestination(shape.width, shape.height, shape.hostFormat);
    BareLoop bareOut(shape, pixelFormat, options, pictures, &bareDestination);
    const Result result = Compare(module, bare, bareOut, secondsPerMeasurement);

    const double ratio = result.module.secondsPerFrame / result.bare.secondsPerFrame;
    const Timing& m = result.module;
    const bool met = ratio <= kRatioTarget && m.ownAllocationsPerFrame == 0 && m.largeAllocationsPerFrame == 0 &&
                     m.pageFaultsPerFrame <= kPageFaultTarget;
    allMet &= met;
    std::printf("%-10s %-6s %10.1f %10.1f %7.3f %7s %13.1f %8.3f %11.2f(%.2f) %13.2f %19s %14.2f\n",
                fmt::format("{}x{}", shape.width, shape.height).c_str(), shape.chroma, 1 / m.secondsPerFrame,
                1 / result.bare.secondsPerFrame, ratio, Verdict(ratio <= kRatioTarget),
                1 / result.bareOut.secondsPerFrame, m.secondsPerFrame / result.bareOut.secondsPerFrame,
                m.allocationsPerFrame,
                m.ownAllocationsPerFrame, m.largeAllocationsPerFrame,
                fmt::format("{}/{}", FaultsText(m.pageFaultsPerFrame), FaultsText(result.bare.pageFaultsPerFrame)).c_str(),
                result.bare.allocationsPerFrame);
    if (shape.width == 720 && shape.hostFormat == 15) {
      frameSeconds576 = result.module.secondsPerFrame;
      changeSeconds = SettingsChangeSeconds(module);
    }
  }
  const int budgetFrames = 2 + plugin.traits.lagFrames;
  const bool changeMet = changeSeconds < budgetFrames * frameSeconds576;
  allMet &= changeMet;
  std::printf("settings change while streaming, 720x576 4:2:0: %.3f ms until its frame is out "
              "(%d frames: %.3f ms): %s\n",
              changeSeconds * 1e3, budgetFrames, budgetFrames * frameSeconds576 * 1e3, Verdict(changeMet));
  std::printf("allocations: %s; own = outside FFmpeg's libraries (framework, test host, C++ runtime); "
              "large = %zu KiB or more; targets 0 per frame\n",
              SeesLibraryAllocations() ? "every malloc-family call of the process"
                                       : "the program's own malloc-family calls (FFmpeg's DLLs are not seen)",
              kLargeAllocation / 1024);
  std::printf("page faults: %s; target at most %.0f per frame\n", PageFaultSource(), kPageFaultTarget);
  std::printf("bare+out: the bare loop plus the copy of each result into a host picture, which no frame road "
              "avoids; its ratio is what the frame road costs beyond that copy\n");
  std::printf("%s: targets %s\n", plugin.name, allMet ? "met" : "MISSED");
  return 0;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  try {
    return bench::Main(argc > 1 ? std::atof(argv[1]) : 0.1);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "benchmark failed: %s\n", error.what());
    return 1;
  }
}
