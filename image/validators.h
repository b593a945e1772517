// Shared syntax checks of settings texts.
#pragma once

#include <cstddef>
#include <string_view>

#include "image/image.h"

namespace trekmor {

// DDMM.mmN or DDMM.mmS, degrees up to 89, minutes below 60.
bool isLatitudeText(std::string_view text);
// DDDMM.mmE or DDDMM.mmW, degrees up to 179, minutes below 60.
bool isLongitudeText(std::string_view text);
// Every character a decimal digit (true for the empty text).
bool isDigitsOnly(std::string_view text);
// Every character an ASCII letter or digit (true for the empty text).
bool isLettersOrDigits(std::string_view text);
// Every byte of the text is printable ASCII; a NUL inside it is not, since it
// would hide the bytes after it from the image's test.
bool isFreeText(std::string_view text);

// A test of which characters a text may hold, and those characters in words
// (as the command line's settings list shows them).
struct CharacterRule {
  bool (*passes)(std::string_view) = nullptr;
  std::string_view allowed;
};
inline constexpr CharacterRule kDigitsRule{isDigitsOnly, "digits 0-9"};
inline constexpr CharacterRule kLettersOrDigitsRule{isLettersOrDigits, "ASCII letters and digits"};
inline constexpr CharacterRule kFreeTextRule{isFreeText, "printable ASCII characters"};

}  // namespace trekmor
