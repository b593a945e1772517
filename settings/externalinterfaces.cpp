// External interfaces settings.
#include "settings/registry.h"

namespace trekmor {

namespace {
Group make() {
  Group g;
  g.name = "External interfaces";
  return g;
}
}  // namespace

const Group& externalInterfacesGroup() {
  static const Group group = make();
  return group;
}

Page externalInterfacesTab() {
  // The water-level module's tab ("WXTideMarker") is added as the eighth inner tab by the registry.
  return withInner(page("TabSheet_external_interfaces", "External interfaces"), "PageControl4",
                   {page("TabSheet_serial_ports", "Serial ports"), page("TabSheet_bluetooth", "Bluetooth"),
                    page("TabSheet_rs485", "RS-485 port"), page("TabSheet_weather_station", "Weather station"),
                    page("TabSheet_serial_console", "Serial console"), page("TabSheet_gps_receiver", "GPS receiver"),
                    page("TabSheet_kiss", "KISS")});
}

}  // namespace trekmor
