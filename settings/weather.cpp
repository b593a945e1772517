// Weather settings.
#include "settings/registry.h"

namespace trekmor {

namespace {
Group make() {
  Group g;
  g.name = "Weather";
  return g;
}
}  // namespace

const Group& weatherGroup() {
  static const Group group = make();
  return group;
}

Page weatherTab() {
  return page("TabSheet_weather_reports", "Weather reports");
}

}  // namespace trekmor
