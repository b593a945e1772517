#include "settings/fields.h"
#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor {

FieldStore FieldStore::withStartValues() {
  FieldStore store;
  for (const FieldDecl* field : allFields()) {
    if (field->isCombo()) {
      store.declareCombo(field->control, static_cast<int>(field->choices.size()));
    } else {
      store.declareEdit(field->control);
    }
  }
  applyStartValues(store, silentInterface());
  return store;
}

void FieldStore::declareCombo(std::string_view control, int itemCount) {
  m_itemCounts[std::string(control)] = itemCount;
  m_indexes[std::string(control)] = -1;
}

void FieldStore::declareEdit(std::string_view control) { m_texts[std::string(control)]; }

std::string FieldStore::text(std::string_view control) const {
  const auto it = m_texts.find(control);
  return it == m_texts.end() ? std::string() : it->second;
}

// A present entry is assigned in place: no key is built for the lookup, and
// the text reuses the entry's buffer.
void FieldStore::setText(std::string_view control, std::string_view value) {
  const auto it = m_texts.find(control);
  if (it != m_texts.end()) {
    it->second.assign(value);
  } else {
    m_texts.emplace(std::string(control), std::string(value));
  }
}

int FieldStore::index(std::string_view control) const {
  const auto it = m_indexes.find(control);
  return it == m_indexes.end() ? -1 : it->second;
}

void FieldStore::setIndex(std::string_view control, int value) {
  const auto count = m_itemCounts.find(control);
  const bool inList = count == m_itemCounts.end() || (value >= 0 && value < count->second);
  const int stored = inList ? value : -1;
  const auto it = m_indexes.find(control);
  if (it != m_indexes.end()) {
    it->second = stored;
  } else {
    m_indexes.emplace(std::string(control), stored);
  }
}

bool FieldStore::enabled(std::string_view control) const {
  const auto it = m_enabled.find(control);
  return it == m_enabled.end() || it->second;
}

void FieldStore::setEnabled(std::string_view control, bool value) { m_enabled[std::string(control)] = value; }

}  // namespace trekmor
