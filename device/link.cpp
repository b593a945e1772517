#include "device/link.h"

#include <string>

namespace trekmor {

namespace {

// "APRS Trekmor found, vid: Vid_VVVV, pid: PPPP" with the device's ids in place of VVVV and PPPP.
std::string foundLine() {
  return "APRS Trekmor found, vid: Vid_" + std::string(kVendorIdText) + ", pid: " + std::string(kProductIdText);
}

#if defined(__linux__)
// On Linux a device that is found but cannot be opened nearly always lacks
// the permissions that the udev rule grants.
constexpr const char* kCannotOpenAdvice =
    " On Linux this means the user may not access the device: install the udev rule "
    "70-aprs-trekmor.rules as the README describes, then plug the device in again.";
#else
constexpr const char* kCannotOpenAdvice = "";
#endif

}  // namespace

DeviceSession::DeviceSession(HidTransport& transport, UserInterface& ui) : m_transport(transport) {
  const HidTransport::OpenResult result = transport.open();
  switch (result.status) {
    case HidTransport::OpenStatus::Opened:
      ui.log(foundLine());
      m_open = true;
      break;
    case HidTransport::OpenStatus::NotFound:
      ui.log(kNotFoundLine);
      break;
    case HidTransport::OpenStatus::NoAccess:
      ui.log("APRS Trekmor is connected but cannot be opened: " + result.detail + "." + kCannotOpenAdvice);
      break;
  }
}

bool exchange(HidTransport& transport, const Report& request, Report& reply) {
  return transport.send(request) && transport.receive(reply, transport.replyTimeout());
}

}  // namespace trekmor
