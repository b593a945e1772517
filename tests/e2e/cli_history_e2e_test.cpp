// Several simulated trackers and the configuration history, through the
// command-line companion run as separate processes (LD_PRELOAD), as an
// operator's scripts run it.
#include <gtest/gtest.h>

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

const std::string kSerials[] = {"300024000F5138333536A07F", "300024000F5138333536A080", "300024000F5138333536A081"};
const std::string kSeveral = "Several APRS Trekmor trackers are connected; choose one with --serial: " + kSerials[0] +
                             " " + kSerials[1] + " " + kSerials[2] + "\n";

class CliTrackers : public ::testing::Test {
 protected:
  // `settings`: simulator variables; three trackers unless they say otherwise.
  std::string command(const std::string& arguments, const std::string& settings, const std::string& tag) const {
    return "cd '" + dir.path().string() + "' && env -u TREKMOR_SIM_FAULT ASAN_OPTIONS=" +
           "\"$ASAN_OPTIONS:verify_asan_link_order=0\" TZ=UTC LD_PRELOAD='" TREKMOR_DEVSIM
           "' TREKMOR_SIM_EEPROM=eeprom.bin TREKMOR_SIM_DEVICES=3 TREKMOR_HISTORY_DIR=history " +
           settings + " '" TREKMOR_CLI "' " + arguments + " > stdout" + tag + ".txt 2> stderr" + tag + ".txt";
  }
  Outcome collect(int raw, const std::string& tag) {
    Outcome result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(dir / ("stdout" + tag + ".txt")),
                   readFile(dir / ("stderr" + tag + ".txt"))};
    std::filesystem::remove(dir / ("stdout" + tag + ".txt"));
    std::filesystem::remove(dir / ("stderr" + tag + ".txt"));
    return result;
  }
  Outcome run(const std::string& arguments, const std::string& settings = "") {
    return collect(std::system(command(arguments, settings, "").c_str()), "");
  }
  nlohmann::json history(const std::string& arguments = "") {
    const Outcome listed = run("history --json " + arguments);
    EXPECT_EQ(listed.status, 0) << listed.err;
    return nlohmann::json::parse(listed.out);
  }
  std::string eeprom(int tracker) {
    return readFile(dir / (tracker == 1 ? std::string("eeprom.bin") : "eeprom.bin." + std::to_string(tracker)));
  }
  void SetUp() override {
    ASSERT_EQ(run("defaults base.cfg").status, 0);
    ASSERT_EQ(run("pack base.cfg base.bin --seed 1").status, 0);
  }
  TempDir dir;
};

TEST_F(CliTrackers, DevicesListsEveryTracker) {
  const Outcome listed = run("devices", "TREKMOR_SIM_HARDWARE='Bench unit'");
  EXPECT_EQ(listed.status, 0) << listed.err;
  const std::string rest = "\t" + testing::version() + "\tBench unit\t/dev/hidraw-trekmor-sim";
  EXPECT_EQ(listed.out, kSerials[0] + rest + "\n" + kSerials[1] + rest + "2\n" + kSerials[2] + rest + "3\n");
  EXPECT_EQ(listed.err, "");
  const auto document = nlohmann::json::parse(run("devices --json", "TREKMOR_SIM_DEVICES=2").out);
  ASSERT_EQ(document.size(), 2u);
  EXPECT_EQ(document[1], (nlohmann::json{{"serial", kSerials[1]}, {"firmware_version", testing::version()},
                                         {"hardware_version", "Trekmor HW 2.1"}, {"path", "/dev/hidraw-trekmor-sim2"}}));
  const Outcome none = run("devices", "TREKMOR_SIM_ABSENT=1");
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.out, "APRS Trekmor not found.\n");
}

