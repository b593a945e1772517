// The command-line companion's device commands run as separate processes
// against the simulator (LD_PRELOAD), as scripts run them. The EEPROM file
// is where write and read meet, and the offline pack and unpack of the same
// files are the reference for what must reach and come from the device.
#include <gtest/gtest.h>

#include <algorithm>

#include <cstdlib>
#include <sys/wait.h>

#include <nlohmann/json.hpp>

#include "tests/support/tempdir.h"
#include "tests/support/version.h"

namespace trekmor {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

const std::string kFound = "APRS Trekmor found, vid: Vid_0483, pid: A052\n";

std::string counted(const std::string& prefix, int to, int total) {
  std::string out;
  for (int k = 1; k <= to; ++k) out += prefix + std::to_string(k) + "/" + std::to_string(total) + "\n";
  return out;
}

class CliDevice : public ::testing::Test {
 protected:
  // `settings`: simulator variables, "NAME=value ..." as a shell takes them.
  Outcome run(const std::string& arguments, const std::string& settings = "") {
    const std::string command = "cd '" + dir.path().string() + "' && env -u TREKMOR_SIM_FAULT ASAN_OPTIONS=" +
                                "\"$ASAN_OPTIONS:verify_asan_link_order=0\" LD_PRELOAD='" TREKMOR_DEVSIM
                                "' LOCPATH='" TREKMOR_TEST_LOCALES "' LC_ALL=de_DE.UTF-8 TREKMOR_SIM_EEPROM=eeprom.bin " +
                                settings + " '" TREKMOR_CLI "' " + arguments + " > stdout.txt 2> stderr.txt";
    const int raw = std::system(command.c_str());
    Outcome result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(dir / "stdout.txt"),
                   readFile(dir / "stderr.txt")};
    std::filesystem::remove(dir / "stdout.txt");
    std::filesystem::remove(dir / "stderr.txt");
    return result;
  }
  TempDir dir;
};

TEST_F(CliDevice, WriteAndReadBackMeetTheOfflinePackAndUnpack) {
  ASSERT_EQ(run("defaults start.cfg").status, 0);
  const Outcome written = run("write --seed 1 start.cfg");
  EXPECT_EQ(written.status, 0) << written.err;
  EXPECT_EQ(written.out, kFound + counted("Page written: ", 160, 160) + "Eeprom write success\n");
  EXPECT_EQ(written.err, "");
  ASSERT_EQ(run("pack --seed 1 start.cfg packed.bin").status, 0);
  EXPECT_EQ(readFile(dir / "eeprom.bin"), readFile(dir / "packed.bin"));

  const Outcome read = run("read back.cfg", "TREKMOR_SIM_HARDWARE='Bench unit'");
  EXPECT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.out, kFound + counted("Page read: ", 160, 160) + "Eeprom read success.\n" + kFound +
                          "Firmware version: " + trekmor::testing::version() + "\nHardware version: Bench unit\n"
                          "Serial number: 300024000F5138333536A07F\n");
  ASSERT_EQ(run("unpack eeprom.bin unpacked.cfg").status, 0);
  EXPECT_EQ(readFile(dir / "back.cfg"), readFile(dir / "unpacked.cfg"));
}

TEST_F(CliDevice, InfoPrintsTheBoxOnStandardOutput) {
  const Outcome info = run("info", "TREKMOR_SIM_FIRMWARE_VERSION=98 TREKMOR_SIM_SERIAL=00112233445566778899aabb");
  EXPECT_EQ(info.status, 0);
  EXPECT_EQ(info.out, kFound + "Firmware version: 0.98\nHardware version: Trekmor HW 2.1\n"
                               "Serial number: 00112233445566778899AABB\n");
  const Outcome twoLines = run("info", "TREKMOR_SIM_FAULT=serial-bad-command@0");
  EXPECT_EQ(twoLines.out, kFound + "Firmware version: " + trekmor::testing::version() + "\nHardware version: Trekmor HW 2.1\n");
  const Outcome silent = run("info", "TREKMOR_SIM_FAULT=no-answer@1");
  EXPECT_EQ(silent.status, 1);
  EXPECT_EQ(silent.out, kFound);
}

