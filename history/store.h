// The configuration history on disk: one folder per tracker serial number,
// one file per entry, each written atomically under a name no other process
// can choose, so that two programs recording at once lose nothing. A file
// that is no entry is skipped with a warning and left where it is.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/entry.h"

namespace trekmor {

// Receives one line of warning (a skipped file, a history that cannot be written).
using HistoryWarning = std::function<void(const std::string&)>;

class HistoryStore {
 public:
  explicit HistoryStore(std::filesystem::path folder) : m_folder(std::move(folder)) {}

  // The user's history folder: TREKMOR_HISTORY_DIR, else
  // $XDG_DATA_HOME/aprs-trekmor/history, else ~/.local/share/aprs-trekmor/history;
  // on Windows %LOCALAPPDATA%\aprs-trekmor\history. Nothing when none is known.
  static std::optional<std::filesystem::path> defaultFolder();

  const std::filesystem::path& folder() const { return m_folder; }

  struct Recorded {
    enum class Status { Stored, Unchanged, Failed };
    Status status = Status::Failed;
    std::string reason;  // for Failed: what could not be done, naming the file or folder
  };
  // Stores the entry unless the tracker's newest entry has the same content.
  Recorded record(const HistoryEntry& entry) const;

  // The entries, newest first; of one tracker only when `serial` is given
  // (any letter case).
  std::vector<HistoryEntry> entries(const HistoryWarning& warn, const std::optional<std::string>& serial = {}) const;
  // The entry with this id (any letter case).
  std::optional<HistoryEntry> find(std::string_view id, const HistoryWarning& warn) const;

  struct Pruned {
    std::string serial;
    std::size_t kept = 0;
    std::size_t removed = 0;
  };
  // Removes all but the `keep` newest entries of each tracker (of `serial`
  // only, when given); files that are no entries stay.
  std::vector<Pruned> prune(std::size_t keep, const std::optional<std::string>& serial,
                            const HistoryWarning& warn) const;

  // Where the entry's file is.
  std::filesystem::path pathOf(const HistoryEntry& entry) const;

 private:
  std::filesystem::path m_folder;
};

}  // namespace trekmor
