// Beacons: four freely worded beacons, each with destination, a two-element
// path, interval, send condition and message. Image offsets 480..991 (one
// 128-byte block per beacon), section [Beacons].
#include "settings/registry.h"

namespace trekmor {

namespace {

constexpr const char* kSection = "Beacons";
constexpr int kBeaconCount = 4;
constexpr std::size_t kFirstBlock = 480;
constexpr std::size_t kBlockSize = 128;
constexpr std::size_t kMessageOffset = 29;  // in the block, up to its end

FieldDecl edit(std::string control, std::string caption, std::string hint, int maxLength, std::string start,
               FileForm form = FileForm::Text) {
  std::string key = control;
  return editField(std::move(control), std::move(caption), std::move(hint), maxLength, std::move(start), kSection,
                   std::move(key), form)
      .on(tabs::kBeacons);
}

std::string beacon(int k, const char* suffix) { return "Beacon" + std::to_string(k) + suffix; }

const char* const kDefaultMessages[kBeaconCount] = {
    "/<gpsdate>z<gpslat>/<gpslong>>APRS Trekmor U=<volt>V.",
    "!<statlat>/<statlong>>APRS Trekmor U=<volt>V.",
    "!<statlat>/<statlong>>APRS Trekmor U=<volt>V, T=<temp>C.",
    "",
};

Group makeBeacons() {
  Group g("Beacons");
  // The file holds the nine keys of each beacon in turn.
  for (int k = 1; k <= kBeaconCount; ++k) {
    const bool first = k == 1;
    const std::string number = std::to_string(k);
    const std::size_t block = kFirstBlock + kBlockSize * std::size_t(k - 1);
    const std::string name = "Beacon " + number;
    // The column captions stand once above the four rows (see the tab); the
    // SSID edits carry the "-" between name and SSID.
    const auto address = [&](const char* part, const char* hint, const char* start, const char* ssidHint,
                             const char* ssidStart, std::size_t offset, const std::string& words) {
      g.addAddress(edit(beacon(k, part) + "_string", "", hint, 6, start)
                       .address(block + offset, name + " " + words + " - SSID range error (0 - 15).",
                                name + " " + words),
                   edit(beacon(k, part) + "_ssid", "-", ssidHint, 2, ssidStart));
    };
    const std::string destHint = "Beacon " + number + " destination to-call.";
    const std::string destSsidHint = "Beacon " + number + " destination SSID.";
    address("_dest", destHint.c_str(), "APQT0A", destSsidHint.c_str(), "0", 0, "destination");
    address("_path1", "Beacon path.", "WIDE1", "Beacon SSID.", "1", 7, "path 1");
    address("_path2", "Beacon path.", "WIDE2", "Beacon SSID.", "1", 14, "path 2");
    g.padding.push_back({block + 21, 3});
    g.add(edit(beacon(k, "_txrate"), "", "Beacon TX rate to RF (minutes).", 4, first ? "30" : "5", FileForm::Number)
              .number(block + 24, 4, RangeCheck::Unsigned, 5, 1440, name + " tx rate range error (5 - 1440)."));
    FieldDecl enable;
    enable.control = beacon(k, "_enable");
    enable.widget = Widget::Combo;
    enable.hint = "Beacon is enabled if this condition is met.";
    enable.choices = {"Never", "Always", "GPS fixed", "GPS not fixed"};
    enable.start = first ? "2" : "0";
    enable.section = kSection;
    enable.key = enable.control;
    enable.form = FileForm::Index;
    enable.missing = enable.start;
    g.add(std::move(enable).on(tabs::kBeacons).choice(block + 28));

    // Typed text is single-line; line breaks can only arrive by pasting or
    // from a file, and the pack leaves them out.
    FieldDecl message = edit(beacon(k, "_message"), "", "Beacon message. Please check \"Special strings\".", 96,
                             kDefaultMessages[k - 1])
                            .textAt(block + kMessageOffset, kBlockSize - kMessageOffset, name + " message");
    message.widget = Widget::RichEdit;
    message.key = beacon(k, "_msg");
    message.text.dropLineBreaks = true;
    message.text.freeTextMessage = name + " message - forbidden characters.";
    g.add(std::move(message));
  }
  return g;
}

}  // namespace

const Group& beaconsGroup() {
  static const Group group = makeBeacons();
  return group;
}

}  // namespace trekmor
