#include "image/validators.h"

namespace trekmor {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Shared by latitude and longitude: `degreeDigits` digits, ".", two digits and
// one of the two hemisphere letters; degrees at most maxDegrees, minutes < 60.
bool isCoordinateText(std::string_view text, std::size_t degreeDigits, int maxDegrees, char hemisphereA,
                      char hemisphereB) {
  const std::size_t length = degreeDigits + 2 + 1 + 2 + 1;
  if (text.size() < length) return false;
  const std::size_t point = degreeDigits + 2;
  int value = 0;
  for (std::size_t i = 0; i < point + 3; ++i) {
    if (i == point) {
      if (text[i] != '.') return false;
      continue;
    }
    if (!isDigit(text[i])) return false;
    value = value * 10 + (text[i] - '0');
  }
  const char hemisphere = text[point + 3];
  if (hemisphere != hemisphereA && hemisphere != hemisphereB) return false;
  const int minutes = value % 10000;
  return value <= maxDegrees * 10000 + 5999 && minutes < 6000;
}
}  // namespace

bool isLatitudeText(std::string_view text) { return isCoordinateText(text, 2, 89, 'N', 'S'); }

bool isLongitudeText(std::string_view text) { return isCoordinateText(text, 3, 179, 'E', 'W'); }

bool isDigitsOnly(std::string_view text) {
  for (char c : text) {
    if (!isDigit(c)) return false;
  }
  return true;
}

bool isLettersOrDigits(std::string_view text) {
  for (char c : text) {
    if (!isDigit(c) && !(c >= 'A' && c <= 'Z') && !(c >= 'a' && c <= 'z')) return false;
  }
  return true;
}

bool isFreeText(std::string_view text) {
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E) return false;
  }
  return true;
}

}  // namespace trekmor
