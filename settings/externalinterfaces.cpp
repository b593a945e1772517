// External interface settings: the functions of the two serial ports, the
// Bluetooth module, the RS-485 bus and its add-on modules, the weather
// station, the serial console with its debug switches, the GPS receiver and
// KISS. Image offsets 66..99 plus 992, 1081..1083 and 1494..1501; keys in
// [SerialPorts], [Telemetry], [Weather] and [Debug]. Also the port rules.
#include "settings/externalinterfaces.h"

#include <iterator>

#include "image/validators.h"
#include "settings/registry.h"

namespace trekmor {

namespace {

const std::vector<std::string> kSerial1Choices = {"None", "Weather station", "Serial console", "GPS", "KISS"};
const std::vector<std::string> kSerial2Choices = {"None", "Serial console", "KISS", "GPS passthrough"};
const std::vector<std::string> kOnOff = {"Disabled", "Enabled"};
const std::vector<std::string> kBaudrates = {"9600", "19200", "38400", "57600", "115200"};

FieldDecl combo(std::string control, std::string caption, std::string hint, std::vector<std::string> choices,
                int start, std::string section, std::string key) {
  return comboField(std::move(control), std::move(caption), std::move(hint), std::move(choices), start,
                    std::move(section), std::move(key));
}

FieldDecl edit(std::string control, std::string caption, int maxLength, std::string start, std::string key) {
  return editField(std::move(control), std::move(caption), "", maxLength, std::move(start), "SerialPorts",
                   std::move(key));
}

constexpr const char* kDebugNames[] = {"rf", "ax25", "weather", "telemetry", "bluetooth", "gps", "kiss", "thermo"};
// The debug switches' bytes, in the order of kDebugNames.
constexpr std::size_t kDebugOffset = 1494;

bool isNotEmpty(std::string_view text) { return !text.empty(); }
bool hasFourCharacters(std::string_view text) { return text.size() == 4; }

Group makeExternalInterfaces() {
  Group g("External interfaces");
  // The rows in tab order. The file interleaves these keys with other
  // groups' sections: the module switches join [Telemetry], the station type
  // [Weather], the debug switches [Debug], between the [SerialPorts] keys;
  // the RS-232 port comes before the Bluetooth port there and in the image.
  const FieldDecl& serial2 =
      g.add(combo("Serial2_mode", "Bluetooth port 1:", "Bluetooth port 1 function.", kSerial2Choices, kBluetoothKiss,
                  "SerialPorts", "Serial2")
                .on(tabs::kSerialPorts)
                .choice(67));
  const FieldDecl& serial1 =
      g.add(combo("Serial1_mode", "RS-232 port 2:", "Serial port 2 function.", kSerial1Choices, kRs232Gps,
                  "SerialPorts", "Serial1")
                .on(tabs::kSerialPorts)
                .choice(66));
  FieldDecl name = edit("Bluetooth_name", "Bluetooth device name:", 20, "APRSTrekmor", "Bluetooth_name")
                       .on(tabs::kBluetooth)
                       .textAt(68, 21, "Bluetooth name");
  name.checks = {{isNotEmpty, "Bluetooth name - wrong length. Should be at least one letter or digit.", {}},
                 TextCheck::characters(kLettersOrDigitsRule,
                                       "Bluetooth name - forbidden characters. Should be letters or digits.")};
  g.add(std::move(name));
  FieldDecl password = edit("Bluetooth_password", "Bluetooth password:", 4, "6093", "Bluetooth_password")
                           .on(tabs::kBluetooth)
                           .textAt(89, 5, "Bluetooth password");
  password.checks = {{hasFourCharacters, "Bluetooth password - wrong length. Should be exactly 4 digits (0-9).", {}},
                     TextCheck::characters(kDigitsRule,
                                           "Bluetooth password - forbidden characters. Should be exactly 4 digits (0-9).")};
  g.add(std::move(password));
  g.add(combo("RS485_mode", "RS-485 port:", "RS-485 port function.",
              {"None", "Telemetry modules", "DS18B20 thermometer", "DS18S20 thermometer", "KISS output (9600 baud)"}, 1,
              "SerialPorts", "RS485")
            .on(tabs::kRs485)
            .choice(94));
  g.add(combo("Telemodule_enable", "WXQuantaBox module (analog):", "Enables or disables WXQuantaBox module support.",
              kOnOff, 0, "Telemetry", "Telemodule_enable")
            .on(tabs::kRs485)
            .choice(1081));
  g.add(combo("Pinsmodule_enable", "WXPins module (digital):", "Enables or disables WXPins module support.", kOnOff, 0,
              "Telemetry", "Pinsmodule_enable")
            .on(tabs::kRs485)
            .choice(1082));
  g.add(combo("Tidemarker_enable", "WXTideMarker:", "Enables or disables WXTideMarker module support.", kOnOff, 0,
              "Telemetry", "WXTideMarker_enable")
            .on(tabs::kRs485)
            .choice(1083));
  // The station type's text can be typed as well as picked from the list.
  FieldDecl station = combo("Weather_stationtype", "Weather station:", "Weather station selection box.",
                            {"None", "Peet Bros Ultimeter 100", "Peet Bros Ultimeter 800", "Peet Bros Ultimeter 2000",
                             "Peet Bros Ultimeter 2100", "WS-2300", "WS-2350", "Davis Vantage Pro",
                             "Davis Vantage Pro2", "Davis Vantage Pro Plus", "Davis Vantage Pro2 Plus"},
                            0, "Weather", "Weather_stationtype")
                          .on(tabs::kWeatherStation)
                          .choice(992);
  station.widget = Widget::EditableCombo;
  const FieldDecl& stationType = g.add(std::move(station));
  g.add(combo("Console_baudrate", "Serial console baudrate:", "Serial console baudrate.", kBaudrates, 4, "SerialPorts",
              "ConsoleBaudrate")
            .on(tabs::kSerialConsole)
            .choice(96));
  const char* const debugCaptions[] = {"RF:", "AX25:", "Weather:", "Telemetry:", "Bluetooth:", "GPS:", "KISS:", "Thermo:"};
  for (std::size_t k = 0; k < std::size(kDebugNames); ++k) {
    const std::string control = std::string("Debug_") + kDebugNames[k];
    g.add(combo(control, debugCaptions[k], "", kOnOff, 1, "Debug", control)
              .on(tabs::kConsoleDebug)
              .choice(kDebugOffset + k));
  }
  g.add(combo("GPS_baudrate", "GPS module baudrate:", "NMEA reports baudrate.", {"1200", "2400", "4800", "9600", "19200"},
              3, "SerialPorts", "GPSBaudrate")
            .on(tabs::kGpsReceiver)
            .choice(95));
  g.add(combo("Kiss_baudrate", "KISS baudrate:", "KISS serial port baudrate.", kBaudrates, 0, "SerialPorts",
              "KISSBaudrate")
            .on(tabs::kKiss)
            .choice(97));
  g.add(combo("Kiss_direction", "KISS direction:", "Allows to disable transmission of KISS packets to RF if unnecessary.",
              {"RF->serial", "both"}, 1, "SerialPorts", "KISSDirection")
            .on(tabs::kKiss)
            .choice(98));
  g.add(combo("Kiss_check", "Check for serial->RF packet correctness:",
              "If enabled then checks packet header and drops incorrect packets.", {"No", "Yes"}, 1, "SerialPorts",
              "KISSCheck")
            .on(tabs::kKiss)
            .choice(99));

  g.fileOrder = {&serial1};
  for (const FieldDecl& field : g.fields) {
    if (&field != &serial1) g.fileOrder.push_back(&field);
  }

  // The port rules on a user's choice; both of them as the last action of
  // the window's construction, of an unpack and of a load.
  RuleDecl portRules(bothPortRules, {stationType.control});
  portRules.atStartEnd = portRules.atLoadEnd = portRules.atUnpackEnd = true;
  g.rules = {RuleDecl(serial1ModeChange, {serial1.control}), RuleDecl(serial2ModeChange, {serial2.control}), portRules};
  return g;
}

constexpr const char* kSerial1 = "Serial1_mode";
constexpr const char* kSerial2 = "Serial2_mode";

}  // namespace

void serial1ModeChange(Fields& fields, UserInterface& ui) {
  const int rs232 = fields.index(kSerial1);
  const int bluetooth = fields.index(kSerial2);
  if (rs232 == kRs232SerialConsole && bluetooth == kBluetoothSerialConsole) {
    fields.setIndex(kSerial2, kBluetoothNone);
    ui.information("Bluetooth port 1 changed to None.\rReason:\rSerial console can be selected on one port only.");
  } else if (rs232 == kRs232Kiss && bluetooth == kBluetoothKiss) {
    fields.setIndex(kSerial2, kBluetoothNone);
    ui.information("Bluetooth port 1 changed to None.\rReason:\rKISS packet output can be selected on one port only.");
  }
}

void serial2ModeChange(Fields& fields, UserInterface& ui) {
  const int rs232 = fields.index(kSerial1);
  const int bluetooth = fields.index(kSerial2);
  if (bluetooth == kBluetoothSerialConsole && rs232 == kRs232SerialConsole) {
    fields.setIndex(kSerial1, kRs232None);
    ui.information("RS-232 port 2 changed to None.\rReason:\rSerial console can be selected on one port only.");
  } else if (bluetooth == kBluetoothKiss && rs232 == kRs232Kiss) {
    fields.setIndex(kSerial1, kRs232None);
    ui.information("RS-232 port 2 changed to None.\rReason:\rKISS packet output can be selected on one port only.");
  } else if (bluetooth == kBluetoothGpsPassthrough && rs232 != kRs232Gps) {
    fields.setIndex(kSerial1, kRs232Gps);
    ui.information(
        "RS-232 port 2 changed to GPS.\rReason:\rGPS passthrough function on Bluetooth 1 port needs a GPS connected "
        "to RS-232 port 2.");
  }
}

void bothPortRules(Fields& fields, UserInterface& ui) {
  serial1ModeChange(fields, ui);
  serial2ModeChange(fields, ui);
}

const Group& externalInterfacesGroup() {
  static const Group group = makeExternalInterfaces();
  return group;
}

}  // namespace trekmor
