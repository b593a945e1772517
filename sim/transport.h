// The simulator behind the transport interface, in the same process: what
// tests put in place of hidapi.
#pragma once

#include <optional>

#include "device/transport.h"
#include "sim/simulator.h"

namespace trekmor::sim {

class SimulatedTransport final : public HidTransport {
 public:
  explicit SimulatedTransport(DeviceSimulator& device) : m_device(device) {}

  OpenResult open() override;
  void close() override;
  bool send(const Report& request) override;
  bool receive(Report& reply, std::chrono::milliseconds timeout) override;
  // The one simulated tracker, at kPath, with the simulator's serial number.
  std::vector<TrackerInfo> trackers() override;
  std::optional<TrackerInfo> openedTracker() const override;
  static constexpr const char* kPath = "/dev/hidraw-sim";

  // A silent device: when set, a receive that gets no reply waits out the
  // caller's time-out as hidapi does, instead of failing at once.
  void setWaitOutSilence(bool wait) { m_waitOutSilence = wait; }
  // Receives that got no reply, and the time-out the last of them was given.
  int timeouts() const { return m_timeouts; }
  std::chrono::milliseconds lastTimeout() const { return m_lastTimeout; }

  bool isOpen() const { return m_open; }
  int opens() const { return m_opens; }
  // Exchanges tried on a device that was not open: always a fault of the caller.
  int closedUses() const { return m_closedUses; }

 private:
  DeviceSimulator& m_device;
  std::optional<Packet> m_pending;
  bool m_open = false;
  int m_opens = 0;
  int m_closedUses = 0;
  bool m_waitOutSilence = false;
  int m_timeouts = 0;
  std::chrono::milliseconds m_lastTimeout{0};
};

}  // namespace trekmor::sim
