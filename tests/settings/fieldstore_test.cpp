#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "settings/fields.h"
#include "settings/registry.h"

namespace trekmor {
namespace {

// A declared combo box and edit, and names no field declares: the store
// keeps them in different places, and they must behave alike.
const FieldDecl& firstField(bool combo) {
  for (const FieldDecl* field : allFields()) {
    if (field->isCombo() == combo) return *field;
  }
  throw std::logic_error("no such field");
}

TEST(FieldStore, DeclaredFieldsAreFoundByTheirOrdinalWhateverStringNamesThem) {
  const std::vector<const FieldDecl*>& fields = allFields();
  for (std::size_t ordinal = 0; ordinal < fields.size(); ++ordinal) {
    const std::string copy = fields[ordinal]->control;  // other bytes than the declaration's
    EXPECT_EQ(FieldStore::ordinalOf(copy), static_cast<int>(ordinal)) << copy;
  }
  EXPECT_EQ(FieldStore::ordinalOf("Label_mice"), -1);
  EXPECT_EQ(FieldStore::ordinalOf(""), -1);
}

// The declaration's own bytes are known by where they stand, tried first
// for the field found last and the next one: in any order of asking, and a
// part of those bytes is no name of theirs.
TEST(FieldStore, TheDeclarationsOwnStringFindsItsFieldInAnyOrder) {
  const std::vector<const FieldDecl*>& fields = allFields();
  const std::size_t count = fields.size();
  for (const bool backwards : {false, true}) {
    for (std::size_t step = 0; step < count; ++step) {
      const std::size_t ordinal = backwards ? count - 1 - step : step;
      const std::string& own = fields[ordinal]->control;
      ASSERT_EQ(FieldStore::ordinalOf(own), static_cast<int>(ordinal)) << own;
      const std::string_view shorter(own.data(), own.size() - 1);
      EXPECT_EQ(FieldStore::ordinalOf(shorter), FieldStore::ordinalOf(std::string(shorter))) << own;
      EXPECT_EQ(FieldStore::ordinalOf(own), static_cast<int>(ordinal)) << own;
    }
  }
}

TEST(FieldStore, DeclaredAndOtherNamesHoldTheSame) {
  for (const std::string& combo : {firstField(true).control, std::string("Not_a_combo")}) {
    FieldStore store;
    EXPECT_EQ(store.index(combo), -1);
    store.setIndex(combo, 7);  // no item count: taken as it is
    EXPECT_EQ(store.index(combo), 7) << combo;
    store.declareCombo(combo, 3);
    EXPECT_EQ(store.index(combo), -1) << combo;
    store.setIndex(combo, 3);
    EXPECT_EQ(store.index(combo), -1) << combo;
    store.setIndex(combo, 2);
    EXPECT_EQ(store.index(combo), 2) << combo;
  }
  for (const std::string& edit : {firstField(false).control, std::string("Not_an_edit")}) {
    FieldStore store;
    store.setText(edit, "text");
    store.declareEdit(edit);  // keeps the text
    EXPECT_EQ(store.text(edit), "text") << edit;
    EXPECT_TRUE(store.enabled(edit));
    store.setEnabled(edit, false);
    EXPECT_FALSE(store.enabled(edit)) << edit;
  }
}

TEST(FieldStore, EqualityComparesWhatIsHeldAndItsValue) {
  for (const std::string& name : {firstField(false).control, std::string("Label_mice")}) {
    const FieldStore empty;
    FieldStore emptyText;
    emptyText.setText(name, "");
    EXPECT_FALSE(empty == emptyText) << name;
    FieldStore enabled;
    enabled.setEnabled(name, true);
    EXPECT_FALSE(empty == enabled) << name;
    FieldStore copy = enabled;
    EXPECT_TRUE(copy == enabled) << name;
    copy.setEnabled(name, false);
    EXPECT_FALSE(copy == enabled) << name;
  }
  FieldStore start = FieldStore::withStartValues();
  FieldStore other = start;
  EXPECT_TRUE(other == start);
  const FieldDecl& combo = firstField(true);
  other.setIndex(combo.control, (start.index(combo.control) + 1) % static_cast<int>(combo.choices.size()));
  EXPECT_FALSE(other == start);
}

}  // namespace
}  // namespace trekmor
