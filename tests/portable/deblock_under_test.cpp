#include "plugins/deblock/deblock.h"
#include "tests/portable/plugin_under_test.h"

namespace tarvu {
intptr_t RunConfigDialog(TMyFilterData& live, HostPreview* preview, WindowHandle) {
  return portable::RunDialogStandIn(live, preview);
}
}  // namespace tarvu

namespace portable {
const PluginUnderTest& ThePlugin() {
  static const PluginUnderTest plugin = Describe<DeblockFilter>("TarvuDeblock");
  return plugin;
}
}  // namespace portable
