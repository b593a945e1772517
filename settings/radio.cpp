// Radio settings: station identity and position, transmitter timing, squelch,
// frequency and power. Image offsets 14..65, section [Radio].
#include "image/validators.h"
#include "settings/registry.h"

namespace trekmor {

namespace {

FieldDecl edit(std::string control, std::string caption, std::string hint, int maxLength, std::string start,
               std::string key, FileForm form) {
  return editField(std::move(control), std::move(caption), std::move(hint), maxLength, std::move(start), "Radio",
                   std::move(key), form)
      .on(tabs::kRadio);
}

FieldDecl combo(std::string control, std::string caption, std::string hint, std::vector<std::string> choices,
                int start, std::string key) {
  return comboField(std::move(control), std::move(caption), std::move(hint), std::move(choices), start, "Radio",
                    std::move(key))
      .on(tabs::kRadio);
}

constexpr const char* kLatitudeMessage = "Our latitude - syntax error (ex. 5221.60N, format: DDMM.MM).";
constexpr const char* kLongitudeLengthMessage = "Our longitude - syntax error (ex. 01653.63E, format DDDMM.MM).";
constexpr const char* kLongitudeSyntaxMessage = "Our longitude - syntax error (ex. 01653.63E, format: DDDMM.MM).";

// A coordinate is stored as its exact characters followed by a NUL, once its
// length and syntax checks pass.
FieldDecl coordinate(FieldDecl field, std::size_t offset, std::size_t length, bool (*valid)(std::string_view),
                     std::string lengthMessage, std::string syntaxMessage) {
  FieldDecl row = std::move(field).textAt(offset, length + 1, "");
  row.text.exactLength = length;
  row.text.lengthMessage = std::move(lengthMessage);
  row.text.syntax = valid;
  row.text.syntaxMessage = std::move(syntaxMessage);
  return row;
}

Group makeRadio() {
  Group g("Radio");
  // Tab order, which is also the file and the pack order.
  FieldDecl callsign = edit("Callsign", "Callsign:", "Station callsign.", 6, "NOCALL", "Callsign", FileForm::Text)
                           .address(14, "Callsign - SSID range error (0 - 15).", "Callsign");
  callsign.text.emptyMessage = "Callsign - too short (ex. NOCALL-4).";
  g.addAddress(std::move(callsign), edit("Ssid", "", "Station SSID.", 2, "0", "SSID", FileForm::Text));
  g.padding = {{21, 1}, {56, 1}};
  g.add(coordinate(edit("Latitude", "Latitude:", "Station latitude.", 8, "5223.08N", "Latitude", FileForm::Text), 37,
                   8, isLatitudeText, kLatitudeMessage, kLatitudeMessage));
  g.add(coordinate(edit("Longitude", "Longitude:", "Station longitude.", 9, "01658.14E", "Longitude", FileForm::Text),
                   46, 9, isLongitudeText, kLongitudeLengthMessage, kLongitudeSyntaxMessage));
  g.add(edit("Txdelay", "TX delay [ms]:", "Time between PTT on and packet start (preamble length).", 4, "250",
             "TXdelay", FileForm::Number)
            .number(24, 4, RangeCheck::Unsigned, 200, 1000, "Preamble len - range error (200 - 1000)."));
  g.add(edit("Txtail", "TX tail [ms]:", "Time between packet end and PTT off.", 4, "50", "TXtail", FileForm::Number)
            .number(28, 4, RangeCheck::Unsigned, 0, 1000, "TX tail - range error (0 - 1000)."));
  g.add(edit("Quiettime", "Quiet time [ms]:", "Delay between last received  packet and packet send.", 4, "400",
             "Quiettime", FileForm::Number)
            .number(32, 4, RangeCheck::Unsigned, 200, 3000, "Quiet time - range error (200 - 3000)."));
  g.add(combo("Quiettime_randomize", "Randomize quiet time:", "Quiet time random modifier.",
              {"No", "+/- 16 ms", "+/- 32 ms", "+/- 64 ms", "+/- 128 ms"}, 3, "Quiettime_randomize")
            .choice(36));
  g.add(combo("Squelch", "Squelch level:", "Squelch level. 1 - lowest, 8 - highest.",
              {"1 (lowest)", "2", "3", "4", "5", "6", "7", "8 (highest)"}, 0, "Squelch")
            .choice(57));
  g.add(combo("Busydetect", "Channel busy detect:",
              "Channel busy detection method. For open quelch operation use only digital detect.",
              {"analog signal level", "digital detect"}, 0, "Busydetect")
            .choice(58));
  g.add(combo("Consecutive_packets", "Consecutive packets send:",
              "Multiple packets from TX fifo will be sent without gap if \"bursts\" is selected.",
              {"in bursts", "separately"}, 0, "Consecutive_packets")
            .choice(59));
  g.add(edit("Txrx_freq", "TX/RX frequency [Hz]:", "Transmit and receive frequency.", 9, "144800000",
             "Txrx_frequency", FileForm::Number)
            .number(60, 4, RangeCheck::Unsigned, 144000000, 146000000,
                    "TX/RX frequency - range error (144000000 Hz - 146000000 Hz)."));
  g.add(combo("Tx_power", "TX power:", "RF TX output power.", {"5 watt", "7 watt", "3 watt"}, 0, "Tx_power")
            .choice(64));
  g.add(combo("Tx_power_apc", "Automatic power control:", "Automatic power reduction after TX time limit.",
              {"Disabled", "Enabled"}, 0, "Tx_power_apc")
            .choice(65));
  return g;
}

}  // namespace

const Group& radioGroup() {
  static const Group group = makeRadio();
  return group;
}

}  // namespace trekmor
