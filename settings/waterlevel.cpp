// Water-level module settings.
#include "settings/registry.h"

namespace trekmor {

namespace {
Group make() {
  Group g;
  g.name = "Water-level module";
  return g;
}
}  // namespace

const Group& waterLevelGroup() {
  static const Group group = make();
  return group;
}

Page waterLevelTab() {
  return withInner(page("WXTideMarker", "WXTideMarker"), "PageControl6",
                   {page("TabSheet_wxtm_internal", "Module internal settings"),
                    page("TabSheet_wxtm_calculations", "Calculations"), page("TabSheet_wxtm_alarm", "Sensor alarm beacon"),
                    page("TabSheet_wxtm_emergency", "Emergency beacon"), page("TabSheet_wxtm_input", "Input level beacon")});
}

}  // namespace trekmor
