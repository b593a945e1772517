// One configuration a tracker held: the whole 5120-byte image with the
// tracker's serial number, when and how it passed (read, written, kept before
// a write or a firmware upload) and the firmware the tracker reported. Each
// entry is one file of its own, a few header lines and the image.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "image/image.h"

namespace trekmor {

enum class HistoryEvent { Read, Written, BeforeWrite, BeforeFirmware };

// "read", "written", "before-write", "before-firmware".
std::string_view eventName(HistoryEvent event);

struct HistoryEntry {
  std::string id;             // 12 lower-case hexadecimal digits, made when the entry is
  std::string serial;         // the tracker's serial number
  std::int64_t timeUs = 0;    // microseconds since 1970-01-01 00:00 UTC
  HistoryEvent event = HistoryEvent::Read;
  std::optional<std::uint32_t> firmwareVersion;  // in hundredths; unknown when the tracker was not asked
  // A write that broke off: the page (counted from 1) whose write failed; the
  // image then holds the pages sent before it and zeros after. 0: no break.
  int brokeOffAtPage = 0;
  Image image{};

  // Everything but the id and the time: the same configuration passing the
  // same way again.
  bool sameContent(const HistoryEntry& other) const;
  // The image passes the integrity and version tests.
  bool valid() const;
};

// What happened, as the history's list shows it: the event's name, and for a
// write that broke off the page it broke off at ("written, broke off at page 7/160").
std::string eventDescription(const HistoryEntry& entry);

// A new entry made now, with an id of its own. Line breaks and other
// control characters of a serial number become '?'.
HistoryEntry makeHistoryEntry(std::string_view serial, HistoryEvent event, const Image& image,
                              std::optional<std::uint32_t> firmwareVersion, int brokeOffAtPage = 0);

// The file's bytes, and the entry they hold (nothing for any other bytes).
std::string encodeEntry(const HistoryEntry& entry);
std::optional<HistoryEntry> decodeEntry(std::string_view bytes);

// "20250601T101112.123456Z-0123456789ab.entry": sorted by name is sorted by time.
std::string entryFileName(const HistoryEntry& entry);
// The id in an entry's file name; nothing for a name that is not one.
std::optional<std::string> idInFileName(std::string_view name);

// The folder of a tracker's entries: the serial number in upper case, any
// byte other than a letter, digit, '-' or '_' as %XX; "unknown" when empty.
std::string serialFolderName(std::string_view serial);

// "2025-06-01T10:11:12.123456Z", as the entry stores it.
std::string utcTimeText(std::int64_t timeUs);
// "2025-06-01T12:11:12+02:00": the local time with its offset from UTC.
std::string localTimeText(std::int64_t timeUs);

}  // namespace trekmor
