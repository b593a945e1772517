// Position reports: when the station's own position is sent (report mode and
// the parameters of its three timing schemes), how it is encoded, the symbol,
// the path, the status text and the optional report elements. Image offsets
// 306..399, section [PositionReports].
#include <array>

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

constexpr std::size_t kSyncIntervalOffset = 382;
constexpr std::size_t kSyncSecondOffset = 384;

// The send second is stored like any 16-bit number and must then be lower
// than the stored synchronized interval (both taken unsigned).
StepDecl sendSecondStep(const FieldDecl& field) {
  const std::string control = field.control;
  return customStep(
      field, kSyncSecondOffset, 2,
      [control](PackContext& c) {
        const std::string text = c.fields.text(control);
        const auto parsed = parseInteger(text);
        if (!parsed) return PackResult::conversion(conversionErrorText(text));
        putLE(c.image, kSyncSecondOffset, static_cast<std::uint32_t>(*parsed), 2);
        if (getLE(c.image, kSyncSecondOffset, 2) >= getLE(c.image, kSyncIntervalOffset, 2)) {
          return PackResult::check(
              "GPS-synchronized report send second range error (must be lower than report interval).");
        }
        return PackResult::ok();
      },
      [control](UnpackContext& c) {
        c.fields.setText(control, std::to_string(getLE(c.image, kSyncSecondOffset, 2)));
      });
}

std::string pathMessage(int element) {
  return "Position report path " + std::to_string(element) + " - SSID range error (0 - 15).";
}

