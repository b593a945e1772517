// External interface settings: the functions of the two serial ports, the
// Bluetooth module, the RS-485 bus and its add-on modules, the weather
// station, the serial console with its debug switches, the GPS receiver and
// KISS. Image offsets 66..99 plus 992, 1081..1083 and 1494..1501; keys in
// [SerialPorts], [Telemetry], [Weather] and [Debug]. Also the port rules.
#include "settings/externalinterfaces.h"

#include <array>

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

FieldDecl editable(FieldDecl f) {
  f.widget = Widget::EditableCombo;
  return f;
}

FieldDecl edit(std::string control, std::string caption, int maxLength, std::string start, std::string key) {
  return editField(std::move(control), std::move(caption), "", maxLength, std::move(start), "SerialPorts",
                   std::move(key));
}

FieldDecl debugSwitch(const std::string& name, std::string caption) {
  return combo("Debug_" + name, std::move(caption), "", kOnOff, 1, "Debug", "Debug_" + name);
}

// A check on a field's text that writes nothing and so claims no image byte.
StepDecl textCheck(const FieldDecl& field, bool (*passes)(std::string_view), std::string message) {
  const std::string control = field.control;
  return customStep(
      field, 0, 0,
      [=](PackContext& c) { return passes(c.fields.text(control)) ? PackResult::ok() : PackResult::check(message); },
      nullptr);
}

constexpr const char* kDebugNames[] = {"rf", "ax25", "weather", "telemetry", "bluetooth", "gps", "kiss", "thermo"};

bool isNotEmpty(std::string_view text) { return !text.empty(); }
bool hasFourCharacters(std::string_view text) { return text.size() == 4; }

