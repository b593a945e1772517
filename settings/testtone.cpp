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
                    std::move(key));
}

Group makeTestTone() {
  Group g;
  g.name = "Test tone";
  g.fields = {
      combo("Testtone_enable", "Test tone enable:", "Test tone enable.", {"No", "Yes"}, 0),
      combo("Testtone_pattern", "Test tone pattern:", "Test tone pattern.",
            {"1200 Hz", "2200 Hz", "1200/2200 Hz", "Carrier only"}, 3),
      combo("Testtone_bypasspa", "Test tone bypass PA:", "", {"No", "Yes"}, 0),
  };
  g.steps = {choiceStep("Testtone_enable", 1502), choiceStep("Testtone_pattern", 1503),
             choiceStep("Testtone_bypasspa", 1504)};
  for (const FieldDecl& f : g.fields) g.fileOrder.push_back(f.control);
  // No finish rule here: the port rules of the external interfaces must stay
  // the last action of an unpack or a load.
  g.userTriggers = {{"Testtone_pattern", serial1ModeChange},
                    {"Testtone_enable", serial2ModeChange},
                    {"Testtone_bypasspa", serial2ModeChange}};
  return g;
}

}  // namespace

const Group& testToneGroup() {
  static const Group group = makeTestTone();
  return group;
}

Page testToneTab() {
  Page p = page("TabSheet_testtone", "Test tone");
  p.rows = {formRow("Testtone_enable"), formRow("Testtone_pattern"), formRow("Testtone_bypasspa"),
            wrappedText("Device will send test pattern for 10 seconds in 20 second intervals (10 seconds on, 10 "
                        "seconds off, etc.).",
                        3)};
  return p;
}

}  // namespace trekmor
