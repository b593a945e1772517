// Test tone settings: a test signal for adjusting the transmitter. Image
// offsets 1502..1504, section [Testtone]. A user's change of any of them
// re-runs one of the port rules of the external interfaces.
#include "settings/externalinterfaces.h"
#include "settings/registry.h"

namespace trekmor {

namespace {

FieldDecl combo(std::string control, std::string caption, std::string hint, std::vector<std::string> choices,
                int start) {
  std::string key = control;
  return comboField(std::move(control), std::move(caption), std::move(hint), std::move(choices), start, "Testtone",
                    std::move(key))
      .on(tabs::kTestTone);
}

Group makeTestTone() {
  Group g("Test tone");
  const FieldDecl& enable = g.add(combo("Testtone_enable", "Test tone enable:", "Test tone enable.", {"No", "Yes"}, 0)
                                      .choice(1502));
  const FieldDecl& pattern = g.add(combo("Testtone_pattern", "Test tone pattern:", "Test tone pattern.",
                                         {"1200 Hz", "2200 Hz", "1200/2200 Hz", "Carrier only"}, 3)
                                       .choice(1503));
  const FieldDecl& bypass = g.add(combo("Testtone_bypasspa", "Test tone bypass PA:", "", {"No", "Yes"}, 0).choice(1504));
  // Only on a user's choice: the port rules that end an unpack or a load
  // belong to the external interfaces, so that they stay the last action.
  g.rules = {RuleDecl(serial1ModeChange, {pattern.control}),
             RuleDecl(serial2ModeChange, {enable.control, bypass.control})};
  return g;
}

}  // namespace

const Group& testToneGroup() {
  static const Group group = makeTestTone();
  return group;
}

}  // namespace trekmor
