// hidapi's C functions over the simulator, for LD_PRELOAD: the unchanged
// programs then talk to a simulated APRS Trekmor. The simulator takes its
// settings from the TREKMOR_SIM_* environment variables on first use; a
// malformed value stops the program with a message rather than simulating
// something the user did not ask for.
#include <hidapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "configfile/filename.h"
#include "sim/simulator.h"

#if defined(_WIN32)
#include <map>
#endif

struct hid_device_ {
  trekmor::sim::DeviceSimulator* device = nullptr;
  std::optional<trekmor::sim::Packet> pending;
  std::wstring error;
};

namespace {

// The device's own ids, written here on purpose rather than taken from the
// tool's product facts: the simulator checks the tool instead of repeating it.
constexpr unsigned short kVendor = 0x0483;
constexpr unsigned short kProduct = 0xA052;
constexpr const char* kPath = "/dev/hidraw-trekmor-sim";

std::mutex& lock() {
  static std::mutex mutex;
  return mutex;
}

std::wstring& globalError() {
  static std::wstring text;
  return text;
}

// The value of the environment variable `name` as UTF-8 text (file names
// included), or null when it is not set.
const char* environmentValue(const char* name) {
#if defined(_WIN32)
  // Windows keeps the environment in UTF-16; getenv would hand out its copy
  // in the ANSI code page, without the letters that page lacks.
  const std::wstring wideName(name, name + std::strlen(name));
  const wchar_t* value = _wgetenv(wideName.c_str());
  if (value == nullptr) return nullptr;
  static std::map<std::string, std::string> values;
  return (values[name] = trekmor::utf8FromPath(std::filesystem::path(value))).c_str();
#else
  return std::getenv(name);
#endif
}

char* copyText(const char* text) {
  const std::size_t size = std::strlen(text) + 1;
  auto* out = static_cast<char*>(std::malloc(size));
  if (out != nullptr) std::memcpy(out, text, size);
  return out;
}

// Every simulated tracker (TREKMOR_SIM_DEVICES of them), in the order they
// are enumerated.
const std::vector<trekmor::sim::DeviceSimulator*>& fleet() {
  static const std::vector<trekmor::sim::DeviceSimulator*> simulators = [] {
    std::string error;
    auto settings = trekmor::sim::settingsFromEnvironment(environmentValue, &error);
    if (!settings) {
      std::fprintf(stderr, "trekmor-devsim: %s\n", error.c_str());
      std::exit(2);
    }
    std::vector<trekmor::sim::DeviceSimulator*> devices;
    for (auto& tracker : trekmor::sim::fleetSettings(*settings)) {
      devices.push_back(new trekmor::sim::DeviceSimulator(std::move(tracker)));  // lives as long as the process
    }
    return devices;
  }();
  return simulators;
}

// Tracker 1 keeps the path the single simulated tracker always had.
std::string pathOf(std::size_t index) { return index == 0 ? kPath : kPath + std::to_string(index + 1); }

std::wstring serialOf(const trekmor::sim::DeviceSimulator& device) {
  const std::string text = trekmor::sim::serialText(device.settings().serial);
  return std::wstring(text.begin(), text.end());
}

wchar_t* copyText(const wchar_t* text) {
  const std::size_t size = std::wcslen(text) + 1;
  auto* out = static_cast<wchar_t*>(std::calloc(size, sizeof(wchar_t)));
  if (out != nullptr) std::wmemcpy(out, text, size);
  return out;
}

}  // namespace

extern "C" {

int HID_API_EXPORT HID_API_CALL hid_init(void) { return 0; }

int HID_API_EXPORT HID_API_CALL hid_exit(void) { return 0; }

void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info* devs);

struct hid_device_info HID_API_EXPORT* HID_API_CALL hid_enumerate(unsigned short vendor_id, unsigned short product_id) {
  std::lock_guard guard(lock());
  if ((vendor_id != 0 && vendor_id != kVendor) || (product_id != 0 && product_id != kProduct)) return nullptr;
  hid_device_info* first = nullptr;
  hid_device_info** next = &first;
  for (std::size_t index = 0; index < fleet().size(); ++index) {
    if (!fleet()[index]->present()) continue;
    auto* info = static_cast<hid_device_info*>(std::calloc(1, sizeof(hid_device_info)));
    if (info == nullptr) {
      hid_free_enumeration(first);
      return nullptr;
    }
    info->path = copyText(pathOf(index).c_str());
    info->vendor_id = kVendor;
    info->product_id = kProduct;
    info->serial_number = copyText(serialOf(*fleet()[index]).c_str());
    info->release_number = 0x0112;
    info->manufacturer_string = copyText(L"Simulated");
    info->product_string = copyText(L"APRS Trekmor");
    info->interface_number = 0;
    info->bus_type = HID_API_BUS_USB;
    *next = info;
    next = &info->next;
  }
  return first;
}

void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info* devs) {
  while (devs != nullptr) {
    hid_device_info* next = devs->next;
    std::free(devs->path);
    std::free(devs->serial_number);
    std::free(devs->manufacturer_string);
    std::free(devs->product_string);
    std::free(devs);
    devs = next;
  }
}

HID_API_EXPORT hid_device* HID_API_CALL hid_open_path(const char* path) {
  std::lock_guard guard(lock());
  trekmor::sim::DeviceSimulator* device = nullptr;
  for (std::size_t index = 0; index < fleet().size() && path != nullptr; ++index) {
    if (pathOf(index) == path) device = fleet()[index];
  }
  if (device == nullptr || !device->present()) {
    globalError() = L"No such device";
    return nullptr;
  }
  if (device->settings().denied) {
    globalError() = L"Permission denied";
    return nullptr;
  }
  globalError().clear();
  device->opened();
  auto* handle = new hid_device_;
  handle->device = device;
  return handle;
}

