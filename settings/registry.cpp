#include "settings/registry.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

namespace trekmor {

Page page(std::string objectName, std::string caption) {
  Page p;
  p.objectName = std::move(objectName);
  p.caption = std::move(caption);
  return p;
}

Page withInner(Page p, std::string innerName, std::vector<Page> inner) {
  p.innerName = std::move(innerName);
  p.inner = std::move(inner);
  return p;
}

namespace {

const std::vector<const Group*>& groupsInOrder() {
  static const std::vector<const Group*> groups{
      &radioGroup(),     &positionReportsGroup(),    &digipeaterGroup(), &beaconsGroup(), &telemetryGroup(),
      &weatherGroup(),   &externalInterfacesGroup(), &waterLevelGroup(), &testToneGroup()};
  return groups;
}

std::vector<Page> buildTabTree() {
  Page external = externalInterfacesTab();
  external.inner.push_back(waterLevelTab());
  return {radioTab(),     positionReportsTab(), digipeaterTab(), beaconsTab(),
          telemetryTab(), weatherTab(),         external,        testToneTab()};
}

// Every problem, or nothing; a problem stops the program at its start.
void requireSoundDeclarations() {
  const std::vector<std::string> problems = declarationProblems(groupsInOrder(), buildTabTree());
  if (problems.empty()) return;
  std::fprintf(stderr, "aprs-trekmor: the settings declarations do not fit together:\n");
  for (const std::string& problem : problems) std::fprintf(stderr, "  %s\n", problem.c_str());
  std::abort();
}

void collectCells(const std::vector<Cell>& cells, std::vector<const Cell*>& out) {
  for (const Cell& cell : cells) {
    out.push_back(&cell);
    collectCells(cell.children, out);
  }
}

void collectCells(const std::vector<Page>& pages, std::vector<const Cell*>& out) {
  for (const Page& page : pages) {
    for (const Row& row : page.rows) collectCells(row.cells, out);
    collectCells(page.inner, out);
  }
}

}  // namespace

std::vector<std::string> declarationProblems(std::span<const Group* const> groups, const std::vector<Page>& tabs) {
  std::vector<std::string> problems;
  std::map<std::string, const FieldDecl*, std::less<>> fields;
  for (const Group* group : groups) {
    for (const FieldDecl& field : group->fields) {
      if (!fields.emplace(field.control, &field).second) {
        problems.push_back(group->name + ": the field \"" + field.control + "\" is declared twice");
      }
    }
  }
  std::vector<const Cell*> cells;
  collectCells(tabs, cells);
  std::set<std::string, std::less<>> buttonCells;
  for (const Cell* cell : cells) {
    if (cell->kind == Cell::Kind::Button) buttonCells.insert(cell->name);
  }

  for (const Group* group : groups) {
    const auto need = [&](const std::string& control, const char* what, bool combo = false) {
      const auto it = fields.find(control);
      if (it == fields.end()) {
        problems.push_back(group->name + ": " + what + " names \"" + control + "\", which no field declares");
      } else if (combo && !it->second->isCombo()) {
        problems.push_back(group->name + ": " + what + " names \"" + control + "\", which is no combo box");
      }
    };
    for (const StepDecl& step : group->steps) {
      if (!step.control.empty()) need(step.control, "an image step");
      if (!step.ssidControl.empty()) need(step.ssidControl, "an image step's SSID");
    }
    for (const std::string& control : group->fileOrder) need(control, "the file order");
    for (const RuleDecl& rule : group->rules) {
      for (const std::string& trigger : rule.triggers) need(trigger, "a rule's trigger", true);
      if (!rule.afterLoadOf.empty()) need(rule.afterLoadOf, "a rule run after a load");
      if (!rule.afterUnpackOf.empty()) need(rule.afterUnpackOf, "a rule run after an unpack");
    }
    for (const ButtonDecl& button : group->buttons) {
      if (!buttonCells.contains(button.name)) {
        problems.push_back(group->name + ": the button \"" + button.name + "\" stands on no tab page");
      }
      buttonCells.erase(button.name);
    }
  }
  for (const std::string& name : buttonCells) {
    problems.push_back("the button \"" + name + "\" on a tab page has no action declared");
  }
  std::set<std::string, std::less<>> unknownCells;  // a caption and its field name it once
  for (const Cell* cell : cells) {
    const bool namesField = cell->kind == Cell::Kind::Field || cell->kind == Cell::Kind::Caption;
    if (namesField && !fields.contains(cell->name) && unknownCells.insert(cell->name).second) {
      problems.push_back("a tab page's cell names \"" + cell->name + "\", which no field declares");
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

const std::vector<Page>& tabTree() {
  packOrder();  // the declarations are checked before any page is built from them
  static const std::vector<Page> tabs = buildTabTree();
  return tabs;
}

}  // namespace trekmor
