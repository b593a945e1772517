// The narrow interface through which the core reads and sets settings fields
// by their control names. The main window implements it over its widgets (the
// widgets stay the only copy of the settings); FieldStore implements it in
// memory for the command-line companion and for tests.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace trekmor {

class Fields {
 public:
  virtual ~Fields() = default;
  // Text of an edit or rich-edit box, as single-byte (Latin-1) text.
  virtual std::string text(std::string_view control) const = 0;
  virtual void setText(std::string_view control, std::string_view value) = 0;
  // Selected item index of a combo box; -1 when nothing is selected.
  virtual int index(std::string_view control) const = 0;
  // Indexes outside the list leave the combo box without a selection.
  virtual void setIndex(std::string_view control, int value) = 0;
  // Enabled state of a control or label (change rules switch them).
  virtual bool enabled(std::string_view control) const = 0;
  virtual void setEnabled(std::string_view control, bool value) = 0;
};

// Settings held in memory. Combo boxes know their item count so that an
// index outside the list becomes "no selection", as on screen.
//
// Every declared field has an ordinal (its place in allFields()), and its
// text, index, item count and enabled state stand in one slot of a vector
// indexed by it: copying a store copies one vector, and a lookup hashes the
// name once instead of comparing it along a tree. Any other name (a label
// that a rule enables, the fields of groups outside the registry) is kept by
// name. Either way a name holds a text, an index, an item count and an
// enabled state only once one was set or declared, and equality compares
// which of them are held and their values, whatever the place.
class FieldStore final : public Fields {
 public:
  // A store holding every declared field at its start value, with the
  // construction rules of the window applied.
  static FieldStore withStartValues();

  void declareCombo(std::string_view control, int itemCount);
  void declareEdit(std::string_view control);

  std::string text(std::string_view control) const override;
  void setText(std::string_view control, std::string_view value) override;
  int index(std::string_view control) const override;
  void setIndex(std::string_view control, int value) override;
  bool enabled(std::string_view control) const override;
  void setEnabled(std::string_view control, bool value) override;

  bool operator==(const FieldStore& other) const;

  // The ordinal of a declared field's control; -1 for any other name.
  static int ordinalOf(std::string_view control);

 private:
  struct Slot {
    std::string text;
    int index = -1;
    int itemCount = 0;
    bool enabled = true;
    bool hasText = false;
    bool hasIndex = false;
    bool hasItemCount = false;
    bool hasEnabled = false;

    bool operator==(const Slot& other) const;
  };

  // The slot of a declared field, or nullptr; the vector is filled on the
  // first write, so that an empty store costs nothing.
  const Slot* slot(int ordinal) const;
  Slot& writableSlot(int ordinal);

  std::vector<Slot> m_slots;
  std::map<std::string, std::string, std::less<>> m_texts;
  std::map<std::string, int, std::less<>> m_indexes;
  std::map<std::string, int, std::less<>> m_itemCounts;
  std::map<std::string, bool, std::less<>> m_enabled;
};

}  // namespace trekmor
