#include "settings/group.h"

namespace trekmor {

const FieldDecl* Group::field(const std::string& control) const {
  for (const auto& f : fields) {
    if (f.control == control) return &f;
  }
  return nullptr;
}

}  // namespace trekmor
