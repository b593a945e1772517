// The settings groups in their fixed order and the window's tab tree.
#pragma once

#include <string>
#include <vector>

#include "settings/group.h"

namespace trekmor {

// Pack order, which is also the order of unpack, start values and file keys:
// Radio, Position reports, Digipeater, Beacons, Telemetry, Weather, External
// interfaces, water-level module, Test tone (groups not built yet are absent).
const std::vector<const Group*>& packOrder();

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
