// The device open for one operation, and the report exchange.
#pragma once

#include "device/transport.h"
#include "platform/userinterface.h"

namespace trekmor {

inline constexpr const char* kNotFoundLine = "APRS Trekmor not found.";

// Opens the device for one operation and closes it when it goes out of scope,
// on every path. Logs one line: found, not found, or found but not usable (on
// Linux nearly always missing permissions, so there the line points to the
// udev rule).
class DeviceSession {
 public:
  DeviceSession(HidTransport& transport, UserInterface& ui);
  ~DeviceSession() { m_transport.close(); }
  DeviceSession(const DeviceSession&) = delete;
  DeviceSession& operator=(const DeviceSession&) = delete;

  explicit operator bool() const { return m_open; }

 private:
  HidTransport& m_transport;
  bool m_open = false;
};

// One request and its reply. False when the request did not go out whole or no
// whole reply came back within the transport's reply time-out; the caller
// tests the command byte.
bool exchange(HidTransport& transport, const Report& request, Report& reply);

}  // namespace trekmor
