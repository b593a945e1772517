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
};

}  // namespace trekmor::sim
