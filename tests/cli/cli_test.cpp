// The command-line companion run as a process, as scripts run it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

#include "configfile/configfile.h"
#include "settings/pipeline.h"
#include "tests/support/tempdir.h"

namespace trekmor {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

class Cli : public ::testing::Test {
 protected:
  Outcome run(const std::string& arguments) {
    const std::string command = "cd '" + dir.path().string() + "' && '" TREKMOR_CLI "' " + arguments +
                                " > stdout.txt 2> stderr.txt";
    const int raw = std::system(command.c_str());
    Outcome result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(dir / "stdout.txt"), readFile(dir / "stderr.txt")};
    fs::remove(dir / "stdout.txt");
    fs::remove(dir / "stderr.txt");
    return result;
  }
  static std::string startImageFrom6() {
    Image image{};
    EXPECT_TRUE(packConfigImage(FieldStore::withStartValues(), image, 0));
    return std::string(image.begin() + 6, image.end());
  }
  TempDir dir;
};

TEST_F(Cli, DefaultsThenPackGivesTheStartImage) {
  ASSERT_EQ(run("defaults start.cfg").status, 0);
  TempDir reference;
  ASSERT_TRUE(saveConfiguration(FieldStore::withStartValues(), reference / "start.cfg"));
  EXPECT_EQ(readFile(dir / "start.cfg"), readFile(reference / "start.cfg"));

  const Outcome packed = run("pack --seed 1 start.cfg start.bin");
  EXPECT_EQ(packed.status, 0);
  EXPECT_EQ(packed.out + packed.err, "");
  const std::string image = readFile(dir / "start.bin");
  ASSERT_EQ(image.size(), kImageSize);
  EXPECT_EQ(image.substr(6), startImageFrom6());
  EXPECT_EQ(static_cast<unsigned char>(image[4]) | static_cast<unsigned char>(image[5]) << 8, 346);  // seed 1

  const Outcome unpacked = run("unpack start.bin back.cfg");
  EXPECT_EQ(unpacked.status, 0);
  EXPECT_EQ(unpacked.out, "Eeprom read success.\n");
  // An address with an empty name is stored as six blanks and SSID '0', so
  // its empty SSID text comes back as "0"; everything else comes back as saved.
  std::string expected = readFile(dir / "start.cfg");
  for (const std::string key : {"SSID3", "Digi2_SSID", "Digi3_SSID", "Digi4_SSID", "Digi5_SSID", "Digi6_SSID",
                                "Digi7_SSID", "Digi8_SSID"}) {
    const std::string line = "\r\n" + key + "=\r\n";
    const auto at = expected.find(line);
    ASSERT_NE(at, std::string::npos) << key;
    expected.replace(at, line.size(), "\r\n" + key + "=0\r\n");
  }
  EXPECT_EQ(readFile(dir / "back.cfg"), expected);
}

TEST_F(Cli, StoppedOperationsSayWhyAndWriteNothing) {
  ASSERT_EQ(run("defaults start.cfg").status, 0);
  const std::string start = readFile(dir / "start.cfg");
  const auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = start;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  writeFile(dir / "range.cfg", replaced("TXtail=50", "TXtail=1001"));
  writeFile(dir / "foreign.cfg", replaced("Application=APRS Trekmor Configurator", "Application=Other"));
  writeFile(dir / "existing.bin", "keep");
  struct Case {
    std::string arguments;
    std::string err;
    std::string output;
  };
  const Case cases[] = {
      {"pack range.cfg out.bin", "TX tail - range error (0 - 1000).\n", "out.bin"},
      {"pack range.cfg existing.bin", "TX tail - range error (0 - 1000).\n", "existing.bin"},
      {"pack foreign.cfg out.bin", std::string(kNotConfigurationFileMessage) + "\n", "out.bin"},
  };
  for (const Case& c : cases) {
    const Outcome result = run(c.arguments);
    EXPECT_EQ(result.status, 1) << c.arguments;
    EXPECT_EQ(result.err, c.err) << c.arguments;
    EXPECT_EQ(result.out, "") << c.arguments;
  }
  EXPECT_FALSE(fs::exists(dir / "out.bin"));
  EXPECT_EQ(readFile(dir / "existing.bin"), "keep");
}

TEST_F(Cli, OtherVersionWarnsOnStandardErrorAndPacks) {
  ASSERT_EQ(run("defaults start.cfg").status, 0);
  std::string text = readFile(dir / "start.cfg");
  text.replace(text.find("v1.12"), 5, "v1.10");
  writeFile(dir / "old.cfg", text);
  const Outcome result = run("pack old.cfg out.bin");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, std::string(kOtherVersionMessage) + "\n");
  EXPECT_EQ(readFile(dir / "out.bin").substr(6), startImageFrom6());
}

TEST_F(Cli, UnpackTestsTheImageFirst) {
  Image image{};
  ASSERT_TRUE(packConfigImage(FieldStore::withStartValues(), image, 3));
  const auto save = [&](const char* name, const Image& bytes) {
    writeFile(dir / name, std::string(bytes.begin(), bytes.end()));
  };
  Image damaged = image;
  damaged[20] ^= 1;
  save("damaged.bin", damaged);
  Image newer = image;
  newer[10] = '3';  // "v1.13"
  finishImage(newer, 3);
  save("newer.bin", newer);
  writeFile(dir / "short.bin", std::string(100, '\0'));

  Outcome result = run("unpack damaged.bin out.cfg");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "Eeprom checksum error. Please reload configuration.\n");
  result = run("unpack newer.bin out.cfg");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "Eeprom read error. Please reload configuration.\n");
  EXPECT_EQ(result.err.substr(0, 36), "Uncompatible configuration version:\n");
  EXPECT_EQ(run("unpack short.bin out.cfg").status, 1);
  EXPECT_FALSE(fs::exists(dir / "out.cfg"));
}

TEST_F(Cli, UsageErrorsAndUnusableFilesExitWithTwo) {
  const char* const failures[] = {
      "",   "frobnicate", "defaults", "defaults a.cfg b.cfg", "pack --seed x in.cfg out.bin", "pack --level 3 a b",
      "pack absent.cfg out.bin", "unpack absent.bin out.cfg", "defaults no/such/folder.cfg",
  };
  for (const char* arguments : failures) {
    const Outcome result = run(arguments);
    EXPECT_EQ(result.status, 2) << arguments;
    EXPECT_FALSE(result.err.empty()) << arguments;
  }
  EXPECT_EQ(run("defaults no/such/folder.cfg").err, "Unable to write to no/such/folder.cfg.\n");
  EXPECT_FALSE(fs::exists(dir / "out.bin"));
  const Outcome help = run("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: aprs-trekmor-cli", 0), 0u);
  for (const char* command : {"defaults", "pack", "unpack"}) EXPECT_NE(help.out.find(command), std::string::npos);
}

}  // namespace
}  // namespace trekmor
