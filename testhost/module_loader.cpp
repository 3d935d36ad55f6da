#include "module_loader.h"

#include <filesystem>
#include <stdexcept>

namespace testhost {
namespace {

Module* registeringModule = nullptr;

void* __cdecl RecordRegister(void* hostModule, const FilterDefinition* definition, int32_t size) {
  static int nextHandle = 0;
  void* handle = reinterpret_cast<void*>(static_cast<uintptr_t>(0x1000 + ++nextHandle));
  registeringModule->registrations.push_back({hostModule, definition, size, handle});
  return handle;
}

void __cdecl RecordRemove(void* handle) { registeringModule->removals.push_back(handle); }

const HostFunctionTable kRecordingTable = {&RecordRegister, &RecordRemove};

int stagedFolders = 0;

}  // namespace

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::filesystem::path(path).parent_path().wstring();
}

std::wstring StageModule(const std::wstring& moduleName, Libraries libraries) {
  namespace fs = std::filesystem;
  const fs::path from = ProgramFolder();
  const fs::path librariesFrom = fs::exists(from / "ffmpeg") ? from / "ffmpeg" : from;
  const fs::path folder = fs::temp_directory_path() / ("tarvu-stage-" + std::to_string(GetCurrentProcessId()) + "-" +
                                                       std::to_string(++stagedFolders));
  fs::remove_all(folder);
  fs::create_directories(folder / "tarvudlls");
  fs::copy_file(from / (moduleName + L".vdf"), folder / (moduleName + L".vdf"));
  if (libraries == Libraries::kNone) return (folder / (moduleName + L".vdf")).wstring();
  for (const auto& entry : fs::directory_iterator(librariesFrom)) {
    const bool leftOut = libraries == Libraries::kAllButAvfilter && entry.path().filename() == "avfilter-8.dll";
    if (entry.path().extension() == ".dll" && !leftOut)
      fs::copy_file(entry.path(), folder / "tarvudlls" / entry.path().filename());
  }
  return (folder / (moduleName + L".vdf")).wstring();
}

std::wstring CurrentDllDirectory() {
  wchar_t buffer[4096] = {};
  const DWORD length = GetDllDirectoryW(4096, buffer);
  return std::wstring(buffer, length);
}

// --- Module ----------------------------------------------------------------------

Module::Module(const std::wstring& path) : hostModuleToken(this) {
  handle_ = LoadLibraryW(path.c_str());
  if (!handle_) throw std::runtime_error("cannot load module, error " + std::to_string(GetLastError()));
}

Module::~Module() {
  if (registered_) Deinit();
  if (handle_) FreeLibrary(handle_);
}

FARPROC Module::Export(const char* name) const { return GetProcAddress(handle_, name); }

int Module::Init() {
  auto init = reinterpret_cast<ModuleInitFunction>(reinterpret_cast<void*>(Export("VirtualdubFilterModuleInit2")));
  if (!init) throw std::runtime_error("no module entry");
  registeringModule = this;
  const int result = init(hostModuleToken, &kRecordingTable, &versionOut, &compatVersionOut);
  registered_ = result == 0;
  return result;
}

void Module::Deinit() {
  auto deinit = reinterpret_cast<ModuleDeinitFunction>(reinterpret_cast<void*>(Export("VirtualdubFilterModuleDeinit")));
  if (!deinit) throw std::runtime_error("no module exit");
  registeringModule = this;
  deinit(hostModuleToken, &kRecordingTable);
  registered_ = false;
}

const FilterDefinition& Module::Definition() const {
  if (registrations.empty()) throw std::runtime_error("module registered nothing");
  return *registrations.front().definition;
}

}  // namespace testhost
