// Water-level module (WXTideMarker) settings: the module's own relay,
// measurement and calculation settings, and the sensor alarm, emergency and
// input level beacons the device sends about it. Image offsets 100..304,
// section [WXTideMarker]; every number is kept in the file as typed.
#include <array>

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

// The eight fields of one beacon record and its steps: destination, path 1,
// path 2, rate and comment.
void addBeacon(Group& g, const Beacon& b) {
  const std::string pathHint = b.reportHint + " path.";
  const std::string ssidHint = b.reportHint + " SSID.";
  const std::array fields{
      edit(b.control("dest_string"), "Dest:", b.destHint + " to-call.", 6, "APQT0A"),
      edit(b.control("dest_ssid"), "", b.destHint + " SSID.", 2, "0"),
      edit(b.control("path1_string"), "Path 1:", pathHint, 6, "WIDE1"),
      edit(b.control("path1_ssid"), "", ssidHint, 2, "1"),
      edit(b.control("path2_string"), "Path 2:", pathHint, 6, "WIDE2"),
      edit(b.control("path2_ssid"), "", ssidHint, 2, "1"),
      edit(b.control("txrate"), "RF[min]:", b.rateHint + " TX rate to RF (minutes).", 3, "5"),
      edit(b.control("comment"), "Comment:", b.commentHint, 32, b.comment),
  };
  const auto& [dest, destSsid, path1, path1Ssid, path2, path2Ssid, rate, commentText] = fields;
  g.fields.insert(g.fields.end(), fields.begin(), fields.end());

  const std::string prefix = "WXTideMarker " + b.name;
  const auto address = [&](const FieldDecl& name, const FieldDecl& ssid, std::size_t offset, const char* words) {
    const std::string label = prefix + " " + words;
    g.steps.push_back(addressStep(name, ssid, offset, label + " - SSID range error (0 - 15).", label));
  };
  address(dest, destSsid, b.record, "destination");
  address(path1, path1Ssid, b.record + 7, "path 1");
  address(path2, path2Ssid, b.record + 14, "path 2");
  // Three unused bytes follow the addresses; the rate is 4 bytes, the
  // comment 32 characters and its NUL.
  g.steps.push_back(
      numberStep(rate, b.record + 24, 4, RangeCheck::Unsigned, 5, 1440, prefix + " tx rate range error (5 - 1440)."));
  StepDecl comment = textStep(commentText, b.record + 28, 33, prefix + " comment");
  comment.text.freeTextMessage = prefix + " comment - forbidden characters.";
  g.steps.push_back(comment);
}

StepDecl signedNumber(StepDecl step) {
  step.signedValue = true;
  return step;
}

// A switch and the list beside it that head a beacon record.
void addBeaconSwitches(Group& g, const FieldDecl& enable, std::size_t enableOffset, const FieldDecl& choice,
                       std::size_t choiceOffset) {
  g.fields.insert(g.fields.end(), {enable, choice});
  g.steps.push_back(choiceStep(enable, enableOffset));
  g.steps.push_back(choiceStep(choice, choiceOffset, 2));
}

