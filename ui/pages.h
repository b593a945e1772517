// The window's tab tree: every page with its rows and cells, built from the
// settings' rows and tab declarations.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "settings/group.h"
#include "ui/layout.h"

namespace trekmor {

// The top-level tabs of PageControl1 with everything inside them. The first
// call checks every cell and button against the settings and stops the
// program, naming each problem on standard error, when one does not fit.
const std::vector<Page>& tabTree();

// What does not fit between `tabs` and `groups`: a layout cell that names no
// declared field, a button without an action or an action without a button.
std::vector<std::string> layoutProblems(std::span<const Group* const> groups, const std::vector<Page>& tabs);

// objectName of the "Special strings" button of the beacons' tab, which
// opens the window of special strings.
const char* specialStringsButton();

}  // namespace trekmor
