// The trackers present on the bus and the choice among them. With a single
// tracker and no choice the first one found is used, as it always was; with
// several, an operation must be told which one before it opens any.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace trekmor {

// A tracker present on the bus: the system's path to it and the serial number
// its USB descriptor gives (24 hexadecimal digits on the APRS Trekmor).
struct TrackerInfo {
  std::string path;
  std::string serial;
  bool operator==(const TrackerInfo&) const = default;
};

// What the user asked for: a tracker by serial number, by path, or neither.
struct TrackerRequest {
  std::optional<std::string> serial;
  std::optional<std::string> path;
};

struct TrackerChoice {
  enum class Status {
    FirstFound,     // nothing asked and at most one present: open the first found, as always
    Chosen,         // the tracker asked for is present
    Several,        // nothing asked, several present: the user must choose
    UnknownSerial,  // no present tracker has the serial asked for
    UnknownPath,    // no present tracker has the path asked for
  };
  Status status = Status::FirstFound;
  std::optional<TrackerInfo> tracker;  // for Chosen
};

// Serial numbers match without regard to letter case.
bool sameSerial(std::string_view a, std::string_view b);

TrackerChoice chooseTracker(std::span<const TrackerInfo> present, const TrackerRequest& request);

}  // namespace trekmor
