#include "configfile/configfile.h"
#include "configfile/textencoding.h"

#include <gtest/gtest.h>

#include "tests/support/recordinginterface.h"

#include <sstream>

#include "settings/pipeline.h"
#include "settings/registry.h"
#include "tests/support/tempdir.h"
#include "tests/support/version.h"

namespace trekmor {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

using testing::RecordingInterface;

std::vector<std::string> splitCrLf(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(bytes.substr(start, end - start));
  }
  EXPECT_EQ(start, bytes.size()) << "every line ends in CRLF";
  return lines;
}

const std::string kHeader =
    "[!WARNING]\nApplication=APRS Trekmor Configurator\nVersion=" + trekmor::testing::configVersion() + "\n";

TEST(SaveConfiguration, StartValuesGiveTheGoldenFile) {
  TempDir dir;
  ASSERT_TRUE(saveConfiguration(FieldStore::withStartValues(), dir / "start.cfg"));
  std::istringstream golden(readFile(fs::path(TREKMOR_TEST_DATA) / "start-values.cfg"));
  std::vector<std::string> expected;
  for (std::string line; std::getline(golden, line);) expected.push_back(line);
  EXPECT_EQ(splitCrLf(readFile(dir / "start.cfg")), expected);
}

TEST(SaveConfiguration, RadioRoundTripWithNumbersInPlainDecimal) {
  TempDir dir;
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Callsign", "sq9 abc;#=x");  // kept as shown, no case change
  fields.setText("Ssid", "");
  fields.setText("Latitude", "Latitude is free text in the file");
  fields.setText("Txdelay", "007");
  fields.setText("Txtail", "$1F");
  fields.setText("Quiettime", "-5");
  fields.setIndex("Squelch", 7);
  fields.setIndex("Tx_power", -1);
  ASSERT_TRUE(saveConfiguration(fields, dir / "a.cfg"));
  FieldStore loaded = FieldStore::withStartValues();
  RecordingInterface ui;
  ASSERT_EQ(loadConfiguration(dir / "a.cfg", loaded, ui), LoadResult::Loaded);
  EXPECT_TRUE(ui.boxes.empty());
  fields.setText("Txdelay", "7");
  fields.setText("Txtail", "31");
  EXPECT_TRUE(loaded == fields);
}

TEST(SaveConfiguration, NoNumberStopsTheSaveBeforeTheFileIsTouched) {
  TempDir dir;
  const std::string before = "; mine\r\n[Radio]\r\nTXdelay=999\r\n";
  writeFile(dir / "old.cfg", before);
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Quiettime", "");
  for (const char* name : {"old.cfg", "new.cfg"}) {
    const SaveResult result = saveConfiguration(fields, dir / name);
    EXPECT_EQ(result.status, SaveResult::Status::ConversionError);
    EXPECT_EQ(result.message, "'' is not a valid integer value");
  }
  EXPECT_EQ(readFile(dir / "old.cfg"), before);
  EXPECT_FALSE(fs::exists(dir / "new.cfg"));
}

TEST(SaveConfiguration, FileThatCannotBeWrittenIsNamedAndLeftAlone) {
  TempDir dir;
  writeFile(dir / "ro.cfg", "[A]\nk=1\n");
  fs::permissions(dir / "ro.cfg", fs::perms::owner_read);
  for (const fs::path& path : {dir / "ro.cfg", dir / "no" / "a.cfg", dir.path()}) {
    const SaveResult result = saveConfiguration(FieldStore::withStartValues(), path);
    EXPECT_EQ(result.status, SaveResult::Status::WriteFailed);
    EXPECT_EQ(result.message, "Unable to write to " + path.string());
  }
  EXPECT_EQ(readFile(dir / "ro.cfg"), "[A]\nk=1\n");
}

