// Where a module looks for the FFmpeg DLLs: the "tarvudlls" folder beside it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvu {

// The folder for a module at `modulePath`, or nothing for a path without a
// backslash (an empty one included).
inline std::optional<std::wstring> LibraryFolderFor(std::wstring_view modulePath) {
  const std::size_t lastBackslash = modulePath.rfind(L'\\');
  if (lastBackslash == std::wstring_view::npos) return std::nullopt;
  std::wstring folder(modulePath.substr(0, lastBackslash + 1));
  folder += L"tarvudlls";
  return folder;
}

}  // namespace tarvu
