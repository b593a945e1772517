#include "sim/transport.h"

#include <thread>

namespace trekmor::sim {

HidTransport::OpenResult SimulatedTransport::open() {
  const Settings& settings = m_device.settings();
  if (!m_device.present() || (chosenPath() && *chosenPath() != kPath)) return {OpenStatus::NotFound, {}};
  if (settings.denied) return {OpenStatus::NoAccess, std::string(kPath) + " (Permission denied)"};
  m_open = true;
  ++m_opens;
  m_pending.reset();
  m_device.opened();
  return {OpenStatus::Opened, {}};
}

std::vector<TrackerInfo> SimulatedTransport::trackers() {
  if (!m_device.present()) return {};
  return {TrackerInfo{kPath, serialText(m_device.settings().serial)}};
}

std::optional<TrackerInfo> SimulatedTransport::openedTracker() const {
  if (!m_open) return std::nullopt;
  return TrackerInfo{kPath, serialText(m_device.settings().serial)};
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
  m_pending.reset();
  if (!m_device.present()) return false;  // unplugged: the write fails at once
  m_pending = m_device.handle(request);
  return true;
}

bool SimulatedTransport::receive(Report& reply, std::chrono::milliseconds timeout) {
  if (!m_open) return false;
  if (!m_pending) {
    // No answer is what the time-out turns into a failed exchange.
    ++m_timeouts;
    m_lastTimeout = timeout;
    if (m_waitOutSilence) std::this_thread::sleep_for(timeout);
    return false;
  }
  reply = *m_pending;
  m_pending.reset();
  return true;
}

}  // namespace trekmor::sim
