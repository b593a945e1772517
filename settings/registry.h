// The settings groups in their fixed order.
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

// What does not fit together in `groups`: a field declared twice; a file or
// pack order that misses a row, holds one twice or names a row of no group;
// an address without its SSID row; two rows that claim the same image byte; a
// rule trigger (a combo box) or occasion that names no declared field. Empty
// when all is sound.
std::vector<std::string> declarationProblems(std::span<const Group* const> groups);

// Every declared field, group by group.
const std::vector<const FieldDecl*>& allFields();
const FieldDecl* findField(const std::string& control);

// The groups.
const Group& radioGroup();
const Group& positionReportsGroup();
const Group& digipeaterGroup();
const Group& beaconsGroup();
const Group& telemetryGroup();
const Group& weatherGroup();
const Group& externalInterfacesGroup();
const Group& waterLevelGroup();
const Group& testToneGroup();

}  // namespace trekmor
