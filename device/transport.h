// The channel to the device: find and open it, send one report, receive one
// report with a time-out, close it. The program uses hidapi; tests put the
// device simulator behind the same interface.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "device/protocol.h"
#include "device/trackers.h"

struct hid_device_;  // hidapi's device handle

namespace trekmor {

// A reply that has not arrived within this time counts as a failed exchange,
// so a device that stops answering never hangs the window.
inline constexpr std::chrono::milliseconds kReplyTimeout{2000};

class HidTransport {
 public:
  enum class OpenStatus { Opened, NotFound, NoAccess };
  struct OpenResult {
    OpenStatus status = OpenStatus::NotFound;
    std::string detail;  // for NoAccess: the device's path and the system's reason
  };

  virtual ~HidTransport() = default;
  // Opens the first present device with the vendor and product id, or the
  // chosen one (NotFound when it is no longer present).
  virtual OpenResult open() = 0;
  // Closing a device that is not open does nothing.
  virtual void close() = 0;
  // True when the whole 65-byte report went out.
  virtual bool send(const Report& request) = 0;
  // True when a whole 65-byte reply arrived in time; byte 0 holds the report id.
  virtual bool receive(Report& reply, std::chrono::milliseconds timeout) = 0;

  // Every present tracker, in the order the system lists them.
  virtual std::vector<TrackerInfo> trackers() { return {}; }
  // From now on open() opens the tracker at `path`; nothing: the first found.
  virtual void choose(std::optional<std::string> path) { m_chosenPath = std::move(path); }
  // The tracker the last successful open() opened.
  virtual std::optional<TrackerInfo> openedTracker() const { return std::nullopt; }

  // How long each exchange waits for its reply: kReplyTimeout unless set
  // (tests set a short one so that a silent device costs them little time).
  std::chrono::milliseconds replyTimeout() const { return m_replyTimeout; }
  void setReplyTimeout(std::chrono::milliseconds timeout) { m_replyTimeout = timeout; }

 protected:
  const std::optional<std::string>& chosenPath() const { return m_chosenPath; }

 private:
  std::chrono::milliseconds m_replyTimeout = kReplyTimeout;
  std::optional<std::string> m_chosenPath;
};

// Opens the device under hidapi; one instance serves the whole program run.
class HidapiTransport final : public HidTransport {
 public:
  HidapiTransport();
  ~HidapiTransport() override;
  HidapiTransport(const HidapiTransport&) = delete;
  HidapiTransport& operator=(const HidapiTransport&) = delete;

  OpenResult open() override;
  void close() override;
  bool send(const Report& request) override;
  bool receive(Report& reply, std::chrono::milliseconds timeout) override;
  std::vector<TrackerInfo> trackers() override;
  std::optional<TrackerInfo> openedTracker() const override { return m_opened; }

 private:
  hid_device_* m_device = nullptr;
  std::optional<TrackerInfo> m_opened;
};

}  // namespace trekmor
