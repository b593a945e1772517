#include "settings/stepdecl.h"

namespace trekmor {

namespace {
StepDecl stepOf(Encoding encoding, const FieldDecl& field, std::size_t offset, std::size_t width) {
  StepDecl s;
  s.encoding = encoding;
  s.control = field.control;
  s.offset = offset;
  s.width = width;
  return s;
}
}  // namespace

StepDecl numberStep(const FieldDecl& field, std::size_t offset, std::size_t width) {
  return stepOf(Encoding::Number, field, offset, width);
}

StepDecl numberStep(const FieldDecl& field, std::size_t offset, std::size_t width, RangeCheck check, std::int64_t low,
                    std::int64_t high, std::string message) {
  StepDecl s = stepOf(Encoding::Number, field, offset, width);
  s.range = {check, low, high, false, std::move(message)};
  return s;
}

StepDecl choiceStep(const FieldDecl& field, std::size_t offset, std::size_t width) {
  return stepOf(Encoding::Choice, field, offset, width);
}

StepDecl textStep(const FieldDecl& field, std::size_t offset, std::size_t width, std::string label) {
  StepDecl s = stepOf(Encoding::Text, field, offset, width);
  s.text.label = std::move(label);
  return s;
}

StepDecl addressStep(const FieldDecl& name, const FieldDecl& ssid, std::size_t offset, std::string ssidMessage,
                     std::string label) {
  StepDecl s = stepOf(Encoding::Address, name, offset, 7);
  s.ssidControl = ssid.control;
  s.ssidMessage = std::move(ssidMessage);
  s.text.label = std::move(label);
  return s;
}

StepDecl characterStep(const FieldDecl& field, std::size_t offset) {
  return stepOf(Encoding::Character, field, offset, 1);
}

StepDecl zeroStep(std::size_t offset, std::size_t width) {
  StepDecl s;
  s.encoding = Encoding::Zero;
  s.offset = offset;
  s.width = width;
  return s;
}

StepDecl customStep(const FieldDecl& field, std::size_t offset, std::size_t width,
                    std::function<PackResult(PackContext&)> pack, std::function<void(UnpackContext&)> unpack) {
  StepDecl s = stepOf(Encoding::Custom, field, offset, width);
  s.customPack = std::move(pack);
  s.customUnpack = std::move(unpack);
  return s;
}

}  // namespace trekmor