TEST_F(CliTrackers, EveryDeviceCommandRefusesToGuessAndTakesTheTrackerNamed) {
  ASSERT_EQ(run("devices").status, 0);  // the simulator makes its EEPROM files
  const std::string before = eeprom(1);
  const struct {
    const char* arguments;
    std::string err;
  } refused[] = {
      {"read out.cfg", kSeveral},
      {"write base.cfg", kSeveral},
      {"info", kSeveral},
      {"upload-firmware", kSeveral},
      {"info --serial 00112233445566778899AABB",
       "No APRS Trekmor with serial number 00112233445566778899AABB is connected; connected: " + kSerials[0] + " " +
           kSerials[1] + " " + kSerials[2] + "\n"},
      {"info --device /dev/hidraw0",
       "No APRS Trekmor at /dev/hidraw0 is connected; connected: /dev/hidraw-trekmor-sim /dev/hidraw-trekmor-sim2 "
       "/dev/hidraw-trekmor-sim3\n"},
  };
  for (const auto& c : refused) {
    const Outcome result = run(c.arguments);
    EXPECT_EQ(result.status, 1) << c.arguments;
    EXPECT_EQ(result.out, "") << c.arguments << ": nothing is opened";
    EXPECT_EQ(result.err, c.err) << c.arguments;
  }
  // diff as diff(1): a side that cannot be had is trouble, and its line names it.
  const Outcome diffed = run("diff base.cfg device");
  EXPECT_EQ(diffed.status, 2);
  EXPECT_EQ(diffed.out, "");
  EXPECT_EQ(diffed.err, kSeveral + "aprs-trekmor-cli: B (device) failed; nothing was compared\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "out.cfg"));
  EXPECT_TRUE(eeprom(1) == before);

  // A serial in lower case names the second tracker; the others keep what they hold.
  std::string lower = kSerials[1];
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  ASSERT_EQ(run("write base.cfg --seed 1 --serial " + lower).status, 0);
  EXPECT_TRUE(eeprom(2) == readFile(dir / "base.bin"));
  EXPECT_TRUE(eeprom(1) == before);
  EXPECT_TRUE(eeprom(3) != readFile(dir / "base.bin"));
  const Outcome info = run("info --device /dev/hidraw-trekmor-sim3");
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("Serial number: " + kSerials[2]), std::string::npos) << info.out;
  EXPECT_EQ(run("info --serial x --device y").status, 2);
}