TEST(SaveConfiguration, OverAnExistingFileKeepsUnknownContentAndReplacesKeysInPlace) {
  TempDir dir;
  writeFile(dir / "a.cfg",
            "; written by hand\n[radio]\ntxdelay = 999\nMyOwnKey=keep\n; end of radio\n\n[Unknown]\nx=1\n");
  ASSERT_TRUE(saveConfiguration(FieldStore::withStartValues(), dir / "a.cfg"));
  const std::string saved = readFile(dir / "a.cfg");
  const std::string expectedStart =
      "; written by hand\n[radio]\ntxdelay=250\nMyOwnKey=keep\n; end of radio\nCallsign=NOCALL\r\nSSID=0\r\n";
  EXPECT_EQ(saved.substr(0, expectedStart.size()), expectedStart);
  // The header and the sections the file lacked follow the unknown section,
  // in the order of their first write.
  const std::string expectedMiddle =
      "Tx_power_apc=0\r\n\n[Unknown]\nx=1\n[!WARNING]\r\nWARNING=Please do not try to modify this file. It should be "
      "managed with APRS Trekmor configurator program.\r\nApplication=APRS Trekmor Configurator\r\nVersion=" + trekmor::testing::configVersion() + "\r\n"
      "[PositionReports]\r\nReportMode=2\r\n";
  EXPECT_NE(saved.find(expectedMiddle), std::string::npos) << saved;
  EXPECT_EQ(saved.substr(saved.size() - 23), "\r\nTesttone_bypasspa=0\r\n");
  EXPECT_EQ(saved.find("TXdelay"), std::string::npos);  // no second TX delay key
  // Saving the same values again changes no byte.
  ASSERT_TRUE(saveConfiguration(FieldStore::withStartValues(), dir / "a.cfg"));
  EXPECT_EQ(readFile(dir / "a.cfg"), saved);
}

TEST(SaveConfiguration, LineBreaksInATextAreDropped) {
  TempDir dir;
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Callsign", "AB\r\n[!WARNING]\nApplication=other\r");
  ASSERT_TRUE(saveConfiguration(fields, dir / "a.cfg"));
  const ProfileFile file = *ProfileFile::read(dir / "a.cfg");
  EXPECT_EQ(file.value("Radio", "Callsign"), "AB[!WARNING]Application=other");
  EXPECT_EQ(file.value("!WARNING", "Application"), "APRS Trekmor Configurator");
}

struct HandWritten {
  const char* name;
  std::string body;  // after the header
  std::vector<std::pair<std::string, std::string>> texts;
  std::vector<std::pair<std::string, int>> indexes;
};
void PrintTo(const HandWritten& c, std::ostream* os) { *os << c.name; }

class LoadHandWritten : public ::testing::TestWithParam<HandWritten> {};

TEST_P(LoadHandWritten, SetsEveryFieldFromItsKeyOrItsMissingValue) {
  const HandWritten& c = GetParam();
  FieldStore fields = FieldStore::withStartValues();
  for (const char* control : {"Callsign", "Ssid", "Latitude", "Longitude", "Txdelay", "Txtail", "Quiettime", "Txrx_freq"}) {
    fields.setText(control, "before");
  }
  for (const char* control : {"Quiettime_randomize", "Squelch", "Busydetect", "Consecutive_packets", "Tx_power"}) {
    fields.setIndex(control, 1);
  }
  RecordingInterface ui;
  EXPECT_EQ(loadConfiguration(ProfileFile::fromBytes(kHeader + c.body), fields, ui), LoadResult::Loaded);
  EXPECT_TRUE(ui.boxes.empty());
  for (const auto& [control, text] : c.texts) EXPECT_EQ(fields.text(control), text) << control;
  for (const auto& [control, index] : c.indexes) EXPECT_EQ(fields.index(control), index) << control;
}

