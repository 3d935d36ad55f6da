// Checks a module's delay-loaded imports before their first use: the
// platform's own binding raises an exception that would end the editor when
// a DLL or a function is missing, so every one is looked up here first.
#include <windows.h>

#include <cstdint>

#include "library_binding.h"
#include "module.h"

// The import descriptors of the delay-import libraries the module links
// (GNU ld leaves the image's delay-import directory empty, so they are
// reached by the names dlltool gave them).
extern "C" const IMAGE_DELAYLOAD_DESCRIPTOR __DELAY_IMPORT_DESCRIPTOR_libavfilter_8_delay_a;
extern "C" const IMAGE_DELAYLOAD_DESCRIPTOR __DELAY_IMPORT_DESCRIPTOR_libavutil_57_delay_a;

namespace tarvu {
namespace {

const IMAGE_DELAYLOAD_DESCRIPTOR* const kDelayImports[] = {&__DELAY_IMPORT_DESCRIPTOR_libavfilter_8_delay_a,
                                                           &__DELAY_IMPORT_DESCRIPTOR_libavutil_57_delay_a};

template <typename T>
T* At(uint8_t* base, uintptr_t address, bool rvaBased) {
  return reinterpret_cast<T*>(rvaBased ? base + address : reinterpret_cast<uint8_t*>(address));
}

bool ImportsOfDescriptorBind(uint8_t* base, const IMAGE_DELAYLOAD_DESCRIPTOR& descriptor) {
  const bool rvaBased = descriptor.Attributes.RvaBased != 0;
  HMODULE library = LoadLibraryA(At<const char>(base, descriptor.DllNameRVA, rvaBased));
  if (!library) return false;
  for (auto* thunk = At<IMAGE_THUNK_DATA>(base, descriptor.ImportNameTableRVA, rvaBased); thunk->u1.AddressOfData;
       ++thunk) {
    const char* name = IMAGE_SNAP_BY_ORDINAL(thunk->u1.Ordinal)
                           ? MAKEINTRESOURCEA(IMAGE_ORDINAL(thunk->u1.Ordinal))
                           : At<IMAGE_IMPORT_BY_NAME>(base, thunk->u1.AddressOfData, rvaBased)->Name;
    if (!GetProcAddress(library, name)) return false;
  }
  return true;
}

bool AllDelayImportsBind() {
  auto* base = static_cast<uint8_t*>(ModuleInstanceHandle());
  for (const IMAGE_DELAYLOAD_DESCRIPTOR* descriptor : kDelayImports)
    if (!ImportsOfDescriptorBind(base, *descriptor)) return false;
  return true;
}

}  // namespace

// Success is kept; a failure is asked again at the next start, so DLLs put
// in place meanwhile are found.
bool DelayLoadedLibrariesBound() {
  static bool bound = false;
  if (!bound) bound = AllDelayImportsBind();
  return bound;
}

}  // namespace tarvu
