// The port rules of the external interfaces: the two serial ports never both
// carry the serial console or KISS, and a GPS stays on the RS-232 port while
// the Bluetooth port passes GPS data through.
#pragma once

#include "settings/fields.h"
#include "platform/userinterface.h"

namespace trekmor {

// Items of `Serial1_mode`, the RS-232 port 2.
enum Serial1Mode : int { kRs232None, kRs232WeatherStation, kRs232SerialConsole, kRs232Gps, kRs232Kiss };
// Items of `Serial2_mode`, the Bluetooth port 1.
enum Serial2Mode : int { kBluetoothNone, kBluetoothSerialConsole, kBluetoothKiss, kBluetoothGpsPassthrough };

// RS-232 port 2 rule: resolves a console or KISS clash by setting the
// Bluetooth port to "None", then tells the user why.
void serial1ModeChange(Fields& fields, UserInterface& ui);

// Bluetooth port 1 rule: resolves a console or KISS clash by setting the
// RS-232 port to "None", and puts a GPS on the RS-232 port for GPS passthrough.
void serial2ModeChange(Fields& fields, UserInterface& ui);

// Both rules, RS-232 port first: what a weather-station change, the end of
// the window's construction, of an unpack and of a load run.
void bothPortRules(Fields& fields, UserInterface& ui);

}  // namespace trekmor