const HandWritten kHandWritten[] = {
    {"NoRadioSection", "",
     {{"Callsign", "NOCALL"}, {"Ssid", "0"}, {"Latitude", "5223.08N"}, {"Longitude", "01658.14E"},
      {"Txdelay", "250"}, {"Txtail", "50"}, {"Quiettime", "400"}, {"Txrx_freq", "144800000"}},
     {{"Quiettime_randomize", 3}, {"Squelch", 0}, {"Busydetect", 0}, {"Tx_power", 0}}},
    {"NoWholeNumbers", "[Radio]\nTXdelay=abc\nTXtail=12.5\nQuiettime=\nTxrx_frequency=99999999999\nSquelch=two\n",
     {{"Txdelay", "250"}, {"Txtail", "50"}, {"Quiettime", "400"}, {"Txrx_freq", "144800000"}},
     {{"Squelch", 0}}},
    {"Hexadecimal", "[Radio]\nTXdelay=0x1F\nTXtail=$10\nSquelch=0x7\n",
     {{"Txdelay", "31"}, {"Txtail", "16"}},
     {{"Squelch", 7}}},
    // Prefixes and signs that only the edit boxes' conversion takes.
    {"EditBoxForms", "[Radio]\nTXdelay=x1F\nTXtail=X10\nQuiettime=-0x10\nTxrx_frequency=+$10\nSquelch= 0X2\n",
     {{"Txdelay", "250"}, {"Txtail", "50"}, {"Quiettime", "400"}, {"Txrx_freq", "144800000"}},
     {{"Squelch", 0}}},
    {"IndexesOutsideTheList", "[Radio]\nSquelch=8\nTx_power=-1\nBusydetect=1\n", {}, {{"Squelch", -1}, {"Tx_power", -1}, {"Busydetect", 1}}},
    {"TextsTakenAsTheyStand", "[Radio]\nCallsign=toolongcall\nSSID=\nLatitude=x\n",
     {{"Callsign", "toolongcall"}, {"Ssid", ""}, {"Latitude", "x"}, {"Longitude", "01658.14E"}}, {}},
    {"BlanksCommentsAndCase", "; comment\r\n[ radio ]\r\n ;TXdelay=300\r\n  txdelay  =  500  \r\nSSID = \"7\" \r\n",
     {{"Txdelay", "500"}, {"Ssid", "7"}}, {}},
};
INSTANTIATE_TEST_SUITE_P(Files, LoadHandWritten, ::testing::ValuesIn(kHandWritten),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LoadConfiguration, LineEndingsDoNotMatter) {
  const std::string lf = kHeader + "[Radio]\nCallsign=LF1\nSquelch=5\n";
  for (const std::string& end : {std::string("\r\n"), std::string("\r")}) {
    std::string file = lf;
    for (std::size_t at = 0; (at = file.find('\n', at)) != std::string::npos; at += end.size()) file.replace(at, 1, end);
    FieldStore fields = FieldStore::withStartValues();
    RecordingInterface ui;
    ASSERT_EQ(loadConfiguration(ProfileFile::fromBytes(file), fields, ui), LoadResult::Loaded);
    EXPECT_EQ(fields.text("Callsign"), "LF1");
    EXPECT_EQ(fields.index("Squelch"), 5);
  }
}

TEST(LoadConfiguration, ForeignFilesChangeNothing) {
  TempDir dir;
  const std::string files[] = {
      "[!WARNING]\nApplication=APRS Trekmor configurator\n[Radio]\nCallsign=X\n",
      "[!WARNING]\nApplication=aprs trekmor configurator\n[Radio]\nCallsign=X\n",
      "[Radio]\nCallsign=X\n",
      "",
  };
  for (const std::string& text : files) {
    FieldStore fields = FieldStore::withStartValues();
    RecordingInterface ui;
    EXPECT_EQ(loadConfiguration(ProfileFile::fromBytes(text), fields, ui), LoadResult::Rejected) << text;
    EXPECT_TRUE(fields == FieldStore::withStartValues());
    EXPECT_EQ(ui.boxes, std::vector<std::string>{"information: " + std::string(kNotConfigurationFileMessage)});
  }
  FieldStore fields = FieldStore::withStartValues();
  RecordingInterface ui;
  EXPECT_EQ(loadConfiguration(dir / "absent.cfg", fields, ui), LoadResult::Unreadable);
  // The load's message as it stands, then the file and the system's reason on a line of their own.
  EXPECT_EQ(ui.boxes, std::vector<std::string>{"information: " + std::string(kNotConfigurationFileMessage) + "\n" +
                                               (dir / "absent.cfg").string() + ": No such file or directory"});
}

TEST(TextEncoding, FindsTheFirstCharacterThatDoesNotFitOneByte) {
  const struct {
    std::string text;
    std::optional<char32_t> found;
  } cases[] = {
      {"", std::nullopt},
      {"SP3ABC", std::nullopt},
      {"\xC3\x93K \xC3\xBF", std::nullopt},  // U+00D3 and U+00FF fit
      {"\xC5\x81\xC3\x93" "D\xC5\xB9", U'\u0141'},
      {"ab\xE2\x82\xAC", U'\u20AC'},
      {"\xF0\x9F\x98\x80", U'\U0001F600'},
      {"a\xFF", 0xFFFFFFFF},       // no UTF-8
      {"\xC0\x8D", 0xFFFFFFFF},   // an over-long CR
  };
  for (const auto& c : cases) EXPECT_EQ(firstUnencodable(c.text), c.found) << c.text;
  EXPECT_EQ(unencodableText("Callsign", U'\u0141'),
            "Callsign - character U+0141 cannot be stored: the device holds single-byte (Latin-1) text only.");
}

