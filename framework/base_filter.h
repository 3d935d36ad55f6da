// The filter object of every plug-in, built once per plug-in against its
// settings record (see settings_record.h for what a record provides).
#pragma once

#include <array>
#include <cstdint>

#include <fmt/format.h>

#include "frame_road.h"
#include "host_interface.h"
#include "host_text.h"
#include "library_binding.h"
#include "settings_record.h"
#include "video_filter.h"

namespace tarvu {

class TarvuFilter_BaseUtils {};

// What negotiation answers for an accepted format: the flags, and the lag in
// frames the host is told of in bits 16 and up.
constexpr int32_t RunFlags(const PluginTraits& traits) { return kRunFlagsAccepted | (traits.lagFrames << 16); }

// The modal dialog that edits a plug-in's live record, instantiated by the
// plug-in's dialog code from its table (dialog_base.h). Returns the dialog's
// end value: 0 for Cancel.
template <typename Settings>
intptr_t RunConfigDialog(Settings& live, HostPreview* preview, WindowHandle parent);

template <typename Settings>
class TarvuFilter_BaseFilter : public VDXVideoFilter, public TarvuFilter_BaseUtils {
 public:
  static constexpr PluginTraits kTraits = Settings::kTraits;

  TarvuFilter_BaseFilter() = default;
  TarvuFilter_BaseFilter(const TarvuFilter_BaseFilter&) = default;

  bool Initialize() override {
    settings.ResetToDefaults();
    return true;
  }

  int32_t NegotiateFormat() override {
    const int32_t pixelFormat = PixelFormatForHostFormat(activation->source->layout->format);
    if (pixelFormat < 0) return kFormatRefused;
    settings.pixelFormat = pixelFormat;
    settings.sinkFormats.clear();
    settings.sinkFormats.reserve(2);
    settings.sinkFormats.push_back(pixelFormat);
    settings.sinkFormats.push_back(-1);
    activation->destination->frameAttributes = activation->source->frameAttributes;
    return RunFlags(kTraits);
  }

  void StartStreaming() override {
    road.Stop();  // a start without an end first releases the earlier run
    // Without its libraries the module streams on, passing frames through.
    if (!LibrariesBound()) return;
    SilenceLibraryLog();
    settings.reinitPending = true;
    const HostPixmapLayout& layout = *activation->source->layout;
    road.Begin(layout.width, layout.height, settings.pixelFormat);
    BuildGraph();
  }

  void ProcessFrame() override {
    // A change while streaming gets a fresh graph: re-initialising a
    // configured filter would ignore most options and can overrun buffers.
    if (settings.reinitPending && road.Streaming()) BuildGraph();
    road.Run(*activation, settings.viewMode, kTraits.colour, kTraits.frameStep);
  }

  void StopStreaming() override { road.Stop(); }

  bool ShowConfigDialog(WindowHandle parent) override {
    const Settings backup(settings);
    const uint32_t buildsBefore = road.GraphBuilds();
    const uint32_t invalidationsBefore = invalidations;
    intptr_t result = 0;
    try {
      result = RunConfigDialog(settings, activation->preview, parent);
    } catch (...) {
      settings = backup;  // the host will hear Cancel: it must see the old settings too
      throw;
    }
    if (result != 0) return true;
    settings = backup;
    // The preview ran the filter with the cancelled settings, or the host
    // invalidated its frames meanwhile: rebuild.
    if (road.GraphBuilds() != buildsBefore || invalidations != invalidationsBefore) settings.reinitPending = true;
    return false;
  }

  void DescribeSettings(char* buffer, int32_t maxLength) override {
    if constexpr (kTraits.textEnding == TextEnding::kZeroCharacter)
      FormatHostText(buffer, maxLength, " {} {} {}{:c}", 0, 1, 2, 0);
    else
      FormatHostText(buffer, maxLength, " {} {} {}", 0, 1, 2);
  }

  void FormatScriptConfig(char* buffer, int32_t length) override {
    const auto values = ScriptValues(settings);
    if constexpr (kTraits.textEnding == TextEnding::kZeroCharacter)
      FormatHostText(buffer, length, "Config({}){:c}", fmt::join(values, ","), 0);
    else
      FormatHostText(buffer, length, "Config({})", fmt::join(values, ","));
  }

  // The script function "Config".
  void ScriptConfig(const ScriptValue* arguments, int32_t count) {
    constexpr auto kArguments = static_cast<int32_t>(ScriptArgumentCount<Settings>());
    const bool complete = count >= kArguments;
    if (!complete && kTraits.shortCall == ShortScriptCall::kIgnored) return;
    settings.ResetToDefaults();
    if (complete) {
      std::array<int32_t, kArguments> values{};
      for (int32_t i = 0; i < kArguments; ++i) values[i] = arguments[i].intValue;
      StoreScriptArguments(settings, values.data());
    }
    settings.reinitPending = true;
  }

  // Host event 1 reaches this through the default event operation.
  bool InvalidateState() override {
    if constexpr (!kTraits.cacheEventMarksChanged) return false;
    settings.reinitPending = true;
    ++invalidations;
    return true;
  }

  Settings settings;
  FrameRoad road;

 private:
  uint32_t invalidations = 0;  // so that a Cancel cannot undo one

  static bool LibrariesBound() {
    if constexpr (kTraits.binding == LibraryBinding::kDelayed) return DelayLoadedLibrariesBound();
    return true;
  }

  static bool ApplyOptions(void* record, AVFilterContext* filterCtx, const AVFrame* inFrame) {
    return ApplyFilterArgs(*static_cast<Settings*>(record), filterCtx, inFrame);
  }

  void BuildGraph() {
    // Only the option builder clears the flag, so a change stored meanwhile
    // is not lost; a build that failed before reaching it waits, like a
    // refused option string, for the next change or start.
    if (!road.BuildGraph(settings.filterName, settings.sinkFormats, &ApplyOptions, &settings, kTraits.filtersPicture))
      settings.reinitPending = false;
  }
};

}  // namespace tarvu
