// Radio settings: station identity and position, transmitter timing, squelch,
// frequency and power. Image offsets 14..65, section [Radio].
#include "image/validators.h"
#include "settings/registry.h"

namespace trekmor {

namespace {

FieldDecl edit(std::string control, std::string caption, std::string hint, int maxLength, std::string start,
               std::string key, FileForm form) {
  return editField(std::move(control), std::move(caption), std::move(hint), maxLength, std::move(start), "Radio",
                   std::move(key), form);
}

FieldDecl combo(std::string control, std::string caption, std::string hint, std::vector<std::string> choices,
                int start, std::string key) {
  return comboField(std::move(control), std::move(caption), std::move(hint), std::move(choices), start, "Radio",
                    std::move(key));
}

constexpr const char* kLatitudeMessage = "Our latitude - syntax error (ex. 5221.60N, format: DDMM.MM).";
constexpr const char* kLongitudeLengthMessage = "Our longitude - syntax error (ex. 01653.63E, format DDDMM.MM).";
constexpr const char* kLongitudeSyntaxMessage = "Our longitude - syntax error (ex. 01653.63E, format: DDDMM.MM).";

// A coordinate is stored as its exact characters followed by a NUL, once its
// length and syntax checks pass.
StepDecl coordinateStep(const FieldDecl& field, std::size_t offset, std::size_t length,
                        bool (*valid)(std::string_view), std::string lengthMessage, std::string syntaxMessage) {
  const std::string control = field.control;
  return customStep(
      field, offset, length + 1,
      [=](PackContext& c) {
        const std::string text = c.fields.text(control);
        if (text.size() != length) return PackResult::check(lengthMessage);
        if (!valid(text)) return PackResult::check(syntaxMessage);
        for (std::size_t i = 0; i < length; ++i) c.image[offset + i] = static_cast<std::uint8_t>(text[i]);
        c.image[offset + length] = 0;
        return PackResult::ok();
      },
      [=](UnpackContext& c) { c.fields.setText(control, textAt(c.image, offset, length + 1)); });
}

Group makeRadio() {
  const FieldDecl callsign = edit("Callsign", "Callsign:", "Station callsign.", 6, "NOCALL", "Callsign", FileForm::Text);
  const FieldDecl ssid = edit("Ssid", "", "Station SSID.", 2, "0", "SSID", FileForm::Text);
  const FieldDecl latitude =
      edit("Latitude", "Latitude:", "Station latitude.", 8, "5223.08N", "Latitude", FileForm::Text);
  const FieldDecl longitude =
      edit("Longitude", "Longitude:", "Station longitude.", 9, "01658.14E", "Longitude", FileForm::Text);
  const FieldDecl txdelay = edit("Txdelay", "TX delay [ms]:", "Time between PTT on and packet start (preamble length).",
                                 4, "250", "TXdelay", FileForm::Number);
  const FieldDecl txtail =
      edit("Txtail", "TX tail [ms]:", "Time between packet end and PTT off.", 4, "50", "TXtail", FileForm::Number);
  const FieldDecl quiettime = edit("Quiettime", "Quiet time [ms]:", "Delay between last received  packet and packet send.",
                                   4, "400", "Quiettime", FileForm::Number);
  const FieldDecl randomize =
      combo("Quiettime_randomize", "Randomize quiet time:", "Quiet time random modifier.",
            {"No", "+/- 16 ms", "+/- 32 ms", "+/- 64 ms", "+/- 128 ms"}, 3, "Quiettime_randomize");
  const FieldDecl squelch = combo("Squelch", "Squelch level:", "Squelch level. 1 - lowest, 8 - highest.",
                                  {"1 (lowest)", "2", "3", "4", "5", "6", "7", "8 (highest)"}, 0, "Squelch");
  const FieldDecl busydetect =
      combo("Busydetect", "Channel busy detect:",
            "Channel busy detection method. For open quelch operation use only digital detect.",
            {"analog signal level", "digital detect"}, 0, "Busydetect");
  const FieldDecl consecutive =
      combo("Consecutive_packets", "Consecutive packets send:",
            "Multiple packets from TX fifo will be sent without gap if \"bursts\" is selected.",
            {"in bursts", "separately"}, 0, "Consecutive_packets");
  const FieldDecl frequency = edit("Txrx_freq", "TX/RX frequency [Hz]:", "Transmit and receive frequency.", 9,
                                   "144800000", "Txrx_frequency", FileForm::Number);
  const FieldDecl power = combo("Tx_power", "TX power:", "RF TX output power.", {"5 watt", "7 watt", "3 watt"}, 0,
                                "Tx_power");
  const FieldDecl powerControl = combo("Tx_power_apc", "Automatic power control:",
                                       "Automatic power reduction after TX time limit.", {"Disabled", "Enabled"}, 0,
                                       "Tx_power_apc");

  Group g;
  g.name = "Radio";
  // Tab order, which is also the file order.
  g.fields = {callsign, ssid,    latitude,   longitude,   txdelay,   txtail, quiettime,
              randomize, squelch, busydetect, consecutive, frequency, power,  powerControl};

  StepDecl station = addressStep(callsign, ssid, 14, "Callsign - SSID range error (0 - 15).", "Callsign");
  station.text.emptyMessage = "Callsign - too short (ex. NOCALL-4).";
  g.steps = {
      station,
      zeroStep(21),
      coordinateStep(latitude, 37, 8, isLatitudeText, kLatitudeMessage, kLatitudeMessage),
      coordinateStep(longitude, 46, 9, isLongitudeText, kLongitudeLengthMessage, kLongitudeSyntaxMessage),
      numberStep(txdelay, 24, 4, RangeCheck::Unsigned, 200, 1000, "Preamble len - range error (200 - 1000)."),
      numberStep(txtail, 28, 4, RangeCheck::Unsigned, 0, 1000, "TX tail - range error (0 - 1000)."),
      numberStep(quiettime, 32, 4, RangeCheck::Unsigned, 200, 3000, "Quiet time - range error (200 - 3000)."),
      choiceStep(randomize, 36),
      zeroStep(56),
      choiceStep(squelch, 57),
      choiceStep(busydetect, 58),
      choiceStep(consecutive, 59),
      numberStep(frequency, 60, 4, RangeCheck::Unsigned, 144000000, 146000000,
                 "TX/RX frequency - range error (144000000 Hz - 146000000 Hz)."),
      choiceStep(power, 64),
      choiceStep(powerControl, 65),
  };
  return g;
}

}  // namespace

const Group& radioGroup() {
  static const Group group = makeRadio();
  return group;
}

Page radioTab() {
  Page p;
  p.objectName = "TabSheet_radio";
  p.caption = "Radio";
  const auto pair = [](const std::string& left, const std::string& right) {
    Row row = formRow(left);
    if (!right.empty()) {
      Row second = formRow(right);
      row.cells.insert(row.cells.end(), second.cells.begin(), second.cells.end());
    }
    return row;
  };
  Row callsign{{captionCell("Callsign"),
                inlineCell({fieldCell("Callsign"), labelCell("-", "Label_callsign_dash"), fieldCell("Ssid")}),
                captionCell("Squelch"), fieldCell("Squelch")},
               false};
  p.rows = {
      callsign,
      pair("Latitude", "Busydetect"),
      pair("Longitude", "Consecutive_packets"),
      pair("Txdelay", "Txrx_freq"),
      pair("Txtail", "Tx_power"),
      pair("Quiettime", "Tx_power_apc"),
      pair("Quiettime_randomize", ""),
  };
  p.tabBlocks = {2};  // the right-hand form after the left one
  return p;
}

}  // namespace trekmor
