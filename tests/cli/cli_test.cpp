// The command-line companion run as a process, as scripts run it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <sys/wait.h>

#include <nlohmann/json.hpp>

#include "configfile/configfile.h"
#include "product/product.h"
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

// Each case: what was typed, the exit status, and the start of what it says
// (on standard error, or on standard output where `onOut`).
TEST_F(Cli, EveryRefusalSaysWhatAndWhy) {
  ASSERT_EQ(run("defaults d.cfg").status, 0);
  ASSERT_EQ(run("pack d.cfg d.bin --seed 1").status, 0);
  ASSERT_EQ(run("defaults other.cfg").status, 0);
  writeFile(dir / "garbage.cfg", "garbage\n");
  writeFile(dir / "huge.cfg", std::string(ProfileFile::kMaxSize + 1, ' '));
  fs::create_directory(dir / "folder.cfg");
  writeFile(dir / "notes.txt", "firmware 1.12\r\nreleased\tin June\n");
  writeFile(dir / "long.bin", std::string(kFirmwareMaxSize + 1, '\0'));
  std::string binary(4096, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 7);
  writeFile(dir / "firmware.bin", binary);
  // UTF-8 files: a setting with a character beyond one byte is refused; one in a comment is not.
  const std::string text = readFile(dir / "d.cfg");
  const auto utf8 = [&](const std::string& from, const std::string& to) {
    std::string changed = text;
    changed.replace(changed.find(from), from.size(), to);
    return "\xEF\xBB\xBF" + changed;
  };
  writeFile(dir / "polish.cfg", utf8("Callsign=NOCALL", "Callsign=\xC5\x81\xC3\x93" "D"));
  writeFile(dir / "comment.cfg", utf8("[Radio]", "; \xE2\x82\xAC\r\n[Radio]"));
  const std::string prefix = "aprs-trekmor-cli: ";
  const std::string typedNumber = "' is not a whole number; Radio.TXdelay takes one from -2147483648 to 2147483647";
  const struct {
    std::string arguments;
    int status;
    std::string start;
    bool onOut = false;
  } cases[] = {
      {"check d.cfg --set Radio.TXdelay=abc", 2, prefix + "--set Radio.TXdelay=abc: 'abc" + typedNumber},
      {"check d.cfg --set Radio.TXdelay=12.5", 2, prefix + "--set Radio.TXdelay=12.5: '12.5" + typedNumber},
      {"check d.cfg --set Radio.TXdelay=99999999999999999999", 2,
       prefix + "--set Radio.TXdelay=99999999999999999999: '99999999999999999999" + typedNumber},
      {"check d.cfg --set Radio.Tx_power=two", 2, prefix + "--set Radio.Tx_power=two: 'two' is not a whole number"},
      {"check d.cfg --set Radio.TXdelay=0x12C", 0, ""},
      {"check d.cfg --set Radio.Callsign=\xC5\x81\xC3\x93" "D\xC5\xB9", 2,
       prefix + "--set Radio.Callsign=\xC5\x81\xC3\x93" "D\xC5\xB9: Radio.Callsign - character U+0141 cannot be stored"},
      {"check d.cfg --set Weather.Weather_comment=\xE2\x82\xAC", 2, prefix + "--set Weather.Weather_comment=\xE2\x82\xAC: Weather.Weather_comment - character U+20AC"},
      {"check d.cfg --set Radio.Callsign=\xC3\x93KLMNOP", 1, "Callsign - too long", true},  // fits one byte: the check speaks
      {"check polish.cfg", 1, "Radio.Callsign - a character cannot be stored: the device holds single-byte (Latin-1)"},
      {"pack polish.cfg x.bin", 1, "Radio.Callsign - a character cannot be stored"},
      {"check comment.cfg", 0, ""},
      {"check nope.cfg", 2, prefix + "cannot read nope.cfg: No such file or directory\n"},
      {"check folder.cfg", 2, prefix + "cannot read folder.cfg: Is a directory\n"},
      {"check huge.cfg", 2, prefix + "huge.cfg is too large to be a configuration file (262145 bytes; the limit is 262144)\n"},
      {"unpack nope.bin x.cfg", 2, prefix + "cannot read nope.bin: No such file or directory\n"},
      {"defaults no/dir/x.cfg", 2, "Unable to write to no/dir/x.cfg.\nNo such file or directory\n"},
      {"dif d.cfg d.cfg", 2, prefix + "unknown command 'dif'; the closest are diff, "},
      {"check", 2, prefix + "check takes CONFIG.cfg [--set SECTION.KEY=VALUE]... [--json]\nTry 'aprs-trekmor-cli --help'.\n"},
      {"--version", 0, "aprs-trekmor-cli " + trekmor::testing::configVersion().substr(1) + "\n", true},
      {"unpack d.bin u.cfg", 0, "Unpacked d.bin: the integrity and version tests passed.\n", true},
      {"diff d.cfg d.bin", 0, ""},
      {"diff d.bin d.cfg --set Radio.Callsign=SP3ABC", 2, prefix + "unknown option '--set' for diff"},
      {"diff garbage.cfg d.cfg", 2, std::string(kNotConfigurationFileMessage) + "\n" + prefix + "A (garbage.cfg) failed"},
      {"diff d.cfg nope.bin", 2, prefix + "cannot read nope.bin: No such file or directory\n" + prefix + "B (nope.bin) failed"},
      {"upload-firmware d.cfg", 1, "d.cfg is not a firmware image: it is a configuration file (.cfg)."},
      {"upload-firmware d.bin", 1, "d.bin is not a firmware image: it is a configuration image."},
      {"upload-firmware notes.txt", 1, "notes.txt is not a firmware image: it is text."},
      {"upload-firmware long.bin", 1, "long.bin is not a firmware image: it holds 112641 bytes"},
      // A binary image is sent: with no device, the device is looked for.
      {"upload-firmware firmware.bin", 1, "APRS Trekmor not found.\n", true},
  };
  for (const auto& c : cases) {
    const Outcome result = run(c.arguments);
    EXPECT_EQ(result.status, c.status) << c.arguments << "\n" << result.err;
    const std::string& said = c.onOut ? result.out : result.err;
    EXPECT_EQ(said.substr(0, c.start.size()), c.start) << c.arguments;
    // A refused file is refused before the device is opened: nothing is logged.
    if (c.arguments.starts_with("upload-firmware") && !c.onOut) {
      EXPECT_EQ(result.out, "") << c.arguments;
    }
  }
  EXPECT_FALSE(fs::exists(dir / "x.cfg"));
}

