// Digipeater: whether received packets are repeated, how long a packet is
// remembered for duplicate checking, and eight simple alias rules. Image
// offsets 400..479, section [Digipeater].
#include "settings/registry.h"

namespace trekmor {

namespace {

constexpr const char* kSection = "Digipeater";
constexpr int kAliasCount = 8;
constexpr std::size_t kAliasOffset = 408;
constexpr std::size_t kAliasStride = 9;  // address field, traceable, enable; no padding

FieldDecl edit(std::string control, std::string caption, std::string hint, int maxLength, std::string start,
               std::string key, FileForm form) {
  return editField(std::move(control), std::move(caption), std::move(hint), maxLength, std::move(start), kSection,
                   std::move(key), form);
}

FieldDecl combo(std::string control, std::string caption, std::string hint, std::vector<std::string> choices,
                int start, std::string key, FileForm form = FileForm::Index) {
  return comboField(std::move(control), std::move(caption), std::move(hint), std::move(choices), start, kSection,
                    std::move(key), form);
}

std::string alias(int k, const char* suffix) { return "Alias" + std::to_string(k) + suffix; }
std::string digiKey(int k, const char* suffix) { return "Digi" + std::to_string(k) + suffix; }

Group makeDigipeater() {
  Group g("Digipeater");
  // The keys follow the rows: Digion, Floodtimeout, then the four keys of
  // each alias row in turn.
  // The choice is held as a 32-bit number; no selection gives 0xFFFFFFFF.
  g.add(combo("Digion", "Digipeater on:", "Enables or disables function of RF packets digipeating.", {"No", "Yes"}, 1,
              "Digion")
            .on(tabs::kDigiCommon)
            .choice(400, 4));
  g.add(edit("Floodtimeout", "Duplicate checking [s]:",
             "Time for which a received packet is stored for duplicate checking. Duplicate packets are discarded and "
             "are not digipeated.",
             3, "60", "Floodtimeout", FileForm::Number)
            .on(tabs::kDigiCommon)
            .number(404, 4, RangeCheck::Unsigned, 15, 180, "Antiflood timeout - range error (15 - 180)."));

  // The column captions stand once above each block of rows (see the tab), so
  // the row fields carry no caption of their own.
  for (int k = 1; k <= kAliasCount; ++k) {
    const bool first = k == 1;
    const std::size_t offset = kAliasOffset + kAliasStride * std::size_t(k - 1);
    const std::string row = "Digipeater alias " + std::to_string(k);
    g.addAddress(edit(alias(k, "_name"), "", "Simple alias-based path for digipeating.", 6, first ? "WIDE1" : "",
                      digiKey(k, "_alias"), FileForm::Text)
                     .on(tabs::kDigiAliases)
                     .address(offset, row + " - SSID range error (0 - 15).", row),
                 edit(alias(k, "_ssid"), "", "Simple alias-based SSID for digipeating.", 2, first ? "1" : "",
                      digiKey(k, "_SSID"), FileForm::Text)
                     .on(tabs::kDigiAliases));
    g.add(combo(alias(k, "_traceable"), "", "If selected, the device will add its callsign to path of digipeated packets.",
                {"No", "Yes"}, first ? 1 : 0, digiKey(k, "_traceable"))
              .on(tabs::kDigiAliases)
              .choice(offset + 7));
    g.add(combo(alias(k, "_enable"), "", "Path rule is enabled if this condition is met.", {"Never", "Always"},
                first ? 1 : 0, digiKey(k, "_enable"), FileForm::Flag)
              .on(tabs::kDigiAliases)
              .choice(offset + 8));
  }
  return g;
}

}  // namespace

const Group& digipeaterGroup() {
  static const Group group = makeDigipeater();
  return group;
}

}  // namespace trekmor
