#include "settings/group.h"

namespace trekmor {

const FieldDecl& Group::add(FieldDecl row) {
  fields.push_back(std::move(row));
  return fields.back();
}

const FieldDecl& Group::addAddress(FieldDecl name, FieldDecl ssid) {
  FieldDecl& nameRow = fields.emplace_back(std::move(name));
  nameRow.ssid = &fields.emplace_back(std::move(ssid));
  return nameRow;
}

std::vector<const FieldDecl*> fileRows(const Group& group) {
  if (!group.fileOrder.empty()) return group.fileOrder;
  std::vector<const FieldDecl*> rows;
  for (const FieldDecl& field : group.fields) rows.push_back(&field);
  return rows;
}

std::vector<const FieldDecl*> packRows(const Group& group) {
  return group.packOrder.empty() ? fileRows(group) : group.packOrder;
}

}  // namespace trekmor
