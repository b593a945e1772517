#include "history/store.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "platform/filename.h"
#include "platform/wholefile.h"

namespace trekmor {

namespace fs = std::filesystem;

namespace {

// An entry's file is a little over 5 KB; anything far larger is no entry.
constexpr std::size_t kEntryLimit = 16 * 1024;
constexpr std::string_view kAppFolder = "aprs-trekmor";
// In each tracker's folder: the file name of its newest entry, so that a new
// entry is compared with it without reading the whole folder. Only a hint: a
// missing or stale one costs a look through the folder or, with two programs
// at once, an entry kept twice, never an entry lost.
constexpr std::string_view kNewestFile = ".newest";

std::optional<fs::path> environmentPath(const char* name) {
#if defined(_WIN32)
  // Windows keeps the environment in UTF-16; _wgetenv gives every letter.
  const std::wstring wide(name, name + std::char_traits<char>::length(name));
  const wchar_t* value = _wgetenv(wide.c_str());
  if (value == nullptr || *value == L'\0') return std::nullopt;
  return fs::path(value);
#else
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return fs::path(value);
#endif
}

std::string described(const fs::path& path, const std::error_code& error) {
  return utf8FromPath(path) + ": " + error.message();
}

// A file another program is filling right now ("NAME.entry.tmp", or
// "NAME.entry.tmpNNN" as earlier versions named it): about to be renamed
// into place, not a foreign file.
bool isEntryInProgress(std::string_view name) {
  const std::size_t mark = name.rfind(".tmp");
  if (mark == std::string_view::npos || !idInFileName(name.substr(0, mark))) return false;
  const std::string_view digits = name.substr(mark + 4);
  return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<HistoryEntry> readEntry(const fs::path& path) {
  const std::optional<std::string> bytes = readWholeFile(path, kEntryLimit);
  if (!bytes) return std::nullopt;
  return decodeEntry(*bytes);
}

// The newest entry's file in a tracker's folder.
std::optional<fs::path> newestEntry(const fs::path& folder) {
  if (const auto hint = readWholeFile(folder / kNewestFile, 64)) {
    std::error_code error;
    if (idInFileName(*hint) && fs::is_regular_file(folder / *hint, error)) return folder / *hint;
  }
  std::optional<fs::path> newest;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = utf8FromPath(it->path().filename());
    if (idInFileName(name) && (!newest || name > utf8FromPath(newest->filename()))) newest = it->path();
  }
  return newest;
}

// Writes the whole file under a name of its own and renames it into place,
// so that no reader ever sees half an entry. The entry is not flushed to the
// disk first: that would cost several milliseconds per entry on a common
// disk, and a machine that fails before the system writes it back loses at
// most its newest entries, which the listing then skips as damaged.
// The entry's name holds its id, unique across processes, so the temporary
// name beside it is no other writer's either.
bool writeEntryFile(const fs::path& target, std::string_view bytes) {
  fs::path temporary = target;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      fs::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  fs::rename(temporary, target, error);
  if (error) fs::remove(temporary, error);
  return !error;
}

bool newerFirst(const HistoryEntry& a, const HistoryEntry& b) {
  return a.timeUs != b.timeUs ? a.timeUs > b.timeUs : a.id > b.id;
}

// The entries of one tracker's folder; `warn` hears of every file skipped.
void scanTracker(const fs::path& folder, const HistoryWarning& warn, std::vector<HistoryEntry>& out) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const fs::path& path = it->path();
    const std::string name = utf8FromPath(path.filename());
    const std::optional<std::string> id = idInFileName(name);
    if (!id) {
      if (!isEntryInProgress(name) && name != kNewestFile) warn("skipped " + utf8FromPath(path) + ": not a history entry");
      continue;
    }
    std::optional<HistoryEntry> entry = readEntry(path);
    if (!entry || entry->id != *id || serialFolderName(entry->serial) != utf8FromPath(folder.filename())) {
      warn("skipped " + utf8FromPath(path) + ": a damaged history entry");
      continue;
    }
    out.push_back(std::move(*entry));
  }
  if (error) warn("skipped " + described(folder, error));
}

}  // namespace

