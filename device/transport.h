// The channel to the device: find and open it, send one report, receive one
// report with a time-out, close it. The program uses hidapi; tests put the
// device simulator behind the same interface.
#pragma once

#include <chrono>
#include <string>

#include "device/protocol.h"

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
  // Opens the first present device with the vendor and product id.
  virtual OpenResult open() = 0;
  // Closing a device that is not open does nothing.
  virtual void close() = 0;
  // True when the whole 65-byte report went out.
  virtual bool send(const Report& request) = 0;
  // True when a whole 65-byte reply arrived in time; byte 0 holds the report id.
  virtual bool receive(Report& reply, std::chrono::milliseconds timeout) = 0;

  // How long each exchange waits for its reply: kReplyTimeout unless set
  // (tests set a short one so that a silent device costs them little time).
  std::chrono::milliseconds replyTimeout() const { return m_replyTimeout; }
  void setReplyTimeout(std::chrono::milliseconds timeout) { m_replyTimeout = timeout; }

 private:
  std::chrono::milliseconds m_replyTimeout = kReplyTimeout;
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

 private:
  hid_device_* m_device = nullptr;
};

}  // namespace trekmor
