#include "plugin_under_test.h"

namespace portable {

DialogStandIn& Dialog() {
  static DialogStandIn dialog;
  return dialog;
}

}  // namespace portable
