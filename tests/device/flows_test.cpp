// Write config, Read config and the device information against the
// simulator: the log lines in order, the progress values, the boxes, and
// what reached the device.
#include <gtest/gtest.h>

#include "device/flows.h"
#include "device/link.h"
#include "settings/pipeline.h"
#include "tests/device/device_support.h"
#include "tests/support/version.h"

namespace trekmor {
namespace {

using sim::DeviceSimulator;
using sim::FaultKind;
using sim::SimulatedTransport;

const std::string kFound = "APRS Trekmor found, vid: Vid_0483, pid: A052";
// The simulator's default firmware, hardware text and serial number.
const std::string kInfoBox =
    "message: Firmware version: " + trekmor::testing::version() + "\r\nHardware version: Trekmor HW 2.1\r\nSerial number: 300024000F5138333536A07F";

std::vector<std::string> fullProgress(int total) {
  std::vector<std::string> out{"0", "max " + std::to_string(total)};
  for (int k = 1; k <= total; ++k) out.push_back(std::to_string(k));
  out.push_back("0");
  return out;
}

class Flows : public ::testing::Test {
 protected:
  // The simulator's EEPROM holding the default configuration, written by the flow itself.
  void writeDefaults() {
    Image image;
    ASSERT_EQ(writeConfig(fields, ui, transport, image, 7), DeviceOutcome::Done);
    ui = testing::RecordingInterface();
    device.clearRequests();
  }
  // The fields as the unpack of this image sets them (an empty SSID text, for
  // one, comes back as "0"): what a read of the image must give.
  static FieldStore unpackedFrom(const Image& image) {
    FieldStore out = FieldStore::withStartValues();
    Image copy = image;
    EXPECT_TRUE(unpackConfigImage(copy, out, silentInterface()));
    return out;
  }
  std::size_t requestsWith(std::uint8_t command) const {
    return static_cast<std::size_t>(std::count_if(device.requests().begin(), device.requests().end(),
                                                  [&](const Report& r) { return r[1] == command; }));
  }

