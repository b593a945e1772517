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

// The groups.
const Group& radioGroup();
Page radioTab();

}  // namespace trekmor
