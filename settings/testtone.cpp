// Test tone settings.
#include "settings/registry.h"

namespace trekmor {

namespace {
Group make() {
  Group g;
  g.name = "Test tone";
  return g;
}
}  // namespace

const Group& testToneGroup() {
  static const Group group = make();
  return group;
}

Page testToneTab() {
  return page("TabSheet_testtone", "Test tone");
}

}  // namespace trekmor