  FieldStore fields = FieldStore::withStartValues();
  DeviceSimulator device;
  SimulatedTransport transport{device};
  testing::RecordingInterface ui;
};

TEST_F(Flows, WriteAndReadBackTheDefaultImage) {
  Image written;
  ASSERT_EQ(writeConfig(fields, ui, transport, written, 1234), DeviceOutcome::Done);
  std::vector<std::string> expected{kFound};
  append(expected, countedLines("Page written: ", 1, 160, 160));
  expected.push_back("Eeprom write success");
  EXPECT_EQ(ui.lines, expected);
  EXPECT_EQ(ui.progress, fullProgress(160));
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(device.eeprom(), written);
  EXPECT_TRUE(checkImageIntegrity(written));
  // The version query goes first, then the pages in order.
  ASSERT_EQ(device.requests().size(), 161u);
  EXPECT_EQ(device.requests()[0][1], 0xFB);
  for (std::size_t n = 0; n < 160; ++n) EXPECT_EQ(device.requests()[n + 1][2], n & 0xFF);
  EXPECT_FALSE(transport.isOpen());

  // Read it back into fields that were changed meanwhile.
  FieldStore changed = fields;
  changed.setText("Callsign", "OTHER");
  changed.setText("Txtail", "999");
  testing::RecordingInterface readUi;
  Image read;
  read.fill(0x55);
  ASSERT_EQ(readConfig(changed, readUi, transport, read), DeviceOutcome::Done);
  expected = {kFound};
  append(expected, countedLines("Page read: ", 1, 160, 160));
  expected.push_back("Eeprom read success.");
  expected.push_back(kFound);
  EXPECT_EQ(readUi.lines, expected);
  EXPECT_EQ(readUi.progress, fullProgress(160));
  EXPECT_EQ(readUi.boxes, std::vector<std::string>{kInfoBox});
  EXPECT_EQ(read, written);
  EXPECT_EQ(changed.text("Callsign"), fields.text("Callsign"));
  EXPECT_EQ(changed.text("Txtail"), fields.text("Txtail"));
  EXPECT_TRUE(changed == unpackedFrom(written));
  EXPECT_EQ(transport.opens(), 3);
  EXPECT_EQ(transport.closedUses(), 0);
  EXPECT_FALSE(transport.isOpen());
}

TEST_F(Flows, PackFailureOpensNothingAndLogsNothing) {
  struct Case {
    const char* control;
    const char* text;
    const char* box;
  };
  const Case cases[] = {
      {"Txtail", "1001", "information: TX tail - range error (0 - 1000)."},
      {"Txtail", "ten", "error: 'ten' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    FieldStore bad = fields;
    bad.setText(c.control, c.text);
    testing::RecordingInterface failing;
    Image image;
    EXPECT_EQ(writeConfig(bad, failing, transport, image, 1), DeviceOutcome::PackFailed) << c.text;
    EXPECT_TRUE(failing.lines.empty()) << c.text;
    EXPECT_TRUE(failing.progress.empty()) << c.text;
    EXPECT_EQ(failing.boxes, std::vector<std::string>{c.box});
  }
  EXPECT_EQ(transport.opens(), 0);
  EXPECT_TRUE(device.requests().empty());
}

TEST_F(Flows, FirmwareMismatchStopsBothFlowsBeforeAnyPage) {
  writeDefaults();
  device.settings().firmwareVersion = 111;
  Image image;
  EXPECT_EQ(writeConfig(fields, ui, transport, image, 1), DeviceOutcome::FirmwareMismatch);
  EXPECT_EQ(ui.lines, std::vector<std::string>{kFound});
  EXPECT_EQ(ui.boxes, std::vector<std::string>{
                          "information: Uncompatible firmware version:\nDevice: 1.11\nConfigurator: " + trekmor::testing::version() + "\n\nYou need "
                          "to upload new firmware using \"Upload firmware\" button."});

  FieldStore changed = fields;
  changed.setText("Callsign", "KEEP");
  const FieldStore before = changed;
  testing::RecordingInterface readUi;
  EXPECT_EQ(readConfig(changed, readUi, transport, image), DeviceOutcome::FirmwareMismatch);
  EXPECT_EQ(readUi.lines, std::vector<std::string>{kFound});
  EXPECT_EQ(readUi.boxes,
            std::vector<std::string>{
                "information: Uncompatible firmware version:\nDevice: 1.11\nConfigurator: " + trekmor::testing::version() + "\n\nYou need use the "
                "same Configurator and firmware version to read device configuration or you can write new "
                "configuration using \"Write config\" button."});
  EXPECT_TRUE(changed == before);
  EXPECT_EQ(requestsWith(0xFD) + requestsWith(0xFC), 0u);
  EXPECT_FALSE(transport.isOpen());
}

TEST_F(Flows, UnansweredVersionQueryHasItsOwnMessageAndWritesNothing) {
  device.settings().faults = {{FaultKind::NoAnswer, 0}};
  Image image;
  EXPECT_EQ(writeConfig(fields, ui, transport, image, 1), DeviceOutcome::NoVersionReply);
  EXPECT_EQ(ui.lines, std::vector<std::string>{kFound});
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].rfind("information: APRS Trekmor did not answer the firmware version query.", 0), 0u);
  EXPECT_EQ(device.requests().size(), 1u);

