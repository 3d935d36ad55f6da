// Whether a module that binds FFmpeg on first use can bind it now.
#pragma once

namespace tarvu {

// True when libavfilter and libavutil, and every function of theirs that the
// module calls, can be found; nothing of FFmpeg is called before it says so.
// Defined by the module's start-up code (or, where FFmpeg is linked at load
// time, as always true).
bool DelayLoadedLibrariesBound();

}  // namespace tarvu
