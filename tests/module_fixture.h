// One loaded module per test program, staged in a folder of its own.
#pragma once

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/host_callbacks.h"
#include "testhost/test_host.h"
#ifdef _WIN32
#include "testhost/module_loader.h"
#endif

namespace testhost {

#ifdef _WIN32
inline Module& LoadedModule(const std::wstring& name) {
  static std::unique_ptr<Module> module;
  if (!module) {
    module = std::make_unique<Module>(StageModule(name));
    if (module->Init() != 0) throw std::runtime_error("module entry failed");
  }
  return *module;
}
#else
// Natively the plug-in core is linked into the test program itself.
struct LinkedModule {
  const FilterDefinition& Definition() const { return tarvu::tarvuFilterDefinition; }
};
inline LinkedModule& LoadedModule(const std::wstring&) {
  static LinkedModule module;
  return module;
}
#endif

// What a fresh instance with these script arguments makes of one picture
// (given again for each frame a lagging filter holds back).
inline std::vector<uint8_t> FilteredByFreshInstance(const FilterDefinition& definition, const Picture& picture,
                                                    const std::vector<int32_t>& arguments) {
  Picture source(picture.Width(), picture.Height(), picture.Format());
  source.SetRawBytes(picture.RawBytes());
  Picture out(picture.Width(), picture.Height(), picture.Format());
  Instance fresh(definition, source, out);
  if (fresh.Init() != 0) throw std::runtime_error("init failed");
  fresh.Script(arguments, static_cast<int32_t>(arguments.size()));
  const int32_t lag = std::max(fresh.GetParams() >> 16, 0);
  fresh.Start();
  for (int32_t call = 0; call <= lag; ++call) fresh.Run();  // as a host fills a lagging filter
  fresh.End();
  return out.RawBytes();
}

// A started instance over two pictures, ended and destroyed with the scope.
template <typename Filter>
struct StreamingInstance {
  StreamingInstance(const FilterDefinition& definition, Picture& source, Picture& destination)
      : instance(definition, source, destination) {
    if (instance.Init() != 0) throw std::runtime_error("init failed");
  }
  ~StreamingInstance() { instance.End(); }
  Filter& filter() { return *static_cast<Filter*>(instance.FilterObject()); }
  Instance instance;
};

}  // namespace testhost
