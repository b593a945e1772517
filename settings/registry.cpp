#include "settings/registry.h"

#include <map>

namespace trekmor {

namespace {

Page page(std::string objectName, std::string caption) {
  Page p;
  p.objectName = std::move(objectName);
  p.caption = std::move(caption);
  return p;
}

Page withInner(Page p, std::string innerName, std::vector<Page> inner) {
  p.innerName = std::move(innerName);
  p.inner = std::move(inner);
  return p;
}

// The tabs of groups that are not declared yet: present with their names and
// captions, and empty.
std::vector<Page> placeholderTabs() {
  std::vector<Page> tabs;
  tabs.push_back(withInner(page("TabSheet_position_reports", "Position reports"), "PageControl5",
                           {page("TabSheet_report_mode", "Report mode"),
                            page("TabSheet_encoding_protocol", "Encoding protocol"),
                            page("TabSheet_smartbeaconing", "SmartBeaconing"),
                            page("TabSheet_fixed_interval", "Fixed time interval"),
                            page("TabSheet_gps_synchronized", "GPS-synchronized reports")}));
  tabs.push_back(withInner(page("TabSheet_digipeater", "Digipeater"), "PageControl3",
                           {page("TabSheet_digi_common", "Common settings"),
                            page("TabSheet_digi_aliases", "Simple aliases")}));
  Page beacons = page("TabSheet_beacons", "Beacons");
  beacons.rows.push_back(Row{{buttonCell("Button_special_strings", "Special strings", "")}, false});
  tabs.push_back(beacons);
  tabs.push_back(withInner(page("TabSheet_telemetry_reports", "Telemetry reports"), "PageControl2",
                           {page("TabSheet_tele_report", "Report settings"),
                            page("TabSheet_tele_analog", "Analog channels"),
                            page("TabSheet_tele_digital14", "Digital channels 1-4"),
                            page("TabSheet_tele_digital58", "Digital channels 5-8"),
                            page("TabSheet_wxpins", "WXPins outputs")}));
  tabs.push_back(page("TabSheet_weather_reports", "Weather reports"));
  tabs.push_back(withInner(
      page("TabSheet_external_interfaces", "External interfaces"), "PageControl4",
      {page("TabSheet_serial_ports", "Serial ports"), page("TabSheet_bluetooth", "Bluetooth"),
       page("TabSheet_rs485", "RS-485 port"), page("TabSheet_weather_station", "Weather station"),
       page("TabSheet_serial_console", "Serial console"), page("TabSheet_gps_receiver", "GPS receiver"),
       page("TabSheet_kiss", "KISS"),
       withInner(page("WXTideMarker", "WXTideMarker"), "PageControl6",
                 {page("TabSheet_wxtm_internal", "Module internal settings"),
                  page("TabSheet_wxtm_calculations", "Calculations"),
                  page("TabSheet_wxtm_alarm", "Sensor alarm beacon"),
                  page("TabSheet_wxtm_emergency", "Emergency beacon"),
                  page("TabSheet_wxtm_input", "Input level beacon")})}));
  tabs.push_back(page("TabSheet_testtone", "Test tone"));
  return tabs;
}

}  // namespace

const std::vector<const Group*>& packOrder() {
  static const std::vector<const Group*> groups{&radioGroup()};
  return groups;
}

const std::vector<const FieldDecl*>& allFields() {
  static const std::vector<const FieldDecl*> fields = [] {
    std::vector<const FieldDecl*> out;
    for (const Group* group : packOrder()) {
      for (const FieldDecl& field : group->fields) out.push_back(&field);
    }
    return out;
  }();
  return fields;
}

const FieldDecl* findField(const std::string& control) {
  static const std::map<std::string, const FieldDecl*> index = [] {
    std::map<std::string, const FieldDecl*> out;
    for (const FieldDecl* field : allFields()) out.emplace(field->control, field);
    return out;
  }();
  const auto it = index.find(control);
  return it == index.end() ? nullptr : it->second;
}

const std::vector<Page>& tabTree() {
  static const std::vector<Page> tabs = [] {
    std::vector<Page> out;
    out.push_back(radioTab());
    for (Page& p : placeholderTabs()) out.push_back(std::move(p));
    return out;
  }();
  return tabs;
}

}  // namespace trekmor