// Runs of ASCII are taken eight bytes at a time: a character beyond them
// must be found and decoded wherever it stands.
TEST(TextEncoding, CharactersBeyondAsciiAreFoundAtEveryPlace) {
  for (std::size_t length = 0; length <= 20; ++length) {
    EXPECT_TRUE(isAscii(std::string(length, '\x7F'))) << length;
    for (std::size_t at = 0; at <= length; ++at) {
      std::string utf8(length, 'a');
      utf8.insert(at, "\xC3\xA9");
      std::string latin1(length, 'a');
      latin1.insert(at, "\xE9");
      std::string decoded;
      utf8ToLatin1(utf8, decoded);
      EXPECT_EQ(decoded, latin1) << length << " " << at;
      EXPECT_FALSE(isAscii(utf8)) << length << " " << at;
      std::string high(length + 1, 'a');
      high[at] = '\x80';
      EXPECT_FALSE(isAscii(high)) << length << " " << at;
    }
  }
}

TEST(LoadConfiguration, AUtf8SettingBeyondOneByteIsRefusedAndChangesNothing) {
  TempDir dir;
  ASSERT_TRUE(saveConfiguration(FieldStore::withStartValues(), dir / "start.cfg"));
  std::string text = "\xEF\xBB\xBF" + readFile(dir / "start.cfg");
  text.replace(text.find("Latitude=5223.08N"), 17, "Latitude=5223.08\xE2\x84\x96");
  writeFile(dir / "u8.cfg", text);
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Callsign", "MINE");
  const FieldStore before = fields;
  RecordingInterface ui;
  EXPECT_EQ(loadConfiguration(dir / "u8.cfg", fields, ui), LoadResult::Rejected);
  EXPECT_TRUE(fields == before);
  EXPECT_EQ(ui.boxes, std::vector<std::string>{"information: Radio.Latitude - a character cannot be stored: the "
                                               "device holds single-byte (Latin-1) text only."});
}

// Settled, two stores compare as the device would hold them.
TEST(SettleSettings, GivesEachSettingTheValueTheDeviceHolds) {
  FieldStore saved = FieldStore::withStartValues();
  saved.setText("Txdelay", "0x12C");
  saved.setText("Txtail", "1001");  // fails its check: kept as it is
  FieldStore device = FieldStore::withStartValues();
  Image image{};
  ASSERT_TRUE(packConfigImage(FieldStore::withStartValues(), image, 1));
  unpackSettings(image, device, silentInterface());
  device.setText("Txdelay", "300");
  device.setText("Txtail", "1001");
  ASSERT_FALSE(settingDifferences(saved, device).empty());  // empty SSIDs against "0"
  settleSettings(saved);
  settleSettings(device);
  EXPECT_EQ(saved.text("Txdelay"), "300");
  EXPECT_EQ(saved.text("Txtail"), "1001");
  EXPECT_TRUE(settingDifferences(saved, device).empty());
}

TEST(LoadConfiguration, OtherVersionWarnsAndLoadsEverything) {
  for (const std::string& version :
       {std::string("Version=v1.11\n"), "Version=V" + trekmor::testing::version() + "\n", std::string()}) {
    FieldStore fields = FieldStore::withStartValues();
    RecordingInterface ui;
    const std::string file = "[!WARNING]\nApplication=\"APRS Trekmor Configurator\"\n" + version + "[Radio]\nTXtail=7\n";
    EXPECT_EQ(loadConfiguration(ProfileFile::fromBytes(file), fields, ui), LoadResult::Loaded);
    EXPECT_EQ(ui.boxes, std::vector<std::string>{"information: " + std::string(kOtherVersionMessage)});
    EXPECT_EQ(fields.text("Txtail"), "7");
  }
}

