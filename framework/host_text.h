// Texts handed to the host go into the host's own fixed buffers.
#pragma once

#include <cstdint>
#include <cstring>

#include <fmt/format.h>

namespace tarvu {

// Writes at most length - 1 characters of the formatted text, up to its first
// zero character, then a terminating zero. A length of 0 or less writes
// nothing: the host gave us no room, not even for the terminator.
template <typename... Args>
void FormatHostText(char* buffer, int32_t length, fmt::format_string<Args...> format, Args&&... args) {
  if (length <= 0) return;
  const auto room = static_cast<std::size_t>(length) - 1;
  const auto result = fmt::format_to_n(buffer, room, format, std::forward<Args>(args)...);
  std::size_t written = result.size < room ? result.size : room;
  if (const void* zero = std::memchr(buffer, 0, written)) written = static_cast<const char*>(zero) - buffer;
  buffer[written] = '\0';
}

}  // namespace tarvu