Group makeWaterLevel() {
  FieldDecl samplesField = combo("Wxtidemarker_samples_avg", "Number of samples for averaging:", counting(16), 4);
  samplesField.missing = "5";  // a file without the key has always meant six samples
  const std::array fields{
      edit("Wxtidemarker_relay_on_time", "Relay ON time before measurement [s]:", "", 5, "30"),
      edit("Wxtidemarker_relay_off_time", "Relay OFF time before measurement [s]:", "", 5, "10"),
      edit("Wxtidemarker_meas_interval", "Measurement interval [s]:", "", 5, "300"),
      samplesField,
      edit("Wxtidemarker_coeff_fullscale", "Fullscale coeffcient:", "Measurement calculation fullscale coefficient", 5,
           "1000"),
      edit("Wxtidemarker_coeff_offset", "Offset coeffcient:", "", 5, "0"),
      combo("Wxtidemarker_alarmbeacon", "Sensor alarm enabled:", {"No", "Yes"}, 0),
      edit("Wxtidemarker_alarmbeacon_on_th", "Alarm beacon ON threshold value:", "Alarm beacon ON threshold value", 5,
           "3277"),
      edit("Wxtidemarker_alarmbeacon_off_th", "Alarm beacon OFF threshold value:", "Alarm beacon OFF threshold value",
           5, "2949"),
  };
  const auto& [relayOn, relayOff, interval, samples, fullscale, offset, alarm, alarmOn, alarmOff] = fields;
  Group g;
  g.name = "Water-level module";
  g.fields.assign(fields.begin(), fields.end());

  // Relay times keep their low 8 bits and the offset its low 16 bits without
  // a message: stored configurations rely on it, and the labels beside the
  // fields give the ranges.
  g.steps = {
      numberStep(relayOn, 100, 1),
      numberStep(relayOff, 101, 1),
      numberStep(interval, 102, 2, RangeCheck::Unsigned, 60, 3600,
                 "WXTideMarker measurement interval - range error (60 - 3600)."),
      choiceStep(samples, 104),
      zeroStep(105),
      signedNumber(numberStep(fullscale, 106, 2, RangeCheck::Signed, 0, 32767,
                              "WXTideMarker fullscale coefficient value - range error (0 - 32767).")),
      signedNumber(numberStep(offset, 108, 2)),
      choiceStep(alarm, 110),
      numberStep(alarmOn, 112, 2, RangeCheck::Unsigned, 0, 32767,
                 "WXTideMarker alarmbeacon ON sensor threshold value - range error (0 - 32767)."),
      numberStep(alarmOff, 114, 2, RangeCheck::Unsigned, 0, 32767,
                 "WXTideMarker alarmbeacon OFF sensor threshold value - range error (0 - 32767)."),
  };
  addBeacon(g, kAlarm);
  addBeaconSwitches(g, combo("Wxtidemarker_emergencybeacon", "Emergency beacon enabled:", {"No", "Yes"}, 0), 177,
                    combo("Wxtidemarker_emergencybeacon_errors", "Number of errors to emergency beacon:", counting(8), 5),
                    178);
  addBeacon(g, kEmergency);
  addBeaconSwitches(g, combo("Wxtidemarker_inputbeacon", "Beacon on input change enabled:", {"No", "Yes"}, 0), 241,
                    combo("Wxtidemarker_inputbeacon_level", "Beacon on input change to:", {"Shorted", "Open"}, 1), 242);
  addBeacon(g, kInput);
  return g;
}

Row rangeRow(const std::string& control, std::string range) {
  Row row = formRow(control);
  row.cells.push_back(labelCell(std::move(range)));
  return row;
}

// The rows shared by the three beacon tabs: destination and two paths in one
// line, then the rate and the comment. The line starts in the field column,
// so that the destination edit (or, behind a title, its caption) lines up
// with the fields above and below it.
std::vector<Row> beaconRows(const Beacon& b, const std::string& title, int columns) {
  const auto address = [&](const std::string& part) {
    return std::vector<Cell>{captionCell(b.control(part + "_string")), fieldCell(b.control(part + "_string")),
                             labelCell("-"), fieldCell(b.control(part + "_ssid"))};
  };
  std::vector<Cell> line;
  for (const std::string part : {"dest", "path1"}) {
    for (Cell& cell : address(part)) line.push_back(cell);
  }
  line.push_back(labelCell(","));
  for (Cell& cell : address("path2")) line.push_back(cell);
  Cell first = labelCell(title);
  if (title.empty()) {
    first = line.front();  // the "Dest:" caption
    line.erase(line.begin());
  }
  Row addresses{{first, inlineCell(std::move(line), columns - 1)}, false};
  return {addresses, formRow(b.control("txrate")),
          Row{{captionCell(b.control("comment")), fieldCell(b.control("comment"), columns - 1)}, false}};
}

