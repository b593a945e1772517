// A settings group: its fields, the image steps of its pack and unpack, its
// file order, its rules and its buttons. The window, the pack, the unpack, the
// save and the load are all walks over these declarations.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "settings/fielddecl.h"
#include "settings/fields.h"
#include "settings/layout.h"
#include "settings/stepdecl.h"
#include "settings/userinterface.h"

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

struct Group {
  std::string name;
  std::vector<FieldDecl> fields;       // in tab order
  std::vector<StepDecl> steps;         // pack order; the unpack walks the same list
  // Controls in the order their keys are saved and loaded; empty: the order of `fields`.
  std::vector<std::string> fileOrder;
  std::vector<RuleDecl> rules;         // in the order they run on the same occasion
  std::vector<ButtonDecl> buttons;
};

}  // namespace trekmor
