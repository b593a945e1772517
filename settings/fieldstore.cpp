#include <algorithm>
#include <cstdint>
#include <functional>

#include "settings/fields.h"
#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor {

namespace {

// The controls of the declared fields by ordinal, and an open-addressed hash
// table over them (a slot holds 1 + the ordinal, 0 when free), at most half
// full. Built once, on the first lookup.
struct NameTable {
  std::vector<std::string_view> names;
  std::vector<std::uint16_t> slots;

  NameTable() {
    for (const FieldDecl* field : allFields()) names.push_back(field->control);
    std::size_t size = 16;
    while (size < 2 * names.size()) size *= 2;
    slots.assign(size, 0);
    for (std::size_t ordinal = 0; ordinal < names.size(); ++ordinal) {
      std::size_t at = std::hash<std::string_view>{}(names[ordinal]) & (size - 1);
      while (slots[at] != 0) at = (at + 1) & (size - 1);
      slots[at] = static_cast<std::uint16_t>(ordinal + 1);
    }
  }

  int find(std::string_view control) const {
    // Walks over the declarations mostly ask for the field found last or the
    // one declared after it, by the declaration's own string: bytes that
    // stand where a declared name's bytes stand are that name.
    thread_local std::size_t last = 0;
    for (std::size_t near = last; near < names.size() && near <= last + 1; ++near) {
      if (names[near].data() == control.data() && names[near].size() == control.size()) {
        last = near;
        return static_cast<int>(near);
      }
    }
    const std::size_t mask = slots.size() - 1;
    for (std::size_t at = std::hash<std::string_view>{}(control) & mask; slots[at] != 0; at = (at + 1) & mask) {
      const std::string_view name = names[slots[at] - 1];
      // Callers mostly pass the declaration's own string: the same bytes
      // need no comparison.
      if (name.size() == control.size() && (name.data() == control.data() || name == control)) {
        last = slots[at] - 1;
        return static_cast<int>(last);
      }
    }
    return -1;
  }
};

const NameTable& nameTable() {
  static const NameTable table;
  return table;
}

}  // namespace

int FieldStore::ordinalOf(std::string_view control) { return nameTable().find(control); }

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

bool FieldStore::Slot::operator==(const Slot& other) const {
  return hasText == other.hasText && (!hasText || text == other.text) && hasIndex == other.hasIndex &&
         (!hasIndex || index == other.index) && hasEnabled == other.hasEnabled &&
         (!hasEnabled || enabled == other.enabled);
}

bool FieldStore::operator==(const FieldStore& other) const {
  static const Slot kNothing;
  for (std::size_t ordinal = 0; ordinal < std::max(m_slots.size(), other.m_slots.size()); ++ordinal) {
    const Slot& mine = ordinal < m_slots.size() ? m_slots[ordinal] : kNothing;
    const Slot& theirs = ordinal < other.m_slots.size() ? other.m_slots[ordinal] : kNothing;
    if (!(mine == theirs)) return false;
  }
  return m_texts == other.m_texts && m_indexes == other.m_indexes && m_enabled == other.m_enabled;
}

const FieldStore::Slot* FieldStore::slot(int ordinal) const {
  return ordinal >= 0 && static_cast<std::size_t>(ordinal) < m_slots.size() ? &m_slots[ordinal] : nullptr;
}

FieldStore::Slot& FieldStore::writableSlot(int ordinal) {
  if (m_slots.empty()) m_slots.resize(nameTable().names.size());
  return m_slots[ordinal];
}

void FieldStore::declareCombo(std::string_view control, int itemCount) {
  if (const int ordinal = ordinalOf(control); ordinal >= 0) {
    Slot& slot = writableSlot(ordinal);
    slot.itemCount = itemCount;
    slot.hasItemCount = true;
    slot.index = -1;
    slot.hasIndex = true;
    return;
  }
  m_itemCounts[std::string(control)] = itemCount;
  m_indexes[std::string(control)] = -1;
}

// A text already held stays.
void FieldStore::declareEdit(std::string_view control) {
  if (const int ordinal = ordinalOf(control); ordinal >= 0) {
    writableSlot(ordinal).hasText = true;
    return;
  }
  m_texts[std::string(control)];
}

std::string FieldStore::text(std::string_view control) const {
  if (const int ordinal = ordinalOf(control); ordinal >= 0) {
    const Slot* held = slot(ordinal);
    return held != nullptr && held->hasText ? held->text : std::string();
  }
  const auto it = m_texts.find(control);
  return it == m_texts.end() ? std::string() : it->second;
}

// A present entry is assigned in place: no key is built for the lookup, and
// the text reuses the entry's buffer.
void FieldStore::setText(std::string_view control, std::string_view value) {
  if (const int ordinal = ordinalOf(control); ordinal >= 0) {
    Slot& slot = writableSlot(ordinal);
    slot.text.assign(value);
    slot.hasText = true;
    return;
  }
  const auto it = m_texts.find(control);
  if (it != m_texts.end()) {
    it->second.assign(value);
  } else {
    m_texts.emplace(std::string(control), std::string(value));
  }
}

int FieldStore::index(std::string_view control) const {
  if (const int ordinal = ordinalOf(control); ordinal >= 0) {
    const Slot* held = slot(ordinal);
    return held != nullptr && held->hasIndex ? held->index : -1;
  }
  const auto it = m_indexes.find(control);
  return it == m_indexes.end() ? -1 : it->second;
}

void FieldStore::setIndex(std::string_view control, int value) {
  const auto inList = [value](bool counted, int count) { return !counted || (value >= 0 && value < count); };
  if (const int ordinal = ordinalOf(control); ordinal >= 0) {
    Slot& slot = writableSlot(ordinal);
    slot.index = inList(slot.hasItemCount, slot.itemCount) ? value : -1;
    slot.hasIndex = true;
    return;
  }
  const auto count = m_itemCounts.find(control);
  const int stored = inList(count != m_itemCounts.end(), count != m_itemCounts.end() ? count->second : 0) ? value : -1;
  const auto it = m_indexes.find(control);
  if (it != m_indexes.end()) {
    it->second = stored;
  } else {
    m_indexes.emplace(std::string(control), stored);
  }
}

bool FieldStore::enabled(std::string_view control) const {
  if (const int ordinal = ordinalOf(control); ordinal >= 0) {
    const Slot* held = slot(ordinal);
    return held == nullptr || !held->hasEnabled || held->enabled;
  }
  const auto it = m_enabled.find(control);
  return it == m_enabled.end() || it->second;
}

void FieldStore::setEnabled(std::string_view control, bool value) {
  if (const int ordinal = ordinalOf(control); ordinal >= 0) {
    Slot& slot = writableSlot(ordinal);
    slot.enabled = value;
    slot.hasEnabled = true;
    return;
  }
  // Labels are set on every rule run: found without building a key.
  const auto it = m_enabled.find(control);
  if (it != m_enabled.end()) {
    it->second = value;
  } else {
    m_enabled.emplace(std::string(control), value);
  }
}

}  // namespace trekmor
