// The tabs of the window and the titled box that hold the settings, by their
// captions: each setting's row names the innermost one, the command line
// prints the path to it, and the window's pages take their captions from here.
// Where the pages stand and how they are laid out is the window's own matter.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace trekmor {

struct Tab {
  std::string_view caption;
  const Tab* parent = nullptr;
};

// The captions from the top-level tab down to `tab`.
inline std::vector<std::string> tabPath(const Tab* tab) {
  std::vector<std::string> path;
  for (; tab; tab = tab->parent) path.insert(path.begin(), std::string(tab->caption));
  return path;
}

namespace tabs {
inline constexpr Tab kRadio{"Radio"};

inline constexpr Tab kPositionReports{"Position reports"};
inline constexpr Tab kReportMode{"Report mode", &kPositionReports};
inline constexpr Tab kEncodingProtocol{"Encoding protocol", &kPositionReports};
inline constexpr Tab kSmartBeaconing{"SmartBeaconing", &kPositionReports};
inline constexpr Tab kFixedInterval{"Fixed time interval", &kPositionReports};
inline constexpr Tab kGpsSynchronized{"GPS-synchronized reports", &kPositionReports};

inline constexpr Tab kDigipeater{"Digipeater"};
inline constexpr Tab kDigiCommon{"Common settings", &kDigipeater};
inline constexpr Tab kDigiAliases{"Simple aliases", &kDigipeater};

inline constexpr Tab kBeacons{"Beacons"};

inline constexpr Tab kTelemetry{"Telemetry reports"};
inline constexpr Tab kTelemetryReports{"Report settings", &kTelemetry};
inline constexpr Tab kAnalogChannels{"Analog channels", &kTelemetry};
inline constexpr Tab kDigitalChannels14{"Digital channels 1-4", &kTelemetry};
inline constexpr Tab kDigitalChannels58{"Digital channels 5-8", &kTelemetry};
inline constexpr Tab kWxPinsOutputs{"WXPins outputs", &kTelemetry};

inline constexpr Tab kWeather{"Weather reports"};

inline constexpr Tab kExternalInterfaces{"External interfaces"};
inline constexpr Tab kSerialPorts{"Serial ports", &kExternalInterfaces};
inline constexpr Tab kBluetooth{"Bluetooth", &kExternalInterfaces};
inline constexpr Tab kRs485{"RS-485 port", &kExternalInterfaces};
inline constexpr Tab kWeatherStation{"Weather station", &kExternalInterfaces};
inline constexpr Tab kSerialConsole{"Serial console", &kExternalInterfaces};
inline constexpr Tab kConsoleDebug{"Console debug messages:", &kSerialConsole};  // a titled box
inline constexpr Tab kGpsReceiver{"GPS receiver", &kExternalInterfaces};
inline constexpr Tab kKiss{"KISS", &kExternalInterfaces};

inline constexpr Tab kWaterLevel{"WXTideMarker", &kExternalInterfaces};
inline constexpr Tab kWaterLevelInternal{"Module internal settings", &kWaterLevel};
inline constexpr Tab kWaterLevelCalculations{"Calculations", &kWaterLevel};
inline constexpr Tab kWaterLevelAlarm{"Sensor alarm beacon", &kWaterLevel};
inline constexpr Tab kWaterLevelEmergency{"Emergency beacon", &kWaterLevel};
inline constexpr Tab kWaterLevelInput{"Input level beacon", &kWaterLevel};

inline constexpr Tab kTestTone{"Test tone"};
}  // namespace tabs

}  // namespace trekmor