std::optional<fs::path> HistoryStore::defaultFolder() {
  if (auto folder = environmentPath("TREKMOR_HISTORY_DIR")) return folder;
#if defined(_WIN32)
  if (auto local = environmentPath("LOCALAPPDATA")) return *local / kAppFolder / "history";
#else
  // A relative XDG_DATA_HOME is invalid and ignored, as the XDG rules say.
  if (auto data = environmentPath("XDG_DATA_HOME"); data && data->is_absolute()) {
    return *data / kAppFolder / "history";
  }
  if (auto home = environmentPath("HOME")) return *home / ".local" / "share" / kAppFolder / "history";
#endif
  return std::nullopt;
}

fs::path HistoryStore::pathOf(const HistoryEntry& entry) const {
  return m_folder / pathFromUtf8(serialFolderName(entry.serial)) / pathFromUtf8(entryFileName(entry));
}

HistoryStore::Recorded HistoryStore::record(const HistoryEntry& entry) const {
  const fs::path target = pathOf(entry);
  const fs::path folder = target.parent_path();
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return {Recorded::Status::Failed, described(folder, error)};

  // Only the newest entry is compared, so the cost stays that of reading one
  // file whatever the history holds. Names sort by time.
  if (const std::optional<fs::path> newest = newestEntry(folder)) {
    const std::optional<HistoryEntry> last = readEntry(*newest);
    if (last && last->sameContent(entry)) return {Recorded::Status::Unchanged, {}};
  }
  if (!writeEntryFile(target, encodeEntry(entry))) {
    return {Recorded::Status::Failed, utf8FromPath(target) + ": cannot be written"};
  }
  // The hint is rewritten in place: creating a file costs more than the
  // rest of an entry together, and a hint read half-written is no name, so
  // the folder is looked through instead. Entry names all have the same
  // length, so the hint is overwritten without being truncated: on ext4 a
  // file truncated to nothing and written again is flushed to the disk as
  // it is closed, which cost milliseconds per entry.
  const fs::path hint = folder / kNewestFile;
  std::fstream existing(hint, std::ios::binary | std::ios::in | std::ios::out);
  if (existing) {
    existing << entryFileName(entry);
  } else {
    std::ofstream(hint, std::ios::binary) << entryFileName(entry);
  }
  return {Recorded::Status::Stored, {}};
}

std::vector<HistoryEntry> HistoryStore::entries(const HistoryWarning& warn,
                                                const std::optional<std::string>& serial) const {
  std::vector<HistoryEntry> found;
  std::error_code error;
  if (!fs::exists(m_folder, error)) return found;  // nothing recorded yet
  if (serial) {
    const fs::path folder = m_folder / pathFromUtf8(serialFolderName(*serial));
    if (fs::is_directory(folder, error)) scanTracker(folder, warn, found);
  } else {
    for (fs::directory_iterator it(m_folder, error), end; !error && it != end; it.increment(error)) {
      if (it->is_directory(error)) {
        scanTracker(it->path(), warn, found);
      } else {
        warn("skipped " + utf8FromPath(it->path()) + ": not a history entry");
      }
    }
    if (error) warn("skipped " + described(m_folder, error));
  }
  std::sort(found.begin(), found.end(), newerFirst);
  return found;
}

std::optional<HistoryEntry> HistoryStore::find(std::string_view id, const HistoryWarning& warn) const {
  // Ids are lower case; one typed in upper case still names its entry.
  std::string wanted(id);
  std::transform(wanted.begin(), wanted.end(), wanted.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  for (HistoryEntry& entry : entries(warn)) {
    if (entry.id == wanted) return std::move(entry);
  }
  return std::nullopt;
}

std::vector<HistoryStore::Pruned> HistoryStore::prune(std::size_t keep, const std::optional<std::string>& serial,
                                                      const HistoryWarning& warn) const {
  std::vector<Pruned> pruned;
  for (const HistoryEntry& entry : entries(warn, serial)) {  // newest first
    auto tracker = std::find_if(pruned.begin(), pruned.end(),
                                [&](const Pruned& p) { return serialFolderName(p.serial) == serialFolderName(entry.serial); });
    if (tracker == pruned.end()) tracker = pruned.insert(pruned.end(), Pruned{entry.serial, 0, 0});
    if (tracker->kept < keep) {
      ++tracker->kept;
      continue;
    }
    std::error_code error;
    if (fs::remove(pathOf(entry), error)) {
      ++tracker->removed;
    } else {
      warn("cannot remove " + described(pathOf(entry), error));
    }
  }
  return pruned;
}

}  // namespace trekmor
