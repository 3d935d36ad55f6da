// The filter object of every plug-in, built once per plug-in against its
// settings record (see settings_record.h for what a record provides).
#pragma once

#include <array>
#include <cstdint>

#include <fmt/format.h>

#include "frame_road.h"
#include "host_interface.h"
#include "host_text.h"
#include "settings_record.h"
#include "video_filter.h"

namespace tarvu {

class TarvuFilter_BaseUtils {};

// Each plug-in declares, beside its record, the modal dialog that edits it:
//   intptr_t RunConfigDialog(Record& live, HostPreview* preview, WindowHandle parent);
// returning the dialog's end value (0 for Cancel).

template <typename Settings>
class TarvuFilter_BaseFilter : public VDXVideoFilter, public TarvuFilter_BaseUtils {
 public:
  static_assert(SignatureMatchesFields<Settings>(), "the script signature must list one 'i' per field");

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
    return kRunFlagsAccepted;
  }

  void StartStreaming() override {
    road.Stop();  // a start without an end first releases the earlier run
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
    road.Run(*activation, settings.viewMode,
             Settings::kCarriesColourProperties ? ColourProperties::kFromHostFormat : ColourProperties::kUnset);
  }

  void StopStreaming() override { road.Stop(); }

  bool ShowConfigDialog(WindowHandle parent) override {
    const Settings backup(settings);
    const uint32_t buildsBefore = road.GraphBuilds();
    intptr_t result = 0;
    try {
      result = RunConfigDialog(settings, activation->preview, parent);
    } catch (...) {
      settings = backup;  // the host will hear Cancel: it must see the old settings too
      throw;
    }
    if (result != 0) return true;
    settings = backup;
    // The preview ran the filter with the cancelled settings: rebuild.
    if (road.GraphBuilds() != buildsBefore) settings.reinitPending = true;
    return false;
  }

  void DescribeSettings(char* buffer, int32_t maxLength) override {
    FormatHostText(buffer, maxLength, " {} {} {}", 0, 1, 2);
  }

  void FormatScriptConfig(char* buffer, int32_t length) override {
    constexpr auto fields = Settings::ScriptFields();
    std::array<int32_t, fields.size()> values{};
    for (std::size_t i = 0; i < fields.size(); ++i) values[i] = settings.*fields[i];
    FormatHostText(buffer, length, "Config({})", fmt::join(values, ","));
  }

  // The script function "Config": a short call changes nothing; otherwise
  // the defaults are reset and the arguments stored unclamped.
  void ScriptConfig(const ScriptValue* arguments, int32_t count) {
    constexpr auto fields = Settings::ScriptFields();
    if (count < static_cast<int32_t>(fields.size())) return;
    settings.ResetToDefaults();
    for (std::size_t i = 0; i < fields.size(); ++i) settings.*fields[i] = arguments[i].intValue;
    settings.reinitPending = true;
  }

  Settings settings;
  FrameRoad road;

 private:
  static bool ApplyOptions(void* record, AVFilterContext* filterCtx, const AVFrame* inFrame) {
    return ApplyFilterArgs(*static_cast<Settings*>(record), filterCtx, inFrame);
  }

  void BuildGraph() {
    // Only the option builder clears the flag, so a change stored meanwhile
    // is not lost; a build that failed before reaching it waits, like a
    // refused option string, for the next change or start.
    if (!road.BuildGraph(settings.filterName, settings.sinkFormats, &ApplyOptions, &settings))
      settings.reinitPending = false;
  }
};

}  // namespace tarvu