TEST_F(Cli, JsonIsOneDocumentAlsoWhenTheCommandFails) {
  ASSERT_EQ(run("defaults d.cfg").status, 0);
  writeFile(dir / "garbage.cfg", "garbage\n");
  const struct {
    std::string arguments;
    int status;
    std::string message;
    std::string file;
  } cases[] = {
      {"check garbage.cfg --json", 1, std::string(kNotConfigurationFileMessage), "garbage.cfg"},
      {"check nope.cfg --json", 2, "cannot read nope.cfg: No such file or directory", "nope.cfg"},
      {"diff garbage.cfg d.cfg --json", 2, "A (garbage.cfg) failed; nothing was compared", "garbage.cfg"},
      {"check d.cfg --json --set Radio.TXdelay=abc", 2, "--set Radio.TXdelay=abc: 'abc' is not a whole number", "d.cfg"},
      {"settings --json --bogus", 2, "unknown option '--bogus' for settings", ""},
  };
  for (const auto& c : cases) {
    const Outcome result = run(c.arguments);
    EXPECT_EQ(result.status, c.status) << c.arguments;
    EXPECT_FALSE(result.err.empty()) << c.arguments;  // its line on standard error as well
    const auto document = nlohmann::json::parse(result.out);
    ASSERT_TRUE(document.contains("error")) << result.out;
    EXPECT_EQ(document["error"]["message"].get<std::string>().substr(0, c.message.size()), c.message) << c.arguments;
    EXPECT_EQ(document["error"].value("file", ""), c.file) << c.arguments;
  }

  const Outcome failing = run("check d.cfg --json --set Radio.TXtail=1001 --set Radio.Callsign=");
  EXPECT_EQ(failing.status, 1);
  const auto document = nlohmann::json::parse(failing.out);
  ASSERT_EQ(document["failures"].size(), 2u);
  EXPECT_EQ(document["failures"][0]["setting"], "Radio.Callsign");
  EXPECT_EQ(document["failures"][1]["setting"], "Radio.TXtail");
  EXPECT_FALSE(document.contains("error"));

  const auto equal = nlohmann::json::parse(run("diff d.cfg d.cfg --json").out);
  EXPECT_EQ(equal["equal"], true);
}

// The allowed values come from the rows: each row's range, length and character rules.
TEST_F(Cli, SettingsTellTheValuesEachRowAllows) {
  const Outcome listed = run("settings --json");
  ASSERT_EQ(listed.status, 0);
  const auto document = nlohmann::json::parse(listed.out);
  std::size_t ranges = 0;
  for (const auto& entry : document) {
    const FieldDecl* field = settingNamed(entry["setting"].get<std::string>());
    ASSERT_NE(field, nullptr);
    const nlohmann::json allowed = entry.value("allowed", nlohmann::json::object());
    if (field->encoding == Encoding::Number && field->range.check != RangeCheck::None) {
      ++ranges;
      EXPECT_EQ(allowed["range"]["low"], field->range.low) << field->control;
      EXPECT_EQ(allowed["range"]["high"], field->range.high) << field->control;
      EXPECT_EQ(allowed["range"]["zero_allowed"], field->range.zeroAllowed) << field->control;
    }
    if (field->encoding == Encoding::Text && field->text.exactLength == 0) {
      EXPECT_EQ(allowed["max_length"], field->width - 1) << field->control;
    }
  }
  EXPECT_GT(ranges, 20u);
  const auto named = [&](std::string_view name) {
    for (const auto& entry : document) {
      if (entry["setting"] == name) return entry.value("allowed", nlohmann::json::object());
    }
    return nlohmann::json();
  };
  EXPECT_EQ(named("Radio.SSID")["range"]["high"], 15);
  EXPECT_EQ(named("Radio.Callsign")["max_length"], 6);
  EXPECT_EQ(named("Radio.Latitude")["exact_length"], 8);
  EXPECT_EQ(named("SerialPorts.Bluetooth_password")["characters"], nlohmann::json::array({"digits 0-9"}));
  EXPECT_EQ(named("Weather.Weather_comment")["characters"], nlohmann::json::array({"printable ASCII characters"}));
  EXPECT_NE(run("settings").out.find("Radio.TXdelay\tnumber\tRadio\tTX delay [ms]:\t250\t\t200..1000\n"),
            std::string::npos);
}

}  // namespace
}  // namespace trekmor
