// One loaded module per test program, staged in a folder of its own.
#pragma once

#include <memory>
#include <string>

#include "testhost/module_loader.h"

namespace testhost {

inline Module& LoadedModule(const std::wstring& name) {
  static std::unique_ptr<Module> module;
  if (!module) {
    module = std::make_unique<Module>(StageModule(name));
    if (module->Init() != 0) throw std::runtime_error("module entry failed");
  }
  return *module;
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
