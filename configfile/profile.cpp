#include "configfile/profile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

#include "configfile/textencoding.h"
#include "platform/wholefile.h"

namespace trekmor {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineBreak = "\r\n";

// Looked up rather than compared: one test per byte instead of four.
constexpr std::array<bool, 256> kBlank = [] {
  std::array<bool, 256> table{};
  table[' '] = table['\t'] = table['\v'] = table['\f'] = true;
  return table;
}();

bool isBlank(char c) { return kBlank[static_cast<unsigned char>(c)]; }

// The bytes from `begin` to `end` without blanks at either end.
std::string_view trimmed(const char* begin, const char* end) {
  while (begin != end && isBlank(*begin)) ++begin;
  while (begin != end && isBlank(end[-1])) --end;
  return {begin, static_cast<std::size_t>(end - begin)};
}

std::string_view trim(std::string_view text) { return trimmed(text.data(), text.data() + text.size()); }

// `length` bytes of `text` from `at`, both within it: places the reader
// noted itself need no test of their bounds.
std::string_view part(std::string_view text, std::size_t at, std::size_t length) { return {text.data() + at, length}; }

// One pair of matching quotes around the whole value is no part of it.
std::string_view unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value.remove_prefix(1);
    value.remove_suffix(1);
  }
  return value;
}

enum class Kind { Blank, Other, Section, Key };

// What a line is; the names and the value point into its text.
struct Parsed {
  Kind kind = Kind::Other;
  std::string_view name;   // of a section or a key
  std::string_view value;  // of a key
};

Parsed classify(std::string_view line) {
  const std::string_view text = trim(line);
  if (text.empty()) return {Kind::Blank, {}, {}};
  if (text.front() == ';') return {};  // a comment
  if (text.front() == '[') {
    const std::size_t close = text.find(']');
    if (close != std::string_view::npos) return {Kind::Section, trim(part(text, 1, close - 1)), {}};
  }
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return {};
  return {Kind::Key, trim(part(text, 0, equals)), unquote(trim(part(text, equals + 1, text.size() - equals - 1)))};
}

// Whether a word of bytes holds the byte `c`: the bytes equal to `c` turn
// to zero, and only a zero byte borrows from its high bit when one is
// subtracted from every byte (a borrow marks only bytes above a zero one).
std::uint64_t marksOf(std::uint64_t word, char c) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  const std::uint64_t zeroed = word ^ (kOnes * static_cast<unsigned char>(c));
  return (zeroed - kOnes) & ~zeroed & (kOnes << 7);
}

// The eight bytes of `text` at `at`, the first in the lowest byte; beyond
// the end, zeros.
std::uint64_t loadWord(std::string_view text, std::size_t at) {
  std::uint64_t word = 0;
  if (at + sizeof word <= text.size()) {
    std::memcpy(&word, text.data() + at, sizeof word);
  } else {
    std::memcpy(&word, text.data() + at, text.size() - at);
  }
  return word;
}

// The first byte `c` of `text` from `at` on, or the text's size, through
// the library's byte search.
std::size_t findByte(std::string_view text, char c, std::size_t at) {
  if (at >= text.size()) return text.size();
  const void* found = std::memchr(text.data() + at, c, text.size() - at);
  return found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - text.data()) : text.size();
}

// The marks of a word (the high bit of bytes) as one byte: bit n for byte n.
std::uint64_t bitsOf(std::uint64_t marks) { return ((marks >> 7) * 0x0102040810204080u) >> 56; }

// The lines of a text, from a place on: each stops at its CR or LF, or at
// the end. Short lines (a call costs more than a few bytes looked at) are
// searched eight bytes at a time for both breaks at once; beyond that, the
// next CR and the next LF are each searched for with the library's byte
// search, and remembered, so that a walk over long lines goes over the text
// twice in all.
class LineWalk {
 public:
  explicit LineWalk(std::string_view text) : m_text(text) {}

