// The command-line companion run as a process, as scripts run it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <sys/wait.h>

#include <nlohmann/json.hpp>

#include "configfile/configfile.h"
#include "settings/registry.h"
#include "settings/pipeline.h"
#include "tests/support/tempdir.h"
#include "tests/support/version.h"

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
  // A file operation says what it did, not what a device read would.
  EXPECT_EQ(unpacked.out, "Unpacked start.bin: the integrity and version tests passed.\n");
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
  text.replace(text.find(trekmor::testing::configVersion()), trekmor::testing::configVersion().size(), "v1.10");
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
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "damaged.bin fails the integrity test (its checksum or end marker is wrong).\n");
  result = run("unpack newer.bin out.cfg");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
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
  EXPECT_EQ(run("defaults no/such/folder.cfg").err, "Unable to write to no/such/folder.cfg.\nNo such file or directory\n");
  EXPECT_FALSE(fs::exists(dir / "out.bin"));
  const Outcome help = run("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: aprs-trekmor-cli", 0), 0u);
  for (const char* command : {"defaults", "pack", "unpack", "check", "diff", "settings", "--verify", "--backup"}) EXPECT_NE(help.out.find(command), std::string::npos);
}

TEST_F(Cli, CheckPrintsEveryFailureInPackOrder) {
  ASSERT_EQ(run("defaults base.cfg").status, 0);
  const Outcome clean = run("check base.cfg");
  EXPECT_EQ(clean.status, 0);
  EXPECT_EQ(clean.out + clean.err, "");

  // Three independent faults in three groups, given out of pack order; the
  // conversion error ends with the error box's full stop.
  const std::string overrides =
      " --set WXTideMarker.Wxtidemarker_relay_on_time=abc --set radio.txtail=1001 --set RADIO.Callsign=";
  const Outcome failing = run("check base.cfg" + overrides);
  EXPECT_EQ(failing.status, 1);
  EXPECT_EQ(failing.out, "Callsign - too short (ex. NOCALL-4).\nTX tail - range error (0 - 1000).\n"
                         "'abc' is not a valid integer value.\n");
  EXPECT_EQ(failing.err, "");
  const Outcome json = run("check base.cfg --json" + overrides);
  EXPECT_EQ(json.status, 1);
  const auto document = nlohmann::json::parse(json.out);
  ASSERT_EQ(document["failures"].size(), 3u);
  EXPECT_EQ(document["failures"][1]["message"], "TX tail - range error (0 - 1000).");
  EXPECT_EQ(document["failures"][2]["kind"], "conversion");

  const Outcome unknown = run("check base.cfg --set Radio.Calsign=SP3ABC");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err.rfind("aprs-trekmor-cli: unknown setting 'Radio.Calsign'; the closest known are "
                              "Radio.Callsign, ", 0), 0u) << unknown.err;
  EXPECT_EQ(run("check base.cfg --set Radio.Callsign").status, 2);
}

TEST_F(Cli, SettingsListEveryKeyWithTheStartValueTheSaveWrites) {
  ASSERT_EQ(run("defaults start.cfg").status, 0);
  const std::optional<ProfileFile> saved = ProfileFile::read(dir / "start.cfg");
  ASSERT_TRUE(saved);
  const Outcome listed = run("settings");
  ASSERT_EQ(listed.status, 0);
  std::istringstream lines(listed.out);
  std::size_t count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    std::vector<std::string> columns;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, '\t');) columns.push_back(cell);
    ASSERT_GE(columns.size(), 5u) << line;
    const FieldDecl* field = settingNamed(columns[0]);
    ASSERT_NE(field, nullptr) << line;
    EXPECT_EQ(saved->value(field->section, field->key), columns[4]) << line;
    // choices for index values only
    EXPECT_EQ(columns.size() > 5 && !columns[5].empty(), field->form == FileForm::Index) << line;
  }
  EXPECT_EQ(count, fileSequence(packOrder()).size());
  EXPECT_NE(listed.out.find("PositionReports.MinTurnAngle\tnumber\tPosition reports > SmartBeaconing\t"
                            "Min Turn Angle [deg]:\t27\t\t\n"), std::string::npos);
  const auto document = nlohmann::json::parse(run("settings --json").out);
  ASSERT_EQ(document.size(), count);
  EXPECT_EQ(document[7]["choices"][1], "+/- 16 ms");
}

}  // namespace
}  // namespace trekmor