HID_API_EXPORT hid_device* HID_API_CALL hid_open(unsigned short vendor_id, unsigned short product_id,
                                                 const wchar_t* serial_number) {
  if ((vendor_id != 0 && vendor_id != kVendor) || (product_id != 0 && product_id != kProduct)) return nullptr;
  std::size_t index = 0;
  {
    std::lock_guard guard(lock());
    while (index < fleet().size() && (!fleet()[index]->present() ||
                                      (serial_number != nullptr && serialOf(*fleet()[index]) != serial_number))) {
      ++index;
    }
  }
  return hid_open_path(pathOf(index).c_str());
}

int HID_API_EXPORT HID_API_CALL hid_write(hid_device* dev, const unsigned char* data, size_t length) {
  std::lock_guard guard(lock());
  trekmor::sim::Packet request{};
  if (dev == nullptr || data == nullptr || length != request.size()) {
    if (dev != nullptr) dev->error = L"the simulated device takes 65-byte reports";
    return -1;
  }
  dev->pending.reset();
  if (!dev->device->present()) {  // unplugged: the write fails at once
    dev->error = L"the simulated device was unplugged";
    return -1;
  }
  std::memcpy(request.data(), data, length);
  dev->pending = dev->device->handle(request);
  return static_cast<int>(length);
}

int HID_API_EXPORT HID_API_CALL hid_read_timeout(hid_device* dev, unsigned char* data, size_t length,
                                                 int milliseconds) {
  std::unique_lock guard(lock());
  if (dev == nullptr || data == nullptr) return -1;
  if (!dev->pending && !dev->device->present()) {
    dev->error = L"the simulated device was unplugged";
    return -1;
  }
  if (!dev->pending) {
    const long limit = dev->device->settings().silenceLimitMs;
    guard.unlock();
    if (milliseconds < 0 && limit < 0) {
      dev->error = L"the simulated device does not answer";
      return -1;
    }
    // A silent device: the read waits out its time-out (at most the limit
    // the simulator was given, so that whole-program tests stay quick).
    const long wait = limit < 0 ? milliseconds : milliseconds < 0 ? limit : std::min<long>(milliseconds, limit);
    std::this_thread::sleep_for(std::chrono::milliseconds(wait));
    return 0;
  }
  // Reports without numbers arrive without their report id byte.
  const std::size_t count = std::min(length, dev->pending->size() - 1);
  std::memcpy(data, dev->pending->data() + 1, count);
  dev->pending.reset();
  return static_cast<int>(count);
}

int HID_API_EXPORT HID_API_CALL hid_read(hid_device* dev, unsigned char* data, size_t length) {
  return hid_read_timeout(dev, data, length, -1);
}

int HID_API_EXPORT HID_API_CALL hid_set_nonblocking(hid_device* dev, int) { return dev != nullptr ? 0 : -1; }

int HID_API_EXPORT HID_API_CALL hid_send_feature_report(hid_device*, const unsigned char*, size_t) { return -1; }
int HID_API_EXPORT HID_API_CALL hid_get_feature_report(hid_device*, unsigned char*, size_t) { return -1; }
int HID_API_EXPORT HID_API_CALL hid_get_input_report(hid_device*, unsigned char*, size_t) { return -1; }

void HID_API_EXPORT HID_API_CALL hid_close(hid_device* dev) {
  if (dev == nullptr) return;
  std::lock_guard guard(lock());
  dev->device->saveFirmware();
  delete dev;
}

int HID_API_EXPORT_CALL hid_get_manufacturer_string(hid_device*, wchar_t* string, size_t maxlen) {
  if (string == nullptr || maxlen == 0) return -1;
  std::wcsncpy(string, L"Simulated", maxlen - 1);
  string[maxlen - 1] = L'\0';
  return 0;
}

int HID_API_EXPORT_CALL hid_get_product_string(hid_device*, wchar_t* string, size_t maxlen) {
  if (string == nullptr || maxlen == 0) return -1;
  std::wcsncpy(string, L"APRS Trekmor", maxlen - 1);
  string[maxlen - 1] = L'\0';
  return 0;
}

int HID_API_EXPORT_CALL hid_get_serial_number_string(hid_device* dev, wchar_t* string, size_t maxlen) {
  if (dev == nullptr || string == nullptr || maxlen == 0) return -1;
  std::lock_guard guard(lock());
  std::wcsncpy(string, serialOf(*dev->device).c_str(), maxlen - 1);
  string[maxlen - 1] = L'\0';
  return 0;
}

struct hid_device_info HID_API_EXPORT* HID_API_CALL hid_get_device_info(hid_device*) { return nullptr; }

int HID_API_EXPORT_CALL hid_get_indexed_string(hid_device*, int, wchar_t*, size_t) { return -1; }

HID_API_EXPORT const wchar_t* HID_API_CALL hid_error(hid_device* dev) {
  std::lock_guard guard(lock());
  if (dev == nullptr) return globalError().empty() ? nullptr : globalError().c_str();
  return dev->error.empty() ? nullptr : dev->error.c_str();
}

HID_API_EXPORT const struct hid_api_version* HID_API_CALL hid_version(void) {
  static const hid_api_version version{HID_API_VERSION_MAJOR, HID_API_VERSION_MINOR, HID_API_VERSION_PATCH};
  return &version;
}

HID_API_EXPORT const char* HID_API_CALL hid_version_str(void) { return HID_API_VERSION_STR; }

}  // extern "C"