  // Where the line that starts at `at` stops; `at` only moves on.
  std::size_t stop(std::size_t at) {
    const std::size_t size = m_text.size();
    if (at + 32 <= size) {
      // The 32 bytes at once, the breaks of each word as one byte of bits:
      // the lowest bit of them all is the first break (the lowest mark of
      // each word is exact).
      std::uint32_t found = 0;
      for (std::size_t word = 0; word < 4; ++word) {
        std::uint64_t bytes = 0;
        std::memcpy(&bytes, m_text.data() + at + 8 * word, sizeof bytes);
        found |= static_cast<std::uint32_t>(bitsOf(marksOf(bytes, '\r') | marksOf(bytes, '\n'))) << (8 * word);
      }
      if (found != 0) return at + static_cast<std::size_t>(std::countr_zero(found));
      at += 32;
    }
    for (const std::size_t near = std::min(at + 32, size); at < near; at += 8) {
      const std::uint64_t word = loadWord(m_text, at);  // beyond the end, zeros: never a line break
      if (const std::uint64_t marks = marksOf(word, '\r') | marksOf(word, '\n'); marks != 0) {
        return at + static_cast<std::size_t>(std::countr_zero(marks)) / 8;
      }
    }
    if (at >= size) return size;
    if (m_cr == kUnknown || m_cr < at) m_cr = far('\r', at);
    if (m_lf == kUnknown || m_lf < at) m_lf = far('\n', at);
    return std::min(m_cr, m_lf);
  }
  // Where the next line starts after a line that stops at `stop`: its break
  // is CR LF, a lone CR or LF, or nothing at the end of the text.
  std::size_t next(std::size_t stop) const {
    if (stop == m_text.size()) return stop;
    return stop + (m_text[stop] == '\r' && stop + 1 < m_text.size() && m_text[stop + 1] == '\n' ? 2 : 1);
  }

 private:
  std::size_t far(char c, std::size_t at) const { return findByte(m_text, c, at); }

  static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);

  std::string_view m_text;
  std::size_t m_cr = kUnknown;  // the next CR from some place before, once searched for
  std::size_t m_lf = kUnknown;
};

// Eight bytes at a time with ASCII letters in lower case: bit 5 is set in
// every byte from 'A' to 'Z' (the high bit of a byte's sum tests each bound;
// bytes above 0x7F are left alone). Arithmetic rather than a comparison per
// byte, which also spares the fuzzer a traced comparison each.
std::uint64_t foldedWord(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  const std::uint64_t low = word & ~kHighBits;
  const std::uint64_t atLeastA = low + (0x80 - 'A') * kOnes;
  const std::uint64_t aboveZ = low + (0x80 - 'Z' - 1) * kOnes;
  const std::uint64_t upper = atLeastA & ~aboveZ & ~word & kHighBits;
  return word | (upper >> 2);
}

// The `count` (at most eight) bytes at `at` as one word, the first in the
// lowest byte, padded with zeros: loads of fixed sizes, so that no call to a
// copy of any length is made. `before` bytes ahead of `at` may be read too
// (the last word of a longer name is read as the name's last eight bytes).
std::uint64_t wordAt(const char* at, std::size_t count, std::size_t before) {
  std::uint64_t word = 0;
  if (count >= 8) {
    std::memcpy(&word, at, 8);
    return word;
  }
  if (before >= 8 - count) {
    std::memcpy(&word, at + count - 8, 8);
    return word >> (8 * (8 - count));
  }
  std::size_t done = 0;
  if ((count & 4) != 0) {
    std::uint32_t part = 0;
    std::memcpy(&part, at, 4);
    word = part;
    done = 4;
  }
  if ((count & 2) != 0) {
    std::uint16_t part = 0;
    std::memcpy(&part, at + done, 2);
    word |= static_cast<std::uint64_t>(part) << (8 * done);
    done += 2;
  }
  if ((count & 1) != 0) word |= static_cast<std::uint64_t>(static_cast<unsigned char>(at[done])) << (8 * done);
  return word;
}

// Whether the name holds a line break or `also`, eight bytes at a time (the
// padding of the last word is zeros, none of those bytes).
bool holdsBreakOr(std::string_view name, char also) {
  std::uint64_t marks = 0;
  for (std::size_t at = 0; at < name.size(); at += 8) {
    const std::uint64_t word = wordAt(name.data() + at, name.size() - at, at);
    marks |= marksOf(word, '\r') | marksOf(word, '\n') | marksOf(word, also);
  }
  return marks != 0;
}

