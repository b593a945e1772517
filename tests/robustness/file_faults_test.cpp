// Saving where it cannot be done, saving that breaks off half-way, and
// loading what is no configuration file, all through the window's buttons:
// an existing file keeps every byte, the window's fields keep every value.
#include <sys/stat.h>

#include <random>

#include "configfile/configfile.h"
#include "tests/support/failingwriter.h"
#include "tests/support/window_fixture.h"

namespace trekmor::testing {
namespace {

namespace fs = std::filesystem;

std::size_t entries(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class FileFaults : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    // A file saved earlier from other settings.
    find<QLineEdit>("Callsign")->setText(QStringLiteral("OLD"));
    answer = qs(existing);
    click("Button_save_to_file");
    ASSERT_TRUE(boxes.isEmpty());
    saved = readFile(existing);
    find<QLineEdit>("Callsign")->setText(QStringLiteral("NEW"));
  }

  // The one box of a refused save: "Unable to write to NAME." and the system's reason on a line of its own.
  bool showsUnableToWrite(const fs::path& path) const {
    const QString start = QStringLiteral("Unable to write to ") + qs(path) + QStringLiteral(".\n");
    return boxes.size() == 1 && boxes[0].startsWith(start) && boxes[0].size() > start.size() + 1 &&
           boxes[0].endsWith(QLatin1Char('.'));
  }

