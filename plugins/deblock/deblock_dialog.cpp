#include "deblock.h"

namespace tarvu {

intptr_t RunConfigDialog(TMyFilterData&, HostPreview*, WindowHandle) { return -1; }

}  // namespace tarvu
