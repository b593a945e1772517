#include "configfile/profile.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "configfile/textencoding.h"
#include "platform/ascii.h"
#include "platform/wholefile.h"

namespace trekmor {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineBreak = "\r\n";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool isBlankLine(std::string_view raw) { return trim(raw).empty(); }

// One pair of matching quotes around the whole value is no part of it.
std::string_view unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value.remove_prefix(1);
    value.remove_suffix(1);
  }
  return value;
}

enum class Kind { Other, Section, Key };

// What a line is; the names and the value point into its text.
struct Parsed {
  Kind kind = Kind::Other;
  std::string_view name;   // of a section or a key
  std::string_view value;  // of a key
};

Parsed classify(std::string_view line) {
  const std::string_view text = trim(line);
  if (text.empty() || text.front() == ';') return {};  // blank or comment
  if (text.front() == '[') {
    const std::size_t close = text.find(']');
    if (close != std::string_view::npos) return {Kind::Section, trim(text.substr(1, close - 1)), {}};
  }
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return {};
  return {Kind::Key, trim(text.substr(0, equals)), unquote(trim(text.substr(equals + 1)))};
}

// The lines of a text, from a place on: each stops at its CR or LF, or at
// the end. The next CR and the next LF are each searched for once, so that a
// walk over the lines goes over the text twice in all; long lines at the
// speed of the library's byte search, short ones (a call costs more than a
// few bytes looked at) without it.
class LineWalk {
 public:
  LineWalk(std::string_view text, std::size_t at) : m_text(text), m_cr(find('\r', at)), m_lf(find('\n', at)) {}

  // Where the line that starts at `at` stops; `at` only moves on.
  std::size_t stop(std::size_t at) {
    if (m_cr < at) m_cr = find('\r', at);
    if (m_lf < at) m_lf = find('\n', at);
    return std::min(m_cr, m_lf);
  }
  // Where the next line starts after a line that stops at `stop`: its break
  // is CR LF, a lone CR or LF, or nothing at the end of the text.
  std::size_t next(std::size_t stop) const {
    if (stop == m_text.size()) return stop;
    return stop + (stop == m_cr && m_lf == stop + 1 ? 2 : 1);
  }

 private:
  std::size_t find(char c, std::size_t at) const {
    for (const std::size_t near = std::min(at + 8, m_text.size()); at < near; ++at) {
      if (m_text[at] == c) return at;
    }
    return std::min(m_text.find(c, at), m_text.size());
  }

  std::string_view m_text;
  std::size_t m_cr;
  std::size_t m_lf;
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

// The folded words, the last one padded with zeros, and the length, mixed
// word by word and finally through every bit (names such as "S1" to "S999"
// differ in a few middle bits only, and the index takes the low bits); names
// that match also hash alike.
std::size_t foldedHash(std::string_view name, std::size_t seed) {
  std::uint64_t hash = 0xCBF29CE484222325u ^ (static_cast<std::uint64_t>(seed) * 0x9E3779B97F4A7C15u) ^ name.size();
  while (!name.empty()) {
    std::uint64_t word = 0;
    const std::size_t take = std::min<std::size_t>(sizeof word, name.size());
    std::memcpy(&word, name.data(), take);
    hash = (hash ^ foldedWord(word)) * 0x100000001B3u;
    hash ^= hash >> 29;
    name.remove_prefix(take);
  }
  hash = (hash ^ (hash >> 33)) * 0xFF51AFD7ED558CCDu;
  hash = (hash ^ (hash >> 33)) * 0xC4CEB9FE1A85EC53u;
  return static_cast<std::size_t>(hash ^ (hash >> 33));
}

}  // namespace

// Names are matched ignoring the case of ASCII letters only: bytes above 0x7F
// must match exactly, whatever letters they stand for in some code page.
bool ProfileFile::sameName(std::string_view a, std::string_view b) {
  // Names mostly match in the same letters: one byte comparison settles those.
  return a == b || asciiEqualIgnoringCase(a, b);
}

