// Linux: the program's own malloc family stands in front of glibc's for
// every library in the process. Each call is counted, and attributed to
// FFmpeg when its caller lies in one of FFmpeg's libraries.
#include <link.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstring>

#include "allocation_count.h"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* pointer);
}

namespace bench {
namespace {

std::atomic<uint64_t> allCalls{0};
std::atomic<uint64_t> ownCalls{0};
std::atomic<uint64_t> largeCalls{0};

struct Range {
  uintptr_t begin, end;
};
Range libraryCode[32];
int libraryRanges = 0;
bool rangesKnown = false;

bool IsFfmpegLibrary(const char* path) {
  return std::strstr(path, "libavfilter") || std::strstr(path, "libavutil") || std::strstr(path, "libswscale");
}

int NoteLibrary(dl_phdr_info* info, std::size_t, void*) {
  if (!info->dlpi_name || !IsFfmpegLibrary(info->dlpi_name)) return 0;
  for (int i = 0; i < info->dlpi_phnum && libraryRanges < 32; ++i) {
    const ElfW(Phdr)& header = info->dlpi_phdr[i];
    if (header.p_type != PT_LOAD || !(header.p_flags & PF_X)) continue;
    const uintptr_t begin = info->dlpi_addr + header.p_vaddr;
    libraryCode[libraryRanges++] = {begin, begin + header.p_memsz};
  }
  return 0;
}

bool FromLibrary(void* caller) {
  if (!rangesKnown) {
    rangesKnown = true;  // before the walk: it may allocate
    dl_iterate_phdr(&NoteLibrary, nullptr);
  }
  const auto address = reinterpret_cast<uintptr_t>(caller);
  for (int i = 0; i < libraryRanges; ++i)
    if (address >= libraryCode[i].begin && address < libraryCode[i].end) return true;
  return false;
}

void Count(void* caller, std::size_t size) {
  allCalls.fetch_add(1, std::memory_order_relaxed);
  if (size >= kLargeAllocation) largeCalls.fetch_add(1, std::memory_order_relaxed);
  if (!rangesKnown || !FromLibrary(caller)) ownCalls.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

AllocationCount Allocations() {
  FromLibrary(nullptr);
  return {allCalls.load(), ownCalls.load(), largeCalls.load()};
}
bool SeesLibraryAllocations() { return true; }

}  // namespace bench

extern "C" {
void* malloc(std::size_t size) {
  bench::Count(__builtin_return_address(0), size);
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
  bench::Count(__builtin_return_address(0), count * size);
  return __libc_calloc(count, size);
}
void* realloc(void* pointer, std::size_t size) {
  bench::Count(__builtin_return_address(0), size);
  return __libc_realloc(pointer, size);
}
void* memalign(std::size_t alignment, std::size_t size) {
  bench::Count(__builtin_return_address(0), size);
  return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
  bench::Count(__builtin_return_address(0), size);
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
  bench::Count(__builtin_return_address(0), size);
  void* pointer = __libc_memalign(alignment, size);
  if (!pointer) return ENOMEM;
  *result = pointer;
  return 0;
}
void free(void* pointer) { __libc_free(pointer); }
}