Group makeExternalInterfaces() {
  const std::array fields{
      combo("Serial2_mode", "Bluetooth port 1:", "Bluetooth port 1 function.", kSerial2Choices, kBluetoothKiss,
            "SerialPorts", "Serial2"),
      combo("Serial1_mode", "RS-232 port 2:", "Serial port 2 function.", kSerial1Choices, kRs232Gps, "SerialPorts",
            "Serial1"),
      edit("Bluetooth_name", "Bluetooth device name:", 20, "APRSTrekmor", "Bluetooth_name"),
      edit("Bluetooth_password", "Bluetooth password:", 4, "6093", "Bluetooth_password"),
      combo("RS485_mode", "RS-485 port:", "RS-485 port function.",
            {"None", "Telemetry modules", "DS18B20 thermometer", "DS18S20 thermometer", "KISS output (9600 baud)"}, 1,
            "SerialPorts", "RS485"),
      combo("Telemodule_enable", "WXQuantaBox module (analog):", "Enables or disables WXQuantaBox module support.",
            kOnOff, 0, "Telemetry", "Telemodule_enable"),
      combo("Pinsmodule_enable", "WXPins module (digital):", "Enables or disables WXPins module support.", kOnOff, 0,
            "Telemetry", "Pinsmodule_enable"),
      combo("Tidemarker_enable", "WXTideMarker:", "Enables or disables WXTideMarker module support.", kOnOff, 0,
            "Telemetry", "WXTideMarker_enable"),
      // The station type's text can be typed as well as picked from the list.
      editable(combo("Weather_stationtype", "Weather station:", "Weather station selection box.",
            {"None", "Peet Bros Ultimeter 100", "Peet Bros Ultimeter 800", "Peet Bros Ultimeter 2000",
             "Peet Bros Ultimeter 2100", "WS-2300", "WS-2350", "Davis Vantage Pro", "Davis Vantage Pro2",
             "Davis Vantage Pro Plus", "Davis Vantage Pro2 Plus"},
            0, "Weather", "Weather_stationtype")),
      combo("Console_baudrate", "Serial console baudrate:", "Serial console baudrate.", kBaudrates, 4, "SerialPorts",
            "ConsoleBaudrate"),
      debugSwitch("rf", "RF:"),
      debugSwitch("ax25", "AX25:"),
      debugSwitch("weather", "Weather:"),
      debugSwitch("telemetry", "Telemetry:"),
      debugSwitch("bluetooth", "Bluetooth:"),
      debugSwitch("gps", "GPS:"),
      debugSwitch("kiss", "KISS:"),
      debugSwitch("thermo", "Thermo:"),
      combo("GPS_baudrate", "GPS module baudrate:", "NMEA reports baudrate.", {"1200", "2400", "4800", "9600", "19200"},
            3, "SerialPorts", "GPSBaudrate"),
      combo("Kiss_baudrate", "KISS baudrate:", "KISS serial port baudrate.", kBaudrates, 0, "SerialPorts",
            "KISSBaudrate"),
      combo("Kiss_direction", "KISS direction:", "Allows to disable transmission of KISS packets to RF if unnecessary.",
            {"RF->serial", "both"}, 1, "SerialPorts", "KISSDirection"),
      combo("Kiss_check", "Check for serial->RF packet correctness:",
            "If enabled then checks packet header and drops incorrect packets.", {"No", "Yes"}, 1, "SerialPorts",
            "KISSCheck"),
  };
  const auto& [serial2, serial1, bluetoothName, bluetoothPassword, rs485, telemodule, pinsmodule, tidemarker,
               stationType, consoleBaudrate, debugRf, debugAx25, debugWeather, debugTelemetry, debugBluetooth,
               debugGps, debugKiss, debugThermo, gpsBaudrate, kissBaudrate, kissDirection, kissCheck] = fields;
  Group g;
  g.name = "External interfaces";
  g.fields.assign(fields.begin(), fields.end());

  g.steps = {
      choiceStep(serial1, 66),
      choiceStep(serial2, 67),
      textCheck(bluetoothName, isNotEmpty, "Bluetooth name - wrong length. Should be at least one letter or digit."),
      textCheck(bluetoothName, isLettersOrDigits,
                "Bluetooth name - forbidden characters. Should be letters or digits."),
      textStep(bluetoothName, 68, 21, "Bluetooth name"),
      textCheck(bluetoothPassword, hasFourCharacters,
                "Bluetooth password - wrong length. Should be exactly 4 digits (0-9)."),
      textCheck(bluetoothPassword, isDigitsOnly,
                "Bluetooth password - forbidden characters. Should be exactly 4 digits (0-9)."),
      textStep(bluetoothPassword, 89, 5, "Bluetooth password"),
      choiceStep(rs485, 94),
      choiceStep(telemodule, 1081),
      choiceStep(pinsmodule, 1082),
      choiceStep(tidemarker, 1083),
      choiceStep(stationType, 992),
      choiceStep(consoleBaudrate, 96),
      choiceStep(debugRf, 1494),
      choiceStep(debugAx25, 1495),
      choiceStep(debugWeather, 1496),
      choiceStep(debugTelemetry, 1497),
      choiceStep(debugBluetooth, 1498),
      choiceStep(debugGps, 1499),
      choiceStep(debugKiss, 1500),
      choiceStep(debugThermo, 1501),
      choiceStep(gpsBaudrate, 95),
      choiceStep(kissBaudrate, 97),
      choiceStep(kissDirection, 98),
      choiceStep(kissCheck, 99),
  };

  // The file interleaves these keys with other groups' sections: the module
  // switches join [Telemetry], the station type [Weather], the debug
  // switches [Debug], between the [SerialPorts] keys; the RS-232 port comes
  // before the Bluetooth port.
  g.fileOrder = {serial1.control};
  for (const FieldDecl& field : fields) {
    if (field.control != serial1.control) g.fileOrder.push_back(field.control);
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

Page externalInterfacesTab() {
  Page serialPorts = page("TabSheet_serial_ports", "Serial ports");
  serialPorts.rows = {formRow("Serial2_mode"), formRow("Serial1_mode")};

  Page bluetooth = page("TabSheet_bluetooth", "Bluetooth");
  bluetooth.rows = {formRow("Bluetooth_name"), formRow("Bluetooth_password")};

  Page rs485 = page("TabSheet_rs485", "RS-485 port");
  rs485.rows = {formRow("RS485_mode"), formRow("Telemodule_enable"), formRow("Pinsmodule_enable"),
                formRow("Tidemarker_enable")};

  Page weatherStation = page("TabSheet_weather_station", "Weather station");
  weatherStation.rows = {formRow("Weather_stationtype")};

  Page console = page("TabSheet_serial_console", "Serial console");
  std::vector<Cell> switches;
  for (const char* name : kDebugNames) {
    switches.push_back(captionCell(std::string("Debug_") + name));
    switches.push_back(fieldCell(std::string("Debug_") + name));
  }
  console.rows = {formRow("Console_baudrate"),
                  Row{{groupBoxCell("GroupBox_console_debug", "Console debug messages:", switches, 8, 2)}, false}};

  Page gps = page("TabSheet_gps_receiver", "GPS receiver");
  gps.rows = {formRow("GPS_baudrate")};

  Page kiss = page("TabSheet_kiss", "KISS");
  kiss.rows = {formRow("Kiss_baudrate"), formRow("Kiss_direction"), formRow("Kiss_check")};

  // The water-level module's tab ("WXTideMarker") is added as the eighth inner tab by the registry.
  return withInner(page("TabSheet_external_interfaces", "External interfaces"), "PageControl4",
                   {serialPorts, bluetooth, rs485, weatherStation, console, gps, kiss});
}

}  // namespace trekmor