// The hash of a name's folded words, mixed through every bit (names such
// as "S1" to "S999" differ in a few middle bits only, and the index takes the
// low bits).
std::size_t mixed(std::uint64_t hash) {
  hash = (hash ^ (hash >> 33)) * 0xFF51AFD7ED558CCDu;
  hash = (hash ^ (hash >> 33)) * 0xC4CEB9FE1A85EC53u;
  return static_cast<std::size_t>(hash ^ (hash >> 33));
}

// Appends the words of a name as the indexes compare names: eight bytes to
// a word, the letters A to Z folded to lower case, the last word padded with
// zeros.
void appendFolded(std::string_view name, std::vector<std::uint64_t>& words) {
  for (std::size_t at = 0; at < name.size(); at += 8) words.push_back(foldedWord(wordAt(name.data() + at, name.size() - at, at)));
}

// The hash of a name of `length` bytes, from its folded words, in a section
// (0 for a section's own name): alike for names that match.
// The hash of a name before its words: its length and its section's number.
std::uint64_t hashStart(std::size_t length, std::size_t section) {
  return 0xCBF29CE484222325u ^ (static_cast<std::uint64_t>(section) * 0x9E3779B97F4A7C15u) ^ length;
}

// The hash with one more folded word of the name.
std::uint64_t hashStep(std::uint64_t hash, std::uint64_t word) {
  hash = (hash ^ word) * 0x100000001B3u;
  return hash ^ (hash >> 29);
}

std::size_t hashOf(const std::uint64_t* words, std::size_t length, std::size_t section) {
  std::uint64_t hash = hashStart(length, section);
  for (const std::uint64_t* end = words + (length + 7) / 8; words != end; ++words) hash = hashStep(hash, *words);
  return mixed(hash);
}

// The hash of a name as hashOf() gives it for the name's folded words.
std::size_t foldedHash(std::string_view name, std::size_t section) {
  std::uint64_t hash = hashStart(name.size(), section);
  for (std::size_t at = 0; at < name.size(); at += 8) {
    hash = hashStep(hash, foldedWord(wordAt(name.data() + at, name.size() - at, at)));
  }
  return mixed(hash);
}

// The hash foldedHash() gives a name of at most eight bytes, from the word
// that holds them, padded with zeros.
std::size_t shortHash(std::uint64_t word, std::size_t length) {
  std::uint64_t hash = hashStart(length, 0);
  if (length != 0) hash = hashStep(hash, foldedWord(word));
  return mixed(hash);
}

}  // namespace

// Names are matched ignoring the case of ASCII letters only: bytes above 0x7F
// must match exactly, whatever letters they stand for in some code page.
bool ProfileFile::sameName(std::string_view a, std::string_view b) {
  // Eight bytes at a time, folded alike.
  if (a.size() != b.size()) return false;
  for (std::size_t at = 0; at < a.size(); at += 8) {
    const std::size_t count = a.size() - at;
    if (foldedWord(wordAt(a.data() + at, count, at)) != foldedWord(wordAt(b.data() + at, count, at))) return false;
  }
  return true;
}

template <typename Value>
bool ProfileFile::NameIndex<Value>::holds(const Entry& entry, std::size_t section, std::size_t length,
                                          const std::uint64_t* words) const {
  if (entry.section != section || entry.length != length) return false;
  const std::uint64_t* own = m_words.data() + entry.wordsAt;
  for (std::size_t word = 0; word < (length + 7) / 8; ++word) {
    if (own[word] != words[word]) return false;
  }
  return true;
}

template <typename Value>
std::size_t ProfileFile::NameIndex<Value>::place(std::size_t hash, std::size_t section, std::size_t length,
                                                 const std::uint64_t* words) const {
  const std::size_t mask = m_slots.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    if (m_slots[at] == kFree) return at;
    const Entry& entry = m_entries[m_slots[at] - 1];
    if (entry.hash == hash && holds(entry, section, length, words)) return at;
  }
}

