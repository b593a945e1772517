// A sectioned text file of "[section]" headers and "key=value" lines, read and
// written with the rules that Windows' private-profile functions follow, so
// that files written by other tools (or by hand) load the same, and files we
// write read back the same there. The file is loaded once, edited in memory
// and written once; every line that is not changed keeps its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/filename.h"
#include "platform/wholefile.h"

namespace trekmor {

class ProfileFile {
 public:
  // Files larger than this are not configuration files; reading them is
  // refused. A file of this tool is about 7 KB; even one commented at length
  // by hand stays far below.
  static constexpr std::size_t kMaxSize = 256u << 10;

  ProfileFile() = default;
  // Parses the bytes of a file in one pass over its lines. A leading UTF-8
  // byte-order mark makes the file UTF-8: its values are then handed out as
  // single-byte (Latin-1) text, and written values are stored as UTF-8 again.
  static ProfileFile fromBytes(std::string_view bytes);

  // Reads a whole file. No value when it does not exist, is not a regular
  // file, cannot be read or exceeds kMaxSize; `failure` (if given) then says why.
  static std::optional<ProfileFile> read(const FileName& name, ReadFailure* failure = nullptr);

  // The value of `key` in the first section named `section` (both matched
  // without regard to the case of ASCII letters); no value when the section
  // or the key is absent.
  std::optional<std::string> value(std::string_view section, std::string_view key) const;
  std::string value(std::string_view section, std::string_view key, std::string_view fallback) const;

  // Writes one key. A present key keeps its line, its place and the spelling
  // of its name, and is left untouched when it already reads as `value`; a
  // new key goes to the end of its section, a new section to the end of the
  // file. CR and LF are dropped from the value, so a value can never start a
  // new line. Only names that read back as themselves are written (see
  // writableSection and writableKey); for any other name nothing changes and
  // the result is false.
  bool set(std::string_view section, std::string_view key, std::string_view value);

  // A section name without "]" or a line break and without blanks at either
  // end: "[name]" reads back as a header of that name.
  static bool writableSection(std::string_view name);
  // A key name without "=" or a line break, without blanks at either end,
  // not starting with "[" or ";": "name=value" reads back as that key, never
  // as a header or a comment.
  static bool writableKey(std::string_view name);

  // The file's bytes: unchanged lines as they were read, new lines ending in CRLF.
  std::string bytes() const;

  // Section and key names match without regard to the case of ASCII letters.
  static bool sameName(std::string_view a, std::string_view b);

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // One line: of the text as read, or added by set(). Once set() has given
  // it new bytes, they are in m_written.
  struct Line {
    std::size_t at = kNone;       // where it starts in m_text; kNone for an added line
    std::size_t length = 0;       // of the text's line, without its line break
    std::size_t written = kNone;  // its present bytes in m_written, if set() wrote them
  };
  // A header and the lines up to the next one. The text's lines stand in
  // [begin, end), the header first unless set() added it; the lines set()
  // added to the section stand at `insertAt` in that range, after the
  // section's last line that is not blank. The first section holds the lines
  // before any header and has none.
  struct Section {
    std::size_t addedHeader = kNone;  // in m_written
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t insertAt = 0;
    std::vector<std::size_t> added;  // in m_written, in file order
  };

  // Names of a section (0 for the names of the sections themselves) mapped
  // to values, matched without regard to the case of ASCII letters; the first
  // entry of a name wins. A file indexes a line or two per entry, so there is
  // no allocation per entry: the names stand one after another in one buffer,
  // the entries in one table searched by linear probing. Entries are only
  // ever added.
  template <typename Value>
  class NameIndex {
   public:
    Value* find(std::size_t section, std::string_view name);
    const Value* find(std::size_t section, std::string_view name) const;
    // Adds the entry unless the name is present already.
    void add(std::size_t section, std::string_view name, const Value& value);

   private:
    struct Entry {
      std::size_t hash;
      std::size_t section;
      std::size_t nameAt;  // in m_names
      std::size_t nameLength;
      Value value;
    };
    static constexpr std::uint32_t kFree = 0;  // a slot holds 1 + the entry's place in m_entries
    // The slot that holds the name, or the free slot where it would go.
    std::size_t place(std::size_t hash, std::size_t section, std::string_view name) const;

    std::vector<std::uint32_t> m_slots;  // empty, or a power of two of slots at most half used
    std::vector<Entry> m_entries;        // in the order they were added
    std::string m_names;
  };

  // Takes the bytes of a file over, without a copy.
  static ProfileFile fromText(std::string bytes);
  // The one pass over m_text: its sections, and the index of their names and keys.
  void parseText();
  // The present bytes of `line` as single-byte text (decoded into `scratch`
  // in a UTF-8 file).
  std::string_view textOf(const Line& line, std::string& scratch) const;
  // The line of the text at `at`, with the bytes set() gave it.
  Line textLine(std::size_t at, std::size_t length) const;
  void indexSection(std::string_view name, std::size_t number);
  void indexKey(std::size_t section, std::string_view name, const Line& line);
  void appendSection(std::string text);
  void addLine(std::size_t section, std::string text);
  // Gives `line`, the index entry of a key, the bytes of `text`.
  void rewriteLine(Line& line, std::string text);
  // Single-byte text as the file stores it (UTF-8 in a file with a byte-order mark).
  std::string encode(std::string text) const;

  std::string m_text;  // the bytes as read, without a byte-order mark
  bool m_utf8 = false;  // the file starts with a UTF-8 byte-order mark
  std::vector<Section> m_sections = std::vector<Section>(1);
  std::vector<std::string> m_written;      // bytes of the lines set() changed or added
  std::map<std::size_t, Line> m_changed;   // lines of the text that set() changed, by place
  NameIndex<std::size_t> m_sectionIndex;  // name (in section 0) -> first section
  NameIndex<Line> m_keys;                 // section, name -> its first key line
};

}  // namespace trekmor
