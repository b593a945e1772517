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

bool inRange(const StepDecl& step, std::int64_t value) {
  if (step.range.zeroAllowed && value == 0) return true;
  return value >= step.range.low && value <= step.range.high;
}

PackResult packNumber(const StepDecl& step, const Fields& fields, Image& image) {
  const std::string text = fields.text(step.control);
  const auto parsed = parseInteger(text);
  if (!parsed) return PackResult::conversion(conversionErrorText(text));
  const NumberRange& range = step.range;
  if (range.check == RangeCheck::Parsed && !inRange(step, *parsed)) return PackResult::check(range.message);
  putLE(image, step.offset, static_cast<std::uint32_t>(*parsed), step.width);
  const std::uint32_t stored = getLE(image, step.offset, step.width);
  if (range.check == RangeCheck::Unsigned && !inRange(step, stored)) return PackResult::check(range.message);
  if (range.check == RangeCheck::Signed && !inRange(step, signedStored(stored, step.width))) {
    return PackResult::check(range.message);
  }
  return PackResult::ok();
}

PackResult packChoice(const StepDecl& step, const Fields& fields, Image& image) {
  const int index = fields.index(step.control);
  const int value = step.choiceBase >= 0 ? step.choiceBase - index : index;
  putLE(image, step.offset, static_cast<std::uint32_t>(value), step.width);
  return PackResult::ok();
}

PackResult packText(const StepDecl& step, const Fields& fields, Image& image) {
  std::string text = fields.text(step.control);
  if (step.text.dropLineBreaks) std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
  if (text.empty() && !step.text.emptyMessage.empty()) return PackResult::check(step.text.emptyMessage);
  const std::size_t maximum = step.width - 1;
  if (text.size() > maximum) return PackResult::check(tooLongMessage(step.text.label, maximum));
  for (std::size_t i = 0; i < text.size(); ++i) image.at(step.offset + i) = static_cast<std::uint8_t>(text[i]);
  image.at(step.offset + text.size()) = 0;
  // The text as copied is tested, not the image up to its first NUL: a NUL
  // pasted into the text must not hide the bytes behind it from the test.
  if (!step.text.freeTextMessage.empty() && !isFreeText(text)) return PackResult::check(step.text.freeTextMessage);
  return PackResult::ok();
}

PackResult packAddressStep(const StepDecl& step, const Fields& fields, Image& image) {
  const std::string name = fields.text(step.control);
  if (name.empty() && !step.text.emptyMessage.empty()) return PackResult::check(step.text.emptyMessage);
  if (name.size() > kAddressNameLength) return PackResult::check(tooLongMessage(step.text.label, kAddressNameLength));
  if (!packAddress(name, fields.text(step.ssidControl), image, step.offset)) return PackResult::check(step.ssidMessage);
  return PackResult::ok();
}

PackResult packStep(const StepDecl& step, const Fields& fields, Image& image) {
  switch (step.encoding) {
    case Encoding::Number:
      return packNumber(step, fields, image);
    case Encoding::Choice:
      return packChoice(step, fields, image);
    case Encoding::Text:
      return packText(step, fields, image);
    case Encoding::Address:
      return packAddressStep(step, fields, image);
    case Encoding::Character: {
      const std::string text = fields.text(step.control);
      image.at(step.offset) = text.empty() ? 0 : static_cast<std::uint8_t>(text[0]);
      return PackResult::ok();
    }
    case Encoding::Zero:
      putLE(image, step.offset, 0, step.width);
      return PackResult::ok();
    case Encoding::Custom: {
      PackContext context{fields, image};
      return step.customPack ? step.customPack(context) : PackResult::ok();
    }
  }
  return PackResult::ok();
}

void unpackStep(const StepDecl& step, const Image& image, Fields& fields, UserInterface& ui) {
  // The step's own fields first; the rules that follow this field come after.
  switch (step.encoding) {
    case Encoding::Number: {
      const std::uint32_t stored = getLE(image, step.offset, step.width);
      fields.setText(step.control, step.signedValue ? std::to_string(signedStored(stored, step.width))
                                                    : std::to_string(stored));
      break;
    }
    case Encoding::Choice: {
      const std::uint32_t stored = getLE(image, step.offset, step.width);
      if (step.choiceBase >= 0) {
        fields.setIndex(step.control, step.choiceBase - static_cast<int>(signedStored(stored, step.width)));
      } else {
        // Taken as unsigned: 0xFF, or any index beyond the list, leaves no selection.
        fields.setIndex(step.control, stored > 0x7FFFFFFFu ? -1 : static_cast<int>(stored));
      }
      break;
    }
    case Encoding::Text:
      fields.setText(step.control, textAt(image, step.offset, step.width));
      break;
    case Encoding::Address: {
      const AddressText address = unpackAddress(image, step.offset);
      fields.setText(step.control, address.name);
      fields.setText(step.ssidControl, address.ssid);
      break;
    }
    case Encoding::Character: {
      const std::uint8_t c = image.at(step.offset);
      fields.setText(step.control, c == 0 ? std::string() : std::string(1, static_cast<char>(c)));
      break;
    }
    case Encoding::Zero:
      break;
    case Encoding::Custom:
      if (step.customUnpack) {
        UnpackContext context{image, fields, ui};
        step.customUnpack(context);
      }
      break;
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
  for (const StepDecl& step : group.steps) {
    PackResult result = packStep(step, fields, image);
    if (!result) return result;
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
    for (const StepDecl& step : group->steps) {
      PackResult result = packStep(step, fields, scratch);
      if (!result) failures.push_back(std::move(result));
    }
  }
  return failures;
}

void unpackGroup(const Group& group, const Image& image, Fields& fields, UserInterface& ui) {
  const Group* const self[] = {&group};
  for (const StepDecl& step : group.steps) {
    unpackStep(step, image, fields, ui);
    if (!step.control.empty()) runRulesAfter(self, &RuleDecl::afterUnpackOf, step.control, fields, ui);
  }
}

bool unpackConfigImage(const Image& image, Fields& fields, UserInterface& ui) {
  const std::string mismatch = configVersionMismatchMessage(image);
  if (!mismatch.empty()) {
    ui.information(mismatch);
    return false;
  }
  for (const Group* group : packOrder()) unpackGroup(*group, image, fields, ui);
  runRulesAt(packOrder(), &RuleDecl::atUnpackEnd, fields, ui);
  return true;
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
