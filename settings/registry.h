// The settings groups in their fixed order and the window's tab tree.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "settings/group.h"

namespace trekmor {

// Pack order, which is also the order of unpack, start values and file keys:
// Radio, Position reports, Digipeater, Beacons, Telemetry, Weather, External
// interfaces, water-level module, Test tone. The first call checks every
// reference between the declarations and stops the program, naming each
// problem on standard error, when one does not resolve.
const std::vector<const Group*>& packOrder();

// What does not fit together in `groups` and `tabs`: a field declared twice;
// an image step, file order entry, rule trigger (a combo box) or layout cell
// that names no declared field; a button without an action or an action
// without a button. Empty when all is sound.
std::vector<std::string> declarationProblems(std::span<const Group* const> groups, const std::vector<Page>& tabs);

// Every declared field, group by group.
const std::vector<const FieldDecl*>& allFields();
const FieldDecl* findField(const std::string& control);

// The top-level tabs of PageControl1 with everything inside them.
const std::vector<Page>& tabTree();

// Small helpers for the tab declarations.
Page page(std::string objectName, std::string caption);
Page withInner(Page p, std::string innerName, std::vector<Page> inner);

// The groups, each with its top-level tab (the water-level module's tab is
// the eighth inner tab of the external interfaces).
const Group& radioGroup();
Page radioTab();
const Group& positionReportsGroup();
Page positionReportsTab();
const Group& digipeaterGroup();
Page digipeaterTab();
const Group& beaconsGroup();
Page beaconsTab();
const Group& telemetryGroup();
Page telemetryTab();
const Group& weatherGroup();
Page weatherTab();
const Group& externalInterfacesGroup();
Page externalInterfacesTab();
const Group& waterLevelGroup();
Page waterLevelTab();
const Group& testToneGroup();
Page testToneTab();

}  // namespace trekmor
