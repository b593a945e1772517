// The narrow interface through which the core reads and sets settings fields
// by their control names. The main window implements it over its widgets (the
// widgets stay the only copy of the settings); FieldStore implements it in
// memory for the command-line companion and for tests.
#pragma once

#include <map>
#include <string>
#include <string_view>

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

  bool operator==(const FieldStore& other) const {
    return m_texts == other.m_texts && m_indexes == other.m_indexes && m_enabled == other.m_enabled;
  }

 private:
  std::map<std::string, std::string, std::less<>> m_texts;
  std::map<std::string, int, std::less<>> m_indexes;
  std::map<std::string, int, std::less<>> m_itemCounts;
  std::map<std::string, bool, std::less<>> m_enabled;
};

}  // namespace trekmor
