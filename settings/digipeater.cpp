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
  const FieldDecl digion = combo("Digion", "Digipeater on:", "Enables or disables function of RF packets digipeating.",
                                 {"No", "Yes"}, 1, "Digion");
  const FieldDecl floodTimeout =
      edit("Floodtimeout", "Duplicate checking [s]:",
           "Time for which a received packet is stored for duplicate checking. Duplicate packets are discarded and "
           "are not digipeated.",
           3, "60", "Floodtimeout", FileForm::Number);
  Group g;
  g.name = "Digipeater";
  // The keys follow the fields: Digion, Floodtimeout, then the four keys of
  // each alias row in turn.
  g.fields = {digion, floodTimeout};
  g.steps = {
      // The choice is held as a 32-bit number; no selection gives 0xFFFFFFFF.
      choiceStep(digion, 400, 4),
      numberStep(floodTimeout, 404, 4, RangeCheck::Unsigned, 15, 180, "Antiflood timeout - range error (15 - 180)."),
  };

  // The column captions stand once above each block of rows (see the tab), so
  // the row fields carry no caption of their own.
  for (int k = 1; k <= kAliasCount; ++k) {
    const bool first = k == 1;
    const FieldDecl name = edit(alias(k, "_name"), "", "Simple alias-based path for digipeating.", 6,
                                first ? "WIDE1" : "", digiKey(k, "_alias"), FileForm::Text);
    const FieldDecl ssid = edit(alias(k, "_ssid"), "", "Simple alias-based SSID for digipeating.", 2, first ? "1" : "",
                                digiKey(k, "_SSID"), FileForm::Text);
    const FieldDecl traceable =
        combo(alias(k, "_traceable"), "", "If selected, the device will add its callsign to path of digipeated packets.",
              {"No", "Yes"}, first ? 1 : 0, digiKey(k, "_traceable"));
    const FieldDecl enable = combo(alias(k, "_enable"), "", "Path rule is enabled if this condition is met.",
                                   {"Never", "Always"}, first ? 1 : 0, digiKey(k, "_enable"), FileForm::Flag);
    g.fields.insert(g.fields.end(), {name, ssid, traceable, enable});

    const std::size_t offset = kAliasOffset + kAliasStride * std::size_t(k - 1);
    const std::string row = "Digipeater alias " + std::to_string(k);
    g.steps.push_back(addressStep(name, ssid, offset, row + " - SSID range error (0 - 15).", row));
    g.steps.push_back(choiceStep(traceable, offset + 7));
    g.steps.push_back(choiceStep(enable, offset + 8));
  }
  return g;
}

// One block of four alias rows under its column captions; the two blocks
// stand side by side.
std::vector<Cell> aliasHeader() {
  return {labelCell("Alias:"), emptyCell(), labelCell("Ssid:"), labelCell("Traceable:"), labelCell("Enable if:")};
}

std::vector<Cell> aliasRow(int k) {
  return {fieldCell(alias(k, "_name")), labelCell("-"), fieldCell(alias(k, "_ssid")), fieldCell(alias(k, "_traceable")),
          fieldCell(alias(k, "_enable"))};
}

}  // namespace

const Group& digipeaterGroup() {
  static const Group group = makeDigipeater();
  return group;
}

Page digipeaterTab() {
  Page common = page("TabSheet_digi_common", "Common settings");
  common.rows = {formRow("Digion"), formRow("Floodtimeout")};
  common.stretchColumn = 2;

  Page aliases = page("TabSheet_digi_aliases", "Simple aliases");
  const auto join = [](std::vector<Cell> left, std::vector<Cell> right) {
    left.insert(left.end(), right.begin(), right.end());
    return Row{std::move(left), false};
  };
  aliases.rows.push_back(join(aliasHeader(), aliasHeader()));
  for (int k = 1; k <= kAliasCount / 2; ++k) aliases.rows.push_back(join(aliasRow(k), aliasRow(k + kAliasCount / 2)));
  // Aliases 1-4 on the left, 5-8 on the right, kept apart; the keyboard
  // takes the left block first.
  aliases.tabBlocks = {5};

  return withInner(page("TabSheet_digipeater", "Digipeater"), "PageControl3", {common, aliases});
}

}  // namespace trekmor
