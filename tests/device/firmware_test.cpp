// Firmware upload: block counts, zero fill, the size limit, failures, and the
// five command buttons switched off for the upload and on again on every path.
#include <gtest/gtest.h>

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

class Upload : public ::testing::Test {
 protected:
  void SetUp() override {
    for (std::string_view button : kCommandButtons) fields.setEnabled(button, true);
    // Between blocks the window processes its events; the buttons must be off then.
    ui.onProcessEvents = [this] {
      for (std::string_view button : kCommandButtons) {
        if (fields.enabled(button)) ++enabledDuringUpload;
      }
    };
  }
  bool allButtonsEnabled() const {
    return std::all_of(kCommandButtons.begin(), kCommandButtons.end(),
                       [this](std::string_view b) { return fields.enabled(b); });
  }
  DeviceOutcome upload(std::optional<std::span<const std::uint8_t>> image) {
    return uploadFirmware(fields, ui, transport, image);
  }

  FieldStore fields;
  DeviceSimulator device;
  SimulatedTransport transport{device};
  RecordingUi ui;
  int enabledDuringUpload = 0;
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
  EXPECT_EQ(enabledDuringUpload, 0);
  EXPECT_TRUE(allButtonsEnabled());
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
  ui = RecordingUi();
  const auto tooLong = firmwareOf(112641);
  EXPECT_EQ(upload(tooLong), DeviceOutcome::NoFirmware);
  EXPECT_EQ(ui.lines, std::vector<std::string>{kFound});
  EXPECT_EQ(ui.boxes, std::vector<std::string>{"information: Firmware file too long."});
  EXPECT_TRUE(device.requests().empty());
  EXPECT_TRUE(allButtonsEnabled());
}

TEST_F(Upload, MissingImageSendsNothing) {
  EXPECT_EQ(upload(std::nullopt), DeviceOutcome::NoFirmware);
  EXPECT_EQ(ui.lines, std::vector<std::string>{kFound});
  EXPECT_EQ(ui.boxes, std::vector<std::string>{"information: Firmware resource not found (FindResource)."});
  EXPECT_TRUE(device.requests().empty());
  EXPECT_TRUE(allButtonsEnabled());
}

TEST_F(Upload, EmptyImageIsRefusedBeforeTheDeviceIsOpened) {
  EXPECT_EQ(upload(std::vector<std::uint8_t>{}), DeviceOutcome::NoFirmware);
  EXPECT_EQ(ui.boxes, std::vector<std::string>{"information: Firmware file is empty."});
  EXPECT_TRUE(ui.lines.empty());
  EXPECT_EQ(transport.opens(), 0);
  EXPECT_TRUE(allButtonsEnabled());
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
  EXPECT_TRUE(allButtonsEnabled());
  EXPECT_EQ(enabledDuringUpload, 0);
}

TEST_F(Upload, ButtonsComeBackOnEveryPath) {
  struct Case {
    const char* name;
    std::vector<sim::Fault> faults;
    std::optional<std::size_t> size;
    DeviceOutcome outcome;
  };
  const Case cases[] = {
      {"success", {}, 100, DeviceOutcome::Done},
      {"no image", {}, std::nullopt, DeviceOutcome::NoFirmware},
      {"too long", {}, 112641, DeviceOutcome::NoFirmware},
      {"block fails", {{FaultKind::BlockFail, 2}}, 100, DeviceOutcome::TransferFailed},
      {"device stops answering", {{FaultKind::NoAnswer, 1}}, 100, DeviceOutcome::TransferFailed},
  };
  for (const Case& c : cases) {
    DeviceSimulator fresh;
    fresh.settings().faults = c.faults;
    SimulatedTransport channel(fresh);
    const auto image = firmwareOf(c.size.value_or(0));
    const auto given = c.size ? std::optional<std::span<const std::uint8_t>>(image) : std::nullopt;
    EXPECT_EQ(uploadFirmware(fields, ui, channel, given), c.outcome) << c.name;
    EXPECT_TRUE(allButtonsEnabled()) << c.name;
    EXPECT_FALSE(channel.isOpen()) << c.name;
  }
  EXPECT_EQ(enabledDuringUpload, 0);
}

TEST_F(Upload, AbsentDeviceLeavesTheButtonsAlone) {
  device.settings().absent = true;
  fields.setEnabled("Button_save_to_file", false);  // whatever state they had stays
  const auto image = firmwareOf(64);
  EXPECT_EQ(upload(image), DeviceOutcome::NotFound);
  EXPECT_EQ(ui.lines, std::vector<std::string>{"APRS Trekmor not found."});
  EXPECT_FALSE(fields.enabled("Button_save_to_file"));
  EXPECT_TRUE(fields.enabled("Button_read_config"));
  EXPECT_TRUE(device.requests().empty());
}

}  // namespace
}  // namespace trekmor
