// The static callbacks a module's filter definition points to, the init
// callback, the script table and the definition itself.
#pragma once

#include <cstdint>
#include <new>

#include "host_interface.h"
#include "settings_record.h"
#include "video_filter.h"

namespace tarvu {

// No C++ exception may cross into the host: it would end the editor.
template <typename Result, typename Body>
Result Guarded(Result fallback, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}

template <typename Body>
void Guarded(Body&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

template <typename Filter>
struct HostCallbacks {
  static_assert(alignof(Filter) <= kFilterObjectOffset, "the object lies 8 bytes into the host's block");

  static Filter& FilterOf(const HostActivation* activation) {
    return *static_cast<Filter*>(activation->instanceBlock->filterObject);
  }
  static Filter& Bound(HostActivation* activation) {
    Filter& filter = FilterOf(activation);
    filter.activation = activation;
    return filter;
  }
  static void* ObjectPlace(void* block) { return static_cast<uint8_t*>(block) + kFilterObjectOffset; }

  static int TARVU_HOSTCALL InitFilterInstance(HostActivation* activation, HostServices services) noexcept {
    InstanceBlock* block = activation->instanceBlock;
    Filter* filter = Guarded<Filter*>(nullptr, [&] { return new (ObjectPlace(block)) Filter(); });
    if (!filter) return 1;
    block->filterObject = filter;
    filter->activation = activation;
    filter->hostServices = services;
    if (Guarded(false, [&] { return filter->Initialize(); })) return 0;
    filter->~Filter();
    block->filterObject = nullptr;
    return 1;
  }

  static void TARVU_HOSTCALL HostDestroyInstance(HostActivation* activation, HostServices) noexcept {
    InstanceBlock* block = activation->instanceBlock;
    Guarded([&] { static_cast<Filter*>(block->filterObject)->~Filter(); });
    block->filterObject = nullptr;
  }

  static int TARVU_HOSTCALL HostRunFrame(const HostActivation* activation, HostServices) noexcept {
    Guarded([&] { Bound(const_cast<HostActivation*>(activation)).ProcessFrame(); });
    return 0;
  }

  static int32_t TARVU_HOSTCALL HostGetParams(HostActivation* activation, HostServices) noexcept {
    return Guarded(kFormatRefused, [&] { return Bound(activation).NegotiateFormat(); });
  }

  static int TARVU_HOSTCALL HostConfigure(HostActivation* activation, HostServices, WindowHandle parent) noexcept {
    return Guarded(1, [&] { return Bound(activation).ShowConfigDialog(parent) ? 0 : 1; });
  }

  // With an accelerator context the host streams through the accelerated
  // operations, and no graph is built.
  template <void (VDXVideoFilter::*Accelerated)(uint64_t), void (VDXVideoFilter::*Plain)()>
  static int StreamingStep(HostActivation* activation) noexcept {
    Guarded([&] {
      Filter& filter = Bound(activation);
      if (activation->acceleratorContext != 0)
        (filter.*Accelerated)(activation->acceleratorContext);
      else
        (filter.*Plain)();
    });
    return 0;
  }

  static int TARVU_HOSTCALL HostStart(HostActivation* activation, HostServices) noexcept {
    return StreamingStep<&VDXVideoFilter::StartAccelerated, &VDXVideoFilter::StartStreaming>(activation);
  }

  static int TARVU_HOSTCALL HostEnd(HostActivation* activation, HostServices) noexcept {
    return StreamingStep<&VDXVideoFilter::StopAccelerated, &VDXVideoFilter::StopStreaming>(activation);
  }

  static int32_t TARVU_HOSTCALL HostSaveState(HostActivation* activation, HostServices, void* buffer,
                                               int32_t length) noexcept {
    return Guarded(0, [&] { return Bound(activation).SaveState(buffer, length); });
  }

  static int32_t TARVU_HOSTCALL HostLoadState(HostActivation* activation, HostServices, const void* buffer,
                                               int32_t length) noexcept {
    return Guarded(0, [&] { return Bound(activation).LoadState(buffer, length); });
  }

  static void TARVU_HOSTCALL HostCopyInstance(HostActivation* source, HostServices services,
                                              void* destinationBlock) noexcept {
    Guarded([&] {
      Filter* copy = new (ObjectPlace(destinationBlock)) Filter(FilterOf(source));
      copy->hostServices = services;
      static_cast<InstanceBlock*>(destinationBlock)->filterObject = copy;
    });
  }

  static void TARVU_HOSTCALL HostCopyInstanceEx(const HostActivation* source, HostServices, void* destinationBlock,
                                                HostActivation* newActivation, HostServices newServices) noexcept {
    Guarded([&] {
      Filter* copy = new (ObjectPlace(destinationBlock)) Filter(FilterOf(source));
      copy->activation = newActivation;
      copy->hostServices = newServices;
      static_cast<InstanceBlock*>(destinationBlock)->filterObject = copy;
    });
  }

  static bool TARVU_HOSTCALL HostEvent(HostActivation* activation, HostServices, uint32_t eventCode,
                                       const void* data) noexcept {
    return Guarded(false, [&] { return Bound(activation).HandleEvent(eventCode, data); });
  }

  static bool TARVU_HOSTCALL HostAccelRun(const HostActivation* activation, HostServices) noexcept {
    Guarded([&] {
      Filter& filter = Bound(const_cast<HostActivation*>(activation));
      filter.RunAccelerated(activation->acceleratorContext);
    });
    return false;
  }

  static bool TARVU_HOSTCALL HostScriptLine(HostActivation* activation, HostServices, char* buffer,
                                            int32_t length) noexcept {
    return Guarded(false, [&] {
      Filter& filter = Bound(activation);
      if (length <= 0) return false;
      buffer[0] = '\0';
      filter.FormatScriptConfig(buffer, length);
      return buffer[0] != '\0';
    });
  }

  // The older text request passes no length; its buffers hold 80 characters.
  static void TARVU_HOSTCALL HostLegacyString(const HostActivation* activation, HostServices,
                                              char* buffer) noexcept {
    Guarded([&] { Bound(const_cast<HostActivation*>(activation)).FormatScriptConfig(buffer, 80); });
  }

  static void TARVU_HOSTCALL HostSettingsString(const HostActivation* activation, HostServices, char* buffer,
                                                int32_t maxLength) noexcept {
    Guarded([&] { Bound(const_cast<HostActivation*>(activation)).DescribeSettings(buffer, maxLength); });
  }

  // The script path finds the object but leaves its activation alone. The
  // first generation's row holds the handler itself; the second's holds an
  // entry that forwards the call to the object (the same behaviour).
  static void TARVU_HOSTCALL ScriptConfig(ScriptInterpreter*, void* activation, const ScriptValue* arguments,
                                          int32_t count) noexcept {
    Guarded([&] { FilterOf(static_cast<HostActivation*>(activation)).ScriptConfig(arguments, count); });
  }

  static void TARVU_HOSTCALL ScriptConfigEntry(ScriptInterpreter* interpreter, void* activation,
                                               const ScriptValue* arguments, int32_t count) noexcept {
    ScriptConfig(interpreter, activation, arguments, count);
  }

  static constexpr auto kScriptHandler =
      Filter::kTraits.scriptEntry == ScriptEntry::kForwardingEntry ? &ScriptConfigEntry : &ScriptConfig;
};

template <typename Filter>
struct ModuleScript {
  using Settings = decltype(Filter::settings);
  static constexpr ScriptFunctionEntry table[2] = {
      {HostCallbacks<Filter>::kScriptHandler, "Config", kScriptSignature<Settings>.data()},
      {nullptr, nullptr, nullptr}};
  static constinit inline ScriptObject object = {nullptr, table, nullptr, nullptr};
};

inline constexpr const char* kMakerText = "Tarvu filters";

template <typename Filter>
constexpr FilterDefinition BuildFilterDefinition(const char* displayName) {
  using Callbacks = HostCallbacks<Filter>;
  FilterDefinition definition{};
  definition.displayName = displayName;
  definition.description = displayName;
  definition.maker = kMakerText;
  definition.instanceDataSize = static_cast<uint32_t>(sizeof(Filter) + sizeof(void*));
  definition.initInstance = &Callbacks::InitFilterInstance;
  definition.destroyInstance = &Callbacks::HostDestroyInstance;
  definition.runFrame = &Callbacks::HostRunFrame;
  definition.getParams = &Callbacks::HostGetParams;
  definition.configure = &Callbacks::HostConfigure;
  definition.legacyString = &Callbacks::HostLegacyString;
  definition.start = &Callbacks::HostStart;
  definition.end = &Callbacks::HostEnd;
  definition.scriptObject = &ModuleScript<Filter>::object;
  definition.scriptLine = &Callbacks::HostScriptLine;
  definition.settingsString = &Callbacks::HostSettingsString;
  definition.saveState = &Callbacks::HostSaveState;
  definition.loadState = &Callbacks::HostLoadState;
  definition.copyInstance = &Callbacks::HostCopyInstance;
  definition.copyInstanceEx = &Callbacks::HostCopyInstanceEx;
  definition.event = &Callbacks::HostEvent;
  definition.accelRun = &Callbacks::HostAccelRun;
  return definition;
}

// Defined once per module by its plug-in; the module entry registers it.
extern FilterDefinition tarvuFilterDefinition;

}  // namespace tarvu
