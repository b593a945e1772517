#include "settings/telemetrypresets.h"

#include <array>

namespace trekmor {

namespace {

// One row per source: its item text and what "Default parameters" writes.
// The name of the "Not used" row is left empty here; it is the channel's own
// ("A1" to "A5").
struct AnalogRow {
  const char* item;
  const char* name;
  const char* units;
  const char* a;
  const char* b;
  const char* c;
};

constexpr std::array<AnalogRow, 15> kAnalogRows{{
    {"Not used", "", "None", "0", "0", "0"},
    {"(M) Current1 (5A fullscale)", "I1", "mA", "0", "19.5", "0"},
    {"(M) Current1 (2.5A fullscale)", "I1", "mA", "0", "9.76", "0"},
    {"(M) Current1 (1.25A fullscale)", "I1", "mA", "0", "4.88", "0"},
    {"(M) Current2 (5A fullscale)", "I2", "mA", "0", "19.5", "0"},
    {"(M) Current2 (2.5A fullscale)", "I2", "mA", "0", "9.76", "0"},
    {"(M) Current2 (1.25A fullscale)", "I2", "mA", "0", "4.88", "0"},
    {"(M) Voltage1", "U1", "Volt", "0", "0.1", "0"},
    {"(M) Voltage2", "U2", "Volt", "0", "0.1", "0"},
    {"(M) Temperature (DS18B20)", "Temp", "C", "0", "0.5", "-64"},
    {"(M) Temperature (DS18S20)", "Temp", "C", "0", "0.5", "-64"},
    {"(I) Input voltage", "Vin", "Volt", "0", "0.075", "0"},
    {"(E) Temperature (DS18B20)", "Temp", "C", "0", "0.5", "-64"},
    {"(E) Temperature (DS18S20)", "Temp", "C", "0", "0.5", "-64"},
    {"(M) Water depth [cm]", "Dpth", "cm", "0", "1", "0"},
}};

// The "Not used" row's name and label are the channel's own (see digitalPreset).
struct DigitalRow {
  const char* item;
  const char* name;
  const char* label;
};

constexpr std::array<DigitalRow, 9> kDigitalRows{{
    {"Not used", "", ""},
    {"(M) Output 1", "O1", "On"},
    {"(M) Output 2", "O2", "On"},
    {"(M) Output 3", "O3", "On"},
    {"(M) Output 4", "O4", "On"},
    {"(M) Input 1", "I1", "Hi"},
    {"(M) Input 2", "I2", "Hi"},
    {"(M) Input 3", "I3", "Hi"},
    {"(M) Input 4", "I4", "Hi"},
}};

// Channels 6 to 8 take labels of three characters only.
constexpr int kFirstShortLabelChannel = 6;

template <std::size_t N, typename Row>
std::vector<std::string> itemsOf(const std::array<Row, N>& rows) {
  std::vector<std::string> items;
  for (const Row& row : rows) items.emplace_back(row.item);
  return items;
}

bool inList(int index, std::size_t count) { return index >= 0 && static_cast<std::size_t>(index) < count; }

}  // namespace

std::string analogControl(int channel, std::string_view part) {
  return "Teleanalog" + std::to_string(channel) + "_" + std::string(part);
}

std::string digitalControl(int channel, std::string_view part) {
  return "Teledigital" + std::to_string(channel) + "_" + std::string(part);
}

std::string analogButton(int channel) { return "Button_teleanalog" + std::to_string(channel) + "_default"; }

std::string digitalButton(int channel) { return "Button_teledigital" + std::to_string(channel) + "_default"; }

const std::vector<std::string>& analogSourceItems() {
  static const std::vector<std::string> items = itemsOf(kAnalogRows);
  return items;
}

const std::vector<std::string>& digitalSourceItems() {
  static const std::vector<std::string> items = itemsOf(kDigitalRows);
  return items;
}

AnalogPreset analogPreset(int channel, int sourceIndex) {
  const AnalogRow& row = kAnalogRows.at(static_cast<std::size_t>(sourceIndex));
  AnalogPreset preset{row.name, row.units, row.a, row.b, row.c};
  if (sourceIndex == 0) preset.name = "A" + std::to_string(channel);
  return preset;
}

DigitalPreset digitalPreset(int channel, int sourceIndex) {
  const DigitalRow& row = kDigitalRows.at(static_cast<std::size_t>(sourceIndex));
  DigitalPreset preset{row.name, row.label};
  if (sourceIndex == 0) {
    preset.name = "B" + std::to_string(channel);
    preset.label = channel >= kFirstShortLabelChannel ? "Non" : "None";
  }
  return preset;
}

void applyAnalogPreset(Fields& fields, int channel) {
  const int source = fields.index(analogControl(channel, "source"));
  if (!inList(source, kAnalogRows.size())) return;
  const AnalogPreset preset = analogPreset(channel, source);
  fields.setText(analogControl(channel, "name"), preset.name);
  fields.setText(analogControl(channel, "units"), preset.units);
  fields.setText(analogControl(channel, "coefa"), preset.coefficientA);
  fields.setText(analogControl(channel, "coefb"), preset.coefficientB);
  fields.setText(analogControl(channel, "coefc"), preset.coefficientC);
  fields.setIndex(analogControl(channel, "average"), 0);
}

void applyDigitalPreset(Fields& fields, int channel) {
  const int source = fields.index(digitalControl(channel, "source"));
  if (!inList(source, kDigitalRows.size())) return;
  const DigitalPreset preset = digitalPreset(channel, source);
  fields.setText(digitalControl(channel, "name"), preset.name);
  fields.setText(digitalControl(channel, "units"), preset.label);
  fields.setIndex(digitalControl(channel, "inverted"), 0);
}

}  // namespace trekmor