template <typename Value>
bool ProfileFile::NameIndex<Value>::holds(const Entry& entry, std::size_t section, std::string_view name) const {
  if (entry.section != section || entry.length != name.size()) return false;
  const std::uint64_t* own = m_words.data() + entry.wordsAt;
  for (std::size_t at = 0; at < name.size(); at += 8) {
    if (*own++ != foldedWord(wordAt(name.data() + at, name.size() - at, at))) return false;
  }
  return true;
}

template <typename Value>
const Value* ProfileFile::NameIndex<Value>::find(std::size_t section, std::string_view name) const {
  for (std::size_t at = m_cursor; at < m_entries.size() && at <= m_cursor + 1; ++at) {
    if (holds(m_entries[at], section, name)) {
      m_cursor = at;
      return &m_entries[at].value;
    }
  }
  if (m_slots.empty()) return nullptr;
  const std::size_t hash = foldedHash(name, section);
  const std::size_t mask = m_slots.size() - 1;
  for (std::size_t at = hash & mask; m_slots[at] != kFree; at = (at + 1) & mask) {
    const std::size_t number = m_slots[at] - 1;
    if (m_entries[number].hash == hash && holds(m_entries[number], section, name)) {
      m_cursor = number;
      return &m_entries[number].value;
    }
  }
  return nullptr;
}

template <typename Value>
Value* ProfileFile::NameIndex<Value>::find(std::size_t section, std::string_view name) {
  return const_cast<Value*>(std::as_const(*this).find(section, name));
}

template <typename Value>
void ProfileFile::NameIndex<Value>::spread(std::size_t count) {
  m_slots.assign(count, kFree);
  const std::size_t mask = m_slots.size() - 1;
  for (std::size_t number = 0; number < m_entries.size(); ++number) {
    std::size_t at = m_entries[number].hash & mask;
    while (m_slots[at] != kFree) at = (at + 1) & mask;
    m_slots[at] = static_cast<std::uint32_t>(number + 1);
  }
}

template <typename Value>
void ProfileFile::NameIndex<Value>::reserve(std::size_t entries) {
  if (!m_slots.empty()) return;
  m_entries.reserve(entries);
  m_words.reserve(3 * entries);  // names of about twenty bytes
  spread(std::bit_ceil(std::max<std::size_t>(16, 2 * entries)));
}

template <typename Value>
void ProfileFile::NameIndex<Value>::add(std::size_t section, std::string_view name, const Value& value) {
  if (2 * (m_entries.size() + 1) > m_slots.size()) spread(std::max<std::size_t>(16, 2 * m_slots.size()));
  // Folded in place as the next entry's name; taken back if the name is present.
  const std::size_t wordsAt = m_words.size();
  appendFolded(name, m_words);
  const std::size_t hash = hashOf(m_words.data() + wordsAt, name.size(), section);
  std::uint32_t& slot = m_slots[place(hash, section, name.size(), m_words.data() + wordsAt)];
  if (slot != kFree) {
    m_words.resize(wordsAt);
    return;
  }
  m_entries.push_back(Entry{hash, section, wordsAt, name.size(), value});
  slot = static_cast<std::uint32_t>(m_entries.size());
}

ProfileFile ProfileFile::fromBytes(std::string_view bytes) { return fromText(std::string(bytes)); }

ProfileFile ProfileFile::fromOwnBytes(std::string bytes) { return fromText(std::move(bytes)); }

ProfileFile ProfileFile::fromText(std::string bytes) {
  if (bytes.size() >= std::numeric_limits<std::uint32_t>::max()) throw std::length_error("profile text of 4 GiB or more");
  ProfileFile file;
  if (std::string_view(bytes).starts_with(kByteOrderMark)) {
    file.m_utf8 = true;
    bytes.erase(0, kByteOrderMark.size());
  }
  file.m_text = std::move(bytes);
  file.parseText();
  return file;
}

std::optional<ProfileFile> ProfileFile::read(const FileName& name, ReadFailure* failure) {
  std::optional<std::string> bytes = readWholeFile(name, kMaxSize, failure);
  if (!bytes) return std::nullopt;
  return fromText(std::move(*bytes));
}

