#include "settings/registry.h"

#include <map>

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

const std::vector<const Group*>& packOrder() {
  static const std::vector<const Group*> groups{
      &radioGroup(),     &positionReportsGroup(),    &digipeaterGroup(), &beaconsGroup(), &telemetryGroup(),
      &weatherGroup(),   &externalInterfacesGroup(), &waterLevelGroup(), &testToneGroup()};
  return groups;
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
  static const std::vector<Page> tabs = [] {
    Page external = externalInterfacesTab();
    external.inner.push_back(waterLevelTab());
    return std::vector<Page>{radioTab(),     positionReportsTab(), digipeaterTab(), beaconsTab(),
                             telemetryTab(), weatherTab(),         external,        testToneTab()};
  }();
  return tabs;
}

}  // namespace trekmor
