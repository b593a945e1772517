// The window's pages: for each tab its rows and cells, the sizes of fields in
// characters, the columns that take the spare width, the keyboard's blocks
// and the object names of the tab controls. Captions of pages come from the
// settings' tab declarations; every cell names a declared setting.
#include "ui/pages.h"

#include <cstdio>
#include <cstdlib>
#include <set>

#include "settings/registry.h"
#include "settings/telemetrypresets.h"

namespace trekmor {

namespace {

Page page(std::string objectName, const Tab& tab) {
  Page p;
  p.objectName = std::move(objectName);
  p.caption = std::string(tab.caption);
  return p;
}

Page withInner(Page p, std::string innerName, std::vector<Page> inner) {
  p.innerName = std::move(innerName);
  p.inner = std::move(inner);
  return p;
}

// The settings on `tab`, in row order.
std::vector<const FieldDecl*> fieldsOn(const Tab& tab) {
  std::vector<const FieldDecl*> out;
  for (const FieldDecl* field : allFields()) {
    if (field->tab == &tab) out.push_back(field);
  }
  return out;
}

std::string alias(int k, const char* suffix) { return "Alias" + std::to_string(k) + suffix; }
std::string beacon(int k, const char* suffix) { return "Beacon" + std::to_string(k) + suffix; }

constexpr const char* kSpecialStringsButton = "Button_special_strings";
constexpr int kAliasCount = 8;
constexpr int kBeaconCount = 4;

// The control names of one of the water-level module's three beacons.
struct Beacon {
  std::string name;  // "alarmbeacon"
  std::string control(const std::string& suffix) const { return "Wxtidemarker_" + name + "_" + suffix; }
};
const Beacon kAlarm{"alarmbeacon"};
const Beacon kEmergency{"emergencybeacon"};
const Beacon kInput{"inputbeacon"};

Page radioTab() {
  Page p = page("TabSheet_radio", tabs::kRadio);
  const auto pair = [](const std::string& left, const std::string& right) {
    Row row = formRow(left);
    if (!right.empty()) {
      Row second = formRow(right);
      row.cells.insert(row.cells.end(), second.cells.begin(), second.cells.end());
    }
    return row;
  };
  Row callsign{{captionCell("Callsign"),
                inlineCell({fieldCell("Callsign"), labelCell("-", "Label_callsign_dash"), fieldCell("Ssid")}),
                captionCell("Squelch"), fieldCell("Squelch")},
               false};
  p.rows = {
      callsign,
      pair("Latitude", "Busydetect"),
      pair("Longitude", "Consecutive_packets"),
      pair("Txdelay", "Txrx_freq"),
      pair("Txtail", "Tx_power"),
      pair("Quiettime", "Tx_power_apc"),
      pair("Quiettime_randomize", ""),
  };
  p.tabBlocks = {2};  // the right-hand form after the left one
  return p;
}


Page positionReportsTab() {
  const auto pair = [](const std::string& left, const std::string& right) {
    Row row = formRow(left);
    Row second = formRow(right);
    row.cells.insert(row.cells.end(), second.cells.begin(), second.cells.end());
    return row;
  };

  Page mode = page("TabSheet_report_mode", tabs::kReportMode);
  mode.rows = {formRow("Position_report_mode")};
  mode.stretchColumn = 2;

  Page encoding = page("TabSheet_encoding_protocol", tabs::kEncodingProtocol);
  // "Path:" name "-" SSID "," name "-" SSID "," name "-" SSID, in one cell
  // beside the caption column that reaches into the spare width, so that it
  // does not widen the columns of the other rows.
  Row path{{captionCell("Position_path1"),
            inlineCell({fieldCell("Position_path1"), captionCell("Position_ssid1"), fieldCell("Position_ssid1"),
                        captionCell("Position_path2"), fieldCell("Position_path2"), captionCell("Position_ssid2"),
                        fieldCell("Position_ssid2"), captionCell("Position_path3"), fieldCell("Position_path3"),
                        captionCell("Position_ssid3"), fieldCell("Position_ssid3")},
                       4)},
           false};
  encoding.rows = {
      Row{{captionCell("Position_report_encoding"), fieldCell("Position_report_encoding"),
           labelCell("Mic-E", "Label_mice"), emptyCell()},
          false},
      Row{{captionCell("Position_symbol_code"), fieldCell("Position_symbol_code"), captionCell("Mice_message"),
           fieldCell("Mice_message")},
          false},
      pair("Position_symbol_table", "Position_time"),
      path,
      Row{{captionCell("Position_status_text"), fieldCell("Position_status_text", 3)}, false},
      pair("Position_coursespeed", "Position_altitude"),
      pair("Position_reportonfixlost", "Position_fixlost_interval"),
  };
  encoding.stretchColumn = 4;

  Page smart = page("TabSheet_smartbeaconing", tabs::kSmartBeaconing);
  smart.rows = {
      pair("Smartbeaconing_min_turn_angle", "Smartbeaconing_slow_speed"),
      pair("Smartbeaconing_turn_slope", "Smartbeaconing_slow_period"),
      pair("Smartbeaconing_min_turn_time", "Smartbeaconing_fast_speed"),
      Row{{emptyCell(2), captionCell("Smartbeaconing_fast_period"), fieldCell("Smartbeaconing_fast_period")}, false},
  };
  smart.tabBlocks = {2};

  Page fixed = page("TabSheet_fixed_interval", tabs::kFixedInterval);
  fixed.rows = {formRow("Position_report_interval")};
  fixed.stretchColumn = 2;

  Page synchronized = page("TabSheet_gps_synchronized", tabs::kGpsSynchronized);
  // The explanations run across the whole tab; the third column, empty
  // but for them, takes the spare width.
  const auto explanation = [](std::string text) { return wrappedText(std::move(text), 3); };
  synchronized.stretchColumn = 2;
  synchronized.rows = {
      formRow("Synchronized_report_interval"),
      formRow("Synchronized_report_second"),
      explanation("This report mode allows for GPS-synchronized beaconing for a group of cooperating trackers to "
                  "avoid packet collisions and optimize channel usage."),
      explanation("It may be interesting especially for rescue groups, contests, etc. while working on a separate "
                  "channel frequency (undisturbed by other transmitting stations)."),
      explanation("Example: We have 4 trackers which should send in 60 seconds interval. For tracker #1 we set "
                  "second number to 0,  for tracker #2 to 15, for tracker #3 to 30, for tracker #4 to 45."),
      explanation("Tracker #1 will send in second 0 after every minute, tracker #2 will send 15 seconds after every "
                  "minute, etc. No collisions should occur between these trackers."),
  };

  return withInner(page("TabSheet_position_reports", tabs::kPositionReports), "PageControl5",
                   {mode, encoding, smart, fixed, synchronized});
}


// One block of four alias rows under its column captions; the two blocks
// stand side by side.
std::vector<Cell> aliasHeader() {
  return {labelCell("Alias:"), emptyCell(), labelCell("Ssid:"), labelCell("Traceable:"), labelCell("Enable if:")};
}

std::vector<Cell> aliasRow(int k) {
  return {fieldCell(alias(k, "_name")), labelCell("-"), fieldCell(alias(k, "_ssid")), fieldCell(alias(k, "_traceable")),
          fieldCell(alias(k, "_enable"))};
}


Page digipeaterTab() {
  Page common = page("TabSheet_digi_common", tabs::kDigiCommon);
  common.rows = {formRow("Digion"), formRow("Floodtimeout")};
  common.stretchColumn = 2;

  Page aliases = page("TabSheet_digi_aliases", tabs::kDigiAliases);
  const auto join = [](std::vector<Cell> left, std::vector<Cell> right) {
    left.insert(left.end(), right.begin(), right.end());
    return Row{std::move(left), false};
  };
  aliases.rows.push_back(join(aliasHeader(), aliasHeader()));
  for (int k = 1; k <= kAliasCount / 2; ++k) aliases.rows.push_back(join(aliasRow(k), aliasRow(k + kAliasCount / 2)));
  // Aliases 1-4 on the left, 5-8 on the right, kept apart; the keyboard
  // takes the left block first.
  aliases.tabBlocks = {5};

  return withInner(page("TabSheet_digipeater", tabs::kDigipeater), "PageControl3", {common, aliases});
}


Page beaconsTab() {
  Page beacons = page("TabSheet_beacons", tabs::kBeacons);
  // Columns: name "-" SSID for destination and path 1, ",", name "-" SSID for
  // path 2, interval, condition, and the message, which takes the spare
  // width. The "Special strings" button sits at the top right, over the
  // right end of the message column.
  beacons.rows.push_back(Row{{labelCell("Dest:", {}, 3), labelCell("Path 1:", {}, 3), emptyCell(),
                              labelCell("Path 2:", {}, 3), labelCell("RF[min]:"), labelCell("Enable if:"),
                              labelCell("Message (empty fields are ignored):"),
                              buttonCell(kSpecialStringsButton, "Special strings", "")},
                             false});
  for (int k = 1; k <= kBeaconCount; ++k) {
    beacons.rows.push_back(
        Row{{fieldCell(beacon(k, "_dest_string")), captionCell(beacon(k, "_dest_ssid")), fieldCell(beacon(k, "_dest_ssid")),
             fieldCell(beacon(k, "_path1_string")), captionCell(beacon(k, "_path1_ssid")),
             fieldCell(beacon(k, "_path1_ssid")), labelCell(","), fieldCell(beacon(k, "_path2_string")),
             captionCell(beacon(k, "_path2_ssid")), fieldCell(beacon(k, "_path2_ssid")), fieldCell(beacon(k, "_txrate")),
             fieldCell(beacon(k, "_enable")), fieldCell(beacon(k, "_message"), 2)},
            false});
  }
  beacons.stretchColumn = 12;
  return beacons;
}


// Column widths of the grids, in characters.
constexpr int kSsidChars = 3;
constexpr int kRateChars = 4;
constexpr int kChannelTextChars = 7;
constexpr int kCoefficientChars = 8;

Cell sized(std::string control, int chars) {
  Cell c = fieldCell(std::move(control));
  c.chars = chars;
  return c;
}

Cell addressCell(const std::string& name, const std::string& ssid, const std::string& dashName) {
  return inlineCell({fieldCell(name), labelCell("-", dashName), sized(ssid, kSsidChars)});
}

Row packetRow(const std::string& prefix, const std::string& caption) {
  const std::string dash = "Label_" + prefix + "_";
  return Row{{labelCell(caption, "Label_" + prefix),
              addressCell(prefix + "_dest_string", prefix + "_dest_ssid", dash + "dest_dash"),
              addressCell(prefix + "_path1_string", prefix + "_path1_ssid", dash + "path1_dash"),
              addressCell(prefix + "_path2_string", prefix + "_path2_ssid", dash + "path2_dash"),
              sized(prefix + "_txrate_rf", kRateChars)},
             false};
}

Page reportSettingsPage() {
  Page p = page("TabSheet_report_settings", tabs::kTelemetryReports);
  p.rows = {
      Row{{emptyCell(), labelCell("Dest:", "Label_tele_dest"), labelCell("Path:", "Label_tele_path1"),
           labelCell("Path:", "Label_tele_path2"), labelCell("RF[min]:", "Label_tele_rf")},
          false},
      packetRow("Teleparams", "Telemetry parameters:"),
      packetRow("Teledata", "Telemetry data:"),
      Row{{captionCell("Teletitle"), fieldCell("Teletitle", 2)}, false},
      formRow("Tele_holdoff"),
      formRow("Tele_enable"),
      wrappedText("Note: for telemetry reports, messages and their limits see chapter 13 of the APRS Protocol "
                  "Reference, version 1.0.1.",
                  5),
  };
  return p;
}

Page analogPage() {
  Page p = page("TabSheet_analog_channels", tabs::kAnalogChannels);
  Row header{{emptyCell()}, false};
  for (const char* column : {"Name:", "Units:", "Source:", "Coeff A:", "Coeff B:", "Coeff C:"}) {
    header.cells.push_back(labelCell(column));
  }
  // Spans the button column too, so that its column stays as narrow as the
  // "Off"/"On" boxes below it.
  header.cells.push_back(labelCell("1 min average:", {}, 2));
  p.rows.push_back(header);
  for (int k = 1; k <= kAnalogChannels; ++k) {
    const std::string n = std::to_string(k);
    Row row{{labelCell("Analog " + n + ":", "Label_teleanalog" + n)}, false};
    row.cells.push_back(sized(analogControl(k, "name"), kChannelTextChars));
    row.cells.push_back(sized(analogControl(k, "units"), kChannelTextChars));
    row.cells.push_back(fieldCell(analogControl(k, "source")));
    for (const char* part : {"coefa", "coefb", "coefc"}) row.cells.push_back(sized(analogControl(k, part), kCoefficientChars));
    row.cells.push_back(fieldCell(analogControl(k, "average")));
    row.cells.push_back(
        buttonCell(analogButton(k), "Default parameters", "Default parameters for analog channel."));
    p.rows.push_back(row);
  }
  p.rows.push_back(wrappedText("Note: types of telemetry sources are: (M) - from WXQuantaBox, (E) - from external "
                               "devices, (I) - device internal sources.",
                               9));
  return p;
}

Page digitalPage(std::string objectName, const Tab& tab, int first, int last) {
  Page p = page(std::move(objectName), tab);
  p.compact = true;
  Row header{{emptyCell()}, false};
  for (const char* column : {"Name:", "Label", "Source", "Inverted:"}) header.cells.push_back(labelCell(column));
  p.rows.push_back(header);
  for (int k = first; k <= last; ++k) {
    const std::string n = std::to_string(k);
    Row row{{labelCell("Digital " + n + ":", "Label_teledigital" + n)}, false};
    row.cells.push_back(sized(digitalControl(k, "name"), kChannelTextChars));
    row.cells.push_back(sized(digitalControl(k, "units"), kChannelTextChars));
    row.cells.push_back(fieldCell(digitalControl(k, "source")));
    row.cells.push_back(fieldCell(digitalControl(k, "inverted")));
    row.cells.push_back(
        buttonCell(digitalButton(k), "Default parameters", "Default parameters for digital channel."));
    p.rows.push_back(row);
  }
  return p;
}

Page wxpinsPage() {
  Page p = page("TabSheet_wxpins_outputs", tabs::kWxPinsOutputs);
  p.compact = true;
  for (int k = 1; k <= 4; ++k) p.rows.push_back(formRow("WXPins_output" + std::to_string(k)));
  return p;
}

Page telemetryTab() {
  return withInner(page("TabSheet_telemetry_reports", tabs::kTelemetry), "PageControl2",
                   {reportSettingsPage(), analogPage(),
                    digitalPage("TabSheet_digital_channels14", tabs::kDigitalChannels14, 1, 4),
                    digitalPage("TabSheet_digital_channels58", tabs::kDigitalChannels58, 5, 8), wxpinsPage()});
}


Page weatherTab() {
  Page p = page("TabSheet_weather_reports", tabs::kWeather);
  const auto address = [](const char* name, const char* ssid, const char* dash) {
    Cell ssidCell = fieldCell(ssid);
    ssidCell.chars = 3;
    return inlineCell({fieldCell(name), labelCell("-", dash), ssidCell});
  };
  Cell path1 = address("Weather_path1_string", "Weather_path1_ssid", "Label_weather_path1_dash");
  path1.children.push_back(labelCell(",", "Label_weather_path_comma"));
  Cell rate = fieldCell("Weather_txrate");
  rate.chars = 4;
  p.rows = {
      Row{{emptyCell(), captionCell("Weather_dest_string"), captionCell("Weather_path1_string"),
           captionCell("Weather_path2_string"), captionCell("Weather_txrate"), captionCell("Weather_enable"),
           captionCell("Weather_position")},
          false},
      Row{{labelCell("Weather report:", "Label_weather_report"),
           address("Weather_dest_string", "Weather_dest_ssid", "Label_weather_dest_dash"), path1,
           address("Weather_path2_string", "Weather_path2_ssid", "Label_weather_path2_dash"),
           rate, fieldCell("Weather_enable"), fieldCell("Weather_position")},
          false},
      Row{{captionCell("Weather_comment"), fieldCell("Weather_comment", 3)}, false},
  };
  return p;
}


Page externalInterfacesTab() {
  Page serialPorts = page("TabSheet_serial_ports", tabs::kSerialPorts);
  serialPorts.rows = {formRow("Serial2_mode"), formRow("Serial1_mode")};

  Page bluetooth = page("TabSheet_bluetooth", tabs::kBluetooth);
  bluetooth.rows = {formRow("Bluetooth_name"), formRow("Bluetooth_password")};

  Page rs485 = page("TabSheet_rs485", tabs::kRs485);
  rs485.rows = {formRow("RS485_mode"), formRow("Telemodule_enable"), formRow("Pinsmodule_enable"),
                formRow("Tidemarker_enable")};

  Page weatherStation = page("TabSheet_weather_station", tabs::kWeatherStation);
  weatherStation.rows = {formRow("Weather_stationtype")};

  Page console = page("TabSheet_serial_console", tabs::kSerialConsole);
  // The debug switches: every setting of the titled box, caption and field.
  std::vector<Cell> switches;
  for (const FieldDecl* field : fieldsOn(tabs::kConsoleDebug)) {
    switches.push_back(captionCell(field->control));
    switches.push_back(fieldCell(field->control));
  }
  console.rows = {formRow("Console_baudrate"),
                  Row{{groupBoxCell("GroupBox_console_debug", std::string(tabs::kConsoleDebug.caption), switches, 8, 2)},
                      false}};

  Page gps = page("TabSheet_gps_receiver", tabs::kGpsReceiver);
  gps.rows = {formRow("GPS_baudrate")};

  Page kiss = page("TabSheet_kiss", tabs::kKiss);
  kiss.rows = {formRow("Kiss_baudrate"), formRow("Kiss_direction"), formRow("Kiss_check")};

  // The water-level module's tab ("WXTideMarker") is added as the eighth inner tab by tabTree().
  return withInner(page("TabSheet_external_interfaces", tabs::kExternalInterfaces), "PageControl4",
                   {serialPorts, bluetooth, rs485, weatherStation, console, gps, kiss});
}


Row rangeRow(const std::string& control, std::string range) {
  Row row = formRow(control);
  row.cells.push_back(labelCell(std::move(range)));
  return row;
}

// The rows shared by the three beacon tabs: destination and two paths in one
// line, then the rate and the comment. The line starts in the field column,
// so that the destination edit (or, behind a title, its caption) lines up
// with the fields above and below it.
std::vector<Row> beaconRows(const Beacon& b, const std::string& title, int columns) {
  const auto address = [&](const std::string& part) {
    return std::vector<Cell>{captionCell(b.control(part + "_string")), fieldCell(b.control(part + "_string")),
                             labelCell("-"), fieldCell(b.control(part + "_ssid"))};
  };
  std::vector<Cell> line;
  for (const std::string part : {"dest", "path1"}) {
    for (Cell& cell : address(part)) line.push_back(cell);
  }
  line.push_back(labelCell(","));
  for (Cell& cell : address("path2")) line.push_back(cell);
  Cell first = labelCell(title);
  if (title.empty()) {
    first = line.front();  // the "Dest:" caption
    line.erase(line.begin());
  }
  Row addresses{{first, inlineCell(std::move(line), columns - 1)}, false};
  return {addresses, formRow(b.control("txrate")),
          Row{{captionCell(b.control("comment")), fieldCell(b.control("comment"), columns - 1)}, false}};
}

// Three columns: captions, fields and the range labels beside them; the
// comment and the explanation reach over the last two.
Page beaconPage(std::string objectName, const Tab& tab, std::vector<Row> own, const Beacon& b,
                const std::string& title, std::string explanation) {
  constexpr int columns = 3;
  Page p = page(std::move(objectName), tab);
  p.rows = std::move(own);
  for (Row& row : beaconRows(b, title, columns)) p.rows.push_back(std::move(row));
  p.rows.push_back(wrappedText(std::move(explanation), columns));
  return p;
}

// MEASUREMENT[cm] = SAMPLE * FULLSCALE[cm] / 32768 + OFFSET[cm], drawn as a
// fraction in 12 point type.
constexpr const char* kFormula =
    "<table style=\"font-size:12pt\" cellspacing=\"0\" cellpadding=\"1\"><tr>"
    "<td rowspan=\"2\" valign=\"middle\">MEASUREMENT[cm] =&nbsp;</td>"
    "<td align=\"center\" style=\"border-bottom: 1px solid black\">SAMPLE * FULLSCALE[cm]</td>"
    "<td rowspan=\"2\" valign=\"middle\">&nbsp;+ OFFSET[cm]</td></tr>"
    "<tr><td align=\"center\">32768</td></tr></table>";

Page waterLevelTab() {
  Page internal = page("TabSheet_wxtm_internal", tabs::kWaterLevelInternal);
  internal.rows = {
      rangeRow("Wxtidemarker_relay_on_time", "(0 - 255)"),
      rangeRow("Wxtidemarker_relay_off_time", "(0 - 255)"),
      rangeRow("Wxtidemarker_meas_interval", "(60 - 3600)"),
      formRow("Wxtidemarker_samples_avg"),
      wrappedText("These settings are WXTideMarker module internal settings and work in module firmware regardless "
                  "of APRS controlling device operation.",
                  3),
      wrappedText("These settings are updated in WXTideMarker EEPROM memory after APRS Trekmor power-up.", 3),
  };

  Page calculations = page("TabSheet_wxtm_calculations", tabs::kWaterLevelCalculations);
  calculations.rows = {
      Row{{labelCell(kFormula, "Label_wxtm_formula", 3)}, false},
      rangeRow("Wxtidemarker_coeff_fullscale", "(0 - 32767)"),
      rangeRow("Wxtidemarker_coeff_offset", "(-32768 - 32767)"),
      wrappedText("For B+B Thermo Technik 0550 1392-002 sensor the fullscale is 1bar which equals to 1000cm of water.",
                  3),
  };

  Page alarm = beaconPage("TabSheet_wxtm_alarm", tabs::kWaterLevelAlarm,
                          {formRow("Wxtidemarker_alarmbeacon"), rangeRow("Wxtidemarker_alarmbeacon_on_th", "(0 - 32767)"),
                           rangeRow("Wxtidemarker_alarmbeacon_off_th", "(0 - 32767)")},
                          kAlarm, "Sensor alarm beacon:",
                          "Alarm beacon is sent when measured pressure exceeds configured value.");
  Page emergency = beaconPage(
      "TabSheet_wxtm_emergency", tabs::kWaterLevelEmergency,
      {formRow("Wxtidemarker_emergencybeacon"), formRow("Wxtidemarker_emergencybeacon_errors")}, kEmergency, "",
      "Emergency beacon is sent in case of loss communication with the sensor over I2C or with WXTideMarker module "
      "over RS-485.");
  Page input = beaconPage("TabSheet_wxtm_input", tabs::kWaterLevelInput,
                          {formRow("Wxtidemarker_inputbeacon"), formRow("Wxtidemarker_inputbeacon_level")}, kInput, "",
                          "Input level beacon is sent if input state reaches module input alarm state.");

  return withInner(page("WXTideMarker", tabs::kWaterLevel), "PageControl6",
                   {internal, calculations, alarm, emergency, input});
}


Page testToneTab() {
  Page p = page("TabSheet_testtone", tabs::kTestTone);
  p.rows = {formRow("Testtone_enable"), formRow("Testtone_pattern"), formRow("Testtone_bypasspa"),
            wrappedText("Device will send test pattern for 10 seconds in 20 second intervals (10 seconds on, 10 "
                        "seconds off, etc.).",
                        3)};
  return p;
}


std::vector<Page> buildTabTree() {
  Page external = externalInterfacesTab();
  external.inner.push_back(waterLevelTab());
  return {radioTab(),     positionReportsTab(), digipeaterTab(), beaconsTab(),
          telemetryTab(), weatherTab(),         external,        testToneTab()};
}

void collectCells(const std::vector<Cell>& cells, std::vector<const Cell*>& out) {
  for (const Cell& cell : cells) {
    out.push_back(&cell);
    collectCells(cell.children, out);
  }
}

void collectCells(const std::vector<Page>& pages, std::vector<const Cell*>& out) {
  for (const Page& page : pages) {
    for (const Row& row : page.rows) collectCells(row.cells, out);
    collectCells(page.inner, out);
  }
}

}  // namespace

std::vector<std::string> layoutProblems(std::span<const Group* const> groups, const std::vector<Page>& tabs) {
  std::vector<std::string> problems;
  std::set<std::string, std::less<>> fields;
  for (const Group* group : groups) {
    for (const FieldDecl& field : group->fields) fields.insert(field.control);
  }
  std::vector<const Cell*> cells;
  collectCells(tabs, cells);
  std::set<std::string, std::less<>> buttonCells;
  for (const Cell* cell : cells) {
    if (cell->kind == Cell::Kind::Button && cell->name != kSpecialStringsButton) buttonCells.insert(cell->name);
  }
  for (const Group* group : groups) {
    for (const ButtonDecl& button : group->buttons) {
      if (!buttonCells.contains(button.name)) {
        problems.push_back(group->name + ": the button \"" + button.name + "\" stands on no tab page");
      }
      buttonCells.erase(button.name);
    }
  }
  for (const std::string& name : buttonCells) {
    problems.push_back("the button \"" + name + "\" on a tab page has no action declared");
  }
  std::set<std::string, std::less<>> unknownCells;  // a caption and its field name it once
  for (const Cell* cell : cells) {
    const bool namesField = cell->kind == Cell::Kind::Field || cell->kind == Cell::Kind::Caption;
    if (namesField && !fields.contains(cell->name) && unknownCells.insert(cell->name).second) {
      problems.push_back("a tab page's cell names \"" + cell->name + "\", which no field declares");
    }
  }
  return problems;
}

const std::vector<Page>& tabTree() {
  static const std::vector<Page> tabs = [] {
    std::vector<Page> built = buildTabTree();
    const std::vector<std::string> problems = layoutProblems(packOrder(), built);
    if (!problems.empty()) {
      std::fprintf(stderr, "aprs-trekmor: the window's pages do not fit the settings:\n");
      for (const std::string& problem : problems) std::fprintf(stderr, "  %s\n", problem.c_str());
      std::abort();
    }
    return built;
  }();
  return tabs;
}

const char* specialStringsButton() { return kSpecialStringsButton; }

}  // namespace trekmor
