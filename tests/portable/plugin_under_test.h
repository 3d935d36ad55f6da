// A plug-in's core linked straight into a program, with what the hostile
// tests and the benchmark need to know about it beyond its filter
// definition. One program per plug-in: each defines tarvuFilterDefinition
// and its own TMyFilterData.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
}

#include "framework/base_filter.h"
#include "framework/host_callbacks.h"

namespace portable {

using namespace tarvu;

struct PluginUnderTest {
  const char* name;  // the deliverable
  const FilterDefinition* definition;
  const char* filterName;
  std::size_t scriptArguments;
  // The live settings of a filter object of this plug-in.
  std::vector<int32_t> (*ScriptValues)(void* filterObject);
  std::vector<int32_t> (*DefaultScriptValues)();
  // What the script handler stores from these arguments (flags and choices mapped).
  std::vector<int32_t> (*StoredScriptValues)(std::vector<int32_t> arguments);
  PluginTraits traits;  // how the plug-in departs from the framework's default
  std::string (*OptionString)(void* filterObject);
  int32_t* (*ViewMode)(void* filterObject);
  bool* (*ReinitPending)(void* filterObject);
  bool (*GraphReady)(void* filterObject);
  int64_t (*FrameCounter)(void* filterObject);
  const SinkFormatList& (*SinkFormats)(void* filterObject);
  // Script arguments whose large values make the filter's work grow beyond
  // what a randomised run can afford; random sequences keep them small.
  std::vector<std::size_t> costlyArguments;

  // What negotiation answers for an accepted format.
  int32_t runFlags() const { return RunFlags(traits); }
  // Whether the plug-in lets its filter work on a picture of this size and libavutil format.
  bool FiltersPicture(int32_t width, int32_t height, int32_t pixelFormat) const {
    return !traits.filtersPicture || traits.filtersPicture(width, height, pixelFormat);
  }
};

// Defined by the plug-in's program.
const PluginUnderTest& ThePlugin();

// The dialog a native program has instead of the plug-in's own: it edits the
// live record (as the user would) and returns the dialog's end value.
struct DialogStandIn {
  // index and value of each field the "user" changes, then OK (true) or Cancel.
  std::vector<std::pair<std::size_t, int32_t>> edits;
  bool ok = false;
  int opened = 0;
};
DialogStandIn& Dialog();

template <typename Filter>
Filter& As(void* filterObject) {
  return *static_cast<Filter*>(filterObject);
}

template <typename Filter>
std::vector<int32_t> ValuesOf(const decltype(Filter::settings)& settings) {
  const auto values = ScriptValues(settings);
  return {values.begin(), values.end()};
}

template <typename Filter>
PluginUnderTest Describe(const char* name) {
  using Settings = decltype(Filter::settings);
  PluginUnderTest plugin{};
  plugin.name = name;
  plugin.definition = &tarvuFilterDefinition;
  plugin.filterName = Settings{}.filterName;
  plugin.scriptArguments = Settings::ScriptFields().size();
  plugin.ScriptValues = [](void* object) { return ValuesOf<Filter>(As<Filter>(object).settings); };
  plugin.DefaultScriptValues = [] {
    Settings defaults;
    defaults.ResetToDefaults();
    return ValuesOf<Filter>(defaults);
  };
  plugin.StoredScriptValues = [](std::vector<int32_t> arguments) {
    constexpr auto fields = Settings::ScriptFields();
    for (std::size_t i = 0; i < arguments.size() && i < fields.size(); ++i)
      arguments[i] = fields[i].store.Map(arguments[i]);
    return arguments;
  };
  plugin.traits = Settings::kTraits;
  plugin.OptionString = [](void* object) {
    const Settings& settings = As<Filter>(object).settings;
    AVFrame frame{};
    frame.format = settings.pixelFormat;
    return OptionStringFor(settings, frame);
  };
  plugin.ViewMode = [](void* object) { return &As<Filter>(object).settings.viewMode; };
  plugin.ReinitPending = [](void* object) { return &As<Filter>(object).settings.reinitPending; };
  plugin.GraphReady = [](void* object) { return As<Filter>(object).road.GraphReady(); };
  plugin.FrameCounter = [](void* object) { return As<Filter>(object).road.frameCounter; };
  plugin.SinkFormats = [](void* object) -> const SinkFormatList& { return As<Filter>(object).settings.sinkFormats; };
  return plugin;
}

// The stand-in dialog's body, for the plug-in's RunConfigDialog.
template <typename Settings>
intptr_t RunDialogStandIn(Settings& live, HostPreview* preview) {
  DialogStandIn& dialog = Dialog();
  ++dialog.opened;
  constexpr auto fields = Settings::ScriptFields();
  for (const auto& [index, value] : dialog.edits) {
    const auto& row = fields[index % fields.size()];
    row.field.Set(live, row.store.Map(value));  // a control writes only what the handler would store
    live.reinitPending = true;
    if (preview) preview->RedoFrame();  // as the dialog does after every change
  }
  return dialog.ok ? 1 : 0;
}

}  // namespace portable
