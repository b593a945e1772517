// The device flows (write, read, device information, firmware upload) against
// a device whose every answer is taken from the fuzzer's input: replies with
// arbitrary bytes, replies of the simulator with bytes changed, no reply at
// all, requests that do not go out, a device that is not found, and runs of
// sound replies from the simulator. When the input runs out the device falls
// silent, so that every run is short. Beyond
// never crashing nor touching memory it does not own:
//  - nothing is ever sent to a device that is not open, and every flow
//    closes the device it opened;
//  - a read that does not end with "Done" changes no field, and one that
//    does shows exactly the image it read;
//  - the upload is busy only while the device is open, never busy twice, and
//    idle again whatever happens;
//  - the progress bar never runs past its range.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "device/flows.h"
#include "settings/pipeline.h"
#include "sim/simulator.h"

namespace {

using namespace trekmor;

void check(bool condition) {
  if (!condition) std::abort();
}

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
  bool empty() const { return m_at >= m_size; }
  std::uint8_t next() { return empty() ? 0 : m_data[m_at++]; }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_at = 0;
};

class FuzzedDevice final : public HidTransport {
 public:
  FuzzedDevice(Input& input, sim::DeviceSimulator& device) : m_input(input), m_device(device) {}

  OpenResult open() override {
    check(!m_open);  // every flow closed what it opened
    if (!m_input.empty()) {
      const std::uint8_t choice = m_input.next();
      if (choice == 0xF0) return {OpenStatus::NotFound, {}};
      if (choice == 0xF1) return {OpenStatus::NoAccess, "/dev/hidraw-fuzz (Permission denied)"};
    }
    m_open = true;
    m_device.opened();
    return {OpenStatus::Opened, {}};
  }
  void close() override {
    m_open = false;
    m_pending.reset();
  }
  bool send(const Report& request) override {
    check(m_open);
    check(request[kReportIdByte] == 0);
    m_pending.reset();
    const std::optional<sim::Packet> answer = m_device.handle(request);
    if (m_soundReplies > 0) {
      --m_soundReplies;
      m_pending = answer;
      return true;
    }
    if (m_input.empty()) return true;  // silent from here on
    const std::uint8_t choice = m_input.next();
    switch (choice % 8) {
      case 0:
        return false;  // the request did not go out
      case 1:
        return true;  // no reply
      case 2: {
        Report reply{};  // every byte arbitrary
        for (std::uint8_t& byte : reply) byte = m_input.next();
        m_pending = reply;
        return true;
      }
      case 3: {
        if (!answer) return true;
        Report reply = *answer;  // the device's reply with a few bytes changed
        for (int changes = m_input.next() % 4 + 1; changes > 0; --changes) {
          const std::size_t at = m_input.next() % kReportSize;
          reply[at] = m_input.next();
        }
        m_pending = reply;
        return true;
      }
      default:
        m_pending = answer;  // this reply and up to 31 more as the simulator gives them
        m_soundReplies = choice / 8;
        return true;
    }
  }
  bool receive(Report& reply, std::chrono::milliseconds) override {
    check(m_open);
    if (!m_pending) return false;
    reply = *m_pending;
    m_pending.reset();
    return true;
  }
  bool isOpen() const { return m_open; }

 private:
  Input& m_input;
  sim::DeviceSimulator& m_device;
  std::optional<Report> m_pending;
  bool m_open = false;
  int m_soundReplies = 0;
};

class CheckingInterface final : public UserInterface {
 public:
  void information(std::string_view text) override { check(!text.empty()); }
  void error(std::string_view text) override { check(!text.empty()); }
  void message(std::string_view text) override { check(!text.empty()); }
  void log(std::string_view line) override {
    check(!line.empty());
    ++lines;
  }
  void setProgressRange(int maximum) override {
    check(maximum >= 0);
    range = maximum;
  }
  void setProgress(int position) override { check(position >= 0 && position <= range); }
  void processEvents() override {}
  void setBusy(bool value) override {
    check(device != nullptr && device->isOpen());
    check(value != busy);  // busy and idle alternate, starting busy
    busy = value;
    ++busyCalls;
  }

  int range = 0;
  int lines = 0;
  const FuzzedDevice* device = nullptr;
  bool busy = false;
  int busyCalls = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FieldStore start = FieldStore::withStartValues();
  static const Image startImage = [] {
    Image image{};
    check(static_cast<bool>(packConfigImage(start, image, 1)));
    return image;
  }();

  Input input(data, size);
  sim::DeviceSimulator simulator;
  // Half of the runs begin with a device that holds a sound configuration.
  if (input.next() & 1) simulator.setEeprom(startImage);
  FuzzedDevice device(input, simulator);
  CheckingInterface ui;
  ui.device = &device;

  FieldStore fields = start;
  Image writeImage{};
  writeConfig(fields, ui, device, writeImage, 7);
  check(!device.isOpen());

  fields.setText("Callsign", "BEFORE");  // a value no device image holds here
  const FieldStore before = fields;
  Image readImage{};
  const DeviceOutcome read = readConfig(fields, ui, device, readImage);
  check(!device.isOpen());
  if (read == DeviceOutcome::Done) {
    // What the fields show is exactly the image that was read.
    FieldStore expected = before;
    Image copy = readImage;
    check(unpackConfigImage(copy, expected, silentInterface()));
    check(fields == expected);
  } else {
    check(fields == before);
  }

  showDeviceInformation(ui, device);
  check(!device.isOpen());

  static const std::vector<std::uint8_t> firmware = [] {
    std::vector<std::uint8_t> bytes(100);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 31 + 5);
    return bytes;
  }();
  check(ui.busyCalls == 0);  // only the upload is busy
  const DeviceOutcome uploaded = uploadFirmware(ui, device, std::span<const std::uint8_t>(firmware));
  check(!device.isOpen());
  check(!ui.busy);
  check(ui.busyCalls == (uploaded == DeviceOutcome::NotFound ? 0 : 2));
  return 0;
}
