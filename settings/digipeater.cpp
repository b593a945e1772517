// Digipeater settings.
#include "settings/registry.h"

namespace trekmor {

namespace {
Group make() {
  Group g;
  g.name = "Digipeater";
  return g;
}
}  // namespace

const Group& digipeaterGroup() {
  static const Group group = make();
  return group;
}

Page digipeaterTab() {
  return withInner(page("TabSheet_digipeater", "Digipeater"), "PageControl3",
                   {page("TabSheet_digi_common", "Common settings"), page("TabSheet_digi_aliases", "Simple aliases")});
}

}  // namespace trekmor
