// Shared pieces of the device tests: counted log lines and a transport that
// spoils replies; the recording user interface is the tests' shared one.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "device/transport.h"
#include "settings/fields.h"
#include "platform/userinterface.h"
#include "sim/simulator.h"
#include "sim/transport.h"
#include "tests/support/recordinginterface.h"

namespace trekmor {


// "Page read: 1/160" .. "Page read: n/160".
inline std::vector<std::string> countedLines(const std::string& prefix, int from, int to, int total) {
  std::vector<std::string> out;
  for (int k = from; k <= to; ++k) out.push_back(prefix + std::to_string(k) + "/" + std::to_string(total));
  return out;
}

template <typename T>
void append(std::vector<T>& to, const std::vector<T>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

// A transport in front of another that can spoil replies: a test's way to
// reach reply faults the simulator has no switch for.
class TamperingTransport final : public HidTransport {
 public:
  explicit TamperingTransport(HidTransport& inner) : m_inner(inner) {}
  OpenResult open() override { return m_inner.open(); }
  void close() override { m_inner.close(); }
  bool send(const Report& request) override {
    m_lastCommand = request[1];
    return m_inner.send(request);
  }
  bool receive(Report& reply, std::chrono::milliseconds timeout) override {
    if (!m_inner.receive(reply, timeout)) return false;
    return tamper ? tamper(m_lastCommand, reply) : true;
  }
  // Changes the reply to a request with this command; false drops it (a short read).
  std::function<bool(std::uint8_t command, Report& reply)> tamper;

 private:
  HidTransport& m_inner;
  std::uint8_t m_lastCommand = 0;
};

}  // namespace trekmor