  testing::RecordingInterface readUi;
  EXPECT_EQ(readConfig(fields, readUi, transport, image), DeviceOutcome::NoVersionReply);
  EXPECT_EQ(readUi.boxes, ui.boxes);
}

TEST_F(Flows, ReadWithAWrongSumAtPageZeroChangesNoField) {
  writeDefaults();
  device.settings().faults = {{FaultKind::ReadBadSum, 0}};
  FieldStore changed = fields;
  changed.setText("Callsign", "KEEP");
  const FieldStore before = changed;
  Image image;
  EXPECT_EQ(readConfig(changed, ui, transport, image), DeviceOutcome::ChecksumError);
  EXPECT_EQ(ui.lines, (std::vector<std::string>{kFound, "Page read error: 1/160",
                                                "Eeprom checksum error. Please reload configuration."}));
  EXPECT_EQ(ui.progress, (std::vector<std::string>{"0", "max 160"}));
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_TRUE(changed == before);
  EXPECT_EQ(image, Image{});
  EXPECT_EQ(transport.opens(), 2);  // the write, then this read; no information query
}

TEST_F(Flows, ReadWithAWrongSumAtPage100StillSucceeds) {
  writeDefaults();
  device.settings().faults = {{FaultKind::ReadBadSum, 100}};
  FieldStore changed = fields;
  changed.setText("Callsign", "OTHER");
  Image image;
  EXPECT_EQ(readConfig(changed, ui, transport, image), DeviceOutcome::Done);
  std::vector<std::string> expected{kFound};
  append(expected, countedLines("Page read: ", 1, 100, 160));
  append(expected, {"Page read error: 101/160", "Eeprom read success.", kFound});
  EXPECT_EQ(ui.lines, expected);
  EXPECT_EQ(ui.progress.back(), "100");  // the bar keeps its place
  EXPECT_EQ(ui.boxes, std::vector<std::string>{kInfoBox});
  EXPECT_EQ(changed.text("Callsign"), fields.text("Callsign"));
  EXPECT_TRUE(changed == unpackedFrom(device.eeprom()));
  EXPECT_EQ(requestsWith(0xFC), 101u);  // no page after the failing one
}

TEST_F(Flows, ReadReplyWithAnotherCommandFailsItsPage) {
  writeDefaults();
  device.settings().faults = {{FaultKind::ReadBadCommand, 47}};  // the last page with used bytes
  Image image;
  EXPECT_EQ(readConfig(fields, ui, transport, image), DeviceOutcome::ChecksumError);
  EXPECT_EQ(ui.lines.end()[-2], "Page read error: 48/160");
  EXPECT_EQ(ui.lines.back(), "Eeprom checksum error. Please reload configuration.");
}

TEST_F(Flows, ConfigurationVersionMismatchChangesNoField) {
  Image other;
  ASSERT_TRUE(packConfigImage(fields, other, 3));
  other[10] = '0';  // "v1.10"
  finishImage(other, 3);  // a sound image of another version
  device.setEeprom(other);
  FieldStore changed = fields;
  changed.setText("Callsign", "KEEP");
  const FieldStore before = changed;
  Image image;
  EXPECT_EQ(readConfig(changed, ui, transport, image), DeviceOutcome::ConfigVersionMismatch);
  std::vector<std::string> expected{kFound};
  append(expected, countedLines("Page read: ", 1, 160, 160));
  expected.push_back("Eeprom read error. Please reload configuration.");
  EXPECT_EQ(ui.lines, expected);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0],
            "information: Uncompatible configuration version:\nDevice: v1.10\nConfigurator: " + trekmor::testing::configVersion() + "\n\nYou need to "
            "use Configurator v1.10 or write new configuration using \"Write config\" button.");
  EXPECT_TRUE(changed == before);
  EXPECT_EQ(transport.opens(), 1);
}

TEST_F(Flows, SerialReplyWithAnotherCommandShowsTwoLines) {
  writeDefaults();
  device.settings().faults = {{FaultKind::SerialBadCommand, 0}};
  Image image;
  EXPECT_EQ(readConfig(fields, ui, transport, image), DeviceOutcome::Done);
  EXPECT_EQ(ui.boxes, std::vector<std::string>{"message: Firmware version: " + trekmor::testing::version() + "\r\nHardware version: Trekmor HW 2.1"});
}

TEST_F(Flows, DeviceThatStopsAnswering) {
  // Exchanges count over the simulator's life. Exchange 0 is the version query, so exchange 50 is page 49.
  device.settings().faults = {{FaultKind::NoAnswer, 50}};
  Image image;
  EXPECT_EQ(writeConfig(fields, ui, transport, image, 1), DeviceOutcome::TransferFailed);
  std::vector<std::string> expected{kFound};
  append(expected, countedLines("Page written: ", 1, 49, 160));
  expected.push_back("Page write error: 50/160");
  EXPECT_EQ(ui.lines, expected);
  EXPECT_EQ(ui.progress.back(), "49");
  EXPECT_FALSE(transport.isOpen());

  // Every later exchange goes unanswered too: the read stops at its version query.
  testing::RecordingInterface readUi;
  EXPECT_EQ(readConfig(fields, readUi, transport, image), DeviceOutcome::NoVersionReply);
  EXPECT_EQ(readUi.lines, std::vector<std::string>{kFound});
}

