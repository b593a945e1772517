// The integer conversion with arbitrary text: never crashes, and whatever it
// accepts prints back to the same value.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "image/numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto value = trekmor::parseInteger(text);
  if (value) {
    const auto again = trekmor::parseInteger(std::to_string(*value));
    if (!again || *again != *value) std::abort();
  }
  (void)trekmor::conversionErrorText(text);
  return 0;
}