TEST_F(CliDevice, DeviceUnpluggedOrSilentPartWay) {
  ASSERT_EQ(run("defaults start.cfg").status, 0);
  ASSERT_EQ(run("write --seed 1 start.cfg").status, 0);
  // Unplugged after the version query and 160 pages: the configuration is
  // read and saved, the information query finds no device.
  const Outcome read = run("read back.cfg", "TREKMOR_SIM_FAULT=vanish@161");
  EXPECT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.out, kFound + counted("Page read: ", 160, 160) + "Eeprom read success.\nAPRS Trekmor not found.\n");
  EXPECT_TRUE(std::filesystem::exists(dir / "back.cfg"));
  // Silent from page 48 on (the silence cut short by the simulator): the
  // read stops there and nothing is saved.
  const Outcome silent = run("read late.cfg", "TREKMOR_SIM_FAULT=no-answer@48 TREKMOR_SIM_SILENCE_MS=10");
  EXPECT_EQ(silent.status, 1);
  EXPECT_EQ(silent.out, kFound + counted("Page read: ", 47, 160) +
                            "Page read error: 48/160\nEeprom checksum error. Please reload configuration.\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "late.cfg"));
}

TEST_F(CliDevice, UploadANamedImage) {
  std::string image(33, '\0');
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(0xA0 + i);
  writeFile(dir / "fw.bin", image);
  const Outcome sent = run("upload-firmware fw.bin", "TREKMOR_SIM_FIRMWARE_OUT=received.bin");
  EXPECT_EQ(sent.status, 0) << sent.err;
  EXPECT_EQ(sent.out, kFound + "Page written: 1/2\nPage written: 2/2\nFirmware upgrade success\n");
  EXPECT_EQ(readFile(dir / "received.bin"), image + std::string(31, '\0'));

  writeFile(dir / "long.bin", std::string(112641, '\x01'));
  const Outcome tooLong = run("upload-firmware long.bin");
  EXPECT_EQ(tooLong.status, 1);
  // Refused before the device is opened.
  EXPECT_EQ(tooLong.out, "");
  EXPECT_EQ(tooLong.err, "long.bin is not a firmware image: it holds 112641 bytes, more than the largest image the "
                         "device takes (112640 bytes). Nothing was sent to the device.\n");

  const Outcome failing = run("upload-firmware fw.bin", "TREKMOR_SIM_FAULT=block-fail@1");
  EXPECT_EQ(failing.status, 1);
  EXPECT_EQ(failing.out, kFound + "Page written: 1/2\nPage write error: 2/2\n");

  writeFile(dir / "empty.bin", "");
  const Outcome empty = run("upload-firmware empty.bin");
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(empty.out, "");  // the device was not even opened
  EXPECT_EQ(empty.err, "Firmware file is empty.\n");

  const Outcome missing = run("upload-firmware nothing.bin");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "aprs-trekmor-cli: cannot read nothing.bin: No such file or directory\n");
}

#ifndef TREKMOR_CARRIED_FIRMWARE
TEST_F(CliDevice, UploadWithoutACarriedImageSendsNothing) {
  const Outcome result = run("upload-firmware", "TREKMOR_SIM_FIRMWARE_OUT=received.bin");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, kFound);
  EXPECT_EQ(result.err, "Firmware resource not found (FindResource).\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "received.bin"));
}
#endif

