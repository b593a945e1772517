#include "device/trackers.h"

#include <algorithm>

namespace trekmor {

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool sameSerial(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return upper(x) == upper(y); });
}

TrackerChoice chooseTracker(std::span<const TrackerInfo> present, const TrackerRequest& request) {
  using Status = TrackerChoice::Status;
  if (request.serial || request.path) {
    const auto found = std::find_if(present.begin(), present.end(), [&](const TrackerInfo& tracker) {
      return request.serial ? sameSerial(tracker.serial, *request.serial) : tracker.path == *request.path;
    });
    if (found == present.end()) return {request.serial ? Status::UnknownSerial : Status::UnknownPath, {}};
    return {Status::Chosen, *found};
  }
  return {present.size() > 1 ? Status::Several : Status::FirstFound, {}};
}

}  // namespace trekmor
