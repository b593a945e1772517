// A sectioned text file of "[section]" headers and "key=value" lines, read and
// written with the rules that Windows' private-profile functions follow, so
// that files written by other tools (or by hand) load the same, and files we
// write read back the same there. The file is loaded once, edited in memory
// and written once; every line that is not changed keeps its bytes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace trekmor {

class ProfileFile {
 public:
  // Files larger than this are not configuration files; reading them is
  // refused. A file of this tool is about 7 KB; even one commented at length
  // by hand stays far below, while megabytes of short lines would cost the
  // window a noticeable pause and over a hundred bytes of memory per line.
  static constexpr std::size_t kMaxSize = 256u << 10;

  ProfileFile() = default;
  // Parses the bytes of a file. A leading UTF-8 byte-order mark makes the
  // file UTF-8: its values are then handed out as single-byte (Latin-1) text,
  // and written values are stored as UTF-8 again.
  static ProfileFile fromBytes(std::string_view bytes);

  // Reads a whole file. No value when it does not exist, is not a regular
  // file, cannot be read or exceeds kMaxSize.
  static std::optional<ProfileFile> read(const std::filesystem::path& path);

  // The value of `key` in the first section named `section` (both matched
  // without regard to the case of ASCII letters); no value when the section
  // or the key is absent.
  std::optional<std::string> value(std::string_view section, std::string_view key) const;
  std::string value(std::string_view section, std::string_view key, std::string_view fallback) const;

  // Writes one key. A present key keeps its line, its place and the spelling
  // of its name, and is left untouched when it already reads as `value`; a
  // new key goes to the end of its section, a new section to the end of the
  // file. CR and LF are dropped from the value, so a value can never start a
  // new line.
  void set(std::string_view section, std::string_view key, std::string_view value);

  // The file's bytes: unchanged lines as they were read, new lines ending in CRLF.
  std::string bytes() const;

 private:
  enum class Kind { Other, Section, Key };
  struct Line {
    std::string raw;        // the line's bytes without its terminator
    std::string end;        // "\r\n", "\n", "\r" or "" for a last line without one
    Kind kind = Kind::Other;
    std::string name;       // section or key name, as single-byte text
    std::string value;      // key: the value as read
  };

  Line makeLine(std::string raw, std::string end) const;
  // Index of the header of the first section called `section`, if any.
  std::optional<std::size_t> findSection(std::string_view section) const;
  // Index one past the last line of the section whose header is at `header`.
  std::size_t sectionEnd(std::size_t header) const;
  std::optional<std::size_t> findKey(std::size_t header, std::string_view key) const;
  void insertLine(std::size_t at, std::string text);
  // Where each section name and each key of a section first stands, so that
  // a lookup does not walk the whole file; built at the first lookup and
  // again after lines were inserted.
  void buildIndex() const;
  // The number (from 0, in file order) of the section whose header is at
  // line `header`; for any other line, the number of headers above it.
  std::size_t headerNumber(std::size_t header) const;
  // Single-byte text as the file stores it (UTF-8 in a file with a byte-order mark).
  std::string encode(std::string text) const;

  std::vector<Line> m_lines;
  bool m_utf8 = false;  // the file starts with a UTF-8 byte-order mark
  mutable bool m_indexed = false;
  mutable std::vector<std::size_t> m_headers;                       // line of every section header, in order
  mutable std::unordered_map<std::string, std::size_t> m_sections;  // lower-case name -> its first header's number
  mutable std::unordered_map<std::string, std::size_t> m_keys;      // header number, NUL, lower-case key -> line
};

}  // namespace trekmor