  TempDir dir;
  fs::path existing = dir / "existing.cfg";
  std::string saved;
};

TEST_F(FileFaults, SaveOverAReadOnlyFileLeavesItAlone) {
  fs::permissions(existing, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  click("Button_save_to_file");
  EXPECT_TRUE(showsUnableToWrite(existing)) << boxes.join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(readFile(existing), saved);
  EXPECT_EQ(entries(dir.path()), 1u);
}

TEST_F(FileFaults, SaveIntoAMissingFolderCreatesNothing) {
  const fs::path target = dir / "missing" / "new.cfg";
  answer = qs(target);
  click("Button_save_to_file");
  EXPECT_TRUE(showsUnableToWrite(target)) << boxes.join(QLatin1Char('|')).toStdString();
  EXPECT_FALSE(fs::exists(dir / "missing"));
  EXPECT_EQ(entries(dir.path()), 1u);
}

TEST_F(FileFaults, SaveOntoAFolderLeavesTheFolder) {
  fs::create_directory(dir / "folder.cfg");
  answer = qs(dir / "folder.cfg");
  click("Button_save_to_file");
  EXPECT_TRUE(showsUnableToWrite(dir / "folder.cfg")) << boxes.join(QLatin1Char('|')).toStdString();
  EXPECT_TRUE(fs::is_directory(dir / "folder.cfg"));
  EXPECT_TRUE(fs::is_empty(dir / "folder.cfg"));
}

TEST_F(FileFaults, SaveThatBreaksOffLeavesTheOldFileWholeAndNoLeftovers) {
  // Where the new content would be: just begun, one byte in, half-way, one byte short.
  const std::size_t size = saved.size();  // the new content has the same length: NEW for OLD
  for (const std::size_t after : {std::size_t{0}, std::size_t{1}, size / 2, size - 1}) {
    boxes.clear();
    window->setFileWriter(failingWriter(after));
    click("Button_save_to_file");
    EXPECT_TRUE(showsUnableToWrite(existing)) << boxes.join(QLatin1Char('|')).toStdString() << after;
    EXPECT_EQ(readFile(existing), saved) << after;
    EXPECT_EQ(entries(dir.path()), 1u) << after;
  }
  // A new file is not created at all.
  answer = qs(dir / "fresh.cfg");
  window->setFileWriter(failingWriter(size / 2));
  click("Button_save_to_file");
  EXPECT_FALSE(fs::exists(dir / "fresh.cfg"));
  // With the program's own writer the same save goes through.
  window->setFileWriter(writeAllBytes);
  answer = qs(existing);
  boxes.clear();
  click("Button_save_to_file");
  EXPECT_TRUE(boxes.isEmpty());
  EXPECT_EQ(ProfileFile::read(existing)->value("Radio", "Callsign"), "NEW");
}

TEST(AtomicWrite, BreakingOffAtAnyByteKeepsTheTarget) {
  TempDir dir;
  const std::string old = "[A]\r\nk=old\r\n";
  const std::string next = "[A]\r\nk=new, and longer\r\n";
  writeFile(dir / "a.cfg", old);
  for (std::size_t after = 0; after < next.size(); ++after) {
    EXPECT_FALSE(writeFileAtomically(dir / "a.cfg", next, failingWriter(after))) << after;
    EXPECT_EQ(readFile(dir / "a.cfg"), old) << after;
    EXPECT_EQ(entries(dir.path()), 1u) << after;
  }
  // The fault lies past the end: nothing breaks.
  EXPECT_TRUE(writeFileAtomically(dir / "a.cfg", next, failingWriter(next.size())));
  EXPECT_EQ(readFile(dir / "a.cfg"), next);
}

// Files that are no configuration file of this tool.
struct Foreign {
  const char* name;
  std::function<fs::path(const TempDir&)> make;
};

std::string junk(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

const Foreign kForeign[] = {
    {"OtherProgramsSettings",
     [](const TempDir& d) {
       writeFile(d / "other.ini", "[Settings]\r\nCallsign=HACK\r\n[Radio]\r\nCallsign=HACK\r\nTXdelay=999\r\n");
       return d / "other.ini";
     }},
    {"Empty",
     [](const TempDir& d) {
       writeFile(d / "empty.cfg", "");
       return d / "empty.cfg";
     }},
    {"Folder",
     [](const TempDir& d) {
       fs::create_directory(d / "folder.cfg");
       return d / "folder.cfg";
     }},
    {"BinaryJunk",
     [](const TempDir& d) {
       writeFile(d / "junk.cfg", junk(64 * 1024, 1));
       return d / "junk.cfg";
     }},
    {"JunkAroundSettingsWithoutHeader",
     [](const TempDir& d) {
       writeFile(d / "junk2.cfg", junk(999, 2) + "\n[Radio]\nCallsign=HACK\n" + junk(999, 3));
       return d / "junk2.cfg";
     }},
#if !defined(_WIN32)  // Windows has no named pipes among its files
    {"NamedPipe",  // would block a reader that opens it
     [](const TempDir& d) {
       ::mkfifo((d / "pipe.cfg").c_str(), 0600);
       return d / "pipe.cfg";
     }},
#endif
    {"TooLarge",
     [](const TempDir& d) {
       writeFile(d / "huge.cfg", "[!WARNING]\r\nApplication=APRS Trekmor Configurator\r\n");
       fs::resize_file(d / "huge.cfg", ProfileFile::kMaxSize + 1);
       return d / "huge.cfg";
     }},
    {"Missing", [](const TempDir& d) { return d / "absent.cfg"; }},
};

void PrintTo(const Foreign& f, std::ostream* os) { *os << f.name; }

class LoadForeign : public WindowFixture, public ::testing::WithParamInterface<Foreign> {};

INSTANTIATE_TEST_SUITE_P(Files, LoadForeign, ::testing::ValuesIn(kForeign),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(LoadForeign, ShowsTheApplicationMessageAndChangesNothing) {
  TempDir dir;
  answer = qs(GetParam().make(dir));
  find<QLineEdit>("Callsign")->setText(QStringLiteral("MINE"));
  const Snapshot before = snapshot();
  click("Button_read_from_file");
  // The load's message as it stands; a file that cannot be read adds its name and why on a line of its own.
  ASSERT_EQ(boxes.size(), 1);
  const QString message = QString::fromLatin1(kNotConfigurationFileMessage.data());
  EXPECT_TRUE(boxes[0] == message || boxes[0].startsWith(message + QLatin1Char('\n') + answer)) << boxes[0].toStdString();
  EXPECT_EQ(snapshot(), before);
  EXPECT_TRUE(logLines().isEmpty());
  EXPECT_TRUE(commandButtonsEnabled());
}

}  // namespace
}  // namespace trekmor::testing
