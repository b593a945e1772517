// Beacons: four freely worded beacons, each with destination, a two-element
// path, interval, send condition and message. Image offsets 480..991 (one
// 128-byte block per beacon), section [Beacons].
#include <array>

#include "settings/registry.h"

namespace trekmor {

namespace {

constexpr const char* kSection = "Beacons";
constexpr int kBeaconCount = 4;
constexpr std::size_t kFirstBlock = 480;
constexpr std::size_t kBlockSize = 128;
constexpr std::size_t kMessageOffset = 29;  // in the block, up to its end
constexpr const char* kSpecialStringsButton = "Button_special_strings";

FieldDecl edit(std::string control, std::string caption, std::string hint, int maxLength, std::string start,
               FileForm form = FileForm::Text) {
  std::string key = control;
  return editField(std::move(control), std::move(caption), std::move(hint), maxLength, std::move(start), kSection,
                   std::move(key), form);
}

std::string beacon(int k, const char* suffix) { return "Beacon" + std::to_string(k) + suffix; }

const char* const kDefaultMessages[kBeaconCount] = {
    "/<gpsdate>z<gpslat>/<gpslong>>APRS Trekmor U=<volt>V.",
    "!<statlat>/<statlong>>APRS Trekmor U=<volt>V.",
    "!<statlat>/<statlong>>APRS Trekmor U=<volt>V, T=<temp>C.",
    "",
};

Group makeBeacons() {
  Group g;
  g.name = "Beacons";
  for (int k = 1; k <= kBeaconCount; ++k) {
    const bool first = k == 1;
    const std::string number = std::to_string(k);
    // The column captions stand once above the four rows (see the tab); the
    // SSID edits carry the "-" between name and SSID.
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

    // Typed text is single-line; line breaks can only arrive by pasting or
    // from a file, and the pack leaves them out.
    FieldDecl message = edit(beacon(k, "_message"), "", "Beacon message. Please check \"Special strings\".", 96,
                             kDefaultMessages[k - 1]);
    message.widget = Widget::RichEdit;
    message.key = beacon(k, "_msg");

    const std::array row{
        edit(beacon(k, "_dest_string"), "", "Beacon " + number + " destination to-call.", 6, "APQT0A"),
        edit(beacon(k, "_dest_ssid"), "-", "Beacon " + number + " destination SSID.", 2, "0"),
        edit(beacon(k, "_path1_string"), "", "Beacon path.", 6, "WIDE1"),
        edit(beacon(k, "_path1_ssid"), "-", "Beacon SSID.", 2, "1"),
        edit(beacon(k, "_path2_string"), "", "Beacon path.", 6, "WIDE2"),
        edit(beacon(k, "_path2_ssid"), "-", "Beacon SSID.", 2, "1"),
        edit(beacon(k, "_txrate"), "", "Beacon TX rate to RF (minutes).", 4, first ? "30" : "5", FileForm::Number),
        enable,
        message,
    };
    const auto& [dest, destSsid, path1, path1Ssid, path2, path2Ssid, rate, condition, text] = row;
    g.fields.insert(g.fields.end(), row.begin(), row.end());

    const std::size_t block = kFirstBlock + kBlockSize * std::size_t(k - 1);
    const std::string name = "Beacon " + number;
    StepDecl messageStep = textStep(text, block + kMessageOffset, kBlockSize - kMessageOffset, name + " message");
    messageStep.text.dropLineBreaks = true;
    messageStep.text.freeTextMessage = name + " message - forbidden characters.";
    const std::vector<StepDecl> steps = {
        addressStep(dest, destSsid, block, name + " destination - SSID range error (0 - 15).", name + " destination"),
        addressStep(path1, path1Ssid, block + 7, name + " path 1 - SSID range error (0 - 15).", name + " path 1"),
        addressStep(path2, path2Ssid, block + 14, name + " path 2 - SSID range error (0 - 15).", name + " path 2"),
        zeroStep(block + 21, 3),
        numberStep(rate, block + 24, 4, RangeCheck::Unsigned, 5, 1440, name + " tx rate range error (5 - 1440)."),
        choiceStep(condition, block + 28),
        messageStep,
    };
    g.steps.insert(g.steps.end(), steps.begin(), steps.end());
  }
  // The file holds the nine keys of each beacon in turn, in field order.
  g.buttons = {{kSpecialStringsButton, [](Fields&, UserInterface& ui) { ui.showSpecialStrings(); }}};
  return g;
}

}  // namespace

const Group& beaconsGroup() {
  static const Group group = makeBeacons();
  return group;
}

Page beaconsTab() {
  Page beacons = page("TabSheet_beacons", "Beacons");
  // Columns: name "-" SSID for destination and path 1, ",", name "-" SSID for
  // path 2, interval, condition, and the message, which takes the spare
  // width. The "Special strings" button sits at the top right, over the
  // right end of the message column.
  beacons.rows.push_back(Row{{labelCell("Dest:", {}, 3), labelCell("Path 1:", {}, 3), emptyCell(),
                              labelCell("Path 2:", {}, 3), labelCell("RF[min]:"), labelCell("Enable if:"),
                              labelCell("Message (empty fields are ignored):"),
                              buttonCell(kSpecialStringsButton, "Special strings", "")},
                             false});
  for (int k = 1; k <= kBeaconCount; ++k) {
    beacons.rows.push_back(
        Row{{fieldCell(beacon(k, "_dest_string")), captionCell(beacon(k, "_dest_ssid")), fieldCell(beacon(k, "_dest_ssid")),
             fieldCell(beacon(k, "_path1_string")), captionCell(beacon(k, "_path1_ssid")),
             fieldCell(beacon(k, "_path1_ssid")), labelCell(","), fieldCell(beacon(k, "_path2_string")),
             captionCell(beacon(k, "_path2_ssid")), fieldCell(beacon(k, "_path2_ssid")), fieldCell(beacon(k, "_txrate")),
             fieldCell(beacon(k, "_enable")), fieldCell(beacon(k, "_message"), 2)},
            false});
  }
  beacons.stretchColumn = 12;
  return beacons;
}

}  // namespace trekmor