// Three columns: captions, fields and the range labels beside them; the
// comment and the explanation reach over the last two.
Page beaconPage(std::string objectName, std::string caption, std::vector<Row> own, const Beacon& b,
                const std::string& title, std::string explanation) {
  constexpr int columns = 3;
  Page p = page(std::move(objectName), std::move(caption));
  p.rows = std::move(own);
  for (Row& row : beaconRows(b, title, columns)) p.rows.push_back(std::move(row));
  p.rows.push_back(wrappedText(std::move(explanation), columns));
  return p;
}

// MEASUREMENT[cm] = SAMPLE * FULLSCALE[cm] / 32768 + OFFSET[cm], drawn as a
// fraction in 12 point type.
constexpr const char* kFormula =
    "<table style=\"font-size:12pt\" cellspacing=\"0\" cellpadding=\"1\"><tr>"
    "<td rowspan=\"2\" valign=\"middle\">MEASUREMENT[cm] =&nbsp;</td>"
    "<td align=\"center\" style=\"border-bottom: 1px solid black\">SAMPLE * FULLSCALE[cm]</td>"
    "<td rowspan=\"2\" valign=\"middle\">&nbsp;+ OFFSET[cm]</td></tr>"
    "<tr><td align=\"center\">32768</td></tr></table>";

}  // namespace

const Group& waterLevelGroup() {
  static const Group group = makeWaterLevel();
  return group;
}

Page waterLevelTab() {
  Page internal = page("TabSheet_wxtm_internal", "Module internal settings");
  internal.rows = {
      rangeRow("Wxtidemarker_relay_on_time", "(0 - 255)"),
      rangeRow("Wxtidemarker_relay_off_time", "(0 - 255)"),
      rangeRow("Wxtidemarker_meas_interval", "(60 - 3600)"),
      formRow("Wxtidemarker_samples_avg"),
      wrappedText("These settings are WXTideMarker module internal settings and work in module firmware regardless "
                  "of APRS controlling device operation.",
                  3),
      wrappedText("These settings are updated in WXTideMarker EEPROM memory after APRS Trekmor power-up.", 3),
  };

  Page calculations = page("TabSheet_wxtm_calculations", "Calculations");
  calculations.rows = {
      Row{{labelCell(kFormula, "Label_wxtm_formula", 3)}, false},
      rangeRow("Wxtidemarker_coeff_fullscale", "(0 - 32767)"),
      rangeRow("Wxtidemarker_coeff_offset", "(-32768 - 32767)"),
      wrappedText("For B+B Thermo Technik 0550 1392-002 sensor the fullscale is 1bar which equals to 1000cm of water.",
                  3),
  };

  Page alarm = beaconPage("TabSheet_wxtm_alarm", "Sensor alarm beacon",
                          {formRow("Wxtidemarker_alarmbeacon"), rangeRow("Wxtidemarker_alarmbeacon_on_th", "(0 - 32767)"),
                           rangeRow("Wxtidemarker_alarmbeacon_off_th", "(0 - 32767)")},
                          kAlarm, "Sensor alarm beacon:",
                          "Alarm beacon is sent when measured pressure exceeds configured value.");
  Page emergency = beaconPage(
      "TabSheet_wxtm_emergency", "Emergency beacon",
      {formRow("Wxtidemarker_emergencybeacon"), formRow("Wxtidemarker_emergencybeacon_errors")}, kEmergency, "",
      "Emergency beacon is sent in case of loss communication with the sensor over I2C or with WXTideMarker module "
      "over RS-485.");
  Page input = beaconPage("TabSheet_wxtm_input", "Input level beacon",
                          {formRow("Wxtidemarker_inputbeacon"), formRow("Wxtidemarker_inputbeacon_level")}, kInput, "",
                          "Input level beacon is sent if input state reaches module input alarm state.");

  return withInner(page("WXTideMarker", "WXTideMarker"), "PageControl6",
                   {internal, calculations, alarm, emergency, input});
}

}  // namespace trekmor
