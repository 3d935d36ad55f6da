// The points in which one plug-in's module differs from another's, gathered
// so that a record's kTraits shows at a glance how its plug-in departs from
// the framework's default (the first generation's choices).
#pragma once

#include <cstdint>

namespace tarvu {

// How the module binds FFmpeg's libavfilter and libavutil.
enum class LibraryBinding {
  kLoadTime,  // imported: the module does not load without them
  kDelayed,   // bound on first use from the "tarvudlls" folder; missing ones pass frames through
};

// Whether the input frame carries the colour description the host's format implies.
enum class ColourProperties { kFromHostFormat, kUnset };

// How host texts are formatted: alone, or ending in a "{:c}" zero character.
// The string left in the host's buffer is the same either way.
enum class TextEnding { kPlain, kZeroCharacter };

// What the script row of "Config" holds.
enum class ScriptEntry {
  kStaticHandler,    // the filter's handler itself
  kForwardingEntry,  // an entry that finds the object and forwards the call
};

// What a "Config" call with fewer arguments than the signature lists does.
enum class ShortScriptCall {
  kIgnored,           // nothing changes
  kResetsToDefaults,  // the defaults come back and count as a change
};

// How one run call turns the source into the destination.
enum class FrameStep {
  kOneInOneOut,  // push, pull, copy; a pass-through only when no graph runs
  // For a filter that answers late and may make more than one picture per
  // frame: the source passes through while the graph has no picture yet,
  // every call counts (time stamps count calls), and the pictures after the
  // first of a call are taken out and dropped, so nothing piles up.
  kFirstPictureOrSource,
};

// Whether libavfilter's filter can work on a picture of this size and
// libavutil pixel format at all; where it cannot, frames pass through as
// when no graph runs.
using PictureCheck = bool (*)(int32_t width, int32_t height, int32_t pixelFormat);

struct PluginTraits {
  LibraryBinding binding = LibraryBinding::kLoadTime;
  ColourProperties colour = ColourProperties::kFromHostFormat;
  TextEnding textEnding = TextEnding::kPlain;
  ScriptEntry scriptEntry = ScriptEntry::kStaticHandler;
  ShortScriptCall shortCall = ShortScriptCall::kIgnored;
  FrameStep frameStep = FrameStep::kOneInOneOut;
  int32_t lagFrames = 0;             // reported to the host with the run flags
  bool cacheEventMarksChanged = false;  // host event 1 (caches invalid) rebuilds the graph
  PictureCheck filtersPicture = nullptr;  // none: every picture
};

inline constexpr PluginTraits kFirstGeneration{};

// The second generation also owns its configure operation: the shared one,
// instantiated for the plug-in's own dialog table and template.
inline constexpr PluginTraits kSecondGeneration{
    .binding = LibraryBinding::kDelayed,
    .colour = ColourProperties::kUnset,
    .textEnding = TextEnding::kZeroCharacter,
    .scriptEntry = ScriptEntry::kForwardingEntry,
};

}  // namespace tarvu
