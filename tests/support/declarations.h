// Views of the group declarations that several tests need: the controls in
// file order, and the rules that a user's choice or an occasion runs.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "configfile/configfile.h"
#include "settings/registry.h"

namespace trekmor::testing {

// The declaration of `control` when `group` declares it.
inline const FieldDecl* fieldOf(const Group& group, const std::string& control) {
  for (const FieldDecl& field : group.fields) {
    if (field.control == control) return &field;
  }
  return nullptr;
}

// The controls whose keys the group saves and loads, in that order.
inline std::vector<std::string> fileControls(const Group& group) {
  const Group* const groups[] = {&group};
  std::vector<std::string> out;
  for (const FieldDecl* field : fileSequence(groups)) out.push_back(field->control);
  return out;
}

// The rules of every group that a user's choice of `control` runs.
inline std::vector<const RuleDecl*> rulesTriggeredBy(const std::string& control) {
  std::vector<const RuleDecl*> out;
  for (const Group* group : packOrder()) {
    for (const RuleDecl& rule : group->rules) {
      if (std::find(rule.triggers.begin(), rule.triggers.end(), control) != rule.triggers.end()) out.push_back(&rule);
    }
  }
  return out;
}

// What the window does on a user's choice of `control`.
inline void chooseByUser(const std::string& control, Fields& fields, UserInterface& ui) {
  for (const RuleDecl* rule : rulesTriggeredBy(control)) rule->run(fields, ui);
}

}  // namespace trekmor::testing
