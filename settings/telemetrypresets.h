// Telemetry channels: their control names, their measurement sources and the
// "Default parameters" actions that fill a channel's descriptive fields for
// the source chosen in it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/fields.h"

namespace trekmor {

inline constexpr int kAnalogChannels = 5;
inline constexpr int kDigitalChannels = 8;

// "Teleanalog3_name", "Teledigital7_units", ... (channel numbers from 1).
std::string analogControl(int channel, std::string_view part);
std::string digitalControl(int channel, std::string_view part);
// "Button_teleanalog3_default", "Button_teledigital7_default".
std::string analogButton(int channel);
std::string digitalButton(int channel);

// The source items of the channels' source boxes, index 0 first; the index is
// what the device receives.
const std::vector<std::string>& analogSourceItems();
const std::vector<std::string>& digitalSourceItems();

// What a "Default parameters" action writes for one source.
struct AnalogPreset {
  std::string name;
  std::string units;
  std::string coefficientA;
  std::string coefficientB;
  std::string coefficientC;
};

struct DigitalPreset {
  std::string name;
  std::string label;
};

// The preset of a source index for a channel; the "Not used" row depends on
// the channel. The index must lie in the source list.
AnalogPreset analogPreset(int channel, int sourceIndex);
DigitalPreset digitalPreset(int channel, int sourceIndex);

// The "Default parameters" actions: read the channel's source and, when one is
// selected, overwrite its name, units or label, coefficients and switch.
// With no source selected they change nothing.
void applyAnalogPreset(Fields& fields, int channel);
void applyDigitalPreset(Fields& fields, int channel);

}  // namespace trekmor
