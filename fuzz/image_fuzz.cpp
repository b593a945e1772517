// An arbitrary 5120-byte image read from a device: the integrity test and the
// unpack never crash or read out of bounds, and whatever unpacks packs again
// without touching memory outside the image.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "settings/pipeline.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const trekmor::FieldStore start = trekmor::FieldStore::withStartValues();
  trekmor::Image image{};
  std::memcpy(image.data(), data, std::min(size, image.size()));
  // Give half of the inputs a valid version text so that the unpack runs.
  if (size > 0 && (data[0] & 1)) {
    std::copy(trekmor::kConfigVersionText.begin(), trekmor::kConfigVersionText.end(),
              image.begin() + trekmor::kVersionOffset);
  }
  (void)trekmor::checkImageIntegrity(image);
  trekmor::FieldStore fields = start;
  if (trekmor::unpackConfigImage(image, fields, trekmor::silentInterface())) {
    trekmor::Image repacked;
    (void)trekmor::packConfigImage(fields, repacked, 1);
  }
  return 0;
}
