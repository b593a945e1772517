// Shared pieces of the device tests: a user interface that records what it
// was told, in order, and the simulator behind the transport.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "device/transport.h"
#include "settings/fields.h"
#include "settings/userinterface.h"
#include "sim/simulator.h"
#include "sim/transport.h"

namespace trekmor {

class RecordingUi final : public UserInterface {
 public:
  void information(std::string_view text) override { boxes.push_back("information: " + std::string(text)); }
  void error(std::string_view text) override { boxes.push_back("error: " + std::string(text)); }
  void message(std::string_view text) override { boxes.push_back("message: " + std::string(text)); }
  void log(std::string_view line) override { lines.emplace_back(line); }
  void setProgressRange(int maximum) override { progress.push_back("max " + std::to_string(maximum)); }
  void setProgress(int position) override { progress.push_back(std::to_string(position)); }
  void processEvents() override {
    ++eventRounds;
    if (onProcessEvents) onProcessEvents();
  }
  void setBusy(bool value) override {
    busy = value;
    busyCalls.push_back(value ? "busy" : "idle");
    if (onBusy) onBusy(value);
  }

  std::vector<std::string> lines;
  std::vector<std::string> boxes;
  std::vector<std::string> progress;
  int eventRounds = 0;
  std::function<void()> onProcessEvents;
  bool busy = false;
  std::vector<std::string> busyCalls;  // "busy" and "idle" in the order told
  std::function<void(bool)> onBusy;
};

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