TEST_F(Flows, ReadThatStopsAnsweringMidwayAndTheInformationQueryFailingSilently) {
  writeDefaults();
  // Exchanges count over the simulator's life: the write took 0..160, the
  // read's version query and pages 161..321, so 322 is the second opening's first query.
  device.settings().faults = {{FaultKind::NoAnswer, 322}};
  Image image;
  EXPECT_EQ(readConfig(fields, ui, transport, image), DeviceOutcome::Done);
  EXPECT_EQ(ui.lines.back(), kFound);
  EXPECT_EQ(ui.lines.end()[-2], "Eeprom read success.");
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(Flows, WriteFailureAtPageZeroLogsOneErrorLine) {
  device.settings().faults = {{FaultKind::WriteFail, 0}};
  Image image;
  EXPECT_EQ(writeConfig(fields, ui, transport, image, 1), DeviceOutcome::TransferFailed);
  EXPECT_EQ(ui.lines, (std::vector<std::string>{kFound, "Page write error: 1/160"}));
  EXPECT_EQ(ui.progress, (std::vector<std::string>{"0", "max 160"}));
  EXPECT_EQ(device.eeprom(), sim::Eeprom{});
}

TEST_F(Flows, AbsentDeviceGivesOneLineForEveryOperation) {
  device.settings().absent = true;
  Image image;
  const std::vector<std::string> one{"APRS Trekmor not found."};
  EXPECT_EQ(writeConfig(fields, ui, transport, image, 1), DeviceOutcome::NotFound);
  EXPECT_EQ(ui.lines, one);
  ui = testing::RecordingInterface();
  EXPECT_EQ(readConfig(fields, ui, transport, image), DeviceOutcome::NotFound);
  EXPECT_EQ(ui.lines, one);
  ui = testing::RecordingInterface();
  EXPECT_EQ(showDeviceInformation(ui, transport), DeviceOutcome::NotFound);
  EXPECT_EQ(ui.lines, one);
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_TRUE(device.requests().empty());
  EXPECT_EQ(transport.closedUses(), 0);
}

TEST_F(Flows, DeviceThatCannotBeOpenedIsNotReportedAsFound) {
  device.settings().denied = true;
  Image image;
  EXPECT_EQ(writeConfig(fields, ui, transport, image, 1), DeviceOutcome::NotFound);
  ASSERT_EQ(ui.lines.size(), 1u);
  EXPECT_EQ(ui.lines[0].find("found,"), std::string::npos);
  EXPECT_NE(ui.lines[0].find("cannot be opened"), std::string::npos);
  EXPECT_NE(ui.lines[0].find("Permission denied"), std::string::npos);
  // The udev rule is advice for Linux only.
#if defined(__linux__)
  EXPECT_NE(ui.lines[0].find("udev rule"), std::string::npos);
#else
  EXPECT_EQ(ui.lines[0].find("udev"), std::string::npos);
  EXPECT_EQ(ui.lines[0].back(), '.');
#endif
  EXPECT_TRUE(device.requests().empty());
}

TEST_F(Flows, DeviceInformationOnItsOwn) {
  EXPECT_EQ(showDeviceInformation(ui, transport), DeviceOutcome::Done);
  EXPECT_EQ(ui.lines, std::vector<std::string>{kFound});
  EXPECT_EQ(ui.boxes, std::vector<std::string>{kInfoBox});
  device.settings().faults = {{FaultKind::NoAnswer, 4}};
  testing::RecordingInterface second;
  EXPECT_EQ(showDeviceInformation(second, transport), DeviceOutcome::NoDeviceInformation);
  EXPECT_TRUE(second.boxes.empty());
  EXPECT_FALSE(transport.isOpen());
}

}  // namespace
}  // namespace trekmor