void ProfileFile::parseText() {
  const std::string_view text = m_text;
  // Room for the sections of a file of short sections, at once: pages of the
  // room that stay unused are never touched.
  m_sections.reserve(text.size() / 8 + 1);
  // A header is a line whose first byte that is not blank is "[", with a "]"
  // after it on the line (as classify() reads it): the walk goes from one
  // "[" to the next, and the lines between them cost nothing. In a UTF-8
  // file, a byte below 0x80 stands for that character and no byte above it
  // decodes to one, so the line reads as the same kind of line before it is
  // decoded.
  LineWalk lines(text);
  // A header from `begin`, its name of `length` bytes at `nameAt`: places
  // in a text below 4 GiB, as fromText() ensures.
  const auto addSection = [this](std::size_t begin, std::size_t nameAt, std::size_t length, std::uint32_t hash) {
    m_sections.push_back(Section{static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(nameAt),
                                 static_cast<std::uint32_t>(length), kNoEdit, hash});
  };
  for (std::size_t open = findByte(text, '[', 0); open < text.size(); open = findByte(text, '[', open + 1)) {
    std::size_t begin = open;
    while (begin > 0 && isBlank(text[begin - 1])) --begin;
    if (begin > 0 && text[begin - 1] != '\n' && text[begin - 1] != '\r') continue;  // not first on its line
    // Most headers are short: the first "]" or line break is mostly among
    // the eight bytes after the "[", and it is found in them at once. (The
    // lowest mark of a word is exact, and so is the lowest of both.)
    const std::uint64_t word = loadWord(text, open + 1);
    const std::uint64_t closes = marksOf(word, ']');
    const std::uint64_t either = closes | marksOf(word, '\r') | marksOf(word, '\n');
    std::size_t close = 0;
    if (either != 0) {
      const std::uint64_t first = either & (~either + 1);
      close = open + 1 + static_cast<std::size_t>(std::countr_zero(first)) / 8;
      if ((first & closes) == 0) {
        open = close;  // the line ends first: no header, and no other "[" of it starts one
        continue;
      }
      // A name without blanks, as most are, is the word's bytes before the
      // "]"; if it reads as itself, it is hashed from them.
      const std::uint64_t blanks = marksOf(word, ' ') | marksOf(word, '\t') | marksOf(word, '\v') | marksOf(word, '\f');
      const std::uint64_t before = (first >> 7) - 1;  // the bits of the bytes before the "]"
      if (((blanks & before) | (m_utf8 ? word & before & 0x8080808080808080u : 0)) == 0) {
        const std::size_t length = close - open - 1;
        addSection(begin, open + 1, length, static_cast<std::uint32_t>(shortHash(word & before, length)));
        open = close;  // a "[" after it on the line starts no header
        continue;
      }
    } else {
      const std::size_t stop = lines.stop(open);
      close = findByte(part(text, 0, stop), ']', open + 1);
      if (close >= stop) {
        open = stop;  // no other "[" of the line starts one
        continue;
      }
    }
    // Hashed here, where its bytes were just looked at: every use of a file
    // asks for a section, which indexes the names of all of them.
    const std::string_view name = trimmed(text.data() + open + 1, text.data() + close);
    addSection(begin, static_cast<std::size_t>(name.data() - text.data()), name.size(), rawSectionHash(name));
    open = close;  // a "[" after it on the line starts no header
  }
}

std::string_view ProfileFile::rawOf(const Line& line) const {
  return line.written != kNone ? std::string_view(m_written[line.written])
                               : part(m_text, line.at, line.length);
}

std::string_view ProfileFile::decoded(std::string_view raw, std::string& scratch) const {
  if (!m_utf8 || isAscii(raw)) return raw;
  utf8ToLatin1(raw, scratch);
  return scratch;
}

bool ProfileFile::indexLine(std::size_t section, Line line) const {
  const std::string_view raw = rawOf(line);
  const Parsed parsed = classify(raw);
  if (parsed.kind != Kind::Key) return parsed.kind != Kind::Blank;
  line.valueAt = static_cast<std::size_t>(parsed.value.data() - raw.data());
  line.valueLength = parsed.value.size();
  if (m_utf8) {
    addDecodedKey(section, parsed.name, line);
  } else {
    m_keys.add(section, parsed.name, line);
  }
  return true;
}

