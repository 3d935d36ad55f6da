// Binds one filter instance to the host's callbacks.
#pragma once

#include <cstdint>

#include "host_interface.h"

namespace tarvu {

class VDXVideoFilter {
 public:
  VDXVideoFilter() = default;
  VDXVideoFilter(const VDXVideoFilter&) = default;
  VDXVideoFilter& operator=(const VDXVideoFilter&) = delete;
  virtual ~VDXVideoFilter() = default;

  virtual bool Initialize() { return true; }
  virtual int32_t NegotiateFormat() = 0;
  virtual void StartStreaming() {}
  virtual void ProcessFrame() {}
  virtual void StopStreaming() {}
  virtual bool ShowConfigDialog(WindowHandle parent) { return parent != nullptr; }
  virtual void DescribeSettings(char* buffer, int32_t maxLength) {}
  virtual void FormatScriptConfig(char* buffer, int32_t length) {}
  virtual int32_t SaveState(void* buffer, int32_t length) { return 0; }
  virtual int32_t LoadState(const void* buffer, int32_t length) { return 0; }
  virtual int64_t MapPrefetchFrame(int64_t frame) { return frame; }
  virtual bool RequestPrefetch(int64_t frame, HostPrefetcher* prefetcher) {
    prefetcher->PrefetchFrame(0, MapPrefetchFrame(frame), 0);
    return true;
  }
  virtual void StartAccelerated(uint64_t acceleratorContext) {}
  virtual void RunAccelerated(uint64_t acceleratorContext) {}
  virtual void StopAccelerated(uint64_t acceleratorContext) {}
  virtual bool HandleEvent(uint32_t eventCode, const void* data) { return eventCode == 1 && InvalidateState(); }
  virtual bool InvalidateState() { return false; }

  HostActivation* activation = nullptr;
  HostServices hostServices = nullptr;
};

}  // namespace tarvu
