// Firmware upload: block counts, zero fill, the size limit, failures, and the
// upload busy from the opened device on and idle again on every path.
#include <gtest/gtest.h>

#include <stdexcept>

#include "device/flows.h"
#include "tests/device/device_support.h"

namespace trekmor {
namespace {

using sim::DeviceSimulator;
using sim::FaultKind;
using sim::SimulatedTransport;

const std::string kFound = "APRS Trekmor found, vid: Vid_0483, pid: A052";

std::vector<std::uint8_t> firmwareOf(std::size_t size) {
  std::vector<std::uint8_t> image(size);
  for (std::size_t i = 0; i < size; ++i) image[i] = static_cast<std::uint8_t>(i * 7 + i / 256 + 1);
  return image;
}

const std::vector<std::string> kBusyThenIdle{"busy", "idle"};

class Upload : public ::testing::Test {
 protected:
  void SetUp() override {
    // Between blocks the window processes its events; it must be busy then.
    ui.onProcessEvents = [this] {
      if (!ui.busy) ++idleDuringUpload;
    };
  }
  DeviceOutcome upload(std::optional<std::span<const std::uint8_t>> image) {
    return uploadFirmware(ui, transport, image);
  }

  DeviceSimulator device;
  SimulatedTransport transport{device};
  testing::RecordingInterface ui;
  int idleDuringUpload = 0;
};

TEST_F(Upload, ImageOf53248BytesGoesAs1664Blocks) {
  const auto image = firmwareOf(53248);
  EXPECT_EQ(upload(image), DeviceOutcome::Done);
  std::vector<std::string> expected{kFound};
  append(expected, countedLines("Page written: ", 1, 1664, 1664));
  expected.push_back("Firmware upgrade success");
  EXPECT_EQ(ui.lines, expected);
  EXPECT_EQ(ui.progress.front(), "0");
  EXPECT_EQ(ui.progress[1], "max 1664");
  EXPECT_EQ(ui.progress.end()[-2], "1664");
  EXPECT_EQ(ui.progress.back(), "0");
  EXPECT_EQ(ui.eventRounds, 1664);  // once before every block
  EXPECT_EQ(device.receivedFirmware(), image);
  EXPECT_EQ(idleDuringUpload, 0);
  EXPECT_EQ(ui.busyCalls, kBusyThenIdle);
  EXPECT_FALSE(transport.isOpen());
  EXPECT_EQ(transport.opens(), 1);
  // No version test and no configuration before the blocks.
  EXPECT_EQ(device.requests().front()[1], 0xFE);
}

TEST_F(Upload, ShortLastBlockIsCompletedWithZeros) {
  const auto image = firmwareOf(33);
  EXPECT_EQ(upload(image), DeviceOutcome::Done);
  EXPECT_EQ(ui.lines.end()[-3], "Page written: 1/2");
  EXPECT_EQ(ui.lines.end()[-2], "Page written: 2/2");
  ASSERT_EQ(device.requests().size(), 2u);
  const Report& last = device.requests()[1];
  EXPECT_EQ(last[2], 1);
  EXPECT_EQ(last[4], image[32]);
  EXPECT_TRUE(std::all_of(last.begin() + 5, last.begin() + 36, [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(last[36], image[32]);  // the sum is that one byte
  EXPECT_EQ(last[37], 0);
}

TEST_F(Upload, LargestImageIsTakenAndOneByteMoreIsRefused) {
  const auto largest = firmwareOf(112640);
  EXPECT_EQ(upload(largest), DeviceOutcome::Done);
  EXPECT_EQ(ui.lines.end()[-2], "Page written: 3520/3520");
  EXPECT_EQ(device.receivedFirmware(), largest);

  device.clearRequests();
  ui = testing::RecordingInterface();
  const auto tooLong = firmwareOf(112641);
  EXPECT_EQ(upload(tooLong), DeviceOutcome::NoFirmware);
  EXPECT_EQ(ui.lines, std::vector<std::string>{kFound});
  EXPECT_EQ(ui.boxes, std::vector<std::string>{"information: Firmware file too long."});
  EXPECT_TRUE(device.requests().empty());
  EXPECT_EQ(ui.busyCalls, kBusyThenIdle);
}

TEST_F(Upload, MissingImageSendsNothing) {
  EXPECT_EQ(upload(std::nullopt), DeviceOutcome::NoFirmware);
  EXPECT_EQ(ui.lines, std::vector<std::string>{kFound});
  EXPECT_EQ(ui.boxes, std::vector<std::string>{"information: Firmware resource not found (FindResource)."});
  EXPECT_TRUE(device.requests().empty());
  EXPECT_EQ(ui.busyCalls, kBusyThenIdle);
}

TEST_F(Upload, EmptyImageIsRefusedBeforeTheDeviceIsOpened) {
  EXPECT_EQ(upload(std::vector<std::uint8_t>{}), DeviceOutcome::NoFirmware);
  EXPECT_EQ(ui.boxes, std::vector<std::string>{"information: Firmware file is empty."});
  EXPECT_TRUE(ui.lines.empty());
  EXPECT_EQ(transport.opens(), 0);
  EXPECT_TRUE(ui.busyCalls.empty());
}

TEST_F(Upload, FailureAtTheTenthBlockStopsThere) {
  device.settings().faults = {{FaultKind::BlockFail, 9}};
  const auto image = firmwareOf(53248);
  EXPECT_EQ(upload(image), DeviceOutcome::TransferFailed);
  std::vector<std::string> expected{kFound};
  append(expected, countedLines("Page written: ", 1, 9, 1664));
  expected.push_back("Page write error: 10/1664");
  EXPECT_EQ(ui.lines, expected);
  EXPECT_EQ(ui.progress.back(), "9");
  EXPECT_EQ(device.requests().size(), 10u);
  EXPECT_EQ(device.requests().back()[2], 9);
  EXPECT_EQ(ui.busyCalls, kBusyThenIdle);
  EXPECT_EQ(idleDuringUpload, 0);
}

TEST_F(Upload, BusyFromTheOpenedDeviceUntilTheLastBlockIsAnswered) {
  const auto image = firmwareOf(96);
  struct Seen {
    bool busy;
    std::size_t lines;
    std::size_t requests;
    bool open;
  };
  std::vector<Seen> seen;
  ui.onBusy = [&](bool busy) { seen.push_back({busy, ui.lines.size(), device.requests().size(), transport.isOpen()}); };
  EXPECT_EQ(upload(image), DeviceOutcome::Done);
  ASSERT_EQ(seen.size(), 2u);
  // Busy right after the found line, before the first block goes out.
  EXPECT_TRUE(seen[0].busy);
  EXPECT_EQ(seen[0].lines, 1u);
  EXPECT_EQ(seen[0].requests, 0u);
  EXPECT_TRUE(seen[0].open);
  // Idle after the success line, while the device is still open.
  EXPECT_FALSE(seen[1].busy);
  EXPECT_EQ(seen[1].lines, 5u);  // found, three blocks, success
  EXPECT_EQ(seen[1].requests, 3u);
  EXPECT_TRUE(seen[1].open);
}

struct PathCase {
  const char* name;
  std::vector<sim::Fault> faults;
  std::optional<std::size_t> size;
  DeviceOutcome outcome;
};

class UploadPaths : public ::testing::TestWithParam<PathCase> {};

TEST_P(UploadPaths, BusyThenIdleAndTheDeviceClosed) {
  const PathCase& c = GetParam();
  DeviceSimulator device;
  device.settings().faults = c.faults;
  SimulatedTransport transport(device);
  testing::RecordingInterface ui;
  int idleDuringUpload = 0;
  ui.onProcessEvents = [&] {
    if (!ui.busy) ++idleDuringUpload;
  };
  const auto image = firmwareOf(c.size.value_or(0));
  const auto given = c.size ? std::optional<std::span<const std::uint8_t>>(image) : std::nullopt;
  EXPECT_EQ(uploadFirmware(ui, transport, given), c.outcome);
  EXPECT_EQ(ui.busyCalls, kBusyThenIdle);
  EXPECT_EQ(idleDuringUpload, 0);
  EXPECT_FALSE(transport.isOpen());
}

INSTANTIATE_TEST_SUITE_P(
    EveryPath, UploadPaths,
    ::testing::Values(PathCase{"success", {}, 100, DeviceOutcome::Done},
                      PathCase{"no_image", {}, std::nullopt, DeviceOutcome::NoFirmware},
                      PathCase{"too_long", {}, 112641, DeviceOutcome::NoFirmware},
                      PathCase{"block_fails", {{FaultKind::BlockFail, 2}}, 100, DeviceOutcome::TransferFailed},
                      PathCase{"device_stops_answering", {{FaultKind::NoAnswer, 1}}, 100,
                               DeviceOutcome::TransferFailed}),
    [](const ::testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

// A transport whose send throws at the given exchange: the path out of the
// upload that no outcome covers.
class ThrowingTransport final : public HidTransport {
 public:
  ThrowingTransport(HidTransport& inner, int throwAt) : m_inner(inner), m_throwAt(throwAt) {}
  OpenResult open() override { return m_inner.open(); }
  void close() override { m_inner.close(); }
  bool send(const Report& request) override {
    if (m_sent++ == m_throwAt) throw std::runtime_error("transport failure");
    return m_inner.send(request);
  }
  bool receive(Report& reply, std::chrono::milliseconds timeout) override { return m_inner.receive(reply, timeout); }

 private:
  HidTransport& m_inner;
  int m_throwAt;
  int m_sent = 0;
};

TEST_F(Upload, IdleAgainAndClosedWhenTheTransferThrows) {
  ThrowingTransport throwing(transport, 2);
  const auto image = firmwareOf(200);
  EXPECT_THROW(uploadFirmware(ui, throwing, image), std::runtime_error);
  EXPECT_EQ(ui.busyCalls, kBusyThenIdle);
  EXPECT_FALSE(ui.busy);
  EXPECT_FALSE(transport.isOpen());
  EXPECT_EQ(device.requests().size(), 2u);
}

TEST_F(Upload, AbsentDeviceIsNeverBusy) {
  device.settings().absent = true;
  const auto image = firmwareOf(64);
  EXPECT_EQ(upload(image), DeviceOutcome::NotFound);
  EXPECT_EQ(ui.lines, std::vector<std::string>{"APRS Trekmor not found."});
  EXPECT_TRUE(ui.busyCalls.empty());
  EXPECT_TRUE(device.requests().empty());
}

}  // namespace
}  // namespace trekmor