void ProfileFile::addDecodedKey(std::size_t section, std::string_view name, const Line& line) const {
  std::string scratch;
  m_keys.add(section, decoded(name, scratch), line);
}

std::size_t ProfileFile::endOf(std::size_t number) const {
  return number + 1 < m_sections.size() ? m_sections[number + 1].begin : m_text.size();
}

// The first key of a name within a section wins. New keys go after the
// section's last key or comment, before any blank lines that separate it
// from the next header.
void ProfileFile::indexKeys(std::size_t number) const {
  if (m_sections[number].edit != kNoEdit) return;
  m_sections[number].edit = static_cast<std::uint32_t>(m_edits.size());
  SectionEdit edit;
  edit.number = number;
  // A file of this tool holds a key in about every 22 bytes; the index grows
  // beyond that when it must.
  m_keys.reserve(std::min<std::size_t>(m_text.size() / 16, 1024));
  const std::string_view text = m_text;
  const std::size_t begin = m_sections[number].begin;
  const std::size_t end = endOf(number);
  // The searches for line breaks stop where the section does.
  LineWalk lines(part(text, 0, end));
  bool header = number != 0;  // the header comes first
  edit.insertAt = begin;
  for (std::size_t at = begin; at < end;) {
    const std::size_t stop = lines.stop(at);
    const std::size_t next = lines.next(stop);
    if (header) {
      header = false;  // right after the header while the section holds only blank lines
      edit.insertAt = next;
    } else if (stop > at) {
      if (indexLine(number, Line{at, stop - at})) edit.insertAt = next;
    }
    // Empty lines hold nothing to note: a run of line breaks is passed at once.
    for (at = next; at < end && (text[at] == '\n' || text[at] == '\r');) ++at;
  }
  m_edits.push_back(edit);
}

std::string_view ProfileFile::rawNameOf(const Section& section) const {
  const bool added = section.edit != kNoEdit && m_edits[section.edit].addedHeader != kNone;
  return part(added ? std::string_view(m_written[m_edits[section.edit].addedHeader]) : std::string_view(m_text),
              section.nameAt, section.nameLength);
}

std::string_view ProfileFile::nameOf(const Section& section, std::string& scratch) const {
  return decoded(rawNameOf(section), scratch);
}

// Letters are folded alike in the stored bytes and in their single-byte
// text (UTF-8 encodes every byte above 0x7F in bytes above 0x7F), so stored
// names that match read as names that match; only names that differ as
// stored are decoded. Equal bytes (many sections of one name) are known
// without folding.
bool ProfileFile::sameNames(const Section& a, const Section& b) const {
  const std::string_view rawA = rawNameOf(a);
  const std::string_view rawB = rawNameOf(b);
  if (rawA == rawB || sameName(rawA, rawB)) return true;
  if (!m_utf8 || (isAscii(rawA) && isAscii(rawB))) return false;
  std::string scratchA;
  std::string scratchB;
  return sameName(decoded(rawA, scratchA), decoded(rawB, scratchB));
}

std::uint32_t ProfileFile::sectionHash(std::string_view name) { return static_cast<std::uint32_t>(foldedHash(name, 0)); }

std::uint32_t ProfileFile::rawSectionHash(std::string_view raw) const {
  std::string scratch;
  return sectionHash(decoded(raw, scratch));
}

// Sections are placed in file order, each at the first free slot from its
// hash on; one whose name is placed already is left out, so that the first
// section of a name is the one found (and many sections of one name make no
// long runs of slots). Names are compared only where their hashes are equal.
void ProfileFile::placeSection(std::size_t number) const {
  if (2 * number > m_sectionSlots.size()) {
    m_sectionSlots.assign(std::bit_ceil(std::max<std::size_t>(16, 2 * number)), 0);
    for (std::size_t earlier = 1; earlier < number; ++earlier) placeSection(earlier);
  }
  const Section& section = m_sections[number];
  const std::size_t mask = m_sectionSlots.size() - 1;
  for (std::size_t at = section.hash & mask;; at = (at + 1) & mask) {
    const std::uint32_t placed = m_sectionSlots[at];
    if (placed == 0) {
      m_sectionSlots[at] = static_cast<std::uint32_t>(number);
      return;
    }
    if (m_sections[placed].hash == section.hash && sameNames(m_sections[placed], section)) return;
  }
}

