#include "configfile/profile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

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

// FNV-1a over the bytes with ASCII letters in lower case, so that names
// that match also hash alike.
std::size_t foldedHash(std::string_view name, std::size_t seed) {
  std::uint64_t hash = 0xCBF29CE484222325u ^ (static_cast<std::uint64_t>(seed) * 0x9E3779B97F4A7C15u);
  for (char c : name) {
    hash ^= static_cast<unsigned char>(asciiLower(c));
    hash *= 0x100000001B3u;
  }
  return static_cast<std::size_t>(hash);
}

}  // namespace

// Names are matched ignoring the case of ASCII letters only: bytes above 0x7F
// must match exactly, whatever letters they stand for in some code page.
bool ProfileFile::sameName(std::string_view a, std::string_view b) { return asciiEqualIgnoringCase(a, b); }

std::size_t ProfileFile::NameHash::operator()(std::string_view name) const { return foldedHash(name, 0); }

std::size_t ProfileFile::KeyHash::operator()(const KeyView& key) const { return foldedHash(key.name, key.section); }

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
  if (!m_sectionIndex.contains(name)) m_sectionIndex.emplace(std::string(name), number);
}

void ProfileFile::indexKey(std::size_t section, std::string_view name, const Line& line) {
  if (!m_keys.contains(KeyView{section, name})) m_keys.emplace(KeyName{section, std::string(name)}, line);
}

void ProfileFile::reindex() {
  m_sectionIndex.clear();
  m_keys.clear();
  std::string scratch;
  const std::string_view text = m_text;
  for (std::size_t number = 0; number < m_sections.size(); ++number) {
    const Section& section = m_sections[number];
    const auto index = [&](const Line& line) {
      const Parsed parsed = classify(textOf(line, scratch));
      if (parsed.kind == Kind::Section) indexSection(parsed.name, number);  // only ever the first line
      if (parsed.kind == Kind::Key && number > 0) indexKey(number, parsed.name, line);
    };
    const auto indexText = [&](std::size_t from, std::size_t to) {
      LineWalk lines(text, from);
      for (std::size_t at = from; at < to;) {
        const std::size_t stop = lines.stop(at);
        index(textLine(at, stop - at));
        at = lines.next(stop);
      }
    };
    if (section.addedHeader != kNone) index(Line{kNone, 0, section.addedHeader});
    indexText(section.begin, section.insertAt);
    for (const std::size_t id : section.added) index(Line{kNone, 0, id});
    indexText(section.insertAt, section.end);
  }
}

std::optional<std::string> ProfileFile::value(std::string_view section, std::string_view key) const {
  const auto header = m_sectionIndex.find(section);
  if (header == m_sectionIndex.end()) return std::nullopt;
  const auto line = m_keys.find(KeyView{header->second, key});
  if (line == m_keys.end()) return std::nullopt;
  std::string scratch;
  return std::string(classify(textOf(line->second, scratch)).value);
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
  const Parsed parsed = classify(textOf(line, scratch));
  if (parsed.kind == Kind::Key) {
    // It follows every other key of its section.
    indexKey(section, parsed.name, line);
  } else if (parsed.kind == Kind::Section) {
    // A key name such as "[x" with a "]" after it makes a header.
    splitAt(section, line);
    reindex();
  }
}

void ProfileFile::rewriteLine(std::size_t section, Line& line, std::string_view name, std::string text) {
  if (line.written == kNone) {
    line.written = m_written.size();
    m_written.emplace_back();
    m_changed.emplace(line.at, line);
  }
  m_written[line.written] = encode(std::move(text));
  const Line changed = line;
  std::string scratch;
  const Parsed parsed = classify(textOf(changed, scratch));
  if (parsed.kind == Kind::Key && parsed.name == name) return;  // the same key in the same place
  // A key "[x" whose new value holds a "]" is now a header.
  if (parsed.kind == Kind::Section) splitAt(section, changed);
  reindex();
}

void ProfileFile::splitAt(std::size_t number, const Line& line) {
  Section& section = m_sections[number];
  Section next;
  next.end = section.end;
  if (line.at != kNone) {
    // A line of the text: it and the lines after it move to the new section,
    // the added ones with them; the section keeps the lines before it.
    next.begin = line.at;
    next.insertAt = section.insertAt;
    next.added = std::move(section.added);
    section.added.clear();
    section.end = line.at;
    const std::string_view text = m_text;
    LineWalk lines(text, section.begin);
    std::size_t at = section.begin;
    if (section.addedHeader == kNone) at = lines.next(lines.stop(at));  // past the header
    section.insertAt = at;
    while (at < section.end) {
      const std::size_t stop = lines.stop(at);
      const std::size_t after = lines.next(stop);
      if (!isBlankLine(text.substr(at, stop - at))) section.insertAt = after;
      at = after;
    }
  } else {
    // An added line: the added lines after it and the blank lines that
    // ended the section move to the new one.
    const auto place = std::find(section.added.begin(), section.added.end(), line.written);
    next.addedHeader = line.written;
    next.begin = next.insertAt = section.insertAt;
    next.added.assign(place + 1, section.added.end());
    section.added.erase(place, section.added.end());
    section.end = section.insertAt;
  }
  m_sections.insert(m_sections.begin() + static_cast<std::ptrdiff_t>(number) + 1, std::move(next));
}

void ProfileFile::set(std::string_view section, std::string_view key, std::string_view value) {
  std::string clean(value);
  std::erase_if(clean, [](char c) { return c == '\r' || c == '\n'; });

  const auto header = m_sectionIndex.find(section);
  if (header == m_sectionIndex.end()) {
    appendSection("[" + std::string(section) + "]");
    addLine(m_sections.size() - 1, std::string(key) + "=" + clean);
    return;
  }
  const std::size_t number = header->second;
  const auto line = m_keys.find(KeyView{number, key});
  if (line == m_keys.end()) {
    addLine(number, std::string(key) + "=" + clean);
    return;
  }
  std::string scratch;
  const Parsed present = classify(textOf(line->second, scratch));
  if (present.value == clean) return;
  const std::string name(present.name);
  rewriteLine(number, line->second, name, name + "=" + clean);
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
