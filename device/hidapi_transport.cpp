// hidapi under the transport. Reports without numbers travel as the report
// id byte plus 64 data bytes: hid_write takes all 65, hid_read returns the 64
// data bytes alone, which land in bytes 1..64 of the reply.
#include <hidapi.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "device/transport.h"

namespace trekmor {

namespace {

std::string narrow(const wchar_t* text) {
  std::string out;
  if (text == nullptr) return out;
  for (; *text != L'\0'; ++text) out.push_back(*text < 0x80 ? static_cast<char>(*text) : '?');
  return out;
}

}  // namespace

HidapiTransport::HidapiTransport() = default;

HidapiTransport::~HidapiTransport() {
  close();
  hid_exit();
}

HidTransport::OpenResult HidapiTransport::open() {
  close();
  if (hid_init() != 0) return {OpenStatus::NotFound, {}};
  hid_device_info* list = hid_enumerate(kVendorId, kProductId);
  if (list == nullptr) return {OpenStatus::NotFound, {}};
  // The first present device wins unless one was chosen; the list is
  // released on every path.
  const hid_device_info* entry = list;
  if (chosenPath()) {
    while (entry != nullptr && (entry->path == nullptr || *chosenPath() != entry->path)) entry = entry->next;
  }
  if (entry == nullptr) {
    hid_free_enumeration(list);
    return {OpenStatus::NotFound, {}};
  }
  const std::string path = entry->path != nullptr ? entry->path : "";
  const std::string serial = narrow(entry->serial_number);
  hid_free_enumeration(list);

  hid_device* handle = hid_open_path(path.c_str());
  if (handle == nullptr) {
    std::string reason = narrow(hid_error(nullptr));
    return {OpenStatus::NoAccess, reason.empty() ? path : path + " (" + reason + ")"};
  }
  m_device = handle;
  m_opened = TrackerInfo{path, serial};
  return {OpenStatus::Opened, {}};
}

std::vector<TrackerInfo> HidapiTransport::trackers() {
  std::vector<TrackerInfo> present;
  if (hid_init() != 0) return present;
  hid_device_info* list = hid_enumerate(kVendorId, kProductId);
  for (const hid_device_info* entry = list; entry != nullptr; entry = entry->next) {
    if (entry->path == nullptr) continue;
    TrackerInfo tracker{entry->path, narrow(entry->serial_number)};
    // A device with several HID collections may be listed once for each.
    const bool listed = std::any_of(present.begin(), present.end(),
                                    [&](const TrackerInfo& t) { return t.path == tracker.path; });
    if (!listed) present.push_back(std::move(tracker));
  }
  hid_free_enumeration(list);
  return present;
}

void HidapiTransport::close() {
  m_opened.reset();
  if (m_device == nullptr) return;
  hid_close(m_device);
  m_device = nullptr;
}

bool HidapiTransport::send(const Report& request) {
  if (m_device == nullptr) return false;
  return hid_write(m_device, request.data(), request.size()) == static_cast<int>(request.size());
}

bool HidapiTransport::receive(Report& reply, std::chrono::milliseconds timeout) {
  if (m_device == nullptr) return false;
  reply.fill(0);
  const int read = hid_read_timeout(m_device, reply.data() + 1, reply.size() - 1,
                                    static_cast<int>(timeout.count()));
  return read == static_cast<int>(reply.size() - 1);
}

}  // namespace trekmor
