#include "configfile/textencoding.h"

#include <cstddef>
#include <cstdint>

namespace trekmor {

void utf8ToLatin1(std::string_view in, std::string& out) {
  out.clear();
  out.reserve(in.size());
  std::size_t i = 0;
  while (i < in.size()) {
    const auto lead = static_cast<unsigned char>(in[i]);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead < 0x80) {
      length = 1;
      code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      code = lead & 0x07;
    }
    bool valid = length > 0 && i + length <= in.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(in[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    if (!valid) {
      out.push_back('?');
      ++i;
      continue;
    }
    // Over-long forms of Latin-1 characters would otherwise smuggle in bytes
    // (for example a CR) that the file could not hold as they are.
    const bool overlong = (length == 2 && code < 0x80) || (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    out.push_back(overlong || code > 0xFF ? '?' : static_cast<char>(code));
    i += length;
  }
}

std::string latin1ToUtf8(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  for (char ch : in) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out.push_back(ch);
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

}  // namespace trekmor
