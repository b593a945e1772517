#include "device/firmwarefile.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "configfile/configfile.h"
#include "configfile/textencoding.h"
#include "image/image.h"
#include "product/product.h"

namespace trekmor {

namespace {

std::string notFirmware(std::string_view bytes) {
  const ProfileFile file = ProfileFile::fromBytes(bytes);
  if (file.value(kHeaderSection, "Application") == kApplicationName) return "it is a configuration file (.cfg)";
  if (bytes.size() == kImageSize) {
    Image image{};
    std::copy(bytes.begin(), bytes.end(), image.begin());
    if (checkImageIntegrity(image)) return "it is a configuration image";
  }
  const bool text = bytes.find('\0') == std::string_view::npos && !firstUnencodable(bytes).has_value() &&
                    std::all_of(bytes.begin(), bytes.end(), [](char c) {
                      const auto byte = static_cast<unsigned char>(c);
                      return byte >= 0x20 ? byte != 0x7F : byte == '\t' || byte == '\n' || byte == '\r' || byte == '\f';
                    });
  if (!bytes.empty() && text) return "it is text";
  return {};
}

}  // namespace

FirmwareFile readFirmwareFile(const FileName& name) {
  FirmwareFile file;
  ReadFailure failure;
  const std::optional<std::string> bytes = readWholeFile(name, kFirmwareMaxSize, &failure);
  if (!bytes && failure.kind == ReadFailure::Kind::TooLarge) {
    file.problem = "it holds " + std::to_string(failure.size) + " bytes, more than the largest image the device takes (" +
                   std::to_string(kFirmwareMaxSize) + " bytes)";
  } else if (!bytes) {
    file.failure = failure;
  } else {
    file.problem = notFirmware(*bytes);
    file.bytes.assign(bytes->begin(), bytes->end());
  }
  return file;
}

std::string notFirmwareText(std::string_view name, const FirmwareFile& file) {
  return std::string(name) + " is not a firmware image: " + file.problem + ". Nothing was sent to the device.";
}

}  // namespace trekmor
