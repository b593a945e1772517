// Water-level module (WXTideMarker) settings: the module's own relay,
// measurement and calculation settings, and the sensor alarm, emergency and
// input level beacons the device sends about it. Image offsets 100..304,
// section [WXTideMarker]; every number is kept in the file as typed.
#include "settings/registry.h"

namespace trekmor {

namespace {

constexpr const char* kSection = "WXTideMarker";

// Numeric edits of this module are saved as text, unlike those of other groups.
FieldDecl edit(std::string control, std::string caption, std::string hint, int maxLength, std::string start) {
  std::string key = control;
  return editField(std::move(control), std::move(caption), std::move(hint), maxLength, std::move(start), kSection,
                   std::move(key));
}

FieldDecl combo(std::string control, std::string caption, std::vector<std::string> choices, int start) {
  // The hints of this module's lists repeat their captions without the colon.
  std::string hint = caption.substr(0, caption.size() - 1);
  std::string key = control;
  return comboField(std::move(control), std::move(caption), std::move(hint), std::move(choices), start, kSection,
                    std::move(key));
}

// "1", "2", ... up to `count`.
std::vector<std::string> counting(int count) {
  std::vector<std::string> items;
  for (int k = 1; k <= count; ++k) items.push_back(std::to_string(k));
  return items;
}

// The three beacons share one record layout and one run of eight keys.
struct Beacon {
  std::string name;          // "alarmbeacon", the middle of control names and messages
  std::size_t record;        // offset of the destination address
  std::string destHint;      // first words of the destination hints
  std::string reportHint;    // first words of the path, rate and comment hints
  std::string rateHint;      // first words of the rate hint
  std::string commentHint;   // the comment hint
  std::string comment;       // the comment's start value

