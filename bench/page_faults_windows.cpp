#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "page_faults.h"

namespace bench {
namespace {

std::optional<uint64_t> FromMemoryInfo() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return std::nullopt;
  return counters.PageFaultCount;
}

// Under Wine the program is a Linux process, whose count lies in /proc
// (minor and major faults, after the command's name in brackets). Wine
// opens the file in its server, so "self" would be the server:
// tools/run-benchmark.sh passes the program's Linux process id.
std::optional<uint64_t> FromLinuxProc() {
  const char* pid = std::getenv("TARVU_LINUX_PID");
  if (!pid) return std::nullopt;
  const std::string path = std::string("Z:\\proc\\") + pid + "\\stat";
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (!file) return std::nullopt;
  char text[1024] = {};
  const std::size_t length = std::fread(text, 1, sizeof text - 1, file);
  std::fclose(file);
  text[length] = '\0';
  const char* afterName = std::strrchr(text, ')');
  unsigned long long minor = 0, major = 0;
  if (!afterName || std::sscanf(afterName + 1, " %*c %*d %*d %*d %*d %*d %*u %llu %*u %llu", &minor, &major) != 2)
    return std::nullopt;
  return minor + major;
}

using Counter = std::optional<uint64_t> (*)();

// A counter that answers without counting is no counter: touch fresh pages and see.
bool Counts(Counter counter) {
  const std::optional<uint64_t> before = counter();
  constexpr std::size_t kBytes = 8 << 20;
  void* memory = VirtualAlloc(nullptr, kBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!before || !memory) return false;
  std::memset(memory, 1, kBytes);
  const std::optional<uint64_t> after = counter();
  VirtualFree(memory, 0, MEM_RELEASE);
  return after && *after > *before;
}

struct Source {
  Counter counter;
  const char* text;
};

const Source& Chosen() {
  static const Source source = [] {
    if (Counts(&FromMemoryInfo)) return Source{&FromMemoryInfo, "GetProcessMemoryInfo: PageFaultCount"};
    if (Counts(&FromLinuxProc))
      return Source{&FromLinuxProc,
                    "GetProcessMemoryInfo's PageFaultCount does not count here; the Linux process's "
                    "minor and major faults from /proc instead (Wine)"};
    return Source{nullptr, "not told: GetProcessMemoryInfo's PageFaultCount does not count here"};
  }();
  return source;
}

}  // namespace

std::optional<uint64_t> PageFaults() { return Chosen().counter ? Chosen().counter() : std::nullopt; }

const char* PageFaultSource() { return Chosen().text; }

}  // namespace bench
