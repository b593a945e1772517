// Position reports: when the station's own position is sent (report mode and
// the parameters of its three timing schemes), how it is encoded, the symbol,
// the path, the status text and the optional report elements. Image offsets
// 306..399, section [PositionReports].
#include "image/numbers.h"
#include "settings/registry.h"

namespace trekmor {

namespace {

constexpr const char* kSection = "PositionReports";

FieldDecl edit(std::string control, std::string caption, int maxLength, std::string start, std::string key,
               FileForm form) {
  return editField(std::move(control), std::move(caption), "", maxLength, std::move(start), kSection, std::move(key),
                   form);
}

FieldDecl combo(std::string control, std::string caption, std::vector<std::string> choices, int start,
                std::string key) {
  return comboField(std::move(control), std::move(caption), "", std::move(choices), start, kSection, std::move(key));
}

// The Mic-E message belongs to the Mic-E encoding, the time stamp to the
// other two; the rule only switches what can be edited, the values stay and
// are packed and saved whatever the encoding.
void encodingChange(Fields& fields, UserInterface&) {
  const int encoding = fields.index("Position_report_encoding");
  if (encoding < 0 || encoding > 2) return;
  const bool mice = encoding == 0;
  for (const char* control : {"Label_mice", "Mice_message_label", "Mice_message"}) fields.setEnabled(control, mice);
  for (const char* control : {"Position_time_label", "Position_time"}) fields.setEnabled(control, !mice);
}

std::string pathMessage(int element) {
  return "Position report path " + std::to_string(element) + " - SSID range error (0 - 15).";
}

Group makePositionReports() {
  const std::vector<std::string> noYes{"No", "Yes"};
  Group g("Position reports");
  // The rows in file order. Every timing scheme stays editable whatever
  // report mode is chosen, so the mode has no rule of its own.
  const FieldDecl& mode = g.add(combo("Position_report_mode", "Position report mode:",
                                      {"Disabled", "Fixed time interval", "SmartBeaconing", "GPS-sychronized reports"},
                                      2, "ReportMode")
                                    .on(tabs::kReportMode)
                                    .choice(306));
  g.padding = {{307, 1}};
  const auto smart = [&g](const char* control, const char* caption, int maxLength, const char* start,
                          const char* key, std::size_t offset) -> const FieldDecl& {
    return g.add(edit(control, caption, maxLength, start, key, FileForm::Number).on(tabs::kSmartBeaconing).number(offset, 2));
  };
  const FieldDecl& minTurnAngle = smart("Smartbeaconing_min_turn_angle", "Min Turn Angle [deg]:", 3, "27", "MinTurnAngle", 386);
  const FieldDecl& turnSlope = smart("Smartbeaconing_turn_slope", "Turn Slope:", 4, "410", "TurnSlope", 388);
  const FieldDecl& minTurnTime = smart("Smartbeaconing_min_turn_time", "Min Turn Time [s]:", 3, "5", "MinTurnTime", 390);
  const FieldDecl& slowSpeed = smart("Smartbeaconing_slow_speed", "Slow Speed [km/h]:", 3, "8", "SlowSpeed", 392);
  const FieldDecl& slowPeriod = smart("Smartbeaconing_slow_period", "Slow Period [s]:", 4, "1800", "SlowPeriod", 394);
  const FieldDecl& fastSpeed = smart("Smartbeaconing_fast_speed", "Fast Speed [km/h]:", 3, "95", "FastSpeed", 396);
  const FieldDecl& fastPeriod = smart("Smartbeaconing_fast_period", "Fast Period [s]:", 3, "90", "FastPeriod", 398);
  const FieldDecl& reportInterval =
      g.add(edit("Position_report_interval", "Position report interval [s]:", 4, "60", "ReportInterval",
                 FileForm::Number)
                .on(tabs::kFixedInterval)
                .number(308, 2, RangeCheck::Unsigned, 15, 3600, "Position report interval range error (15 - 3600)."));
  const FieldDecl& encoding =
      g.add(combo("Position_report_encoding", "Position encoding protocol:", {"Mic-E", "Plain text", "Base-91"}, 0,
                  "ReportEncoding")
                .on(tabs::kEncodingProtocol)
                .choice(312));
  const auto onEncoding = [](FieldDecl f) { return std::move(f).on(tabs::kEncodingProtocol); };
  const FieldDecl& symbolCode =
      g.add(onEncoding(edit("Position_symbol_code", "Symbol code:", 1, ">", "SymbolCode", FileForm::Text)).character(335));
  const FieldDecl& symbolTable =
      g.add(onEncoding(edit("Position_symbol_table", "Symbol table:", 1, "/", "SymbolTable", FileForm::Text))
                .character(336));
  // Shown as "Mic-E" (Label_mice) above this caption. The three message bits
  // of the Mic-E format: "Off Duty" is 7, "Emergency" 0.
  FieldDecl miceRow = onEncoding(combo("Mice_message", "message:",
                                       {"Off Duty", "En Route", "In Service", "Returning", "Committed", "Special",
                                        "Priority", "Emergency"},
                                       0, "MiceMessage"))
                          .choice(378);
  miceRow.choiceBase = 7;
  const FieldDecl& miceMessage = g.add(std::move(miceRow));
  const auto path = [&](int k, const char* caption, const char* start, const char* ssidStart, std::size_t offset)
      -> const FieldDecl& {
    const std::string n = std::to_string(k);
    return g.addAddress(onEncoding(edit("Position_path" + n, caption, 6, start, "Path" + n, FileForm::Text))
                            .address(offset, pathMessage(k), "Position report path " + n),
                        onEncoding(edit("Position_ssid" + n, "-", 2, ssidStart, "SSID" + n, FileForm::Text)));
  };
  const FieldDecl& path1 = path(1, "Path:", "WIDE1", "1", 314);
  const FieldDecl& path2 = path(2, ",", "WIDE2", "1", 321);
  const FieldDecl& path3 = path(3, ",", "", "", 328);
  const FieldDecl& status =
      g.add(onEncoding(edit("Position_status_text", "Status text:", 40, "", "Status", FileForm::Text))
                .textAt(337, 41, "Status text"));
  const FieldDecl& time =
      g.add(onEncoding(combo("Position_time", "Time:", {"None", "Hour, min, sec", "Day, hour, min"}, 2, "PositionTime"))
                .choice(313));
  const FieldDecl& courseSpeed =
      g.add(onEncoding(combo("Position_coursespeed", "Course/Speed:", noYes, 1, "CourseSpeed")).choice(379));
  const FieldDecl& reportOnFixLost = g.add(
      onEncoding(combo("Position_reportonfixlost", "Send last position if fix lost:", noYes, 1, "ReportOnFixLost"))
          .choice(381));
  const FieldDecl& fixLostInterval =
      g.add(onEncoding(edit("Position_fixlost_interval", "Send interval on fix lost (s):", 4, "180",
                            "FixlostInterval", FileForm::Number))
                .number(310, 2, RangeCheck::Unsigned, 60, 3600,
                        "Position report interval on fix lost range error (60 - 3600)."));
  const FieldDecl& altitude =
      g.add(onEncoding(combo("Position_altitude", "Altitude:", noYes, 1, "PositionAltitude")).choice(380));
  const FieldDecl& syncInterval =
      g.add(edit("Synchronized_report_interval", "Position report interval [s]:", 4, "60", "GPSSynchronizedInterval",
                 FileForm::Number)
                .on(tabs::kGpsSynchronized)
                .number(382, 2, RangeCheck::Unsigned, 30, 3600,
                        "GPS-synchronized report interval range error (30 - 3600)."));
  // The send second is stored like any 16-bit number and must then be lower
  // than the stored synchronized interval (both taken unsigned).
  FieldDecl secondRow = edit("Synchronized_report_second", "Position report send second:", 4, "15",
                             "GPSSynchronizedSecond", FileForm::Number)
                            .on(tabs::kGpsSynchronized)
                            .number(384, 2);
  secondRow.imageCheck = [&syncInterval, offset = secondRow.offset](const Image& image) {
    return getLE(image, offset, 2) >= getLE(image, syncInterval.offset, syncInterval.width)
               ? "GPS-synchronized report send second range error (must be lower than report interval)."
               : "";
  };
  const FieldDecl& syncSecond = g.add(std::move(secondRow));

  g.packOrder = {&mode,      &reportInterval, &minTurnAngle,   &turnSlope,       &minTurnTime,  &slowSpeed,
                 &slowPeriod, &fastSpeed,     &fastPeriod,     &encoding,        &miceMessage,  &symbolCode,
                 &symbolTable, &status,       &time,           &path1,           path1.ssid,    &path2,
                 path2.ssid,  &path3,         path3.ssid,      &courseSpeed,     &altitude,     &reportOnFixLost,
                 &fixLostInterval, &syncInterval, &syncSecond};

  // The controls that depend on the encoding follow it: on the user's
  // choice, right after its key is loaded or its byte unpacked, and once the
  // start values are set.
  RuleDecl encodingRule(encodingChange, {encoding.control});
  encodingRule.afterLoadOf = encoding.control;
  encodingRule.afterUnpackOf = encoding.control;
  encodingRule.atStartEnd = true;
  g.rules = {encodingRule};
  return g;
}

}  // namespace

const Group& positionReportsGroup() {
  static const Group group = makePositionReports();
  return group;
}

}  // namespace trekmor
