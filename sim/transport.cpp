#include "sim/transport.h"

namespace trekmor::sim {

HidTransport::OpenResult SimulatedTransport::open() {
  const Settings& settings = m_device.settings();
  if (settings.absent) return {OpenStatus::NotFound, {}};
  if (settings.denied) return {OpenStatus::NoAccess, "/dev/hidraw-sim (Permission denied)"};
  m_open = true;
  ++m_opens;
  m_pending.reset();
  return {OpenStatus::Opened, {}};
}

void SimulatedTransport::close() {
  if (m_open) m_device.saveFirmware();
  m_open = false;
  m_pending.reset();
}

bool SimulatedTransport::send(const Report& request) {
  if (!m_open) {
    ++m_closedUses;
    return false;
  }
  m_pending = m_device.handle(request);
  return true;
}

bool SimulatedTransport::receive(Report& reply, std::chrono::milliseconds) {
  // No answer is what the time-out turns into a failed exchange; no need to wait for it here.
  if (!m_open || !m_pending) return false;
  reply = *m_pending;
  m_pending.reset();
  return true;
}

}  // namespace trekmor::sim
