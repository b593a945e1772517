// Single-byte (Latin-1) text and UTF-8: the settings are single-byte text,
// while a configuration file that starts with a UTF-8 byte-order mark holds
// UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace trekmor {

// UTF-8 to single-byte text, into `out` (replacing what it held, so that a
// reader converting line after line reuses one buffer): code points above
// U+00FF and malformed bytes become '?', as a conversion to a single-byte
// code page does.
void utf8ToLatin1(std::string_view in, std::string& out);

// Single-byte text to UTF-8: every byte above 0x7F becomes two bytes.
std::string latin1ToUtf8(std::string_view in);

}  // namespace trekmor
