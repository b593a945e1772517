// The trackers a device command may work with: the listing of those present
// (devices), the choice among them (--serial, --device), and the history in
// which every image read from or written to one is kept.
#pragma once

#include <optional>
#include <string>

#include "app/cli/cli.h"
#include "device/recordingtransport.h"
#include "device/transport.h"
#include "history/store.h"

namespace trekmor::cli {

inline constexpr OptionDecl kSerialOption{"--serial"};
inline constexpr OptionDecl kDeviceOption{"--device"};
inline constexpr OptionDecl kKeepBeforeOption{"--keep-before", false};
inline constexpr OptionDecl kForceOption{"--force", false};

// The history in the user's folder; nothing when no folder is known.
std::optional<HistoryStore> userHistory();
// Warnings of the history as the program's own diagnostics.
HistoryWarning historyWarnings(const Invocation& invocation);

// The tracker one device command works with: hidapi with the user's choice
// applied, every image passing through kept in the history. With a single
// tracker and no choice it is the first one found, as it always was; with
// several and no choice, or a choice that is not present, the command stops
// before it opens any (status() then says with what).
class CommandDevice {
 public:
  // `serial`: the tracker to use when neither --serial nor --device is given.
  explicit CommandDevice(const Invocation& invocation, const std::optional<std::string>& serial = std::nullopt);
  CommandDevice(const CommandDevice&) = delete;
  CommandDevice& operator=(const CommandDevice&) = delete;

  int status() const { return m_status; }
  RecordingTransport& transport() { return m_recording; }

 private:
  HidapiTransport m_hid;
  std::optional<HistoryStore> m_history;
  RecordingTransport m_recording;
  int m_status = kExitSuccess;
};

// devices: one line per present tracker, its serial number, firmware and
// hardware version and path (--json: as data).
int runDevices(const Invocation& invocation);

}  // namespace trekmor::cli