std::size_t ProfileFile::sectionNamed(std::string_view name) const {
  if (!m_sectionsIndexed) {
    m_sectionsIndexed = true;
    m_sectionSlots.assign(std::bit_ceil(std::max<std::size_t>(16, 2 * m_sections.size())), 0);
    for (std::size_t number = 1; number < m_sections.size(); ++number) placeSection(number);
  }
  // The keys of a section are mostly asked for one after another: the
  // section asked for last is known without the index.
  if (m_lastSectionAsked && name == *m_lastSectionAsked) return m_lastSection;
  m_lastSectionAsked = name;
  m_lastSection = 0;
  const std::uint32_t hash = sectionHash(name);
  const std::size_t mask = m_sectionSlots.size() - 1;
  std::string scratch;
  for (std::size_t at = hash & mask; m_sectionSlots[at] != 0; at = (at + 1) & mask) {
    const Section& section = m_sections[m_sectionSlots[at]];
    if (section.hash == hash && sameName(nameOf(section, scratch), name)) {
      m_lastSection = m_sectionSlots[at];
      break;
    }
  }
  return m_lastSection;
}

ProfileFile::Line* ProfileFile::findKey(std::string_view section, std::string_view key, std::size_t* number) const {
  const std::size_t header = sectionNamed(section);
  if (number != nullptr) *number = header;
  if (header == 0) return nullptr;
  indexKeys(header);
  return m_keys.find(header, key);
}

std::optional<std::string> ProfileFile::value(std::string_view section, std::string_view key) const {
  const Line* line = findKey(section, key);
  if (line == nullptr) return std::nullopt;
  const std::string_view raw = part(rawOf(*line), line->valueAt, line->valueLength);
  if (!m_utf8 || isAscii(raw)) return std::string(raw);
  std::string text;
  utf8ToLatin1(raw, text);
  return text;
}

std::string ProfileFile::value(std::string_view section, std::string_view key, std::string_view fallback) const {
  return value(section, key).value_or(std::string(fallback));
}

std::string ProfileFile::encode(std::string text) const {
  if (m_utf8) return latin1ToUtf8(text);
  return text;
}

void ProfileFile::appendSection(std::string_view name) {
  SectionEdit edit;
  edit.number = m_sections.size();
  edit.addedHeader = m_written.size();
  edit.insertAt = m_text.size();
  m_written.push_back(encode("[" + std::string(name) + "]"));
  // It holds no line of the text; its name stands in its header's bytes.
  m_sections.push_back(Section{static_cast<std::uint32_t>(m_text.size()), 1,
                               static_cast<std::uint32_t>(m_written.back().size() - 2),
                               static_cast<std::uint32_t>(m_edits.size()), sectionHash(name)});
  m_lastSectionAsked.reset();  // perhaps this name, which had no section
  m_edits.push_back(edit);
  // "[name]" always reads as a header of that name. (set() appends a section
  // only after asking for it, so the names are indexed already.)
  placeSection(edit.number);
}

void ProfileFile::addLine(std::size_t section, std::string text) {
  const Line line{kNone, 0, m_written.size()};
  m_written.push_back(encode(std::move(text)));
  m_nextAdded.resize(m_written.size(), kNone);
  SectionEdit& into = m_edits[m_sections[section].edit];  // its keys were asked for
  (into.lastAdded == kNone ? into.firstAdded : m_nextAdded[into.lastAdded]) = line.written;
  into.lastAdded = line.written;
  // A writable key's line reads as that key, and follows every other key of its section.
  indexLine(section, line);
}

void ProfileFile::rewriteLine(Line& line, std::string text) {
  if (line.written == kNone) {
    line.written = m_written.size();
    m_written.emplace_back();
    m_changed.emplace(line.at, line);
  }
  m_written[line.written] = encode(std::move(text));
  const std::string_view raw = m_written[line.written];
  const std::string_view value = classify(raw).value;
  line.valueAt = static_cast<std::size_t>(value.data() - raw.data());
  line.valueLength = value.size();
}