template <typename Value>
std::size_t ProfileFile::NameIndex<Value>::place(std::size_t hash, std::size_t section, std::string_view name) const {
  const std::size_t mask = m_slots.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    if (m_slots[at] == kFree) return at;
    const Entry& entry = m_entries[m_slots[at] - 1];
    if (entry.hash == hash && entry.section == section &&
        sameName(std::string_view(m_names).substr(entry.nameAt, entry.nameLength), name)) {
      return at;
    }
  }
}

template <typename Value>
const Value* ProfileFile::NameIndex<Value>::find(std::size_t section, std::string_view name) const {
  if (m_slots.empty()) return nullptr;
  const std::uint32_t slot = m_slots[place(foldedHash(name, section), section, name)];
  return slot == kFree ? nullptr : &m_entries[slot - 1].value;
}

template <typename Value>
Value* ProfileFile::NameIndex<Value>::find(std::size_t section, std::string_view name) {
  return const_cast<Value*>(std::as_const(*this).find(section, name));
}

template <typename Value>
void ProfileFile::NameIndex<Value>::add(std::size_t section, std::string_view name, const Value& value) {
  if (2 * (m_entries.size() + 1) > m_slots.size()) {
    // Twice the slots, each entry at its place among them.
    m_slots.assign(std::max<std::size_t>(16, 2 * m_slots.size()), kFree);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t number = 0; number < m_entries.size(); ++number) {
      std::size_t at = m_entries[number].hash & mask;
      while (m_slots[at] != kFree) at = (at + 1) & mask;
      m_slots[at] = static_cast<std::uint32_t>(number + 1);
    }
  }
  const std::size_t hash = foldedHash(name, section);
  std::uint32_t& slot = m_slots[place(hash, section, name)];
  if (slot != kFree) return;
  m_entries.push_back(Entry{hash, section, m_names.size(), name.size(), value});
  slot = static_cast<std::uint32_t>(m_entries.size());
  m_names += name;
}

ProfileFile ProfileFile::fromBytes(std::string_view bytes) { return fromText(std::string(bytes)); }

ProfileFile ProfileFile::fromText(std::string bytes) {
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
  std::string scratch;
  LineWalk lines(text, 0);
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t stop = lines.stop(at);
    const std::size_t next = lines.next(stop);
    if (stop == at) {  // an empty line: nothing to note
      at = next;
      continue;
    }
    const std::string_view raw = text.substr(at, stop - at);
    if (m_utf8) utf8ToLatin1(raw, scratch);
    const Parsed line = classify(m_utf8 ? std::string_view(scratch) : raw);
    if (line.kind == Kind::Section) {
      m_sections.back().end = at;
      Section section;
      section.begin = at;
      section.insertAt = next;  // right after the header while the section holds only blank lines
      m_sections.push_back(std::move(section));
      indexSection(line.name, m_sections.size() - 1);
    } else {
      // New keys go after the section's last key or comment, before any
      // blank lines that separate it from the next header.
      if (!isBlankLine(raw)) m_sections.back().insertAt = next;
      // Keys before the first header belong to no section.
      if (line.kind == Kind::Key && m_sections.size() > 1) indexKey(m_sections.size() - 1, line.name, {at, stop - at});
    }
    at = next;
  }
  m_sections.back().end = text.size();
}

std::string_view ProfileFile::textOf(const Line& line, std::string& scratch) const {
  const std::string_view raw = line.written != kNone ? std::string_view(m_written[line.written])
                                                     : std::string_view(m_text).substr(line.at, line.length);
  if (!m_utf8) return raw;
  utf8ToLatin1(raw, scratch);
  return scratch;
}

ProfileFile::Line ProfileFile::textLine(std::size_t at, std::size_t length) const {
  const auto changed = m_changed.find(at);
  return changed != m_changed.end() ? changed->second : Line{at, length};
}

// The first section of a name wins, and within a section the first key of a name.
void ProfileFile::indexSection(std::string_view name, std::size_t number) {
  m_sectionIndex.add(0, name, number);
}

