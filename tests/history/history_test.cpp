// The history's entries and its folder: the file form of an entry, what is
// stored twice and what is not, foreign and damaged files, two writers at
// once, pruning.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <thread>

#include "platform/filename.h"
#include "history/store.h"
#include "tests/support/tempdir.h"

namespace trekmor {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

constexpr const char* kSerial = "300024000F5138333536A07F";

Image imageWith(std::uint8_t mark) {
  Image image{};
  image[10] = mark;
  image[kImageSize - 1] = static_cast<std::uint8_t>(~mark);
  return image;
}

struct Warnings {
  std::vector<std::string> lines;
  HistoryWarning sink() {
    return [this](const std::string& line) { lines.push_back(line); };
  }
};

TEST(HistoryEntry, FileFormRoundTripsEveryField) {
  HistoryEntry entry = makeHistoryEntry(kSerial, HistoryEvent::Written, imageWith(7), 112, 4);
  entry.timeUs = 1700000000123456;
  const std::optional<HistoryEntry> back = decodeEntry(encodeEntry(entry));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->id, entry.id);
  EXPECT_EQ(back->timeUs, entry.timeUs);
  EXPECT_TRUE(back->sameContent(entry));
  EXPECT_EQ(entryFileName(entry), "20231114T221320.123456Z-" + entry.id + ".entry");
  EXPECT_EQ(idInFileName(entryFileName(entry)), entry.id);
  EXPECT_EQ(utcTimeText(0), "1970-01-01T00:00:00.000000Z");

  entry.firmwareVersion.reset();
  entry.event = HistoryEvent::BeforeFirmware;
  EXPECT_TRUE(decodeEntry(encodeEntry(entry))->sameContent(entry)) << "an unknown firmware version";
  EXPECT_TRUE(std::regex_match(localTimeText(entry.timeUs),
                               std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)")))
      << localTimeText(entry.timeUs);
}

TEST(HistoryEntry, DamagedFilesAreNoEntries) {
  HistoryEntry entry = makeHistoryEntry(kSerial, HistoryEvent::Read, imageWith(1), 112);
  entry.timeUs = 1700000000000000;
  const std::string good = encodeEntry(entry);
  ASSERT_TRUE(decodeEntry(good).has_value());
  const auto replaced = [&](std::string from, std::string to) {
    std::string bytes = good;
    bytes.replace(bytes.find(from), from.size(), to);
    return bytes;
  };
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"image one byte short", good.substr(0, good.size() - 1)},
      {"image one byte long", good + "x"},
      {"another first line", replaced("APRS Trekmor history entry", "APRS Trekmor history")},
      {"id not hexadecimal", replaced("id=" + entry.id, "id=" + entry.id.substr(0, 11) + "g")},
      {"id too short", replaced("id=" + entry.id, "id=" + entry.id.substr(1))},
      {"a day that does not exist", replaced("2023-11-14T", "2023-02-30T")},
      {"unknown event", replaced("event=read", "event=lost")},
      {"firmware no number", replaced("firmware=112", "firmware=1.12")},
      {"broken off past the last page", replaced("broken-off-at-page=0", "broken-off-at-page=161")},
      {"lines out of order", replaced("event=read\nfirmware=112", "firmware=112\nevent=read")},
      {"a line missing", replaced("firmware=112\n", "")},
  };
  for (const auto& c : cases) EXPECT_FALSE(decodeEntry(c.bytes).has_value()) << c.name;
}

TEST(HistoryEntry, SerialFolderNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"300024000f5138333536a07f", "300024000F5138333536A07F"},
      {"", "unknown"},
      {"..", "%2E%2E"},
      {"a/b\\c", "A%2FB%5CC"},
      {"SN-1_x", "SN-1_X"},
  };
  for (const auto& [serial, folder] : cases) EXPECT_EQ(serialFolderName(serial), folder) << serial;
}