Group makePositionReports() {
  const std::vector<std::string> noYes{"No", "Yes"};
  // Every timing scheme stays editable whatever report mode is chosen, so
  // the mode has no rule of its own.
  const std::array fields{
      // Report mode
      combo("Position_report_mode", "Position report mode:",
            {"Disabled", "Fixed time interval", "SmartBeaconing", "GPS-sychronized reports"}, 2, "ReportMode"),
      // Encoding protocol
      combo("Position_report_encoding", "Position encoding protocol:", {"Mic-E", "Plain text", "Base-91"}, 0,
            "ReportEncoding"),
      edit("Position_symbol_code", "Symbol code:", 1, ">", "SymbolCode", FileForm::Text),
      edit("Position_symbol_table", "Symbol table:", 1, "/", "SymbolTable", FileForm::Text),
      // Shown as "Mic-E" (Label_mice) above this caption.
      combo("Mice_message", "message:",
            {"Off Duty", "En Route", "In Service", "Returning", "Committed", "Special", "Priority", "Emergency"}, 0,
            "MiceMessage"),
      edit("Position_path1", "Path:", 6, "WIDE1", "Path1", FileForm::Text),
      edit("Position_ssid1", "-", 2, "1", "SSID1", FileForm::Text),
      edit("Position_path2", ",", 6, "WIDE2", "Path2", FileForm::Text),
      edit("Position_ssid2", "-", 2, "1", "SSID2", FileForm::Text),
      edit("Position_path3", ",", 6, "", "Path3", FileForm::Text),
      edit("Position_ssid3", "-", 2, "", "SSID3", FileForm::Text),
      edit("Position_status_text", "Status text:", 40, "", "Status", FileForm::Text),
      combo("Position_time", "Time:", {"None", "Hour, min, sec", "Day, hour, min"}, 2, "PositionTime"),
      combo("Position_coursespeed", "Course/Speed:", noYes, 1, "CourseSpeed"),
      combo("Position_reportonfixlost", "Send last position if fix lost:", noYes, 1, "ReportOnFixLost"),
      combo("Position_altitude", "Altitude:", noYes, 1, "PositionAltitude"),
      edit("Position_fixlost_interval", "Send interval on fix lost (s):", 4, "180", "FixlostInterval",
           FileForm::Number),
      // SmartBeaconing
      edit("Smartbeaconing_min_turn_angle", "Min Turn Angle [deg]:", 3, "27", "MinTurnAngle", FileForm::Number),
      edit("Smartbeaconing_turn_slope", "Turn Slope:", 4, "410", "TurnSlope", FileForm::Number),
      edit("Smartbeaconing_min_turn_time", "Min Turn Time [s]:", 3, "5", "MinTurnTime", FileForm::Number),
      edit("Smartbeaconing_slow_speed", "Slow Speed [km/h]:", 3, "8", "SlowSpeed", FileForm::Number),
      edit("Smartbeaconing_slow_period", "Slow Period [s]:", 4, "1800", "SlowPeriod", FileForm::Number),
      edit("Smartbeaconing_fast_speed", "Fast Speed [km/h]:", 3, "95", "FastSpeed", FileForm::Number),
      edit("Smartbeaconing_fast_period", "Fast Period [s]:", 3, "90", "FastPeriod", FileForm::Number),
      // Fixed time interval
      edit("Position_report_interval", "Position report interval [s]:", 4, "60", "ReportInterval",
           FileForm::Number),
      // GPS-synchronized reports
      edit("Synchronized_report_interval", "Position report interval [s]:", 4, "60", "GPSSynchronizedInterval",
           FileForm::Number),
      edit("Synchronized_report_second", "Position report send second:", 4, "15", "GPSSynchronizedSecond",
           FileForm::Number),
  };
  const auto& [mode, encoding, symbolCode, symbolTable, miceMessage, path1, ssid1, path2, ssid2, path3, ssid3, status,
               time, courseSpeed, reportOnFixLost, altitude, fixLostInterval, minTurnAngle, turnSlope, minTurnTime,
               slowSpeed, slowPeriod, fastSpeed, fastPeriod, reportInterval, syncInterval, syncSecond] = fields;
  Group g;
  g.name = "Position reports";
  g.fields.assign(fields.begin(), fields.end());

  // The three message bits of the Mic-E format: "Off Duty" is 7, "Emergency" 0.
  StepDecl mice = choiceStep(miceMessage, 378);
  mice.choiceBase = 7;
  g.steps = {
      choiceStep(mode, 306),
      zeroStep(307),
      numberStep(reportInterval, 308, 2, RangeCheck::Unsigned, 15, 3600,
                 "Position report interval range error (15 - 3600)."),
      numberStep(minTurnAngle, 386, 2),
      numberStep(turnSlope, 388, 2),
      numberStep(minTurnTime, 390, 2),
      numberStep(slowSpeed, 392, 2),
      numberStep(slowPeriod, 394, 2),
      numberStep(fastSpeed, 396, 2),
      numberStep(fastPeriod, 398, 2),
      choiceStep(encoding, 312),
      mice,
      characterStep(symbolCode, 335),
      characterStep(symbolTable, 336),
      textStep(status, 337, 41, "Status text"),
      choiceStep(time, 313),
      addressStep(path1, ssid1, 314, pathMessage(1), "Position report path 1"),
      addressStep(path2, ssid2, 321, pathMessage(2), "Position report path 2"),
      addressStep(path3, ssid3, 328, pathMessage(3), "Position report path 3"),
      choiceStep(courseSpeed, 379),
      choiceStep(altitude, 380),
      choiceStep(reportOnFixLost, 381),
      numberStep(fixLostInterval, 310, 2, RangeCheck::Unsigned, 60, 3600,
                 "Position report interval on fix lost range error (60 - 3600)."),
      numberStep(syncInterval, kSyncIntervalOffset, 2, RangeCheck::Unsigned, 30, 3600,
                 "GPS-synchronized report interval range error (30 - 3600)."),
      sendSecondStep(syncSecond),
  };

  g.fileOrder = {
      mode.control,         minTurnAngle.control, turnSlope.control,       minTurnTime.control,
      slowSpeed.control,    slowPeriod.control,   fastSpeed.control,       fastPeriod.control,
      reportInterval.control, encoding.control,   symbolCode.control,      symbolTable.control,
      miceMessage.control,  path1.control,        ssid1.control,           path2.control,
      ssid2.control,        path3.control,        ssid3.control,           status.control,
      time.control,         courseSpeed.control,  reportOnFixLost.control, fixLostInterval.control,
      altitude.control,     syncInterval.control, syncSecond.control,
  };

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

Page positionReportsTab() {
  const auto pair = [](const std::string& left, const std::string& right) {
    Row row = formRow(left);
    Row second = formRow(right);
    row.cells.insert(row.cells.end(), second.cells.begin(), second.cells.end());
    return row;
  };

  Page mode = page("TabSheet_report_mode", "Report mode");
  mode.rows = {formRow("Position_report_mode")};
  mode.stretchColumn = 2;

  Page encoding = page("TabSheet_encoding_protocol", "Encoding protocol");
  // "Path:" name "-" SSID "," name "-" SSID "," name "-" SSID, in one cell
  // beside the caption column that reaches into the spare width, so that it
  // does not widen the columns of the other rows.
  Row path{{captionCell("Position_path1"),
            inlineCell({fieldCell("Position_path1"), captionCell("Position_ssid1"), fieldCell("Position_ssid1"),
                        captionCell("Position_path2"), fieldCell("Position_path2"), captionCell("Position_ssid2"),
                        fieldCell("Position_ssid2"), captionCell("Position_path3"), fieldCell("Position_path3"),
                        captionCell("Position_ssid3"), fieldCell("Position_ssid3")},
                       4)},
           false};
  encoding.rows = {
      Row{{captionCell("Position_report_encoding"), fieldCell("Position_report_encoding"),
           labelCell("Mic-E", "Label_mice"), emptyCell()},
          false},
      Row{{captionCell("Position_symbol_code"), fieldCell("Position_symbol_code"), captionCell("Mice_message"),
           fieldCell("Mice_message")},
          false},
      pair("Position_symbol_table", "Position_time"),
      path,
      Row{{captionCell("Position_status_text"), fieldCell("Position_status_text", 3)}, false},
      pair("Position_coursespeed", "Position_altitude"),
      pair("Position_reportonfixlost", "Position_fixlost_interval"),
  };
  encoding.stretchColumn = 4;

  Page smart = page("TabSheet_smartbeaconing", "SmartBeaconing");
  smart.rows = {
      pair("Smartbeaconing_min_turn_angle", "Smartbeaconing_slow_speed"),
      pair("Smartbeaconing_turn_slope", "Smartbeaconing_slow_period"),
      pair("Smartbeaconing_min_turn_time", "Smartbeaconing_fast_speed"),
      Row{{emptyCell(2), captionCell("Smartbeaconing_fast_period"), fieldCell("Smartbeaconing_fast_period")}, false},
  };
  smart.tabBlocks = {2};

  Page fixed = page("TabSheet_fixed_interval", "Fixed time interval");
  fixed.rows = {formRow("Position_report_interval")};
  fixed.stretchColumn = 2;

  Page synchronized = page("TabSheet_gps_synchronized", "GPS-synchronized reports");
  // The explanations run across the whole tab; the third column, empty
  // but for them, takes the spare width.
  const auto explanation = [](std::string text) { return wrappedText(std::move(text), 3); };
  synchronized.stretchColumn = 2;
  synchronized.rows = {
      formRow("Synchronized_report_interval"),
      formRow("Synchronized_report_second"),
      explanation("This report mode allows for GPS-synchronized beaconing for a group of cooperating trackers to "
                  "avoid packet collisions and optimize channel usage."),
      explanation("It may be interesting especially for rescue groups, contests, etc. while working on a separate "
                  "channel frequency (undisturbed by other transmitting stations)."),
      explanation("Example: We have 4 trackers which should send in 60 seconds interval. For tracker #1 we set "
                  "second number to 0,  for tracker #2 to 15, for tracker #3 to 30, for tracker #4 to 45."),
      explanation("Tracker #1 will send in second 0 after every minute, tracker #2 will send 15 seconds after every "
                  "minute, etc. No collisions should occur between these trackers."),
  };

  return withInner(page("TabSheet_position_reports", "Position reports"), "PageControl5",
                   {mode, encoding, smart, fixed, synchronized});
}

}  // namespace trekmor