namespace {

// Not blank at either end.
bool trimmedAlready(std::string_view name) {
  return name.empty() || (!isBlank(name.front()) && !isBlank(name.back()));
}

bool holdsLineBreak(std::string_view text) { return holdsBreakOr(text, '\n'); }

}  // namespace

bool ProfileFile::writableSection(std::string_view name) {
  // (The header's bytes, twice the name's in UTF-8 at most, stay below 4 GiB.)
  return name.size() < std::numeric_limits<std::uint32_t>::max() / 2 - 2 && !holdsBreakOr(name, ']') && trimmedAlready(name);
}

bool ProfileFile::writableKey(std::string_view name) {
  return !holdsBreakOr(name, '=') && trimmedAlready(name) &&
         (name.empty() || (name.front() != '[' && name.front() != ';'));
}

bool ProfileFile::set(std::string_view section, std::string_view key, std::string_view value, bool* added) {
  if (added != nullptr) *added = false;
  if (!writableSection(section) || !writableKey(key)) return false;
  // Copied only when line breaks must go.
  const bool breaks = holdsLineBreak(value);
  std::string withoutBreaks;
  if (breaks) {
    withoutBreaks = value;
    std::erase_if(withoutBreaks, [](char c) { return c == '\r' || c == '\n'; });
  }
  const std::string_view clean = breaks ? std::string_view(withoutBreaks) : value;

  std::size_t number = 0;
  Line* line = findKey(section, key, &number);
  if (added != nullptr) *added = line == nullptr;
  if (number == 0) {
    appendSection(section);
    addLine(m_sections.size() - 1, std::string(key) + "=" + std::string(clean));
    return true;
  }
  if (line == nullptr) {
    addLine(number, std::string(key) + "=" + std::string(clean));
    return true;
  }
  const std::string_view raw = rawOf(*line);
  std::string scratch;
  if (decoded(part(raw, line->valueAt, line->valueLength), scratch) == clean) return true;
  // The name matches the writable `key` but for the case of ASCII letters,
  // so the new line reads as the same key in the same place.
  const std::string name(decoded(classify(raw).name, scratch));
  rewriteLine(*line, name + "=" + std::string(clean));
  return true;
}

std::string ProfileFile::bytes() const {
  std::string out;
  std::size_t size = kByteOrderMark.size() + m_text.size();
  for (const std::string& line : m_written) size += line.size() + 2 * kLineBreak.size();
  out.reserve(size);
  if (m_utf8) out += kByteOrderMark;
  // Only the text's last line can lack a line break; a line added after it
  // needs one.
  const bool textOpen = !m_text.empty() && m_text.back() != '\r' && m_text.back() != '\n';
  bool open = false;
  const auto putAdded = [&](std::size_t id) {
    if (open) out += kLineBreak;
    out += m_written[id];
    out += kLineBreak;
    open = false;
  };
  // The text goes out in one walk, with the lines set() changed in their
  // places; only sections that set() added to interrupt it.
  std::size_t copied = 0;
  auto changed = m_changed.begin();
  const auto putTextUpTo = [&](std::size_t end) {
    if (copied >= end) return;
    for (; changed != m_changed.end() && changed->first < end; ++changed) {
      out.append(m_text, copied, changed->first - copied);
      out += m_written[changed->second.written];
      copied = changed->first + changed->second.length;  // the line's own break follows
    }
    out.append(m_text, copied, end - copied);
    copied = end;
    open = textOpen && end == m_text.size();
  };
  // Sections in file order (their keys were asked for in any order).
  std::vector<const SectionEdit*> edits;
  edits.reserve(m_edits.size());
  for (const SectionEdit& edit : m_edits) edits.push_back(&edit);
  std::sort(edits.begin(), edits.end(), [](const SectionEdit* a, const SectionEdit* b) { return a->number < b->number; });
  for (const SectionEdit* edit : edits) {
    if (edit->addedHeader != kNone) {
      putTextUpTo(m_text.size());
      putAdded(edit->addedHeader);
    }
    if (edit->firstAdded == kNone) continue;
    putTextUpTo(edit->insertAt);
    for (std::size_t id = edit->firstAdded; id != kNone; id = m_nextAdded[id]) putAdded(id);
  }
  putTextUpTo(m_text.size());
  return out;
}

}  // namespace trekmor