TEST_F(CliDevice, StoppedDeviceOperationsWriteNoFile) {
  ASSERT_EQ(run("defaults start.cfg").status, 0);
  ASSERT_EQ(run("write start.cfg").status, 0);
  const struct {
    const char* arguments;
    const char* settings;
    std::string lastLine;
  } cases[] = {
      {"read out.cfg", "TREKMOR_SIM_ABSENT=1", "APRS Trekmor not found.\n"},
      {"read out.cfg", "TREKMOR_SIM_FAULT=read-bad-sum@0", "Eeprom checksum error. Please reload configuration.\n"},
      {"read out.cfg", "TREKMOR_SIM_FIRMWARE_VERSION=111", kFound},
      {"write start.cfg", "TREKMOR_SIM_ABSENT=1", "APRS Trekmor not found.\n"},
      {"write start.cfg", "TREKMOR_SIM_FAULT=write-fail@0", "Page write error: 1/160\n"},
      {"info", "TREKMOR_SIM_DENIED=1", ""},
      {"upload-firmware", "TREKMOR_SIM_ABSENT=1", "APRS Trekmor not found.\n"},
  };
  for (const auto& c : cases) {
    const Outcome result = run(c.arguments, c.settings);
    EXPECT_EQ(result.status, 1) << c.arguments << " " << c.settings;
    if (!c.lastLine.empty()) {
      ASSERT_GE(result.out.size(), c.lastLine.size()) << c.arguments << " " << c.settings;
      EXPECT_EQ(result.out.substr(result.out.size() - c.lastLine.size()), c.lastLine) << c.settings;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out.cfg")) << c.settings;
  }
}

// A file, its image and the device it was written to are one configuration.
TEST_F(CliDevice, AFileAndItsDeviceCompareEqual) {
  ASSERT_EQ(run("defaults d.cfg").status, 0);
  ASSERT_EQ(run("pack d.cfg d.bin").status, 0);
  const Outcome written = run("write d.cfg --quiet");
  ASSERT_EQ(written.status, 0);
  EXPECT_EQ(written.out, kFound + "Eeprom write success\n");  // --quiet: no page lines
  const struct {
    std::string arguments;
    int status;
    std::string out;
  } cases[] = {
      {"diff d.cfg device --quiet", 0, ""},
      {"diff d.bin device --quiet", 0, ""},
      {"diff device d.cfg --quiet", 0, ""},
      {"diff d.cfg device --quiet --set Radio.Callsign=SP3ABC", 2, ""},  // diff takes no --set
      {"diff d.cfg device", 2, ""},
  };
  for (const auto& c : cases) {
    const Outcome result = run(c.arguments, c.arguments == "diff d.cfg device" ? "TREKMOR_SIM_ABSENT=1" : "");
    EXPECT_EQ(result.status, c.status) << c.arguments << "\n" << result.err;
    EXPECT_EQ(result.out, c.out) << c.arguments;
    EXPECT_EQ(result.err.find("Page read: "), std::string::npos) << c.arguments;
  }
}

// A write that breaks off half-way says last what the tracker holds and how to mend it.
TEST_F(CliDevice, AWriteThatBreaksOffSaysHowToMendIt) {
  ASSERT_EQ(run("defaults d.cfg").status, 0);
  ASSERT_EQ(run("write d.cfg --quiet").status, 0);
  const Outcome broken = run("write d.cfg --backup old.bin --set Radio.Callsign=SP3ABC --quiet",
                             "TREKMOR_SIM_FAULT=write-fail@80");
  EXPECT_EQ(broken.status, 1);
  EXPECT_EQ(broken.out.substr(broken.out.size() - 25), "Page write error: 81/160\n");
  const std::string start = "The write broke off: the tracker now holds a partly written configuration; write the "
                            "configuration again, or restore what it held with 'aprs-trekmor-cli history restore ";
  ASSERT_EQ(broken.err.substr(0, start.size()), start) << broken.err;
  const std::string end = "'; the backup old.bin holds what it held.\n";
  EXPECT_EQ(broken.err.substr(broken.err.size() - end.size()), end);
  EXPECT_EQ(std::count(broken.err.begin(), broken.err.end(), '\n'), 1);
}

// A device that holds base.cfg as packed with seed 1, the image base.bin holds.
class CliFleet : public CliDevice {
 protected:
  void SetUp() override {
    ASSERT_EQ(run("defaults base.cfg").status, 0);
    ASSERT_EQ(run("pack base.cfg base.bin --seed 1").status, 0);
    ASSERT_EQ(run("write base.cfg --seed 1").status, 0);
  }
  std::string eeprom() { return readFile(dir / "eeprom.bin"); }
  const std::string verified = "Verified: all 160 pages read back as written.\n";
};

TEST_F(CliFleet, BackupOverridesVerifiedWriteAndDiff) {
  const Outcome written = run("write base.cfg --backup old.bin --verify --seed 1 --set Radio.Callsign=SP3ABC "
                              "--set radio.txdelay=300 --set RADIO.Tx_power=2");
  EXPECT_EQ(written.status, 0) << written.err;
  EXPECT_EQ(written.err, "");
  EXPECT_EQ(written.out, kFound + counted("Page read: ", 160, 160) + "Backup saved: old.bin\n" + kFound +
                             counted("Page written: ", 160, 160) + "Eeprom write success\n" + kFound +
                             counted("Page read: ", 160, 160) + verified);
  EXPECT_EQ(readFile(dir / "old.bin"), readFile(dir / "base.bin"));

  // An image and the device: log lines go to standard error, the differences alone to standard output.
  const std::string changes = "Radio.Callsign: NOCALL -> SP3ABC\nRadio.TXdelay: 250 -> 300\nRadio.Tx_power: 0 -> 2\n";
  const Outcome imageToDevice = run("diff base.bin device");
  EXPECT_EQ(imageToDevice.status, 1);
  EXPECT_EQ(imageToDevice.out, changes);
  EXPECT_EQ(imageToDevice.err.rfind("Unpacked base.bin: the integrity and version tests passed.\n" + kFound +
                                        "Page read: 1/160\n", 0), 0u);
  const auto document = nlohmann::json::parse(run("diff base.bin device --json").out);
  ASSERT_EQ(document["differences"].size(), 3u);
  EXPECT_EQ(document["differences"][0]["b"], "SP3ABC");

  // A .cfg backup holds what "read" saves; a file and the device then agree.
  ASSERT_EQ(run("write base.cfg --backup old.cfg --set Radio.Callsign=SP3ABD").status, 0);
  ASSERT_EQ(run("unpack old.bin was.cfg").status, 0);
  const Outcome fileToDevice = run("diff old.cfg device");
  EXPECT_EQ(fileToDevice.out, "Radio.Callsign: SP3ABC -> SP3ABD\nRadio.TXdelay: 300 -> 250\nRadio.Tx_power: 2 -> 0\n");
  EXPECT_EQ(run("diff was.cfg base.bin").out, "");

  std::string renamed = readFile(dir / "base.cfg");
  renamed.replace(renamed.find("Callsign=NOCALL"), 15, "Callsign=SP3ABE");
  writeFile(dir / "renamed.cfg", renamed);
  const Outcome files = run("diff base.cfg renamed.cfg");
  EXPECT_EQ(files.status, 1);
  EXPECT_EQ(files.out, "Radio.Callsign: NOCALL -> SP3ABE\n");
  EXPECT_EQ(files.err, "");
  const Outcome same = run("diff base.cfg base.cfg");
  EXPECT_EQ(same.status, 0);
  EXPECT_EQ(same.out, "");
}

TEST_F(CliFleet, VerifyNamesWhatTheDeviceDidNotKeep) {
  const struct {
    const char* fault;
    std::string lastOut;
    std::string err;
  } cases[] = {
      {"corrupt@3", "Page read: 160/160\n",
       "Verification failed: page 4/160 read back differs from what was written.\n"
       "Settings whose bytes differ: SerialPorts.ConsoleBaudrate\n"},
      {"corrupt@0", "Page read: 160/160\n",
       "Verification failed: page 1/160 read back differs from what was written.\nThe bytes that differ hold no "
       "setting (version, stamp, end marker, checksum or unused bytes).\n"},
      {"read-bad-sum@7", "Page read error: 8/160\n", "Verification failed: the configuration could not be read back.\n"},
  };
  for (const auto& c : cases) {
    const Outcome result = run("write base.cfg --verify --seed 1", std::string("TREKMOR_SIM_FAULT=") + c.fault);
    EXPECT_EQ(result.status, 1) << c.fault;
    EXPECT_EQ(result.err, c.err) << c.fault;
    EXPECT_TRUE(result.out.ends_with(c.lastOut)) << c.fault;
  }
}

TEST_F(CliFleet, AFailedBackupLeavesTheDeviceUntouched) {
  const struct {
    const char* backup;
    const char* settings;
    bool damaged;  // the device's image fails its integrity test
    std::string err;
  } cases[] = {
      {"old.bin", "TREKMOR_SIM_FAULT=read-bad-sum@2", false, "The device's configuration could not be read for the backup.\n"},
      {"no/such/old.bin", "", false, "Unable to write to no/such/old.bin.\nNo such file or directory\n"},
      {"old.cfg", "", true,
       "The device's configuration fails the integrity or version test and cannot be saved as a .cfg file; a .bin "
       "backup keeps it as it is.\n"},
  };
  for (const auto& c : cases) {
    std::string before = eeprom();
    if (c.damaged) before[20] ^= 1;
    writeFile(dir / "eeprom.bin", before);
    const Outcome result = run(std::string("write base.cfg --set Radio.Callsign=SP3XYZ --backup ") + c.backup,
                               c.settings);
    EXPECT_EQ(result.status, 1) << c.backup;
    EXPECT_EQ(result.err, c.err + "Nothing was written to the device.\n") << c.backup;
    EXPECT_EQ(eeprom(), before) << c.backup;
    EXPECT_FALSE(std::filesystem::exists(dir / c.backup)) << c.backup;
  }
}

}  // namespace
}  // namespace trekmor
