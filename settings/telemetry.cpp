// Telemetry settings: where telemetry parameter messages and data packets go
// and how often, the project title, the first-packet delay, the master switch,
// five analog and eight digital channels and the power-on state of the WXPins
// outputs. Image offsets 1056..1080, 1084..1493 (1081..1083 are the module
// switches of the external interfaces), section [Telemetry].
#include <array>

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

// Channel fields take their start values from the "Default parameters" action
// run for the start source while the window is built; a configuration file
// without the key gives the "Not used" preset and source 0 instead.
FieldDecl withMissing(FieldDecl f, std::string missing) {
  f.missing = std::move(missing);
  return f;
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

void addAnalogChannel(Group& g, int k) {
  const std::string n = std::to_string(k);
  const std::string channel = "Analog channel " + n;
  const AnalogPreset start = analogPreset(k, analogStartSource(k));
  const AnalogPreset notUsed = analogPreset(k, 0);
  const int length = analogNameLength(k);
  const auto control = [k](const char* part) { return analogControl(k, part); };
  const auto coefficient = [&](const char* part, const char* letter, const std::string& startText) {
    return withMissing(edit(control(part), "",
                            channel + " telemetry calculation coefficient " + letter +
                                ". Equation: A*x*x+B*x+C (where x is the measurement sample).",
                            int(kCoefficientLength), startText, control(part)),
                       "0");
  };
  const FieldDecl name = withMissing(
      edit(control("name"), "", channel + " report name.", length, start.name, control("name")), notUsed.name);
  const FieldDecl units = withMissing(
      edit(control("units"), "", channel + " report units.", length, start.units, control("units")), notUsed.units);
  const FieldDecl source = withMissing(combo(control("source"), "", channel + " measurement source.",
                                             analogSourceItems(), analogStartSource(k), control("source")),
                                       "0");
  const FieldDecl a = coefficient("coefa", "A", start.coefficientA);
  const FieldDecl b = coefficient("coefb", "B", start.coefficientB);
  const FieldDecl c = coefficient("coefc", "C", start.coefficientC);
  const FieldDecl average = combo(control("average"), "",
                                  "If selected, the device will calculate 1 minute average of measured samples.",
                                  kOffOn, 0, control("average"));
  g.fields.insert(g.fields.end(), {name, units, source, a, b, c, average});

  const std::size_t block = kAnalogBase + kAnalogBlock * std::size_t(k - 1);
  g.steps.push_back(choiceStep(source, block));
  g.steps.push_back(textStep(name, block + 1, 8, channel + " name"));
  g.steps.push_back(textStep(units, block + 9, 8, channel + " units"));
  g.steps.push_back(textStep(a, block + 17, kCoefficientLength + 1, channel + " coefficient A"));
  g.steps.push_back(textStep(b, block + 26, kCoefficientLength + 1, channel + " coefficient B"));
  g.steps.push_back(textStep(c, block + 35, kCoefficientLength + 1, channel + " coefficient C"));
  g.steps.push_back(choiceStep(average, block + 44));
}

void addDigitalChannel(Group& g, int k) {
  const std::string n = std::to_string(k);
  const std::string channel = "Digital channel " + n;
  const DigitalPreset start = digitalPreset(k, digitalStartSource(k));
  const DigitalPreset notUsed = digitalPreset(k, 0);
  const int length = digitalNameLength(k);
  const auto control = [k](const char* part) { return digitalControl(k, part); };
  const FieldDecl name = withMissing(
      edit(control("name"), "", channel + " report name.", length, start.name, control("name")), notUsed.name);
  // The label edit keeps the control name of a units edit; its key is the label.
  const FieldDecl label = withMissing(
      edit(control("units"), "", channel + " report label.", length, start.label, control("label")), notUsed.label);
  const FieldDecl source = withMissing(
      combo(control("source"), "", channel + " source.", digitalSourceItems(), digitalStartSource(k), control("source")),
      "0");
  const FieldDecl inverted =
      combo(control("inverted"), "", "Select if digital channel is active-low.", {"No", "Yes"}, 0, control("inverted"));
  g.fields.insert(g.fields.end(), {name, label, source, inverted});

  const std::size_t block = kDigitalBase + kDigitalBlock * std::size_t(k - 1);
  g.steps.push_back(choiceStep(source, block));
  g.steps.push_back(textStep(name, block + 1, 7, channel + " name"));
  g.steps.push_back(textStep(label, block + 8, 7, channel + " label"));
  g.steps.push_back(choiceStep(inverted, block + 15));
}

// Telemetry data and parameter packets may be switched off with rate 0;
// otherwise 5 to 1440 minutes, tested on the stored 16-bit value.
StepDecl rateStep(const FieldDecl& field, std::size_t offset, std::string message) {
  StepDecl s = numberStep(field, offset, 2, RangeCheck::Unsigned, 5, 1440, std::move(message));
  s.range.zeroAllowed = true;
  return s;
}

// The destination and path row of the data or the parameter packets:
// destination, its SSID, path 1, its SSID, path 2, its SSID, rate.
using PacketRow = std::array<FieldDecl, 7>;

PacketRow packetFields(const std::string& prefix, const std::string& what) {
  return {edit(prefix + "_dest_string", "", what + " destination to-call.", 6, "APQT0A", prefix + "_dest_string"),
          edit(prefix + "_dest_ssid", "", what + " destination SSID.", 2, "0", prefix + "_dest_ssid"),
          edit(prefix + "_path1_string", "", what + " path.", 6, "WIDE1", prefix + "_path1_string"),
          edit(prefix + "_path1_ssid", "", what + " path SSID.", 2, "1", prefix + "_path1_ssid"),
          edit(prefix + "_path2_string", "", what + " path.", 6, "WIDE2", prefix + "_path2_string"),
          edit(prefix + "_path2_ssid", "", what + " path SSID.", 2, "1", prefix + "_path2_ssid"),
          edit(prefix + "_txrate_rf", "", what + " TX rate to RF (minutes). Set 0 to disable.", 3, "30",
               prefix + "_txrate", FileForm::Number)};
}

void addPacketSteps(Group& g, const PacketRow& row, const std::string& what, std::size_t offset) {
  const auto& [dest, destSsid, path1, path1Ssid, path2, path2Ssid, rate] = row;
  const std::string pathMessage = what + " path - SSID range error (0 - 15).";
  g.steps.push_back(addressStep(dest, destSsid, offset, what + " destination - SSID range error (0 - 15).",
                                what + " destination"));
  g.steps.push_back(addressStep(path1, path1Ssid, offset + 7, pathMessage, what + " path 1"));
  g.steps.push_back(addressStep(path2, path2Ssid, offset + 14, pathMessage, what + " path 2"));
  g.steps.push_back(zeroStep(offset + 21));
  g.steps.push_back(rateStep(rate, offset + 22, what + " tx rate (RF) range error (5 - 1440)."));
  g.steps.push_back(zeroStep(offset + 24, 2));
}

Group makeTelemetry() {
  Group g;
  g.name = "Telemetry";

  // Fields in tab order: the report settings, the channels, the outputs.
  const PacketRow params = packetFields("Teleparams", "Telemetry parameters");
  const PacketRow data = packetFields("Teledata", "Telemetry data");
  const FieldDecl title = edit("Teletitle", "Telemetry project title:", "Title for telemetry sent in BITS message.",
                               23, "Telemetry test", "Teletitle");
  const FieldDecl holdoff =
      edit("Tele_holdoff", "First telemetry data packet delay [min]:",
           "Delay for first telemetry data packet. Allows to gather data after device power-up.", 3, "60",
           "Tele_holdoff", FileForm::Number);
  const FieldDecl enable = combo("Tele_enable", "Telemetry reports:", "Enables or disables telemetry reports.",
                                 {"Disabled", "Enabled"}, 0, "Tele_enable");
  g.fields.insert(g.fields.end(), params.begin(), params.end());
  g.fields.insert(g.fields.end(), data.begin(), data.end());
  g.fields.insert(g.fields.end(), {title, holdoff, enable});

  // The image holds the data row before the parameters row.
  addPacketSteps(g, data, "Telemetry data", 1084);
  addPacketSteps(g, params, "Telemetry parameters", 1110);
  g.steps.push_back(textStep(title, 1056, 24, "Telemetry project title"));
  g.steps.push_back(choiceStep(enable, 1080));
  // Tested before it is stored, so 256 is refused rather than wrapping to 0.
  g.steps.push_back(numberStep(holdoff, 1493, 1, RangeCheck::Parsed, 0, 250,
                               "First telemetry data packet delay range error (0 - 250)."));

  for (int k = 1; k <= kAnalogChannels; ++k) addAnalogChannel(g, k);
  for (int k = 1; k <= kDigitalChannels; ++k) addDigitalChannel(g, k);

  for (int k = 1; k <= 4; ++k) {
    const std::string n = std::to_string(k);
    const FieldDecl output = combo("WXPins_output" + n, "Output " + n + " default state:",
                                   "Default power-on state for WXPins output.", kOffOn, 0, "WXPins_output" + n);
    g.fields.push_back(output);
    g.steps.push_back(choiceStep(output, 1488 + std::size_t(k)));
  }
  // The file holds the fields in the order they are declared: parameters
  // before data, then per analog channel name, units, source, coefficients,
  // average; per digital channel name, label, source, inverted.

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

// Column widths of the grids, in characters.
constexpr int kSsidChars = 3;
constexpr int kRateChars = 4;
constexpr int kChannelTextChars = 7;
constexpr int kCoefficientChars = 8;

Cell sized(std::string control, int chars) {
  Cell c = fieldCell(std::move(control));
  c.chars = chars;
  return c;
}

Cell addressCell(const std::string& name, const std::string& ssid, const std::string& dashName) {
  return inlineCell({fieldCell(name), labelCell("-", dashName), sized(ssid, kSsidChars)});
}

Row packetRow(const std::string& prefix, const std::string& caption) {
  const std::string dash = "Label_" + prefix + "_";
  return Row{{labelCell(caption, "Label_" + prefix),
              addressCell(prefix + "_dest_string", prefix + "_dest_ssid", dash + "dest_dash"),
              addressCell(prefix + "_path1_string", prefix + "_path1_ssid", dash + "path1_dash"),
              addressCell(prefix + "_path2_string", prefix + "_path2_ssid", dash + "path2_dash"),
              sized(prefix + "_txrate_rf", kRateChars)},
             false};
}

Page reportSettingsPage() {
  Page p = page("TabSheet_report_settings", "Report settings");
  p.rows = {
      Row{{emptyCell(), labelCell("Dest:", "Label_tele_dest"), labelCell("Path:", "Label_tele_path1"),
           labelCell("Path:", "Label_tele_path2"), labelCell("RF[min]:", "Label_tele_rf")},
          false},
      packetRow("Teleparams", "Telemetry parameters:"),
      packetRow("Teledata", "Telemetry data:"),
      Row{{captionCell("Teletitle"), fieldCell("Teletitle", 2)}, false},
      formRow("Tele_holdoff"),
      formRow("Tele_enable"),
      wrappedText("Note: for telemetry reports, messages and their limits see chapter 13 of the APRS Protocol "
                  "Reference, version 1.0.1.",
                  5),
  };
  return p;
}

Page analogPage() {
  Page p = page("TabSheet_analog_channels", "Analog channels");
  Row header{{emptyCell()}, false};
  for (const char* column : {"Name:", "Units:", "Source:", "Coeff A:", "Coeff B:", "Coeff C:"}) {
    header.cells.push_back(labelCell(column));
  }
  // Spans the button column too, so that its column stays as narrow as the
  // "Off"/"On" boxes below it.
  header.cells.push_back(labelCell("1 min average:", {}, 2));
  p.rows.push_back(header);
  for (int k = 1; k <= kAnalogChannels; ++k) {
    const std::string n = std::to_string(k);
    Row row{{labelCell("Analog " + n + ":", "Label_teleanalog" + n)}, false};
    row.cells.push_back(sized(analogControl(k, "name"), kChannelTextChars));
    row.cells.push_back(sized(analogControl(k, "units"), kChannelTextChars));
    row.cells.push_back(fieldCell(analogControl(k, "source")));
    for (const char* part : {"coefa", "coefb", "coefc"}) row.cells.push_back(sized(analogControl(k, part), kCoefficientChars));
    row.cells.push_back(fieldCell(analogControl(k, "average")));
    row.cells.push_back(
        buttonCell(analogButton(k), "Default parameters", "Default parameters for analog channel."));
    p.rows.push_back(row);
  }
  p.rows.push_back(wrappedText("Note: types of telemetry sources are: (M) - from WXQuantaBox, (E) - from external "
                               "devices, (I) - device internal sources.",
                               9));
  return p;
}

Page digitalPage(std::string objectName, std::string caption, int first, int last) {
  Page p = page(std::move(objectName), std::move(caption));
  p.compact = true;
  Row header{{emptyCell()}, false};
  for (const char* column : {"Name:", "Label", "Source", "Inverted:"}) header.cells.push_back(labelCell(column));
  p.rows.push_back(header);
  for (int k = first; k <= last; ++k) {
    const std::string n = std::to_string(k);
    Row row{{labelCell("Digital " + n + ":", "Label_teledigital" + n)}, false};
    row.cells.push_back(sized(digitalControl(k, "name"), kChannelTextChars));
    row.cells.push_back(sized(digitalControl(k, "units"), kChannelTextChars));
    row.cells.push_back(fieldCell(digitalControl(k, "source")));
    row.cells.push_back(fieldCell(digitalControl(k, "inverted")));
    row.cells.push_back(
        buttonCell(digitalButton(k), "Default parameters", "Default parameters for digital channel."));
    p.rows.push_back(row);
  }
  return p;
}

Page wxpinsPage() {
  Page p = page("TabSheet_wxpins_outputs", "WXPins outputs");
  p.compact = true;
  for (int k = 1; k <= 4; ++k) p.rows.push_back(formRow("WXPins_output" + std::to_string(k)));
  return p;
}

}  // namespace

const Group& telemetryGroup() {
  static const Group group = makeTelemetry();
  return group;
}

Page telemetryTab() {
  return withInner(page("TabSheet_telemetry_reports", "Telemetry reports"), "PageControl2",
                   {reportSettingsPage(), analogPage(),
                    digitalPage("TabSheet_digital_channels14", "Digital channels 1-4", 1, 4),
                    digitalPage("TabSheet_digital_channels58", "Digital channels 5-8", 5, 8), wxpinsPage()});
}

}  // namespace trekmor
