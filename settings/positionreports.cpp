// Position reports settings.
#include "settings/registry.h"

namespace trekmor {

namespace {
Group make() {
  Group g;
  g.name = "Position reports";
  return g;
}
}  // namespace

const Group& positionReportsGroup() {
  static const Group group = make();
  return group;
}

Page positionReportsTab() {
  return withInner(page("TabSheet_position_reports", "Position reports"), "PageControl5",
                   {page("TabSheet_report_mode", "Report mode"),
                    page("TabSheet_encoding_protocol", "Encoding protocol"),
                    page("TabSheet_smartbeaconing", "SmartBeaconing"),
                    page("TabSheet_fixed_interval", "Fixed time interval"),
                    page("TabSheet_gps_synchronized", "GPS-synchronized reports")});
}

}  // namespace trekmor