TEST_F(CliTrackers, HistoryKeepsListsExportsComparesAndRestores) {
  const std::string one = "TREKMOR_SIM_DEVICES=1";
  ASSERT_EQ(run("write base.cfg --seed 1", one).status, 0);
  const Outcome written = run("write base.cfg --seed 2 --set Radio.Callsign=SP3ABC --backup old.bin --verify", one);
  ASSERT_EQ(written.status, 0) << written.err;
  EXPECT_EQ(written.err, "");

  const nlohmann::json entries = history();
  ASSERT_EQ(entries.size(), 4u) << entries.dump();
  // Newest first: the read-back, the write, what the tracker held before it
  // (the first write's image, kept again because it passed another way), the first write.
  const char* events[] = {"read", "written", "before-write", "written"};
  for (std::size_t k = 0; k < 4; ++k) {
    EXPECT_EQ(entries[k]["event"], events[k]) << k;
    EXPECT_EQ(entries[k]["serial"], kSerials[0]);
    EXPECT_EQ(entries[k]["firmware_version"], testing::version());
    EXPECT_EQ(entries[k]["valid"], true);
    EXPECT_TRUE(entries[k]["time"].get<std::string>().ends_with("+00:00")) << entries[k]["time"];
  }
  const std::string held = entries[2]["id"];
  const Outcome text = run("history");
  EXPECT_EQ(text.out.substr(0, text.out.find('\n')),
            entries[0]["id"].get<std::string>() + "\t" + entries[0]["time"].get<std::string>() + "\t" + kSerials[0] +
                "\tread\tvalid");

  // The kept configuration is the backup, as an image and as settings.
  ASSERT_EQ(run("history export " + held + " held.bin").status, 0);
  EXPECT_EQ(readFile(dir / "held.bin"), readFile(dir / "old.bin"));
  ASSERT_EQ(run("history export " + held + " held.cfg").status, 0);
  ASSERT_EQ(run("unpack old.bin old.cfg").status, 0);
  EXPECT_EQ(readFile(dir / "held.cfg"), readFile(dir / "old.cfg"));
  const Outcome differs = run("diff history:" + held + " device", one);
  EXPECT_EQ(differs.status, 1);
  EXPECT_EQ(differs.out, "Radio.Callsign: NOCALL -> SP3ABC\n");

  // Back to what it held; what it held just before is kept first.
  const Outcome restored = run("history restore " + held + " --verify", one);
  EXPECT_EQ(restored.status, 0) << restored.err;
  EXPECT_TRUE(restored.out.ends_with("Verified: all 160 pages read back as written.\n")) << restored.out;
  EXPECT_EQ(eeprom(1), readFile(dir / "old.bin"));
  const nlohmann::json after = history("--serial " + kSerials[0]);
  ASSERT_EQ(after.size(), 7u);
  EXPECT_EQ(after[2]["event"], "before-write");
  EXPECT_EQ(after[1]["event"], "written");
  EXPECT_EQ(after[0]["event"], "read");

  const struct {
    const char* arguments;
    int status;
    std::string err;
  } refused[] = {
      {"history export 0123456789ab x.bin", 2, "aprs-trekmor-cli: no history entry 0123456789ab\n"},
      {"history restore 0123456789ab", 2, "aprs-trekmor-cli: no history entry 0123456789ab\n"},
      {"diff history:0123456789ab base.cfg", 2,
       "aprs-trekmor-cli: no history entry 0123456789ab\n"
       "aprs-trekmor-cli: A (history:0123456789ab) failed; nothing was compared\n"},
      {"history export x y.txt", 2, "aprs-trekmor-cli: history export takes an output file ending in .bin or .cfg\n"},
      {"history restore x --json", 2, "aprs-trekmor-cli: option '--json' is not for history restore\n"},
      {"history forget", 2, "aprs-trekmor-cli: history takes export, restore or prune, not 'forget'\n"},
      {"history prune --keep -1", 2, "aprs-trekmor-cli: history prune takes --keep N with a whole number N\n"},
  };
  for (const auto& c : refused) {
    const Outcome result = run(c.arguments, one);
    EXPECT_EQ(result.status, c.status) << c.arguments;
    EXPECT_EQ(result.err, c.err) << c.arguments;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "x.bin"));

  const Outcome pruned = run("history prune --keep 2");
  EXPECT_EQ(pruned.out, kSerials[0] + ": kept 2, removed 5\n");
  EXPECT_EQ(history().size(), 2u);
}

TEST_F(CliTrackers, RestoreGoesBackToItsOwnTrackerUnlessAnotherIsNamed) {
  ASSERT_EQ(run("read first.cfg --serial " + kSerials[0]).status, 1) << "a zero-filled EEPROM fails its test";
  ASSERT_EQ(run("write base.cfg --seed 1 --serial " + kSerials[0]).status, 0);
  const std::string id = history()[0]["id"];
  const Outcome gone = run("history restore " + id, "TREKMOR_SIM_DEVICES=1 TREKMOR_SIM_SERIAL=00112233445566778899AABB");
  EXPECT_EQ(gone.status, 1);
  EXPECT_EQ(gone.err, "No APRS Trekmor with serial number " + kSerials[0] +
                          " is connected; connected: 00112233445566778899AABB\n");
  ASSERT_EQ(run("history restore " + id + " --serial " + kSerials[2]).status, 0);
  EXPECT_EQ(eeprom(3), readFile(dir / "base.bin"));
}

// A restore that breaks off names the entry to restore again and the one kept just before it.
TEST_F(CliTrackers, ARestoreThatBreaksOffSaysHowToMendIt) {
  ASSERT_EQ(run("write base.cfg --seed 1 --serial " + kSerials[0]).status, 0);
  const std::string id = history()[0]["id"];
  ASSERT_EQ(run("write base.cfg --set Radio.Callsign=SP3ABC --serial " + kSerials[0]).status, 0);
  const Outcome broken = run("history restore " + id + " --quiet", "TREKMOR_SIM_FAULT=write-fail@80");
  EXPECT_EQ(broken.status, 1);
  const nlohmann::json entries = history("--serial " + kSerials[0]);
  // Newest first: the broken-off write, then what the tracker held before it.
  ASSERT_EQ(entries.size(), 4u) << entries.dump();
  EXPECT_EQ(entries[0]["broken_off_at_page"], 81);
  ASSERT_EQ(entries[1]["event"], "before-write");
  EXPECT_EQ(broken.err, "The write broke off: the tracker now holds a partly written configuration; restore the entry "
                        "again with 'aprs-trekmor-cli history restore " + id +
                            "', or restore what it held with 'aprs-trekmor-cli history restore " +
                            entries[1]["id"].get<std::string>() + "'.\n");
}

