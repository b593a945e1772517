// Beacons settings.
#include "settings/registry.h"

namespace trekmor {

namespace {
Group make() {
  Group g;
  g.name = "Beacons";
  return g;
}
}  // namespace

const Group& beaconsGroup() {
  static const Group group = make();
  return group;
}

Page beaconsTab() {
  Page beacons = page("TabSheet_beacons", "Beacons");
  beacons.rows.push_back(Row{{buttonCell("Button_special_strings", "Special strings", "")}, false});
  return beacons;
}

}  // namespace trekmor
