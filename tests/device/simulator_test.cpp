// The simulator's own interface: its fault list and environment, its EEPROM
// file, and the requests it refuses as the device does.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

#include "sim/simulator.h"
#include "sim/transport.h"

namespace trekmor::sim {
namespace {

TEST(SimulatorFaults, ParsesEveryKind) {
  const auto faults = parseFaults("write-fail@3,read-bad-sum@0,read-bad-command@47,block-fail@9,no-answer@200,"
                                  "serial-bad-command@0,vanish@161,corrupt@5");
  ASSERT_TRUE(faults.has_value());
  const std::vector<Fault> expected{{FaultKind::WriteFail, 3},       {FaultKind::ReadBadSum, 0},
                                    {FaultKind::ReadBadCommand, 47}, {FaultKind::BlockFail, 9},
                                    {FaultKind::NoAnswer, 200},      {FaultKind::SerialBadCommand, 0},
                                    {FaultKind::Vanish, 161},        {FaultKind::Corrupt, 5}};
  EXPECT_EQ(*faults, expected);
  EXPECT_EQ(parseFaults("")->size(), 0u);
}

TEST(SimulatorFaults, RefusesMalformedLists) {
  for (const char* text : {"write-fail", "write-fail@", "write-fail@x", "explode@1", "write-fail@1,", "no-answer@-1",
                           "Write-Fail@1", "write-fail@12345678901"}) {
    std::string error;
    EXPECT_FALSE(parseFaults(text, &error).has_value()) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

class Environment : public ::testing::Test {
 protected:
  static const char* lookup(const char* name) {
    const auto it = values().find(name);
    return it == values().end() ? nullptr : it->second.c_str();
  }
  static std::map<std::string, std::string>& values() {
    static std::map<std::string, std::string> map;
    return map;
  }
  void TearDown() override { values().clear(); }
};

TEST_F(Environment, DefaultsWithoutVariables) {
  std::string error;
  const auto settings = settingsFromEnvironment(&lookup, &error);
  ASSERT_TRUE(settings.has_value()) << error;
  EXPECT_EQ(settings->firmwareVersion, 112u);
  EXPECT_FALSE(settings->absent);
  EXPECT_TRUE(settings->faults.empty());
  EXPECT_TRUE(settings->eepromFile.empty());
  EXPECT_LT(settings->silenceLimitMs, 0);  // a silent device waits out the caller's whole time-out
}

TEST_F(Environment, ReadsEveryVariable) {
  values() = {{"TREKMOR_SIM_EEPROM", "/tmp/e.bin"},
              {"TREKMOR_SIM_FIRMWARE_VERSION", "111"},
              {"TREKMOR_SIM_HARDWARE", "Rev X"},
              {"TREKMOR_SIM_SERIAL", "00112233445566778899aAbB"},
              {"TREKMOR_SIM_ABSENT", "1"},
              {"TREKMOR_SIM_FAULT", "no-answer@5"},
              {"TREKMOR_SIM_SILENCE_MS", "40"},
              {"TREKMOR_SIM_FIRMWARE_OUT", "/tmp/fw.bin"}};
  std::string error;
  const auto settings = settingsFromEnvironment(&lookup, &error);
  ASSERT_TRUE(settings.has_value()) << error;
  EXPECT_EQ(settings->eepromFile, "/tmp/e.bin");
  EXPECT_EQ(settings->firmwareVersion, 111u);
  EXPECT_EQ(settings->hardware, "Rev X");
  EXPECT_EQ(settings->serial, (Serial{0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB}));
  EXPECT_TRUE(settings->absent);
  EXPECT_EQ(settings->faults, (std::vector<Fault>{{FaultKind::NoAnswer, 5}}));
  EXPECT_EQ(settings->firmwareOut, "/tmp/fw.bin");
  EXPECT_EQ(settings->silenceLimitMs, 40);
}

TEST_F(Environment, RefusesMalformedValues) {
  const std::pair<const char*, const char*> bad[] = {
      {"TREKMOR_SIM_SERIAL", "0011"},
      {"TREKMOR_SIM_SERIAL", "00112233445566778899AABG"},
      {"TREKMOR_SIM_FIRMWARE_VERSION", "1.12"},
      {"TREKMOR_SIM_FIRMWARE_VERSION", "4294967296"},
      {"TREKMOR_SIM_ABSENT", "yes"},
      {"TREKMOR_SIM_FAULT", "write-fail@"},
      {"TREKMOR_SIM_SILENCE_MS", "-1"},
      {"TREKMOR_SIM_SILENCE_MS", "600001"},
  };
  for (const auto& [name, value] : bad) {
    values() = {{name, value}};
    std::string error;
    EXPECT_FALSE(settingsFromEnvironment(&lookup, &error).has_value()) << name << "=" << value;
    EXPECT_NE(error.find(name), std::string::npos) << error;
  }
}

Packet request(std::uint8_t command, unsigned number, std::uint8_t fill, int sumOffset = 0) {
  Packet p{};
  p[1] = command;
  p[2] = static_cast<std::uint8_t>(number);
  p[3] = static_cast<std::uint8_t>(number >> 8);
  unsigned sum = 0;
  for (int i = 0; i < 32; ++i) {
    p[4 + i] = fill;
    sum += fill;
  }
  sum += static_cast<unsigned>(sumOffset);
  p[36] = static_cast<std::uint8_t>(sum);
  p[37] = static_cast<std::uint8_t>(sum >> 8);
  return p;
}

Packet reportId(std::uint8_t id, Packet p) {
  p[0] = id;
  return p;
}

TEST(Simulator, RefusesWhatTheDeviceCannotTake) {
  DeviceSimulator device;
  const struct {
    const char* name;
    Packet request;
  } cases[] = {
      {"write with a wrong sum", request(0xFD, 3, 0x11, 1)},
      {"write past the last page", request(0xFD, 160, 0x11)},
      {"read past the last page", request(0xFC, 160, 0)},
      {"block with a wrong sum", request(0xFE, 0, 0x22, -1)},
      {"unknown command", request(0x42, 0, 0)},
      {"write under report id 1", reportId(1, request(0xFD, 3, 0x11))},
      {"block under report id 2", reportId(2, request(0xFE, 0, 0x22))},
      {"block 1 before block 0", request(0xFE, 1, 0x22)},
  };
  for (const auto& c : cases) {
    const auto reply = device.handle(c.request);
    ASSERT_TRUE(reply.has_value()) << c.name;
    EXPECT_EQ((*reply)[1], 0x00) << c.name;
  }
  EXPECT_EQ(device.eeprom(), Eeprom{});
  EXPECT_TRUE(device.firmwareBlocks().empty());
}

TEST(Simulator, TakesFirmwareBlocksInOrderUpToTheLargestImage) {
  DeviceSimulator device;
  const auto accepted = [&](unsigned block) { return (*device.handle(request(0xFE, block, 0x33)))[1] == 0xFE; };
  for (unsigned block = 0; block < 3520; ++block) ASSERT_TRUE(accepted(block)) << block;
  EXPECT_FALSE(accepted(3520));  // the next in order, but past 112640 bytes
  EXPECT_FALSE(accepted(7));     // not the next
  device.opened();
  EXPECT_FALSE(accepted(1));
  EXPECT_TRUE(accepted(0));  // each opening starts an upload again
}

TEST(Simulator, VanishedDeviceFailsWritesAtOnceAndIsNoLongerFound) {
  Settings settings;
  settings.faults = {{FaultKind::Vanish, 2}};
  DeviceSimulator device(settings);
  SimulatedTransport link(device);
  ASSERT_EQ(link.open().status, HidTransport::OpenStatus::Opened);
  Packet reply{};
  for (int k = 0; k < 2; ++k) {
    EXPECT_TRUE(link.send(request(0xFB, 0, 0))) << k;
    EXPECT_TRUE(link.receive(reply, std::chrono::milliseconds(0))) << k;
  }
  EXPECT_FALSE(device.present());
  EXPECT_FALSE(link.send(request(0xFD, 0, 0x11)));
  EXPECT_FALSE(link.receive(reply, std::chrono::milliseconds(0)));
  EXPECT_EQ(device.eeprom(), Eeprom{});  // the write never arrived
  EXPECT_EQ(device.requests().size(), 2u);
  link.close();
  EXPECT_EQ(link.open().status, HidTransport::OpenStatus::NotFound);
}

TEST(Simulator, EepromFileOutlivesTheSimulator) {
  const auto path = std::filesystem::temp_directory_path() / ("trekmor-sim-" + std::to_string(::getpid()) + ".bin");
  std::filesystem::remove(path);
  Settings settings;
  settings.eepromFile = path.string();
  {
    DeviceSimulator device(settings);
    EXPECT_EQ(std::filesystem::file_size(path), 5120u);  // created zero-filled
    ASSERT_EQ((*device.handle(request(0xFD, 159, 0xAB)))[1], 0xFD);
  }
  DeviceSimulator later(settings);
  EXPECT_EQ(later.eeprom()[159 * 32], 0xAB);
  EXPECT_EQ(later.eeprom()[159 * 32 + 31], 0xAB);
  EXPECT_EQ(later.eeprom()[0], 0x00);
  const auto reply = later.handle(request(0xFC, 159, 0));
  EXPECT_EQ((*reply)[4], 0xAB);
  EXPECT_EQ((*reply)[36] | (*reply)[37] << 8, 32 * 0xAB);
  std::filesystem::remove(path);
}

TEST(Simulator, ReceivedFirmwareGoesToItsFile) {
  const auto path = std::filesystem::temp_directory_path() / ("trekmor-fw-" + std::to_string(::getpid()) + ".bin");
  Settings settings;
  settings.firmwareOut = path.string();
  DeviceSimulator device(settings);
  device.handle(request(0xFE, 0, 0x01));
  device.handle(request(0xFE, 1, 0x02));
  device.saveFirmware();
  std::vector<char> bytes;
  {
    std::ifstream in(path, std::ios::binary);  // closed before the file is removed, as Windows needs
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  ASSERT_EQ(bytes.size(), 64u);
  EXPECT_EQ(bytes[31], 0x01);
  EXPECT_EQ(bytes[32], 0x02);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace trekmor::sim
