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
  // Bytes of 4 GiB or more throw std::length_error (read() takes far fewer).
  static ProfileFile fromBytes(std::string_view bytes);
  // The same, taking the bytes over without a copy.
  static ProfileFile fromOwnBytes(std::string bytes);

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
  // the result is false. `added` (if given) says whether the key is new.
  bool set(std::string_view section, std::string_view key, std::string_view value, bool* added = nullptr);

  // A section name without "]" or a line break and without blanks at either
  // end, shorter than 2 GiB: "[name]" reads back as a header of that name.
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
  // it new bytes, they are in m_written. Where its value stands is noted when
  // it is indexed, so that reading a key classifies no line again.
  struct Line {
    std::size_t at = kNone;       // where it starts in m_text; kNone for an added line
    std::size_t length = 0;       // of the text's line, without its line break
    std::size_t written = kNone;  // its present bytes in m_written, if set() wrote them
    std::size_t valueAt = 0;      // the value, in the line's present bytes
    std::size_t valueLength = 0;
  };
  // A header and the lines up to the next one, which stand in
  // [begin, end of the section): from its header to the next section's. The
  // first section holds the lines before any header and has none; a section
  // set() added stands at the end of the text. The parse notes only where
  // sections begin; a section's keys are read the first time one of them is
  // asked for, so that the lines of sections nobody asks for are never
  // classified.
  // A file holds a section in about every dozen bytes: the records are kept
  // small (places in 32 bits, as fromText() and writableSection() ensure).
  struct Section {
    std::uint32_t begin = 0;
    std::uint32_t nameAt = 0;  // of a header of the text, its name's bytes in m_text
    std::uint32_t nameLength = 0;
    std::uint32_t edit = kNoEdit;  // in m_edits, once its keys are indexed
    std::uint32_t hash = 0;        // of its name (sectionHash)
  };
  static constexpr std::uint32_t kNoEdit = static_cast<std::uint32_t>(-1);
  // What the reads and writes of one section noted. The lines set() added
  // to the section stand at `insertAt`, after the section's last line of the
  // text that is not blank.
  struct SectionEdit {
    std::size_t number = 0;           // in m_sections
    std::size_t insertAt = 0;
    std::size_t addedHeader = kNone;  // in m_written
    std::size_t firstAdded = kNone;   // in m_written; the next ones in file order through m_nextAdded
    std::size_t lastAdded = kNone;
  };

  // Names of the keys of a section mapped to values, matched without regard
  // to the case of ASCII letters; the first entry of a name wins. There is no
  // allocation per entry: the names stand one after another, folded, in one
  // buffer, the entries in one table searched by linear probing. Entries are
  // only ever added.
  template <typename Value>
  class NameIndex {
   public:
    Value* find(std::size_t section, std::string_view name);
    const Value* find(std::size_t section, std::string_view name) const;
    // Adds the entry unless the name is present already.
    void add(std::size_t section, std::string_view name, const Value& value);
    // Room for this many entries without growing, when the index has none yet.
    void reserve(std::size_t entries);

   private:
    struct Entry {
      std::size_t hash;
      std::size_t section;
      std::size_t wordsAt;  // in m_words
      std::size_t length;   // of the name in bytes
      Value value;
    };
    static constexpr std::uint32_t kFree = 0;  // a slot holds 1 + the entry's place in m_entries
    // Whether the entry holds the name whose folded words are `words`.
    bool holds(const Entry& entry, std::size_t section, std::size_t length, const std::uint64_t* words) const;
    // Whether the entry holds `name`, folded as it is compared.
    bool holds(const Entry& entry, std::size_t section, std::string_view name) const;
    // The slot that holds the name, or the free slot where it would go.
    std::size_t place(std::size_t hash, std::size_t section, std::size_t length, const std::uint64_t* words) const;
    // `count` slots (a power of two), each entry at its place among them.
    void spread(std::size_t count);

    std::vector<std::uint32_t> m_slots;  // empty, or a power of two of slots at most half used
    std::vector<Entry> m_entries;        // in the order they were added
    // The entries' names, eight bytes to a word with the letters A to Z in
    // lower case, the last word padded with zeros.
    std::vector<std::uint64_t> m_words;
    // The entry found last. A name is mostly asked for again, or names in
    // the order they were added (a load asks for the keys in the order a
    // file of this tool holds them), so that entry and the next one are
    // tried before the hash table.
    mutable std::size_t m_cursor = 0;
  };

  // Takes the bytes of a file over, without a copy.
  static ProfileFile fromText(std::string bytes);
  // The one pass over m_text: where its sections begin.
  void parseText();
  // The present bytes of `line` as they stand in the file.
  std::string_view rawOf(const Line& line) const;
  // Single-byte text of bytes of the file: in a UTF-8 file decoded (into
  // `scratch` unless they are ASCII).
  std::string_view decoded(std::string_view raw, std::string& scratch) const;
  // The first section named `name`, or 0. The first call indexes the names of
  // all sections, when their number is known.
  std::size_t sectionNamed(std::string_view name) const;
  // The name of a section as single-byte text.
  std::string_view nameOf(const Section& section, std::string& scratch) const;
  // The bytes of a section's name as the file stores them.
  std::string_view rawNameOf(const Section& section) const;
  // Whether two sections have names that match.
  bool sameNames(const Section& a, const Section& b) const;
  // The hash of a section's name from its bytes as the file stores them:
  // alike for names that match, and for a name asked for (sectionHash of
  // the single-byte text).
  std::uint32_t rawSectionHash(std::string_view raw) const;
  static std::uint32_t sectionHash(std::string_view name);
  // Puts a section into m_sectionSlots, after every section before it.
  void placeSection(std::size_t number) const;
  // Where the lines of a section end: where the next one begins.
  std::size_t endOf(std::size_t number) const;
  // The section's key lines in the index, once; notes where set() adds lines.
  void indexKeys(std::size_t section) const;
  // The first key line named `key` in the first section named `section`,
  // and that section's number (0 when there is none).
  Line* findKey(std::string_view section, std::string_view key, std::size_t* number = nullptr) const;
  // Indexes the line under its key name, with where its value stands in its
  // present bytes, if it is a key line. False for a blank line.
  bool indexLine(std::size_t section, Line line) const;
  // Indexes a key line of a UTF-8 file under its decoded name.
  void addDecodedKey(std::size_t section, std::string_view name, const Line& line) const;
  void appendSection(std::string_view name);
  void addLine(std::size_t section, std::string text);
  // Gives `line`, the index entry of a key, the bytes of `text`.
  void rewriteLine(Line& line, std::string text);
  // Single-byte text as the file stores it (UTF-8 in a file with a byte-order mark).
  std::string encode(std::string text) const;

  std::string m_text;  // the bytes as read, without a byte-order mark
  bool m_utf8 = false;  // the file starts with a UTF-8 byte-order mark
  // Keys are indexed when first asked for, also by the const readers: a
  // ProfileFile is not for use by several threads at once.
  mutable std::vector<Section> m_sections = std::vector<Section>(1);
  mutable std::vector<SectionEdit> m_edits;
  std::vector<std::string> m_written;      // bytes of the lines set() changed or added
  std::vector<std::size_t> m_nextAdded;    // of an added line in m_written, the next one of its section
  std::map<std::size_t, Line> m_changed;   // lines of the text that set() changed, by place
  // Section numbers by the hash of their names, searched by linear probing:
  // empty, or a power of two of slots at most half used; 0 is a free slot.
  // (Each header takes three bytes at least, and a file is read only up to
  // kMaxSize: the numbers fit in 32 bits.)
  mutable std::vector<std::uint32_t> m_sectionSlots;
  mutable bool m_sectionsIndexed = false;
  mutable std::optional<std::string> m_lastSectionAsked;  // and what sectionNamed() answered
  mutable std::size_t m_lastSection = 0;
  mutable NameIndex<Line> m_keys;         // section, name -> its first key line
};

}  // namespace trekmor
