// Weather report settings: destination and path of the weather report, its RF
// rate, the condition under which reports go out, the position they carry and
// a free comment. Image offsets 993..1055 (992, the weather station type,
// belongs to the external interfaces), section [Weather].
#include "settings/registry.h"

namespace trekmor {

namespace {

constexpr const char* kSection = "Weather";

FieldDecl edit(std::string control, std::string caption, std::string hint, int maxLength, std::string start,
               FileForm form = FileForm::Text) {
  std::string key = control;
  return editField(std::move(control), std::move(caption), std::move(hint), maxLength, std::move(start), kSection,
                   std::move(key), form)
      .on(tabs::kWeather);
}

FieldDecl combo(std::string control, std::string caption, std::string hint, std::vector<std::string> choices,
                int start) {
  std::string key = control;
  return comboField(std::move(control), std::move(caption), std::move(hint), std::move(choices), start, kSection,
                    std::move(key))
      .on(tabs::kWeather);
}

Group makeWeather() {
  Group g("Weather");
  const auto address = [&g](const char* part, const char* caption, const char* hint, const char* start,
                            const char* ssidHint, const char* ssidStart, std::size_t offset, const char* words) {
    const std::string label = std::string("Weather ") + words;
    g.addAddress(edit(std::string("Weather_") + part + "_string", caption, hint, 6, start)
                     .address(offset, label + " - SSID range error (0 - 15).", label),
                 edit(std::string("Weather_") + part + "_ssid", "", ssidHint, 2, ssidStart));
  };
  address("dest", "Dest:", "Weather destination to-call.", "APQT0A", "Weather destination SSID.", "0", 993,
          "destination");
  address("path1", "Path 1:", "Weather report path.", "WIDE1", "Weather report SSID.", "1", 1000, "path 1");
  address("path2", "Path 2:", "Weather report path.", "WIDE2", "Weather report SSID.", "1", 1007, "path 2");
  g.padding = {{1014, 2}};
  // Unlike the telemetry rates, 0 is refused; the test is on the stored
  // 32-bit value, so every negative entry fails too.
  g.add(edit("Weather_txrate", "RF[min]:", "Weather report TX rate to RF (minutes).", 3, "5", FileForm::Number)
            .number(1016, 4, RangeCheck::Unsigned, 5, 1440, "Weather report tx rate range error (5 - 1440)."));
  g.add(combo("Weather_enable", "Enable if:", "Weather reports are enabled if this condition is met.",
              {"Never", "Always", "GPS fixed"}, 2)
            .choice(1020));
  g.add(combo("Weather_position", "Send position:", "Reported position source selection.",
              {"Static position", "GPS time/position"}, 1)
            .choice(1021));
  FieldDecl comment = edit("Weather_comment", "Comment:", "Weather report comment.", 32, "APRS Trekmor weather")
                          .textAt(1022, 34, "Weather report comment");
  comment.text.freeTextMessage = "Weather report comment - forbidden characters.";
  g.add(std::move(comment));
  return g;
}

}  // namespace

const Group& weatherGroup() {
  static const Group group = makeWeather();
  return group;
}

}  // namespace trekmor
