// Single-byte (Latin-1) text and UTF-8: the settings are single-byte text,
// while a configuration file that starts with a UTF-8 byte-order mark holds
// UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trekmor {

// UTF-8 to single-byte text, into `out` (replacing what it held, so that a
// reader converting line after line reuses one buffer): code points above
// U+00FF and malformed bytes become '?', as a conversion to a single-byte
// code page does.
void utf8ToLatin1(std::string_view in, std::string& out);

// True when every byte is below 0x80: such text reads the same as UTF-8 and
// as single-byte text.
bool isAscii(std::string_view text);

// The first character of the UTF-8 text that single-byte text cannot hold
// (a code point above U+00FF, or 0xFFFFFFFF for a malformed sequence); nothing
// when every character fits one byte.
std::optional<char32_t> firstUnencodable(std::string_view in);

// "NAME - character U+0141 cannot be stored: the device holds single-byte
// (Latin-1) text only.": the refusal of such a character. The character is
// named by its code point, which every message box and console can show;
// without one, "a character".
std::string unencodableText(std::string_view name, std::optional<char32_t> code);

// The UTF-8 text with every character that single-byte text cannot hold
// (and every malformed sequence) replaced by `marker`.
std::string markUnencodable(std::string_view in, std::string_view marker);

// Single-byte text to UTF-8: every byte above 0x7F becomes two bytes.
std::string latin1ToUtf8(std::string_view in);

}  // namespace trekmor
