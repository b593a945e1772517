#include "device/link.h"

#include <string>

namespace trekmor {

DeviceSession::DeviceSession(HidTransport& transport, UserInterface& ui) : m_transport(transport) {
  const HidTransport::OpenResult result = transport.open();
  switch (result.status) {
    case HidTransport::OpenStatus::Opened:
      ui.log(kFoundLine);
      m_open = true;
      break;
    case HidTransport::OpenStatus::NotFound:
      ui.log(kNotFoundLine);
      break;
    case HidTransport::OpenStatus::NoAccess:
      ui.log("APRS Trekmor is connected but cannot be opened: " + result.detail +
             ". On Linux this means the user may not access the device: install the udev rule "
             "70-aprs-trekmor.rules as the README describes, then plug the device in again.");
      break;
  }
}

bool exchange(HidTransport& transport, const Report& request, Report& reply) {
  return transport.send(request) && transport.receive(reply, transport.replyTimeout());
}

}  // namespace trekmor