TEST(HistoryStore, StoresANewConfigurationOnlyWhenItDiffersFromTheNewest) {
  const TempDir dir;
  const HistoryStore store(dir / "history");
  using Status = HistoryStore::Recorded::Status;
  const struct {
    HistoryEvent event;
    std::uint8_t mark;
    Status status;
  } steps[] = {
      {HistoryEvent::Read, 1, Status::Stored},         {HistoryEvent::Read, 1, Status::Unchanged},
      {HistoryEvent::Written, 1, Status::Stored},      {HistoryEvent::Read, 2, Status::Stored},
      {HistoryEvent::Read, 1, Status::Stored},         {HistoryEvent::BeforeWrite, 1, Status::Stored},
      {HistoryEvent::BeforeWrite, 1, Status::Unchanged},
  };
  for (const auto& step : steps) {
    const HistoryStore::Recorded recorded = store.record(makeHistoryEntry(kSerial, step.event, imageWith(step.mark), 112));
    EXPECT_EQ(recorded.status, step.status) << eventName(step.event) << " " << int(step.mark);
    std::this_thread::sleep_for(std::chrono::microseconds(2));  // names sort by time
  }
  Warnings warnings;
  const std::vector<HistoryEntry> entries = store.entries(warnings.sink());
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries.front().event, HistoryEvent::BeforeWrite) << "newest first";
  EXPECT_EQ(entries.back().event, HistoryEvent::Read);
  EXPECT_TRUE(warnings.lines.empty());
  // An id typed in upper case names its entry; another tracker's serial lists nothing.
  std::string upper = entries[2].id;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  ASSERT_TRUE(store.find(upper, warnings.sink()).has_value());
  EXPECT_EQ(store.find(upper, warnings.sink())->image, entries[2].image);
  EXPECT_FALSE(store.find("000000000000", warnings.sink()).has_value());
  EXPECT_EQ(store.entries(warnings.sink(), std::string("300024000f5138333536a07f")).size(), 5u);
  EXPECT_TRUE(store.entries(warnings.sink(), std::string("00112233445566778899AABB")).empty());
}

TEST(HistoryStore, ForeignAndDamagedFilesAreSkippedWithAWarningAndKept) {
  const TempDir dir;
  const HistoryStore store(dir / "history");
  const HistoryEntry good = makeHistoryEntry(kSerial, HistoryEvent::Read, imageWith(3), 112);
  ASSERT_EQ(store.record(good).status, HistoryStore::Recorded::Status::Stored);
  const fs::path tracker = store.pathOf(good).parent_path();
  HistoryEntry elsewhere = makeHistoryEntry("00112233445566778899AABB", HistoryEvent::Read, imageWith(4), 112);
  const std::vector<std::pair<fs::path, std::string>> foreign = {
      {dir / "history" / "notes.txt", "my notes"},
      {tracker / "backup.bin", std::string(kImageSize, '\0')},
      {tracker / entryFileName(makeHistoryEntry(kSerial, HistoryEvent::Read, imageWith(5), 112)), "cut off"},
      // An entry of another tracker in this tracker's folder.
      {tracker / entryFileName(elsewhere), encodeEntry(elsewhere)},
  };
  for (const auto& [path, bytes] : foreign) writeFile(path, bytes);
  // Another program's entry being written right now is no foreign file.
  writeFile(tracker / (entryFileName(elsewhere) + ".tmp"), "half");
  writeFile(tracker / (entryFileName(good) + ".tmp123456"), "half, as earlier versions named it");

  Warnings warnings;
  const std::vector<HistoryEntry> entries = store.entries(warnings.sink());
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].id, good.id);
  ASSERT_EQ(warnings.lines.size(), foreign.size());
  for (const auto& [path, bytes] : foreign) {
    const std::string name = utf8FromPath(path);
    EXPECT_EQ(std::count_if(warnings.lines.begin(), warnings.lines.end(),
                            [&](const std::string& line) { return line.rfind("skipped " + name + ": ", 0) == 0; }),
              1)
        << name;
    EXPECT_EQ(readFile(path), bytes) << name << " is left as it was";
  }
  // Pruning to nothing removes entries only.
  store.prune(0, std::nullopt, warnings.sink());
  EXPECT_FALSE(fs::exists(store.pathOf(good)));
  for (const auto& [path, bytes] : foreign) EXPECT_TRUE(fs::exists(path)) << path;
}

