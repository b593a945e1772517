// A device that stops answering, or is unplugged, in the middle of an
// operation started from the window: the exchange times out, the log names
// the page or block, nothing is unpacked from an incomplete image, and the
// window goes on working.
#include "tests/support/window_fixture.h"

namespace trekmor::testing {
namespace {

const QString kFound = QStringLiteral("APRS Trekmor found, vid: Vid_0483, pid: A052");

QStringList counted(const QString& prefix, int from, int to, int total) {
  QStringList out;
  for (int k = from; k <= to; ++k) out << prefix + QString::number(k) + QLatin1Char('/') + QString::number(total);
  return out;
}

class SilentDevice : public WindowFixture, public ::testing::WithParamInterface<int> {
 protected:
  // After a fault: the device answers again, and a write and a read through
  // the buttons go through as on a fresh start.
  void expectWindowStillWorks() {
    EXPECT_TRUE(commandButtonsEnabled());
    EXPECT_FALSE(window->uploadRunning());
    device.settings().faults.clear();
    QTest::keyClicks(find<QLineEdit>("Callsign"), QStringLiteral("1"));  // typing still reaches the fields
    const int before = static_cast<int>(logLines().size());
    click("Button_write_config");
    EXPECT_EQ(logLines().back(), QStringLiteral("Eeprom write success"));
    click("Button_read_config");
    const QStringList lines = logLines().mid(before);
    EXPECT_TRUE(lines.contains(QStringLiteral("Eeprom read success.")));
    EXPECT_EQ(progress(), 0);
    EXPECT_EQ(device.eeprom(), window->writeImage());
  }
};

// Pages counted from 1 as in the log: the first, the last that holds used
// bytes, and the last of all.
INSTANTIATE_TEST_SUITE_P(Pages, SilentDevice, ::testing::Values(1, 48, 160),
                         [](const auto& info) { return "Page" + std::to_string(info.param); });

TEST_P(SilentDevice, WhileWritingTheWriteStopsAtThatPage) {
  const int page = GetParam();
  // Exchange 0 is the version query, so exchange k carries page k.
  device.settings().faults = {{sim::FaultKind::NoAnswer, page}};
  click("Button_write_config");

  QStringList expected{kFound};
  expected << counted(QStringLiteral("Page written: "), 1, page - 1, 160)
           << QStringLiteral("Page write error: %1/160").arg(page);
  EXPECT_EQ(logLines(), expected);
  EXPECT_EQ(progress(), page - 1);  // the bar stays where it stopped
  EXPECT_TRUE(boxes.isEmpty());
  EXPECT_EQ(link->timeouts(), 1);
  EXPECT_EQ(link->lastTimeout(), kTestReplyTimeout);
  EXPECT_FALSE(link->isOpen());
  // The pages before it reached the device; nothing from that page on.
  const std::size_t sent = static_cast<std::size_t>(page - 1) * kPageSize;
  EXPECT_TRUE(std::equal(device.eeprom().begin(), device.eeprom().begin() + sent, window->writeImage().begin()));
  EXPECT_TRUE(std::all_of(device.eeprom().begin() + sent, device.eeprom().end(), [](auto b) { return b == 0; }));
  expectWindowStillWorks();
}

TEST_P(SilentDevice, WhileReadingNothingIsUnpackedFromAnIncompleteImage) {
  const int page = GetParam();
  device.setEeprom(deviceImage("DEV1"));
  device.settings().faults = {{sim::FaultKind::NoAnswer, page}};
  const Snapshot before = snapshot();
  click("Button_read_config");

  QStringList expected{kFound};
  expected << counted(QStringLiteral("Page read: "), 1, page - 1, 160)
           << QStringLiteral("Page read error: %1/160").arg(page);
  if (page <= 48) {
    // Pages 1 to 48 hold the used bytes: without them the end marker is missing.
    expected << QStringLiteral("Eeprom checksum error. Please reload configuration.");
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(link->timeouts(), 1);
  } else {
    // The used bytes all came; the information query that follows meets the
    // silent device and shows nothing.
    expected << QStringLiteral("Eeprom read success.") << kFound;
    EXPECT_EQ(find<QLineEdit>("Callsign")->text(), QStringLiteral("DEV1"));
    EXPECT_EQ(link->timeouts(), 2);
  }
  EXPECT_EQ(logLines(), expected);
  EXPECT_EQ(progress(), page - 1);
  EXPECT_TRUE(boxes.isEmpty());
  EXPECT_EQ(link->lastTimeout(), kTestReplyTimeout);
  // The read image holds exactly the pages that arrived.
  const std::size_t arrived = static_cast<std::size_t>(page - 1) * kPageSize;
  EXPECT_TRUE(std::equal(window->readImage().begin(), window->readImage().begin() + arrived, device.eeprom().begin()));
  EXPECT_TRUE(std::all_of(window->readImage().begin() + arrived, window->readImage().end(), [](auto b) { return b == 0; }));
  expectWindowStillWorks();
}

class SilentDuringUpload : public WindowFixture, public ::testing::WithParamInterface<int> {};

INSTANTIATE_TEST_SUITE_P(Blocks, SilentDuringUpload, ::testing::Values(1, 832, 1664),
                         [](const auto& info) { return "Block" + std::to_string(info.param); });

TEST_P(SilentDuringUpload, TheUploadStopsAtThatBlockAndGivesTheButtonsBack) {
  const int block = GetParam();
  std::vector<std::uint8_t> firmware(53248);
  for (std::size_t i = 0; i < firmware.size(); ++i) firmware[i] = static_cast<std::uint8_t>(i * 7);
  window->setFirmwareImage(firmware);
  device.settings().faults = {{sim::FaultKind::NoAnswer, block - 1}};  // no version query before an upload
  click("Button_upload_firmware");

  const QStringList lines = logLines();
  ASSERT_EQ(lines.size(), block + 1);
  EXPECT_EQ(lines.front(), kFound);
  if (block > 1) {
    EXPECT_EQ(lines[block - 1], QStringLiteral("Page written: %1/1664").arg(block - 1));
  }
  EXPECT_EQ(lines.back(), QStringLiteral("Page write error: %1/1664").arg(block));
  EXPECT_EQ(progress(), block - 1);
  EXPECT_EQ(link->timeouts(), 1);
  EXPECT_EQ(link->lastTimeout(), kTestReplyTimeout);
  EXPECT_EQ(device.firmwareBlocks().size(), static_cast<std::size_t>(block - 1));
  EXPECT_TRUE(boxes.isEmpty());
  EXPECT_TRUE(commandButtonsEnabled());
  EXPECT_FALSE(window->uploadRunning());
  EXPECT_TRUE(window->close());  // the upload is over: the window may close

  device.settings().faults.clear();
  click("Button_upload_firmware");
  EXPECT_EQ(logLines().back(), QStringLiteral("Firmware upgrade success"));
  EXPECT_EQ(device.receivedFirmware(), firmware);
}

class UnpluggedDevice : public WindowFixture {};

TEST_F(UnpluggedDevice, BetweenTheReadAndTheInformationQuery) {
  device.setEeprom(deviceImage("DEV2"));
  // The version query and 160 pages are answered, then the cable is pulled.
  device.settings().faults = {{sim::FaultKind::Vanish, 161}};
  click("Button_read_config");
  QStringList expected{kFound};
  expected << counted(QStringLiteral("Page read: "), 1, 160, 160) << QStringLiteral("Eeprom read success.")
           << QStringLiteral("APRS Trekmor not found.");
  EXPECT_EQ(logLines(), expected);
  EXPECT_EQ(find<QLineEdit>("Callsign")->text(), QStringLiteral("DEV2"));  // the configuration was read
  EXPECT_TRUE(boxes.isEmpty());
  EXPECT_EQ(link->timeouts(), 0);
  EXPECT_FALSE(link->isOpen());
  EXPECT_TRUE(commandButtonsEnabled());

  // Every later operation finds no device and touches nothing.
  const Snapshot before = snapshot();
  for (const char* button : {"Button_write_config", "Button_read_config"}) click(button);
  EXPECT_EQ(logLines().mid(expected.size()), QStringList(2, QStringLiteral("APRS Trekmor not found.")));
  EXPECT_EQ(snapshot(), before);
}

TEST_F(UnpluggedDevice, HalfWayThroughAWrite) {
  device.settings().faults = {{sim::FaultKind::Vanish, 50}};  // the version query and 49 pages
  click("Button_write_config");
  EXPECT_EQ(logLines().back(), QStringLiteral("Page write error: 50/160"));
  EXPECT_EQ(link->timeouts(), 0);  // the write into the pulled cable failed at once
  EXPECT_EQ(progress(), 49);
  click("Button_write_config");
  EXPECT_EQ(logLines().back(), QStringLiteral("APRS Trekmor not found."));
  EXPECT_TRUE(boxes.isEmpty());
  EXPECT_TRUE(commandButtonsEnabled());
}

}  // namespace
}  // namespace trekmor::testing
