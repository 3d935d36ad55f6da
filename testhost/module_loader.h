// Loads a module from a folder of its own, as the host editor does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "test_host.h"

namespace testhost {

// The folder the test programs run from (the modules lie there).
std::wstring ProgramFolder();

// What a staged folder's tarvudlls holds of the FFmpeg DLLs.
enum class Libraries { kAll, kNone, kAllButAvfilter };

// Lays out a fresh folder as a user would: <folder>\<module>.vdf and
// <folder>\tarvudlls\*.dll. The DLLs come from the program's folder, or from
// its "ffmpeg" subfolder where a program must not find them beside itself.
// Returns the module's full path.
std::wstring StageModule(const std::wstring& moduleName, Libraries libraries = Libraries::kAll);
std::wstring CurrentDllDirectory();

class Module {
 public:
  struct Registration {
    void* hostModule;
    const FilterDefinition* definition;
    int32_t size;
    void* handle;
  };

  explicit Module(const std::wstring& path);  // LoadLibraryW; throws std::runtime_error on failure
  ~Module();                                  // exits when still registered, then unloads
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  int Init();    // VirtualdubFilterModuleInit2 with a recording function table
  void Deinit(); // VirtualdubFilterModuleDeinit
  const FilterDefinition& Definition() const;  // the first registered definition
  HMODULE Handle() const { return handle_; }
  FARPROC Export(const char* name) const;

  std::vector<Registration> registrations;
  std::vector<void*> removals;
  int32_t versionOut = -1;
  int32_t compatVersionOut = -1;
  void* const hostModuleToken;

 private:
  HMODULE handle_ = nullptr;
  bool registered_ = false;
};

}  // namespace testhost
