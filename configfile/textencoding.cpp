#include "configfile/textencoding.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>

namespace trekmor {

namespace {

// The code point of the UTF-8 sequence at `at` and its length in bytes; a
// malformed sequence gives kMalformed and a length of 1, an over-long one
// kMalformed and its whole length.
constexpr char32_t kMalformed = 0xFFFFFFFF;

std::pair<char32_t, std::size_t> decodeAt(std::string_view in, std::size_t at) {
  const auto lead = static_cast<unsigned char>(in[at]);
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
  bool valid = length > 0 && at + length <= in.size();
  for (std::size_t k = 1; valid && k < length; ++k) {
    const auto next = static_cast<unsigned char>(in[at + k]);
    valid = (next & 0xC0) == 0x80;
    code = (code << 6) | (next & 0x3F);
  }
  // Over-long forms of Latin-1 characters would otherwise smuggle in bytes
  // (for example a CR) that the file could not hold as they are.
  const bool overlong = (length == 2 && code < 0x80) || (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  if (!valid) return {kMalformed, 1};
  if (overlong) return {kMalformed, length};
  return {code, length};
}

constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// Where the run of bytes below 0x80 that starts at `at` ends: eight bytes
// tested at a time.
std::size_t asciiRunEnd(std::string_view in, std::size_t at) {
  for (; at + 8 <= in.size(); at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, in.data() + at, sizeof word);
    if ((word & kHighBits) != 0) break;
  }
  while (at < in.size() && static_cast<unsigned char>(in[at]) < 0x80) ++at;
  return at;
}

}  // namespace

void utf8ToLatin1(std::string_view in, std::string& out) {
  out.clear();
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size();) {
    const std::size_t ascii = asciiRunEnd(in, i);  // those bytes are their own characters
    out.append(in.substr(i, ascii - i));
    if ((i = ascii) == in.size()) break;
    const auto [code, length] = decodeAt(in, i);
    out.push_back(code > 0xFF ? '?' : static_cast<char>(code));
    i += length;
  }
}

bool isAscii(std::string_view text) {
  std::uint64_t bytes = 0;
  std::size_t at = 0;
  for (; at + 8 <= text.size(); at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + at, sizeof word);
    bytes |= word;
  }
  for (; at < text.size(); ++at) bytes |= static_cast<unsigned char>(text[at]);
  return (bytes & kHighBits) == 0;
}

std::optional<char32_t> firstUnencodable(std::string_view in) {
  for (std::size_t i = 0; i < in.size();) {
    const auto [code, length] = decodeAt(in, i);
    if (code > 0xFF) return code;
    i += length;
  }
  return std::nullopt;
}

std::string markUnencodable(std::string_view in, std::string_view marker) {
  std::string out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size();) {
    const auto [code, length] = decodeAt(in, i);
    if (code > 0xFF) {
      out += marker;
    } else {
      out += in.substr(i, length);
    }
    i += length;
  }
  return out;
}

std::string unencodableText(std::string_view name, std::optional<char32_t> code) {
  if (!code) {
    return std::string(name) + " - a character cannot be stored: the device holds single-byte (Latin-1) text only.";
  }
  if (*code == kMalformed) {
    return std::string(name) + " - a character that is not UTF-8 cannot be stored: the device holds single-byte "
                               "(Latin-1) text only.";
  }
  char digits[16];
  std::snprintf(digits, sizeof digits, "U+%04X", static_cast<unsigned>(*code));
  return std::string(name) + " - character " + digits +
         " cannot be stored: the device holds single-byte (Latin-1) text only.";
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
