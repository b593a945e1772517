#include "app/cli/trackers.h"

#include <nlohmann/json.hpp>

#include "device/flows.h"
#include "device/link.h"

namespace trekmor::cli {

namespace {

std::string listed(const std::vector<TrackerInfo>& present, std::string TrackerInfo::*part) {
  std::string text;
  for (const TrackerInfo& tracker : present) text += (text.empty() ? "" : " ") + tracker.*part;
  return text.empty() ? "none" : text;
}

// Applies the choice to `transport`; the exit status, the reason shown.
int applyChoice(const Invocation& invocation, HidTransport& transport, const TrackerRequest& request) {
  const std::vector<TrackerInfo> present = transport.trackers();
  const TrackerChoice choice = chooseTracker(present, request);
  using Status = TrackerChoice::Status;
  switch (choice.status) {
    case Status::FirstFound:
      return kExitSuccess;
    case Status::Chosen:
      transport.choose(choice.tracker->path);
      return kExitSuccess;
    case Status::Several:
      invocation.ui.information("Several APRS Trekmor trackers are connected; choose one with --serial: " +
                                listed(present, &TrackerInfo::serial));
      break;
    case Status::UnknownSerial:
      invocation.ui.information("No APRS Trekmor with serial number " + *request.serial +
                                " is connected; connected: " + listed(present, &TrackerInfo::serial));
      break;
    case Status::UnknownPath:
      invocation.ui.information("No APRS Trekmor at " + *request.path +
                                " is connected; connected: " + listed(present, &TrackerInfo::path));
      break;
  }
  return kExitStopped;
}

}  // namespace

std::optional<HistoryStore> userHistory() {
  std::optional<std::filesystem::path> folder = HistoryStore::defaultFolder();
  if (!folder) return std::nullopt;
  return HistoryStore(std::move(*folder));
}

HistoryWarning historyWarnings(const Invocation& invocation) {
  return [&invocation](const std::string& text) { diagnose(invocation, "warning: " + text); };
}

CommandDevice::CommandDevice(const Invocation& invocation, const std::optional<std::string>& serial)
    : m_history(userHistory()),
      m_recording(m_hid, m_history ? &*m_history : nullptr, historyWarnings(invocation)) {
  TrackerRequest request;
  if (const std::string* given = invocation.value(kSerialOption)) request.serial = *given;
  if (const std::string* given = invocation.value(kDeviceOption)) request.path = *given;
  if (request.serial && request.path) {
    diagnose(invocation, "give --serial or --device, not both");
    m_status = kExitUsage;
    return;
  }
  if (!request.serial && !request.path) request.serial = serial;
  m_status = applyChoice(invocation, m_hid, request);
}

int runDevices(const Invocation& invocation) {
  HidapiTransport transport;
  const std::vector<TrackerInfo> present = transport.trackers();
  if (present.empty()) {
    invocation.ui.log(kNotFoundLine);
    return kExitStopped;
  }
  int status = kExitSuccess;
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const TrackerInfo& tracker : present) {
    transport.choose(tracker.path);
    std::optional<DeviceInformation> information;
    if (transport.open().status == HidTransport::OpenStatus::Opened) information = readDeviceInformation(transport);
    transport.close();
    if (!information) {
      diagnose(invocation, "the tracker at " + tracker.path + " did not tell its versions");
      status = kExitStopped;
    }
    const auto field = [&](std::string DeviceInformation::*part) -> nlohmann::ordered_json {
      if (!information) return nullptr;
      return (*information).*part;
    };
    if (invocation.given(kJsonOption)) {
      list.push_back({{"serial", tracker.serial},
                      {"firmware_version", field(&DeviceInformation::firmwareVersion)},
                      {"hardware_version", field(&DeviceInformation::hardwareVersion)},
                      {"path", tracker.path}});
    } else {
      invocation.out << tracker.serial << '\t' << (information ? information->firmwareVersion : "-") << '\t'
                     << (information ? information->hardwareVersion : "-") << '\t' << tracker.path << '\n';
    }
  }
  if (invocation.given(kJsonOption)) printJson(invocation, list);
  invocation.out << std::flush;
  return status;
}

}  // namespace trekmor::cli