TEST_F(CliTrackers, BackupsAreNotOverwrittenAndKeepBeforeStopsWhenItCannotRead) {
  const std::string one = "TREKMOR_SIM_DEVICES=1";
  ASSERT_EQ(run("write base.cfg --seed 1 --backup old.bin", one).status, 0);
  const std::string kept = readFile(dir / "old.bin");
  const Outcome again = run("write base.cfg --seed 2 --set Radio.Callsign=SP3ABC --backup old.bin", one);
  EXPECT_EQ(again.status, 2);
  EXPECT_EQ(again.err, "aprs-trekmor-cli: old.bin exists; --force replaces it\n");
  EXPECT_EQ(again.out, "");
  EXPECT_EQ(readFile(dir / "old.bin"), kept);
  ASSERT_EQ(run("write base.cfg --seed 2 --set Radio.Callsign=SP3ABC --backup old.bin --force", one).status, 0);
  EXPECT_EQ(readFile(dir / "old.bin"), readFile(dir / "base.bin"));

  const std::string before = eeprom(1);
  const Outcome unreadable = run("write base.cfg --keep-before", one + " TREKMOR_SIM_FAULT=read-bad-sum@2");
  EXPECT_EQ(unreadable.status, 1);
  EXPECT_EQ(unreadable.err, "The device's configuration could not be read to keep it in the history.\n"
                            "Nothing was written to the device.\n");
  EXPECT_EQ(eeprom(1), before);
  writeFile(dir / "fw.bin", std::string(64, '\0'));
  const Outcome upload = run("upload-firmware fw.bin --keep-before", one + " TREKMOR_SIM_FIRMWARE_VERSION=98");
  EXPECT_EQ(upload.status, 0) << upload.err;
  const nlohmann::json newest = history()[0];
  EXPECT_EQ(newest["event"], "before-firmware");
  EXPECT_EQ(newest["firmware_version"], "0.98");
}

TEST_F(CliTrackers, AHistoryThatCannotBeWrittenCostsOneWarning) {
  writeFile(dir / "blocked", "a file, not a folder");
  const Outcome written = run("write base.cfg --seed 1 --verify --keep-before --serial " + kSerials[0],
                              "TREKMOR_HISTORY_DIR=blocked");
  EXPECT_EQ(written.status, 0);
  EXPECT_EQ(written.err.rfind("aprs-trekmor-cli: warning: the configuration history cannot be written: blocked", 0), 0u)
      << written.err;
  EXPECT_EQ(std::count(written.err.begin(), written.err.end(), '\n'), 1) << written.err;
  EXPECT_EQ(eeprom(1), readFile(dir / "base.bin"));
}

TEST_F(CliTrackers, TrackersWrittenAtOnceLoseNoEntryAndForeignFilesStay) {
  // One process per tracker, all at once, each writing and reading back.
  std::string all;
  for (int k = 0; k < 3; ++k) {
    all += "(" + command("write base.cfg --seed 1 --verify --serial " + kSerials[k], "", std::to_string(k)) + ") & ";
  }
  ASSERT_EQ(std::system((all + "wait").c_str()), 0);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(collect(0, std::to_string(k)).err, "") << k;
  writeFile(dir / "history" / "notes.txt", "mine");
  const Outcome listed = run("history --json");
  EXPECT_EQ(nlohmann::json::parse(listed.out).size(), 6u) << "a write and a read-back for each tracker";
  EXPECT_EQ(listed.err, "aprs-trekmor-cli: warning: skipped history/notes.txt: not a history entry\n");
  EXPECT_EQ(readFile(dir / "history" / "notes.txt"), "mine");
}

}  // namespace
}  // namespace trekmor
