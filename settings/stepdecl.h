// The declaration of one place in the configuration image: which field goes
// there, in which encoding, with which checks and messages. The pack and the
// unpack are two walks over the same list of steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "image/image.h"
#include "settings/fielddecl.h"
#include "settings/fields.h"
#include "settings/userinterface.h"

namespace trekmor {

// ---- outcome of a pack ------------------------------------------------------
struct PackResult {
  enum class Status { Ok, CheckFailed, ConversionError };
  Status status = Status::Ok;
  std::string message;  // the check message, or the conversion error text

  static PackResult ok() { return {}; }
  static PackResult check(std::string message) { return {Status::CheckFailed, std::move(message)}; }
  static PackResult conversion(std::string message) { return {Status::ConversionError, std::move(message)}; }
  explicit operator bool() const { return status == Status::Ok; }
};

enum class Encoding { Number, Choice, Text, Address, Character, Zero, Custom };

// How a number field's value is tested. Unsigned and Signed test the value read
// back from the image (so it is truncated to the field width); Parsed tests
// the converted value before it is stored.
enum class RangeCheck { None, Unsigned, Signed, Parsed };

// The range test of a number step.
struct NumberRange {
  RangeCheck check = RangeCheck::None;
  std::int64_t low = 0;
  std::int64_t high = 0;
  bool zeroAllowed = false;  // "0 or low..high"
  std::string message;       // shown when the value is outside
};

// The tests of a text or address step.
struct TextRules {
  std::string label;            // the field's name in the too-long message
  std::string emptyMessage;     // shown for an empty text; empty: an empty text is taken
  std::string freeTextMessage;  // text: shown when a byte is not printable ASCII
  bool dropLineBreaks = false;  // text: CR and LF are left out while copying
};

struct PackContext {
  const Fields& fields;
  Image& image;
};

struct UnpackContext {
  const Image& image;
  Fields& fields;
  UserInterface& ui;
};

struct StepDecl {
  Encoding encoding = Encoding::Zero;
  std::string control;      // the field (the name edit of an address)
  std::string ssidControl;  // address: the SSID edit
  std::size_t offset = 0;
  std::size_t width = 1;
  NumberRange range;         // number
  bool signedValue = false;  // number: shown signed on unpack
  int choiceBase = -1;       // choice: stored as choiceBase - index when >= 0
  TextRules text;            // text and address
  std::string ssidMessage;   // address: shown when the SSID is no number from 0 to 15
  std::function<PackResult(PackContext&)> customPack;
  std::function<void(UnpackContext&)> customUnpack;
};

// Factories keep the group tables short and readable. Each takes the field
// it stores, so that a step cannot name a field that was never declared.
StepDecl numberStep(const FieldDecl& field, std::size_t offset, std::size_t width);
StepDecl numberStep(const FieldDecl& field, std::size_t offset, std::size_t width, RangeCheck check, std::int64_t low,
                    std::int64_t high, std::string message);
StepDecl choiceStep(const FieldDecl& field, std::size_t offset, std::size_t width = 1);
StepDecl textStep(const FieldDecl& field, std::size_t offset, std::size_t width, std::string label);
StepDecl addressStep(const FieldDecl& name, const FieldDecl& ssid, std::size_t offset, std::string ssidMessage,
                     std::string label);
StepDecl characterStep(const FieldDecl& field, std::size_t offset);
StepDecl zeroStep(std::size_t offset, std::size_t width = 1);
// A step with its own pack and unpack of `field`, which lies at `offset`
// and takes `width` bytes.
StepDecl customStep(const FieldDecl& field, std::size_t offset, std::size_t width,
                    std::function<PackResult(PackContext&)> pack, std::function<void(UnpackContext&)> unpack);

}  // namespace trekmor
