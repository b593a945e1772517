// A settings group: its rows (one per setting), the orders in which they are
// packed and saved where these differ from the rows' order, the image bytes
// that belong to no setting, its rules and its buttons. The window, the pack,
// the unpack, the save and the load are all walks over these declarations.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "settings/fielddecl.h"
#include "settings/fields.h"
#include "platform/userinterface.h"

namespace trekmor {

// A rule over the fields: a change handler, a preset, a port rule.
using Rule = std::function<void(Fields&, UserInterface&)>;

// One rule of a group with every occasion it runs on.
struct RuleDecl {
  explicit RuleDecl(Rule rule, std::vector<std::string> userTriggers = {})
      : run(std::move(rule)), triggers(std::move(userTriggers)) {}

  Rule run;
  std::vector<std::string> triggers;  // combo boxes whose choice by the user runs it
  std::string afterLoadOf;            // runs right after the load has set this field
  std::string afterUnpackOf;          // runs right after the unpack has set this field
  bool atStartEnd = false;            // runs once every start value is set, while the window is built
  bool atLoadEnd = false;             // runs as the last action of a load
  bool atUnpackEnd = false;           // runs as the last action of an unpack
};

// A push button of a tab page and what a click does.
struct ButtonDecl {
  std::string name;  // objectName
  Rule click;
};

// Image bytes that belong to no setting and are always zero.
struct Padding {
  std::size_t offset = 0;
  std::size_t width = 1;
};

struct Group {
  Group() = default;
  explicit Group(std::string groupName) : name(std::move(groupName)) {}
  // Rows refer to each other (an address to its SSID, the orders to the
  // rows): a group is built in place and moved, never copied.
  Group(Group&&) = default;
  Group& operator=(Group&&) = default;
  Group(const Group&) = delete;
  Group& operator=(const Group&) = delete;

  // Adds one row; the reference stays valid as long as the group lives.
  const FieldDecl& add(FieldDecl row);
  // Adds the name row of an address (declared with FieldDecl::address) and
  // the row of its SSID edit after it; returns the name's row.
  const FieldDecl& addAddress(FieldDecl name, FieldDecl ssid);

  std::string name;
  std::deque<FieldDecl> fields;  // the rows, in file order unless fileOrder says otherwise
  // The rows in the order their keys are saved and loaded; empty: the rows' order.
  std::vector<const FieldDecl*> fileOrder;
  // The rows in the order the pack tests and stores them (which decides the
  // message of the first failing check); empty: the file order.
  std::vector<const FieldDecl*> packOrder;
  std::vector<Padding> padding;
  std::vector<RuleDecl> rules;  // in the order they run on the same occasion
  std::vector<ButtonDecl> buttons;
};

// The rows of `group` in the order their keys are saved and loaded.
std::vector<const FieldDecl*> fileRows(const Group& group);
// The rows of `group` in pack (and unpack) order.
std::vector<const FieldDecl*> packRows(const Group& group);

}  // namespace trekmor
