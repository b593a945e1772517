#include "settings/registry.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

namespace trekmor {

namespace {

const std::vector<const Group*>& groupsInOrder() {
  static const std::vector<const Group*> groups{
      &radioGroup(),     &positionReportsGroup(),    &digipeaterGroup(), &beaconsGroup(), &telemetryGroup(),
      &weatherGroup(),   &externalInterfacesGroup(), &waterLevelGroup(), &testToneGroup()};
  return groups;
}

// Every problem, or nothing; a problem stops the program at its start.
void requireSoundDeclarations() {
  const std::vector<std::string> problems = declarationProblems(groupsInOrder());
  if (problems.empty()) return;
  std::fprintf(stderr, "aprs-trekmor: the settings declarations do not fit together:\n");
  for (const std::string& problem : problems) std::fprintf(stderr, "  %s\n", problem.c_str());
  std::abort();
}

// An order must hold each row of its group once, and nothing else.
void checkOrder(const Group& group, const std::vector<const FieldDecl*>& order, const char* what,
                std::vector<std::string>& problems) {
  if (order.empty()) return;
  std::set<const FieldDecl*> rows;
  for (const FieldDecl& field : group.fields) rows.insert(&field);
  std::set<const FieldDecl*> met;
  for (const FieldDecl* row : order) {
    if (!rows.contains(row)) {
      problems.push_back(group.name + ": the " + what + " holds \"" + row->control + "\", a row of another group");
    } else if (!met.insert(row).second) {
      problems.push_back(group.name + ": the " + what + " holds \"" + row->control + "\" twice");
    }
  }
  for (const FieldDecl& field : group.fields) {
    if (!met.contains(&field)) problems.push_back(group.name + ": the " + what + " misses \"" + field.control + "\"");
  }
}

}  // namespace

std::vector<std::string> declarationProblems(std::span<const Group* const> groups) {
  std::vector<std::string> problems;
  std::map<std::string, const FieldDecl*, std::less<>> fields;
  for (const Group* group : groups) {
    for (const FieldDecl& field : group->fields) {
      if (!fields.emplace(field.control, &field).second) {
        problems.push_back(group->name + ": the field \"" + field.control + "\" is declared twice");
      }
    }
  }
  std::map<std::size_t, std::string> claimed;  // image byte -> the control that holds it
  for (const Group* group : groups) {
    checkOrder(*group, group->fileOrder, "file order", problems);
    checkOrder(*group, group->packOrder, "pack order", problems);
    for (const Padding& bytes : group->padding) {
      for (std::size_t i = bytes.offset; i < bytes.offset + bytes.width; ++i) {
        if (!claimed.emplace(i, "padding").second) {
          problems.push_back(group->name + ": padding byte " + std::to_string(i) + " is claimed twice");
        }
      }
    }
    for (const FieldDecl& field : group->fields) {
      if (field.encoding == Encoding::Address && !field.ssid) {
        problems.push_back(group->name + ": the address \"" + field.control + "\" has no SSID row");
      }
      if (!field.hasImagePlace()) continue;
      for (std::size_t i = field.offset; i < field.offset + field.width; ++i) {
        const auto [it, fresh] = claimed.emplace(i, field.control);
        if (!fresh) {
          problems.push_back(group->name + ": image byte " + std::to_string(i) + " is claimed by \"" + it->second +
                             "\" and \"" + field.control + "\"");
        }
      }
    }
    const auto need = [&](const std::string& control, const char* what, bool combo = false) {
      const auto it = fields.find(control);
      if (it == fields.end()) {
        problems.push_back(group->name + ": " + what + " names \"" + control + "\", which no field declares");
      } else if (combo && !it->second->isCombo()) {
        problems.push_back(group->name + ": " + what + " names \"" + control + "\", which is no combo box");
      }
    };
    for (const RuleDecl& rule : group->rules) {
      for (const std::string& trigger : rule.triggers) need(trigger, "a rule's trigger", true);
      if (!rule.afterLoadOf.empty()) need(rule.afterLoadOf, "a rule run after a load");
      if (!rule.afterUnpackOf.empty()) need(rule.afterUnpackOf, "a rule run after an unpack");
    }
  }
  return problems;
}

const std::vector<const Group*>& packOrder() {
  static const bool checked = (requireSoundDeclarations(), true);
  (void)checked;
  return groupsInOrder();
}

const std::vector<const FieldDecl*>& allFields() {
  static const std::vector<const FieldDecl*> fields = [] {
    std::vector<const FieldDecl*> out;
    for (const Group* group : packOrder()) {
      for (const FieldDecl& field : group->fields) out.push_back(&field);
    }
    return out;
  }();
  return fields;
}

const FieldDecl* findField(const std::string& control) {
  static const std::map<std::string, const FieldDecl*> index = [] {
    std::map<std::string, const FieldDecl*> out;
    for (const FieldDecl* field : allFields()) out.emplace(field->control, field);
    return out;
  }();
  const auto it = index.find(control);
  return it == index.end() ? nullptr : it->second;
}

}  // namespace trekmor
