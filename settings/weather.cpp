// Weather report settings: destination and path of the weather report, its RF
// rate, the condition under which reports go out, the position they carry and
// a free comment. Image offsets 993..1055 (992, the weather station type,
// belongs to the external interfaces), section [Weather].
#include <array>

#include "settings/registry.h"

namespace trekmor {

namespace {

constexpr const char* kSection = "Weather";

FieldDecl edit(std::string control, std::string caption, std::string hint, int maxLength, std::string start,
               FileForm form = FileForm::Text) {
  std::string key = control;
  return editField(std::move(control), std::move(caption), std::move(hint), maxLength, std::move(start), kSection,
                   std::move(key), form);
}

FieldDecl combo(std::string control, std::string caption, std::string hint, std::vector<std::string> choices,
                int start) {
  std::string key = control;
  return comboField(std::move(control), std::move(caption), std::move(hint), std::move(choices), start, kSection,
                    std::move(key));
}

Group makeWeather() {
  const std::array fields{
      edit("Weather_dest_string", "Dest:", "Weather destination to-call.", 6, "APQT0A"),
      edit("Weather_dest_ssid", "", "Weather destination SSID.", 2, "0"),
      edit("Weather_path1_string", "Path 1:", "Weather report path.", 6, "WIDE1"),
      edit("Weather_path1_ssid", "", "Weather report SSID.", 2, "1"),
      edit("Weather_path2_string", "Path 2:", "Weather report path.", 6, "WIDE2"),
      edit("Weather_path2_ssid", "", "Weather report SSID.", 2, "1"),
      edit("Weather_txrate", "RF[min]:", "Weather report TX rate to RF (minutes).", 3, "5", FileForm::Number),
      combo("Weather_enable", "Enable if:", "Weather reports are enabled if this condition is met.",
            {"Never", "Always", "GPS fixed"}, 2),
      combo("Weather_position", "Send position:", "Reported position source selection.",
            {"Static position", "GPS time/position"}, 1),
      edit("Weather_comment", "Comment:", "Weather report comment.", 32, "APRS Trekmor weather"),
  };
  const auto& [dest, destSsid, path1, path1Ssid, path2, path2Ssid, rate, enable, position, commentText] = fields;
  Group g;
  g.name = "Weather";
  g.fields.assign(fields.begin(), fields.end());

  StepDecl comment = textStep(commentText, 1022, 34, "Weather report comment");
  comment.text.freeTextMessage = "Weather report comment - forbidden characters.";
  g.steps = {
      addressStep(dest, destSsid, 993, "Weather destination - SSID range error (0 - 15).",
                  "Weather destination"),
      addressStep(path1, path1Ssid, 1000, "Weather path 1 - SSID range error (0 - 15).",
                  "Weather path 1"),
      addressStep(path2, path2Ssid, 1007, "Weather path 2 - SSID range error (0 - 15).",
                  "Weather path 2"),
      zeroStep(1014, 2),
      // Unlike the telemetry rates, 0 is refused; the test is on the stored
      // 32-bit value, so every negative entry fails too.
      numberStep(rate, 1016, 4, RangeCheck::Unsigned, 5, 1440,
                 "Weather report tx rate range error (5 - 1440)."),
      choiceStep(enable, 1020),
      choiceStep(position, 1021),
      comment,
  };
  return g;
}

}  // namespace

const Group& weatherGroup() {
  static const Group group = makeWeather();
  return group;
}

Page weatherTab() {
  Page p = page("TabSheet_weather_reports", "Weather reports");
  const auto address = [](const char* name, const char* ssid, const char* dash) {
    Cell ssidCell = fieldCell(ssid);
    ssidCell.chars = 3;
    return inlineCell({fieldCell(name), labelCell("-", dash), ssidCell});
  };
  Cell path1 = address("Weather_path1_string", "Weather_path1_ssid", "Label_weather_path1_dash");
  path1.children.push_back(labelCell(",", "Label_weather_path_comma"));
  Cell rate = fieldCell("Weather_txrate");
  rate.chars = 4;
  p.rows = {
      Row{{emptyCell(), captionCell("Weather_dest_string"), captionCell("Weather_path1_string"),
           captionCell("Weather_path2_string"), captionCell("Weather_txrate"), captionCell("Weather_enable"),
           captionCell("Weather_position")},
          false},
      Row{{labelCell("Weather report:", "Label_weather_report"),
           address("Weather_dest_string", "Weather_dest_ssid", "Label_weather_dest_dash"), path1,
           address("Weather_path2_string", "Weather_path2_ssid", "Label_weather_path2_dash"),
           rate, fieldCell("Weather_enable"), fieldCell("Weather_position")},
          false},
      Row{{captionCell("Weather_comment"), fieldCell("Weather_comment", 3)}, false},
  };
  return p;
}

}  // namespace trekmor