TEST(HistoryStore, TwoWritersAtOnceLoseNoEntry) {
  const TempDir dir;
  constexpr int kEach = 60;
  const auto writer = [&](std::uint8_t first) {
    const HistoryStore store(dir / "history");  // each writer its own, as two programs have
    for (int k = 0; k < kEach; ++k) {
      Image image = imageWith(first);
      image[20] = static_cast<std::uint8_t>(k);
      EXPECT_EQ(store.record(makeHistoryEntry(kSerial, HistoryEvent::Read, image, 112)).status,
                HistoryStore::Recorded::Status::Stored);
    }
  };
  std::thread a(writer, 1), b(writer, 2);
  a.join();
  b.join();
  Warnings warnings;
  EXPECT_EQ(HistoryStore(dir / "history").entries(warnings.sink()).size(), 2u * kEach);
  EXPECT_TRUE(warnings.lines.empty());
}

TEST(HistoryStore, PruneKeepsTheNewestOfEachTracker) {
  const TempDir dir;
  const HistoryStore store(dir / "history");
  for (int k = 0; k < 5; ++k) store.record(makeHistoryEntry(kSerial, HistoryEvent::Read, imageWith(std::uint8_t(k)), 112));
  for (int k = 0; k < 2; ++k) store.record(makeHistoryEntry("AB", HistoryEvent::Read, imageWith(std::uint8_t(k)), 112));
  Warnings warnings;
  const std::vector<HistoryEntry> before = store.entries(warnings.sink(), std::string(kSerial));
  const auto pruned = store.prune(2, std::nullopt, warnings.sink());
  ASSERT_EQ(pruned.size(), 2u);
  for (const auto& tracker : pruned) {
    EXPECT_EQ(tracker.kept, 2u) << tracker.serial;
    EXPECT_EQ(tracker.removed, tracker.serial == "AB" ? 0u : 3u) << tracker.serial;
  }
  const std::vector<HistoryEntry> after = store.entries(warnings.sink(), std::string(kSerial));
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0].id, before[0].id);
  EXPECT_EQ(after[1].id, before[1].id);
  EXPECT_TRUE(warnings.lines.empty());
}

#if !defined(_WIN32)
TEST(HistoryStore, FolderFromTheEnvironment) {
  const struct {
    const char* override;
    const char* dataHome;
    const char* home;
    std::optional<fs::path> folder;
  } cases[] = {
      {"/srv/h", "/data", "/home/u", fs::path("/srv/h")},
      {nullptr, "/data", "/home/u", fs::path("/data/aprs-trekmor/history")},
      {nullptr, "relative", "/home/u", fs::path("/home/u/.local/share/aprs-trekmor/history")},
      {nullptr, nullptr, "/home/u", fs::path("/home/u/.local/share/aprs-trekmor/history")},
      {nullptr, nullptr, nullptr, std::nullopt},
  };
  const auto set = [](const char* name, const char* value) {
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  };
  const char* saved[3] = {std::getenv("TREKMOR_HISTORY_DIR"), std::getenv("XDG_DATA_HOME"), std::getenv("HOME")};
  const std::string copies[3] = {saved[0] ? saved[0] : "", saved[1] ? saved[1] : "", saved[2] ? saved[2] : ""};
  for (const auto& c : cases) {
    set("TREKMOR_HISTORY_DIR", c.override);
    set("XDG_DATA_HOME", c.dataHome);
    set("HOME", c.home);
    EXPECT_EQ(HistoryStore::defaultFolder(), c.folder) << (c.folder ? c.folder->string() : "none");
  }
  set("TREKMOR_HISTORY_DIR", saved[0] ? copies[0].c_str() : nullptr);
  set("XDG_DATA_HOME", saved[1] ? copies[1].c_str() : nullptr);
  set("HOME", saved[2] ? copies[2].c_str() : nullptr);
}
#endif

}  // namespace
}  // namespace trekmor
