// Telemetry settings.
#include "settings/registry.h"

namespace trekmor {

namespace {
Group make() {
  Group g;
  g.name = "Telemetry";
  return g;
}
}  // namespace

const Group& telemetryGroup() {
  static const Group group = make();
  return group;
}

Page telemetryTab() {
  return withInner(page("TabSheet_telemetry_reports", "Telemetry reports"), "PageControl2",
                   {page("TabSheet_tele_report", "Report settings"), page("TabSheet_tele_analog", "Analog channels"),
                    page("TabSheet_tele_digital14", "Digital channels 1-4"),
                    page("TabSheet_tele_digital58", "Digital channels 5-8"), page("TabSheet_wxpins", "WXPins outputs")});
}

}  // namespace trekmor
