#include "settings/pipeline.h"

#include "image/address.h"
#include "image/numbers.h"
#include "image/validators.h"
#include "settings/registry.h"

namespace trekmor {

namespace {

std::string tooLongMessage(const std::string& label, std::size_t maximum) {
  return label + " - too long (max " + std::to_string(maximum) + " characters).";
}

// Sign-extends the low `width` bytes of a stored value.
std::int64_t signedStored(std::uint32_t stored, std::size_t width) {
  if (width >= 4) return static_cast<std::int32_t>(stored);
  const std::uint32_t signBit = 1u << (8 * width - 1);
  return static_cast<std::int64_t>(stored ^ signBit) - static_cast<std::int64_t>(signBit);
}

bool inRange(const NumberRange& range, std::int64_t value) {
  if (range.zeroAllowed && value == 0) return true;
  return value >= range.low && value <= range.high;
}

PackResult packNumber(const FieldDecl& row, const Fields& fields, Image& image) {
  const std::string text = fields.text(row.control);
  const auto parsed = parseInteger(text);
  if (!parsed) return PackResult::conversion(conversionErrorText(text));
  const NumberRange& range = row.range;
  if (range.check == RangeCheck::Parsed && !inRange(range, *parsed)) return PackResult::check(range.message);
  putLE(image, row.offset, static_cast<std::uint32_t>(*parsed), row.width);
  const std::uint32_t stored = getLE(image, row.offset, row.width);
  if (range.check == RangeCheck::Unsigned && !inRange(range, stored)) return PackResult::check(range.message);
  if (range.check == RangeCheck::Signed && !inRange(range, signedStored(stored, row.width))) {
    return PackResult::check(range.message);
  }
  if (row.imageCheck) {
    std::string message = row.imageCheck(image);
    if (!message.empty()) return PackResult::check(std::move(message));
  }
  return PackResult::ok();
}

PackResult packChoice(const FieldDecl& row, const Fields& fields, Image& image) {
  const int index = fields.index(row.control);
  const int value = row.choiceBase >= 0 ? row.choiceBase - index : index;
  putLE(image, row.offset, static_cast<std::uint32_t>(value), row.width);
  return PackResult::ok();
}

PackResult packText(const FieldDecl& row, const Fields& fields, Image& image) {
  const TextRules& rules = row.text;
  std::string text = fields.text(row.control);
  if (rules.dropLineBreaks) std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
  if (rules.exactLength > 0 && text.size() != rules.exactLength) return PackResult::check(rules.lengthMessage);
  if (rules.syntax && !rules.syntax(text)) return PackResult::check(rules.syntaxMessage);
  if (text.empty() && !rules.emptyMessage.empty()) return PackResult::check(rules.emptyMessage);
  const std::size_t maximum = row.width - 1;
  if (text.size() > maximum) return PackResult::check(tooLongMessage(rules.label, maximum));
  for (std::size_t i = 0; i < text.size(); ++i) image.at(row.offset + i) = static_cast<std::uint8_t>(text[i]);
  image.at(row.offset + text.size()) = 0;
  // The text as copied is tested, not the image up to its first NUL: a NUL
  // pasted into the text must not hide the bytes behind it from the test.
  if (!rules.freeTextMessage.empty() && !kFreeTextRule.passes(text)) return PackResult::check(rules.freeTextMessage);
  return PackResult::ok();
}

PackResult packAddressRow(const FieldDecl& row, const Fields& fields, Image& image) {
  const std::string name = fields.text(row.control);
  if (name.empty() && !row.text.emptyMessage.empty()) return PackResult::check(row.text.emptyMessage);
  if (name.size() > kAddressNameLength) return PackResult::check(tooLongMessage(row.text.label, kAddressNameLength));
  if (!packAddress(name, fields.text(row.ssid->control), image, row.offset)) return PackResult::check(row.ssidMessage);
  return PackResult::ok();
}

// Stores one row; its free-standing text checks come first, each reported on
// its own. `report` takes every failure and says whether to go on.
template <typename Report>
bool packRow(const FieldDecl& row, const Fields& fields, Image& image, Report&& report) {
  for (const TextCheck& check : row.checks) {
    if (!check.passes(fields.text(row.control)) && !report(PackResult::check(check.message))) return false;
  }
  PackResult result;
  switch (row.encoding) {
    case Encoding::None:
      return true;
    case Encoding::Number:
      result = packNumber(row, fields, image);
      break;
    case Encoding::Choice:
      result = packChoice(row, fields, image);
      break;
    case Encoding::Text:
      result = packText(row, fields, image);
      break;
    case Encoding::Address:
      result = packAddressRow(row, fields, image);
      break;
    case Encoding::Character: {
      const std::string text = fields.text(row.control);
      image.at(row.offset) = text.empty() ? 0 : static_cast<std::uint8_t>(text[0]);
      break;
    }
  }
  return result || report(std::move(result));
}

void unpackRow(const FieldDecl& row, const Image& image, Fields& fields) {
  switch (row.encoding) {
    case Encoding::None:
      break;
    case Encoding::Number: {
      const std::uint32_t stored = getLE(image, row.offset, row.width);
      fields.setText(row.control, row.signedValue ? std::to_string(signedStored(stored, row.width))
                                                  : std::to_string(stored));
      break;
    }
    case Encoding::Choice: {
      const std::uint32_t stored = getLE(image, row.offset, row.width);
      if (row.choiceBase >= 0) {
        fields.setIndex(row.control, row.choiceBase - static_cast<int>(signedStored(stored, row.width)));
      } else {
        // Taken as unsigned: 0xFF, or any index beyond the list, leaves no selection.
        fields.setIndex(row.control, stored > 0x7FFFFFFFu ? -1 : static_cast<int>(stored));
      }
      break;
    }
    case Encoding::Text:
      fields.setText(row.control, textAt(image, row.offset, row.width));
      break;
    case Encoding::Address: {
      const AddressText address = unpackAddress(image, row.offset);
      fields.setText(row.control, address.name);
      fields.setText(row.ssid->control, address.ssid);
      break;
    }
    case Encoding::Character: {
      const std::uint8_t c = image.at(row.offset);
      fields.setText(row.control, c == 0 ? std::string() : std::string(1, static_cast<char>(c)));
      break;
    }
  }
}

class SilentInterface final : public UserInterface {
 public:
  void information(std::string_view) override {}
  void error(std::string_view) override {}
  void log(std::string_view) override {}
  void setProgressRange(int) override {}
  void setProgress(int) override {}
  void processEvents() override {}
};

}  // namespace

PackResult packGroup(const Group& group, const Fields& fields, Image& image) {
  for (const Padding& bytes : group.padding) putLE(image, bytes.offset, 0, bytes.width);
  PackResult failed;
  for (const FieldDecl* row : packRows(group)) {
    if (!packRow(*row, fields, image, [&failed](PackResult result) {
          failed = std::move(result);
          return false;
        })) {
      return failed;
    }
  }
  return PackResult::ok();
}

PackResult packConfigImage(const Fields& fields, Image& image, std::uint32_t seed) {
  beginImage(image);
  for (const Group* group : packOrder()) {
    PackResult result = packGroup(*group, fields, image);
    if (!result) return result;
  }
  finishImage(image, seed);
  return PackResult::ok();
}

std::vector<PackResult> packFailures(const Fields& fields) {
  Image scratch{};
  beginImage(scratch);
  std::vector<PackResult> failures;
  for (const Group* group : packOrder()) {
    for (const FieldDecl* row : packRows(*group)) {
      packRow(*row, fields, scratch, [&failures, row](PackResult result) {
        result.field = row;
        failures.push_back(std::move(result));
        return true;
      });
    }
  }
  return failures;
}

void settleSettings(Fields& fields) {
  for (const Group* group : packOrder()) {
    for (const FieldDecl* row : packRows(*group)) {
      if (!row->hasImagePlace()) continue;
      Image scratch{};
      if (packRow(*row, fields, scratch, [](const PackResult&) { return false; })) unpackRow(*row, scratch, fields);
    }
  }
}

void unpackGroup(const Group& group, const Image& image, Fields& fields, UserInterface& ui) {
  const Group* const self[] = {&group};
  for (const FieldDecl* row : packRows(group)) {
    if (!row->hasImagePlace()) continue;
    unpackRow(*row, image, fields);
    runRulesAfter(self, &RuleDecl::afterUnpackOf, row->control, fields, ui);
  }
}

bool unpackConfigImage(const Image& image, Fields& fields, UserInterface& ui) {
  const std::string mismatch = configVersionMismatchMessage(image);
  if (!mismatch.empty()) {
    ui.information(mismatch);
    return false;
  }
  unpackSettings(image, fields, ui);
  runRulesAt(packOrder(), &RuleDecl::atUnpackEnd, fields, ui);
  return true;
}

void unpackSettings(const Image& image, Fields& fields, UserInterface& ui) {
  for (const Group* group : packOrder()) unpackGroup(*group, image, fields, ui);
}

void setFieldValue(const FieldDecl& field, Fields& fields, const std::string& value) {
  if (field.isCombo()) {
    fields.setIndex(field.control, parseInteger(value).value_or(-1));
  } else {
    fields.setText(field.control, value);
  }
}

void applyStartValues(Fields& fields, UserInterface& ui) {
  for (const Group* group : packOrder()) {
    for (const FieldDecl& field : group->fields) setFieldValue(field, fields, field.start);
  }
  runRulesAt(packOrder(), &RuleDecl::atStartEnd, fields, ui);
}

void runRulesAt(std::span<const Group* const> groups, bool RuleDecl::*occasion, Fields& fields, UserInterface& ui) {
  for (const Group* group : groups) {
    for (const RuleDecl& rule : group->rules) {
      if (rule.*occasion) rule.run(fields, ui);
    }
  }
}

void runRulesAfter(std::span<const Group* const> groups, std::string RuleDecl::*occasion, std::string_view control,
                   Fields& fields, UserInterface& ui) {
  for (const Group* group : groups) {
    for (const RuleDecl& rule : group->rules) {
      if (rule.*occasion == control) rule.run(fields, ui);
    }
  }
}

UserInterface& silentInterface() {
  static SilentInterface silent;
  return silent;
}

}  // namespace trekmor