// Two groups of our own: every value form, missing values that differ from
// the start values, a key that lives in another group's section, and rules
// that record when they run.
class LocalGroups : public ::testing::Test {
 protected:
  static FieldDecl field(std::string control, std::string section, std::string key, FileForm form,
                         std::string missing, int items = 0) {
    FieldDecl f;
    f.control = std::move(control);
    f.widget = items > 0 ? Widget::Combo : Widget::Edit;
    f.choices.resize(std::size_t(items), "item");
    f.section = std::move(section);
    f.key = std::move(key);
    f.form = form;
    f.missing = std::move(missing);
    return f;
  }
  void SetUp() override {
    first.fields = {field("Name", "First", "Name", FileForm::Text, "N"),
                    field("Rate", "First", "Rate", FileForm::Number, "30"),
                    field("Mode", "First", "Mode", FileForm::Index, "2", 3)};
    RuleDecl afterRate([this](Fields& f, UserInterface&) { events.push_back("rate, name=" + f.text("Name")); });
    afterRate.afterLoadOf = "Rate";
    RuleDecl finish([this](Fields& f, UserInterface&) { events.push_back("finish, port=" + f.text("Port")); });
    finish.atLoadEnd = true;
    first.rules = {finish, afterRate};
    second.fields = {field("Port", "Second", "Port", FileForm::Text, "P"),
                     field("Switch", "First", "Switch", FileForm::Flag, "1", 2),
                     field("Baud", "Second", "Baud", FileForm::Index, "4", 5)};
    for (const Group* g : groups) {
      for (const FieldDecl& f : g->fields) {
        if (f.isCombo()) store.declareCombo(f.control, int(f.choices.size()));
      }
    }
  }
  Group first;
  Group second;
  const Group* groups[2] = {&first, &second};
  FieldStore store;
  std::vector<std::string> events;
};

TEST_F(LocalGroups, KeysJoinTheirSectionAndFlagsSaveAsOnOrOff) {
  TempDir dir;
  store.setText("Name", "n");
  store.setText("Rate", " +0x10");
  store.setIndex("Mode", -1);
  store.setText("Port", "p");
  store.setIndex("Baud", 4);
  const std::pair<int, std::string> switches[] = {{-1, "1"}, {0, "0"}, {1, "1"}};
  for (const auto& [index, saved] : switches) {
    store.setIndex("Switch", index);
    ASSERT_TRUE(saveConfiguration(store, dir / "a.cfg", groups));
    EXPECT_EQ(readFile(dir / "a.cfg"), "[!WARNING]\r\nWARNING=" + std::string(kWarningText) +
                                           "\r\nApplication=APRS Trekmor Configurator\r\nVersion=" + trekmor::testing::configVersion() + "\r\n"
                                           "[First]\r\nName=n\r\nRate=16\r\nMode=-1\r\nSwitch=" + saved +
                                           "\r\n[Second]\r\nPort=p\r\nBaud=4\r\n");
    FieldStore loaded = store;
    RecordingInterface ui;
    ASSERT_EQ(loadConfiguration(*ProfileFile::read(dir / "a.cfg"), loaded, ui, groups), LoadResult::Loaded);
    EXPECT_EQ(loaded.index("Switch"), index == 0 ? 0 : 1);  // no selection comes back as on
    EXPECT_EQ(loaded.text("Rate"), "16");
    EXPECT_EQ(loaded.index("Mode"), -1);
  }
}

TEST_F(LocalGroups, MissingValuesAndRulesInTheirPlace) {
  store.setText("Name", "start");
  store.setIndex("Mode", 0);
  RecordingInterface ui;
  const std::string file = kHeader + "[First]\nRate=x\n[Second]\nPort=loaded\nBaud=1\n";
  ASSERT_EQ(loadConfiguration(ProfileFile::fromBytes(file), store, ui, groups), LoadResult::Loaded);
  EXPECT_EQ(store.text("Name"), "N");
  EXPECT_EQ(store.text("Rate"), "30");
  EXPECT_EQ(store.index("Mode"), 2);
  EXPECT_EQ(store.index("Switch"), 1);
  EXPECT_EQ(store.index("Baud"), 1);
  // The after-load rule runs right after its field, the finishing rule after all.
  EXPECT_EQ(events, (std::vector<std::string>{"rate, name=N", "finish, port=loaded"}));
}

}  // namespace
}  // namespace trekmor
