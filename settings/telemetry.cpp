// Telemetry settings: where telemetry parameter messages and data packets go
// and how often, the project title, the first-packet delay, the master switch,
// five analog and eight digital channels and the power-on state of the WXPins
// outputs. Image offsets 1056..1080, 1084..1493 (1081..1083 are the module
// switches of the external interfaces), section [Telemetry].
#include "settings/registry.h"
#include "settings/telemetrypresets.h"

namespace trekmor {

namespace {

constexpr const char* kSection = "Telemetry";

FieldDecl edit(std::string control, std::string caption, std::string hint, int maxLength, std::string start,
               std::string key, FileForm form = FileForm::Text) {
  return editField(std::move(control), std::move(caption), std::move(hint), maxLength, std::move(start), kSection,
                   std::move(key), form);
}

FieldDecl combo(std::string control, std::string caption, std::string hint, std::vector<std::string> choices,
                int start, std::string key) {
  return comboField(std::move(control), std::move(caption), std::move(hint), std::move(choices), start, kSection,
                    std::move(key));
}

// Maximum lengths of the channel names and units or labels: the parameter
// names of a telemetry message get shorter towards the later channels.
int analogNameLength(int channel) { return channel <= 2 ? 7 : channel <= 4 ? 6 : 5; }
int digitalNameLength(int channel) { return channel == 1 ? 6 : channel == 2 ? 5 : channel <= 5 ? 4 : 3; }

// Sources of the channels when the window is built.
int analogStartSource(int channel) { return channel == 1 ? 11 : 0; }
int digitalStartSource(int channel) { return channel; }

constexpr std::size_t kAnalogBase = 1136;
constexpr std::size_t kAnalogBlock = 45;
constexpr std::size_t kDigitalBase = 1361;
constexpr std::size_t kDigitalBlock = 16;
constexpr std::size_t kCoefficientLength = 8;

const std::vector<std::string> kOffOn{"Off", "On"};

// The rows of one channel in pack order: the source first.
using Rows = std::vector<const FieldDecl*>;

// Channel fields take their start values from the "Default parameters" action
// run for the start source while the window is built; a configuration file
// without the key gives the "Not used" preset and source 0 instead.
Rows addAnalogChannel(Group& g, int k) {
  const std::string channel = "Analog channel " + std::to_string(k);
  const AnalogPreset start = analogPreset(k, analogStartSource(k));
  const AnalogPreset notUsed = analogPreset(k, 0);
  const int length = analogNameLength(k);
  const std::size_t block = kAnalogBase + kAnalogBlock * std::size_t(k - 1);
  const auto control = [k](const char* part) { return analogControl(k, part); };
  const auto onTab = [](FieldDecl f) { return std::move(f).on(tabs::kAnalogChannels); };
  const auto coefficient = [&](const char* part, const char* letter, const std::string& startText,
                               std::size_t offset) -> const FieldDecl& {
    return g.add(onTab(edit(control(part), "",
                            channel + " telemetry calculation coefficient " + letter +
                                ". Equation: A*x*x+B*x+C (where x is the measurement sample).",
                            int(kCoefficientLength), startText, control(part)))
                     .missingValue("0")
                     .textAt(block + offset, kCoefficientLength + 1, channel + " coefficient " + letter));
  };
  const FieldDecl& name = g.add(onTab(edit(control("name"), "", channel + " report name.", length, start.name,
                                           control("name")))
                                    .missingValue(notUsed.name)
                                    .textAt(block + 1, 8, channel + " name"));
  const FieldDecl& units = g.add(onTab(edit(control("units"), "", channel + " report units.", length, start.units,
                                            control("units")))
                                     .missingValue(notUsed.units)
                                     .textAt(block + 9, 8, channel + " units"));
  const FieldDecl& source = g.add(onTab(combo(control("source"), "", channel + " measurement source.",
                                              analogSourceItems(), analogStartSource(k), control("source")))
                                      .missingValue("0")
                                      .choice(block));
  const FieldDecl& a = coefficient("coefa", "A", start.coefficientA, 17);
  const FieldDecl& b = coefficient("coefb", "B", start.coefficientB, 26);
  const FieldDecl& c = coefficient("coefc", "C", start.coefficientC, 35);
  const FieldDecl& average =
      g.add(onTab(combo(control("average"), "", "If selected, the device will calculate 1 minute average of measured samples.",
                        kOffOn, 0, control("average")))
                .choice(block + 44));
  return {&source, &name, &units, &a, &b, &c, &average};
}

Rows addDigitalChannel(Group& g, int k) {
  const std::string channel = "Digital channel " + std::to_string(k);
  const DigitalPreset start = digitalPreset(k, digitalStartSource(k));
  const DigitalPreset notUsed = digitalPreset(k, 0);
  const int length = digitalNameLength(k);
  const std::size_t block = kDigitalBase + kDigitalBlock * std::size_t(k - 1);
  const auto control = [k](const char* part) { return digitalControl(k, part); };
  const Tab& tab = k <= 4 ? tabs::kDigitalChannels14 : tabs::kDigitalChannels58;
  const FieldDecl& name = g.add(edit(control("name"), "", channel + " report name.", length, start.name,
                                     control("name"))
                                    .on(tab)
                                    .missingValue(notUsed.name)
                                    .textAt(block + 1, 7, channel + " name"));
  // The label edit keeps the control name of a units edit; its key is the label.
  const FieldDecl& label = g.add(edit(control("units"), "", channel + " report label.", length, start.label,
                                      control("label"))
                                     .on(tab)
                                     .missingValue(notUsed.label)
                                     .textAt(block + 8, 7, channel + " label"));
  const FieldDecl& source = g.add(combo(control("source"), "", channel + " source.", digitalSourceItems(),
                                        digitalStartSource(k), control("source"))
                                      .on(tab)
                                      .missingValue("0")
                                      .choice(block));
  const FieldDecl& inverted = g.add(combo(control("inverted"), "", "Select if digital channel is active-low.",
                                          {"No", "Yes"}, 0, control("inverted"))
                                        .on(tab)
                                        .choice(block + 15));
  return {&source, &name, &label, &inverted};
}

// The destination and path row of the data or the parameter packets:
// destination, its SSID, path 1, its SSID, path 2, its SSID, rate; image
// bytes from `offset`. Telemetry data and parameter packets may be switched
// off with rate 0; otherwise 5 to 1440 minutes, tested on the stored 16-bit
// value.
Rows addPacketRow(Group& g, const std::string& prefix, const std::string& what, std::size_t offset) {
  const std::string pathMessage = what + " path - SSID range error (0 - 15).";
  const auto onTab = [](FieldDecl f) { return std::move(f).on(tabs::kTelemetryReports); };
  const auto address = [&](const std::string& part, const std::string& hint, const char* start, const std::string& ssidHint,
                           const char* ssidStart, std::size_t at, const std::string& message,
                           const std::string& label) -> const FieldDecl& {
    return g.addAddress(onTab(edit(prefix + "_" + part + "_string", "", hint, 6, start, prefix + "_" + part + "_string"))
                            .address(at, message, label),
                        onTab(edit(prefix + "_" + part + "_ssid", "", ssidHint, 2, ssidStart, prefix + "_" + part + "_ssid")));
  };
  const FieldDecl& dest = address("dest", what + " destination to-call.", "APQT0A", what + " destination SSID.", "0",
                                  offset, what + " destination - SSID range error (0 - 15).", what + " destination");
  const FieldDecl& path1 = address("path1", what + " path.", "WIDE1", what + " path SSID.", "1", offset + 7,
                                   pathMessage, what + " path 1");
  const FieldDecl& path2 = address("path2", what + " path.", "WIDE2", what + " path SSID.", "1", offset + 14,
                                   pathMessage, what + " path 2");
  g.padding.push_back({offset + 21, 1});
  FieldDecl rateRow = onTab(edit(prefix + "_txrate_rf", "", what + " TX rate to RF (minutes). Set 0 to disable.", 3,
                                 "30", prefix + "_txrate", FileForm::Number))
                          .number(offset + 22, 2, RangeCheck::Unsigned, 5, 1440,
                                  what + " tx rate (RF) range error (5 - 1440).");
  rateRow.range.zeroAllowed = true;
  const FieldDecl& rate = g.add(std::move(rateRow));
  g.padding.push_back({offset + 24, 2});
  return {&dest, dest.ssid, &path1, path1.ssid, &path2, path2.ssid, &rate};
}

Group makeTelemetry() {
  Group g("Telemetry");
  // The rows in file order: parameters before data, then per analog channel
  // name, units, source, coefficients, average; per digital channel name,
  // label, source, inverted; the outputs. The image holds the data row
  // before the parameters row, and each channel's source first.
  const Rows params = addPacketRow(g, "Teleparams", "Telemetry parameters", 1110);
  const Rows data = addPacketRow(g, "Teledata", "Telemetry data", 1084);
  const auto onTab = [](FieldDecl f) { return std::move(f).on(tabs::kTelemetryReports); };
  const FieldDecl& title = g.add(onTab(edit("Teletitle", "Telemetry project title:",
                                            "Title for telemetry sent in BITS message.", 23, "Telemetry test",
                                            "Teletitle"))
                                     .textAt(1056, 24, "Telemetry project title"));
  // Tested before it is stored, so 256 is refused rather than wrapping to 0.
  const FieldDecl& holdoff =
      g.add(onTab(edit("Tele_holdoff", "First telemetry data packet delay [min]:",
                       "Delay for first telemetry data packet. Allows to gather data after device power-up.", 3, "60",
                       "Tele_holdoff", FileForm::Number))
                .number(1493, 1, RangeCheck::Parsed, 0, 250, "First telemetry data packet delay range error (0 - 250)."));
  const FieldDecl& enable = g.add(onTab(combo("Tele_enable", "Telemetry reports:",
                                              "Enables or disables telemetry reports.", {"Disabled", "Enabled"}, 0,
                                              "Tele_enable"))
                                      .choice(1080));
  Rows pack = data;
  pack.insert(pack.end(), params.begin(), params.end());
  pack.insert(pack.end(), {&title, &enable, &holdoff});
  for (int k = 1; k <= kAnalogChannels; ++k) {
    const Rows channel = addAnalogChannel(g, k);
    pack.insert(pack.end(), channel.begin(), channel.end());
  }
  for (int k = 1; k <= kDigitalChannels; ++k) {
    const Rows channel = addDigitalChannel(g, k);
    pack.insert(pack.end(), channel.begin(), channel.end());
  }
  for (int k = 1; k <= 4; ++k) {
    const std::string n = std::to_string(k);
    pack.push_back(&g.add(combo("WXPins_output" + n, "Output " + n + " default state:",
                                "Default power-on state for WXPins output.", kOffOn, 0, "WXPins_output" + n)
                              .on(tabs::kWxPinsOutputs)
                              .choice(1488 + std::size_t(k))));
  }
  g.packOrder = std::move(pack);

  // Once the start values are set: the analog channels get the preset of
  // their start source; each digital channel k is set to source item k and
  // then gets its preset.
  RuleDecl startPresets([](Fields& fields, UserInterface&) {
    for (int k = 1; k <= kAnalogChannels; ++k) applyAnalogPreset(fields, k);
    for (int k = 1; k <= kDigitalChannels; ++k) {
      fields.setIndex(digitalControl(k, "source"), digitalStartSource(k));
      applyDigitalPreset(fields, k);
    }
  });
  startPresets.atStartEnd = true;
  g.rules = {startPresets};
  for (int k = 1; k <= kAnalogChannels; ++k) {
    g.buttons.push_back({analogButton(k), [k](Fields& fields, UserInterface&) { applyAnalogPreset(fields, k); }});
  }
  for (int k = 1; k <= kDigitalChannels; ++k) {
    g.buttons.push_back({digitalButton(k), [k](Fields& fields, UserInterface&) { applyDigitalPreset(fields, k); }});
  }
  return g;
}

}  // namespace

const Group& telemetryGroup() {
  static const Group group = makeTelemetry();
  return group;
}

}  // namespace trekmor