  std::string control(const std::string& suffix) const { return "Wxtidemarker_" + name + "_" + suffix; }
};

const Beacon kAlarm{"alarmbeacon",          116, "Sensor alarm destination",    "Sensor alarm report",
                    "Sensor alarm report",  "Sensor alarm report comment.", ">WXTideMarker ALARM L=<depth>cm"};
const Beacon kEmergency{"emergencybeacon",   180, "Emergency beacon destination", "Emergency beacon report",
                        "Emergency beacon",  "Emergency beacon report comment.", ">WXTideMarker CONNECT error"};
const Beacon kInput{"inputbeacon",        244, "Input level alarm destination", "Input level alarm report",
                    "Input level alarm",  "Input level alarm comment.", ">WXTideMarker INPUT L=<depth>cm"};

// The eight rows of one beacon record: destination, path 1, path 2, rate and
// comment.
void addBeacon(Group& g, const Beacon& b, const Tab& tab) {
  const std::string pathHint = b.reportHint + " path.";
  const std::string ssidHint = b.reportHint + " SSID.";
  const std::string prefix = "WXTideMarker " + b.name;
  const auto address = [&](const std::string& part, const char* caption, const std::string& hint, const char* start,
                           const std::string& partSsidHint, const char* ssidStart, std::size_t offset,
                           const char* words) {
    const std::string label = prefix + " " + words;
    g.addAddress(edit(b.control(part + "_string"), caption, hint, 6, start)
                     .on(tab)
                     .address(offset, label + " - SSID range error (0 - 15).", label),
                 edit(b.control(part + "_ssid"), "", partSsidHint, 2, ssidStart).on(tab));
  };
  address("dest", "Dest:", b.destHint + " to-call.", "APQT0A", b.destHint + " SSID.", "0", b.record, "destination");
  address("path1", "Path 1:", pathHint, "WIDE1", ssidHint, "1", b.record + 7, "path 1");
  address("path2", "Path 2:", pathHint, "WIDE2", ssidHint, "1", b.record + 14, "path 2");
  // Three unused bytes follow the addresses; the rate is 4 bytes, the
  // comment 32 characters and its NUL.
  g.add(edit(b.control("txrate"), "RF[min]:", b.rateHint + " TX rate to RF (minutes).", 3, "5")
            .on(tab)
            .number(b.record + 24, 4, RangeCheck::Unsigned, 5, 1440, prefix + " tx rate range error (5 - 1440)."));
  FieldDecl comment = edit(b.control("comment"), "Comment:", b.commentHint, 32, b.comment)
                          .on(tab)
                          .textAt(b.record + 28, 33, prefix + " comment");
  comment.text.freeTextMessage = prefix + " comment - forbidden characters.";
  g.add(std::move(comment));
}

FieldDecl&& signedNumber(FieldDecl&& row) {
  row.signedValue = true;
  return std::move(row);
}

Group makeWaterLevel() {
  Group g("Water-level module");
  // Relay times keep their low 8 bits and the offset its low 16 bits without
  // a message: stored configurations rely on it, and the labels beside the
  // fields give the ranges.
  const auto internal = [](FieldDecl f) { return std::move(f).on(tabs::kWaterLevelInternal); };
  g.add(internal(edit("Wxtidemarker_relay_on_time", "Relay ON time before measurement [s]:", "", 5, "30")).number(100, 1));
  g.add(internal(edit("Wxtidemarker_relay_off_time", "Relay OFF time before measurement [s]:", "", 5, "10"))
            .number(101, 1));
  g.add(internal(edit("Wxtidemarker_meas_interval", "Measurement interval [s]:", "", 5, "300"))
            .number(102, 2, RangeCheck::Unsigned, 60, 3600,
                    "WXTideMarker measurement interval - range error (60 - 3600)."));
  // A file without the key has always meant six samples.
  g.add(internal(combo("Wxtidemarker_samples_avg", "Number of samples for averaging:", counting(16), 4))
            .missingValue("5")
            .choice(104));
  g.padding = {{105, 1}};
  const auto calculations = [](FieldDecl f) { return std::move(f).on(tabs::kWaterLevelCalculations); };
  g.add(signedNumber(calculations(edit("Wxtidemarker_coeff_fullscale", "Fullscale coeffcient:",
                                       "Measurement calculation fullscale coefficient", 5, "1000"))
                         .number(106, 2, RangeCheck::Signed, 0, 32767,
                                 "WXTideMarker fullscale coefficient value - range error (0 - 32767).")));
  g.add(signedNumber(calculations(edit("Wxtidemarker_coeff_offset", "Offset coeffcient:", "", 5, "0")).number(108, 2)));
  const auto alarm = [](FieldDecl f) { return std::move(f).on(tabs::kWaterLevelAlarm); };
  g.add(alarm(combo("Wxtidemarker_alarmbeacon", "Sensor alarm enabled:", {"No", "Yes"}, 0)).choice(110));
  g.add(alarm(edit("Wxtidemarker_alarmbeacon_on_th", "Alarm beacon ON threshold value:",
                   "Alarm beacon ON threshold value", 5, "3277"))
            .number(112, 2, RangeCheck::Unsigned, 0, 32767,
                    "WXTideMarker alarmbeacon ON sensor threshold value - range error (0 - 32767)."));
  g.add(alarm(edit("Wxtidemarker_alarmbeacon_off_th", "Alarm beacon OFF threshold value:",
                   "Alarm beacon OFF threshold value", 5, "2949"))
            .number(114, 2, RangeCheck::Unsigned, 0, 32767,
                    "WXTideMarker alarmbeacon OFF sensor threshold value - range error (0 - 32767)."));
  addBeacon(g, kAlarm, tabs::kWaterLevelAlarm);
  // A switch and the list beside it head each of the other two records.
  const auto emergency = [](FieldDecl f) { return std::move(f).on(tabs::kWaterLevelEmergency); };
  g.add(emergency(combo("Wxtidemarker_emergencybeacon", "Emergency beacon enabled:", {"No", "Yes"}, 0)).choice(177));
  g.add(emergency(combo("Wxtidemarker_emergencybeacon_errors", "Number of errors to emergency beacon:", counting(8), 5))
            .choice(178, 2));
  addBeacon(g, kEmergency, tabs::kWaterLevelEmergency);
  const auto input = [](FieldDecl f) { return std::move(f).on(tabs::kWaterLevelInput); };
  g.add(input(combo("Wxtidemarker_inputbeacon", "Beacon on input change enabled:", {"No", "Yes"}, 0)).choice(241));
  g.add(input(combo("Wxtidemarker_inputbeacon_level", "Beacon on input change to:", {"Shorted", "Open"}, 1))
            .choice(242, 2));
  addBeacon(g, kInput, tabs::kWaterLevelInput);
  return g;
}

}  // namespace

const Group& waterLevelGroup() {
  static const Group group = makeWaterLevel();
  return group;
}

}  // namespace trekmor
