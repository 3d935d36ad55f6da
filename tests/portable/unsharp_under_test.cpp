#include "plugins/unsharp/unsharp.h"
#include "tests/portable/plugin_under_test.h"

namespace tarvu {
intptr_t RunConfigDialog(TMyFilterData& live, HostPreview* preview, WindowHandle) {
  return portable::RunDialogStandIn(live, preview);
}
}  // namespace tarvu

namespace portable {
const PluginUnderTest& ThePlugin() {
  static const PluginUnderTest plugin = Describe<UnsharpFilter>("TarvuUnSharp");
  return plugin;
}
}  // namespace portable
