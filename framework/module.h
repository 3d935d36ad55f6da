#pragma once

namespace tarvu {

// The module's own instance handle (an HINSTANCE), for its resources.
void* ModuleInstanceHandle();

}  // namespace tarvu
