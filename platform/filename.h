// A file's name as the program handles it: UTF-8 text (arguments, settings,
// messages) or a path of the system. Windows names files in UTF-16, and a
// std::string turned into a std::filesystem::path there goes through the C
// library's narrow encoding, which loses every letter outside the ANSI code
// page. Every function that opens a file by name takes a FileName, so that
// UTF-8 text reaches the system as the right name on every platform without
// the caller knowing about any of this.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace trekmor {

// The path that UTF-8 `text` names: on Windows its UTF-16 form (a malformed
// byte becomes U+FFFD), elsewhere the bytes as they are.
std::filesystem::path pathFromUtf8(std::string_view text);

// The name of `path` as UTF-8 text, for messages; the inverse of pathFromUtf8.
std::string utf8FromPath(const std::filesystem::path& path);

// Converts implicitly from a path and from UTF-8 text, so that callers pass
// whichever they hold.
class FileName {
 public:
  FileName(const std::filesystem::path& path) : m_path(path) {}
  FileName(std::string_view utf8) : m_path(pathFromUtf8(utf8)) {}
  FileName(const std::string& utf8) : FileName(std::string_view(utf8)) {}
  FileName(const char* utf8) : FileName(std::string_view(utf8)) {}

  const std::filesystem::path& path() const { return m_path; }
  std::string utf8() const { return utf8FromPath(m_path); }

 private:
  std::filesystem::path m_path;
};

}  // namespace trekmor