void ProfileFile::indexKey(std::size_t section, std::string_view name, const Line& line) {
  m_keys.add(section, name, line);
}

std::optional<std::string> ProfileFile::value(std::string_view section, std::string_view key) const {
  const std::size_t* header = m_sectionIndex.find(0, section);
  if (header == nullptr) return std::nullopt;
  const Line* line = m_keys.find(*header, key);
  if (line == nullptr) return std::nullopt;
  std::string scratch;
  return std::string(classify(textOf(*line, scratch)).value);
}

std::string ProfileFile::value(std::string_view section, std::string_view key, std::string_view fallback) const {
  return value(section, key).value_or(std::string(fallback));
}

std::string ProfileFile::encode(std::string text) const {
  if (m_utf8) return latin1ToUtf8(text);
  return text;
}

void ProfileFile::appendSection(std::string text) {
  Section section;
  section.addedHeader = m_written.size();
  section.begin = section.end = section.insertAt = m_text.size();
  m_written.push_back(encode(std::move(text)));
  m_sections.push_back(std::move(section));
  std::string scratch;
  // "[name]" always reads as a header.
  indexSection(classify(textOf(Line{kNone, 0, m_sections.back().addedHeader}, scratch)).name, m_sections.size() - 1);
}

void ProfileFile::addLine(std::size_t section, std::string text) {
  const Line line{kNone, 0, m_written.size()};
  m_written.push_back(encode(std::move(text)));
  m_sections[section].added.push_back(line.written);
  std::string scratch;
  // A writable key's line reads as that key, and follows every other key of its section.
  indexKey(section, classify(textOf(line, scratch)).name, line);
}

void ProfileFile::rewriteLine(Line& line, std::string text) {
  if (line.written == kNone) {
    line.written = m_written.size();
    m_written.emplace_back();
    m_changed.emplace(line.at, line);
  }
  m_written[line.written] = encode(std::move(text));
}

bool ProfileFile::writableSection(std::string_view name) {
  return name.find_first_of("]\r\n") == std::string_view::npos && trim(name) == name;
}

bool ProfileFile::writableKey(std::string_view name) {
  return name.find_first_of("=\r\n") == std::string_view::npos && trim(name) == name &&
         (name.empty() || (name.front() != '[' && name.front() != ';'));
}

bool ProfileFile::set(std::string_view section, std::string_view key, std::string_view value) {
  if (!writableSection(section) || !writableKey(key)) return false;
  std::string clean(value);
  std::erase_if(clean, [](char c) { return c == '\r' || c == '\n'; });

  const std::size_t* header = m_sectionIndex.find(0, section);
  if (header == nullptr) {
    appendSection("[" + std::string(section) + "]");
    addLine(m_sections.size() - 1, std::string(key) + "=" + clean);
    return true;
  }
  const std::size_t number = *header;
  Line* line = m_keys.find(number, key);
  if (line == nullptr) {
    addLine(number, std::string(key) + "=" + clean);
    return true;
  }
  std::string scratch;
  const Parsed present = classify(textOf(*line, scratch));
  if (present.value == clean) return true;
  // The name matches the writable `key` but for the case of ASCII letters,
  // so the new line reads as the same key in the same place.
  const std::string name(present.name);
  rewriteLine(*line, name + "=" + clean);
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
  const auto putText = [&](std::size_t begin, std::size_t end) {
    if (begin >= end) return;
    std::size_t at = begin;
    for (auto changed = m_changed.lower_bound(begin); changed != m_changed.end() && changed->first < end; ++changed) {
      out.append(m_text, at, changed->first - at);
      out += m_written[changed->second.written];
      at = changed->first + changed->second.length;  // the line's own break follows
    }
    out.append(m_text, at, end - at);
    open = textOpen && end == m_text.size();
  };
  for (const Section& section : m_sections) {
    if (section.addedHeader != kNone) putAdded(section.addedHeader);
    putText(section.begin, section.insertAt);
    for (const std::size_t id : section.added) putAdded(id);
    putText(section.insertAt, section.end);
  }
  return out;
}

}  // namespace trekmor
