// What the history keeps of each device operation, the simulator's faults
// included, and that keeping it changes nothing of the operation.
#include <gtest/gtest.h>

#include "device/flows.h"
#include "device/recordingtransport.h"
#include "settings/pipeline.h"
#include "tests/device/device_support.h"
#include "tests/support/imagebytes.h"
#include "tests/support/tempdir.h"

namespace trekmor {
namespace {

using testing::RecordingInterface;
using testing::TempDir;

enum class Operation { Read, ReadTwice, Write, WriteAndVerify, KeepBeforeWrite, KeepBeforeFirmware };

DeviceOutcome perform(Operation operation, HidTransport& transport, RecordingTransport* recorder,
                      RecordingInterface& ui, const Image& image) {
  Image scratch{};
  std::size_t page = 0;
  switch (operation) {
    case Operation::ReadTwice:
      readDeviceImage(ui, transport, scratch);
      [[fallthrough]];
    case Operation::Read:
      return readDeviceImage(ui, transport, scratch);
    case Operation::Write:
      return writePackedImage(ui, transport, image);
    case Operation::WriteAndVerify: {
      const DeviceOutcome written = writePackedImage(ui, transport, image);
      return written != DeviceOutcome::Done ? written : verifyWrittenImage(ui, transport, image, scratch, page);
    }
    case Operation::KeepBeforeWrite:
      if (recorder) recorder->labelNextRead(HistoryEvent::BeforeWrite);
      return readDeviceImage(ui, transport, scratch);
    case Operation::KeepBeforeFirmware:
      if (recorder) recorder->labelNextRead(HistoryEvent::BeforeFirmware);
      return readHeldImage(ui, transport, scratch);
  }
  return DeviceOutcome::Done;
}

// "written@4" for a write that broke off at page 4; "/0.98" for another firmware.
std::string described(const HistoryEntry& entry) {
  std::string text(eventName(entry.event));
  if (entry.brokeOffAtPage != 0) text += "@" + std::to_string(entry.brokeOffAtPage);
  if (entry.firmwareVersion != kConfiguratorFirmwareVersion) {
    text += "/" + (entry.firmwareVersion ? firmwareVersionText(*entry.firmwareVersion) : std::string("?"));
  }
  return text;
}

sim::Settings simulated(const char* faults, std::uint32_t firmware, const Image& eeprom, const std::string& file) {
  sim::Settings settings;
  settings.faults = *sim::parseFaults(faults);
  settings.firmwareVersion = firmware;
  settings.eepromFile = file;
  testing::writeFile(file, std::string(eeprom.begin(), eeprom.end()));
  return settings;
}

TEST(HistoryRecording, WhatEachOperationKeepsUnderEachFault) {
  const Image image = testing::packed(FieldStore::withStartValues());
  Image held = image;
  held[100] ^= 0x55;  // what the tracker holds before the write: another configuration
  const struct {
    const char* name;
    Operation operation;
    const char* faults;
    std::uint32_t firmware;
    std::vector<std::string> entries;  // oldest first
  } cases[] = {
      {"read", Operation::Read, "", 112, {"read"}},
      {"the same read twice", Operation::ReadTwice, "", 112, {"read"}},
      {"read with a bad sum at page 101", Operation::Read, "read-bad-sum@100", 112, {}},
      {"read of another firmware", Operation::Read, "", 111, {}},
      {"read, device silent from the version query", Operation::Read, "no-answer@0", 112, {}},
      {"write", Operation::Write, "", 112, {"written"}},
      {"write of another firmware", Operation::Write, "", 111, {}},
      {"write refused at page 4", Operation::Write, "write-fail@3", 112, {"written@4"}},
      {"write unanswered from page 10", Operation::Write, "no-answer@10", 112, {"written@10"}},
      {"write unplugged at page 50", Operation::Write, "vanish@50", 112, {"written@50"}},
      {"write and verify", Operation::WriteAndVerify, "", 112, {"written", "read"}},
      {"write and verify, page 4 corrupted", Operation::WriteAndVerify, "corrupt@3", 112, {"written", "read"}},
      {"verify with a bad sum at page 8", Operation::WriteAndVerify, "read-bad-sum@7", 112, {"written"}},
      {"kept before a write", Operation::KeepBeforeWrite, "", 112, {"before-write"}},
      {"kept before a write, bad sum", Operation::KeepBeforeWrite, "read-bad-sum@2", 112, {}},
      {"kept before firmware 0.98 is replaced", Operation::KeepBeforeFirmware, "", 98, {"before-firmware/0.98"}},
      {"kept before firmware, device silent", Operation::KeepBeforeFirmware, "no-answer@0", 98, {}},
  };
  for (const auto& c : cases) {
    const TempDir dir;
    // The same operation on an identical tracker without the history: the reference.
    RecordingInterface plainUi;
    sim::DeviceSimulator plainDevice(simulated(c.faults, c.firmware, held, (dir / "plain.bin").string()));
    sim::SimulatedTransport plain(plainDevice);
    const DeviceOutcome expected = perform(c.operation, plain, nullptr, plainUi, image);

    RecordingInterface ui;
    sim::DeviceSimulator device(simulated(c.faults, c.firmware, held, (dir / "eeprom.bin").string()));
    sim::SimulatedTransport link(device);
    const HistoryStore store(dir / "history");
    std::vector<std::string> warnings;
    DeviceOutcome outcome;
    {
      RecordingTransport recorder(link, &store, [&](const std::string& w) { warnings.push_back(w); });
      outcome = perform(c.operation, recorder, &recorder, ui, image);
    }
    EXPECT_EQ(outcome, expected) << c.name;
    EXPECT_EQ(ui.lines, plainUi.lines) << c.name;
    EXPECT_EQ(ui.boxes, plainUi.boxes) << c.name;
    EXPECT_EQ(device.eeprom(), plainDevice.eeprom()) << c.name;
    EXPECT_EQ(device.requests(), plainDevice.requests()) << c.name << ": the history asks the tracker nothing";
    EXPECT_TRUE(warnings.empty()) << c.name;

    std::vector<HistoryEntry> entries = store.entries([&](const std::string& w) { ADD_FAILURE() << w; });
    std::reverse(entries.begin(), entries.end());
    std::vector<std::string> got;
    for (const HistoryEntry& entry : entries) {
      got.push_back(described(entry));
      EXPECT_EQ(entry.serial, "300024000F5138333536A07F") << c.name;
      if (entry.event == HistoryEvent::BeforeWrite || entry.event == HistoryEvent::BeforeFirmware) {
        EXPECT_EQ(entry.image, held) << c.name;
      }
      if (entry.event == HistoryEvent::Written) {
        // What was sent: the pages before the break, zeros from the page that failed.
        const std::size_t sent = entry.brokeOffAtPage == 0 ? kImageSize : (entry.brokeOffAtPage - 1) * kPageSize;
        EXPECT_TRUE(std::equal(image.begin(), image.begin() + sent, entry.image.begin())) << c.name;
        EXPECT_TRUE(std::all_of(entry.image.begin() + sent, entry.image.end(), [](auto b) { return b == 0; }))
            << c.name;
      }
    }
    EXPECT_EQ(got, c.entries) << c.name;
  }
}

TEST(HistoryRecording, AHistoryThatCannotBeWrittenWarnsOnceAndTheOperationSucceeds) {
  const TempDir dir;
  testing::writeFile(dir / "history", "a file where the folder should be");
  const Image image = testing::packed(FieldStore::withStartValues());
  const HistoryStore blocked(dir / "history");
  for (const HistoryStore* store : {static_cast<const HistoryStore*>(nullptr), &blocked}) {
    sim::DeviceSimulator device;
    sim::SimulatedTransport link(device);
    RecordingInterface ui;
    std::vector<std::string> warnings;
    {
      RecordingTransport recorder(link, store, [&](const std::string& w) { warnings.push_back(w); });
      EXPECT_EQ(perform(Operation::WriteAndVerify, recorder, &recorder, ui, image), DeviceOutcome::Done);
      EXPECT_EQ(perform(Operation::Read, recorder, &recorder, ui, image), DeviceOutcome::Done);
    }
    EXPECT_EQ(device.eeprom(), image);
    ASSERT_EQ(warnings.size(), 1u) << "one warning for three entries";
    EXPECT_EQ(warnings[0].rfind("the configuration history cannot be written: ", 0), 0u) << warnings[0];
  }
  EXPECT_TRUE(std::filesystem::is_regular_file(dir / "history")) << "what stood in the way is left alone";
}

}  // namespace
}  // namespace trekmor
