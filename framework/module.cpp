// Module start-up and the two exports through which the host registers the
// module's filter.
#include <windows.h>

#include <cstdlib>

#include "host_callbacks.h"
#include "library_folder.h"
#include "module.h"

namespace tarvu {
namespace {

const FilterDefinition* const kDefinitionList[] = {&tarvuFilterDefinition, nullptr};

void** registrationList = nullptr;
int32_t registeredCount = 0;
HINSTANCE moduleInstance = nullptr;

constexpr DWORD kModulePathCapacity = 33792;

// The FFmpeg DLLs live in a folder beside the module; later loads in the
// process look there.
void PointDllSearchAtLibraryFolder(HINSTANCE instance) {
  static wchar_t path[kModulePathCapacity];
  const DWORD length = GetModuleFileNameW(instance, path, kModulePathCapacity);
  if (length == 0 || length >= kModulePathCapacity) return;  // none, or cut short
  if (const auto folder = LibraryFolderFor(std::wstring_view(path, length))) SetDllDirectoryW(folder->c_str());
}

}  // namespace

void* ModuleInstanceHandle() { return moduleInstance; }

}  // namespace tarvu

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    tarvu::moduleInstance = instance;
    tarvu::PointDllSearchAtLibraryFolder(instance);
  }
  return TRUE;
}

extern "C" __declspec(dllexport) int __cdecl VirtualdubFilterModuleInit2(void* hostModule,
                                                                         const tarvu::HostFunctionTable* functions,
                                                                         int32_t* versionOut,
                                                                         int32_t* compatVersionOut) {
  using namespace tarvu;
  int32_t count = 0;
  while (kDefinitionList[count]) ++count;
  void** list = static_cast<void**>(std::calloc(static_cast<std::size_t>(count), sizeof(void*)));
  if (!list) return 1;
  registrationList = list;
  for (int32_t i = 0; i < count; ++i)
    registrationList[i] = functions->registerDefinition(hostModule, kDefinitionList[i],
                                                        static_cast<int32_t>(sizeof(FilterDefinition)));
  registeredCount = count;
  *versionOut = kFilterApiVersion;
  *compatVersionOut = kFilterApiCompatVersion;
  return 0;
}

extern "C" __declspec(dllexport) void __cdecl VirtualdubFilterModuleDeinit(void*,
                                                                          const tarvu::HostFunctionTable* functions) {
  using namespace tarvu;
  if (!registrationList) return;
  for (int32_t i = registeredCount - 1; i >= 0; --i)
    if (registrationList[i]) functions->removeDefinition(registrationList[i]);
  std::free(registrationList);
  registrationList = nullptr;
  registeredCount = 0;
}
