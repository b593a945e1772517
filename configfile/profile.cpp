#include "configfile/profile.h"

#include <algorithm>

#include "configfile/textencoding.h"
#include "configfile/wholefile.h"

namespace trekmor {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Names are matched ignoring the case of ASCII letters only: bytes above 0x7F
// must match exactly, whatever letters they stand for in some code page.
std::string foldedName(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = asciiLower(c);
  return out;
}

std::string keyIndexName(std::size_t header, std::string_view key) {
  return std::to_string(header) + '\0' + foldedName(key);
}

// One pair of matching quotes around the whole value is no part of it.
std::string_view unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value.remove_prefix(1);
    value.remove_suffix(1);
  }
  return value;
}

bool isBlankLine(std::string_view raw) { return trim(raw).empty(); }

}  // namespace

ProfileFile::Line ProfileFile::makeLine(std::string raw, std::string end) const {
  Line line;
  line.raw = std::move(raw);
  line.end = std::move(end);
  const std::string decoded = m_utf8 ? utf8ToLatin1(line.raw) : line.raw;
  std::string_view text = trim(decoded);
  if (text.empty() || text.front() == ';') return line;  // blank or comment
  if (text.front() == '[') {
    const std::size_t close = text.find(']');
    if (close != std::string_view::npos) {
      line.kind = Kind::Section;
      line.name = std::string(trim(text.substr(1, close - 1)));
      return line;
    }
  }
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return line;
  line.kind = Kind::Key;
  line.name = std::string(trim(text.substr(0, equals)));
  line.value = std::string(unquote(trim(text.substr(equals + 1))));
  return line;
}

ProfileFile ProfileFile::fromBytes(std::string_view bytes) {
  ProfileFile file;
  if (bytes.starts_with(kByteOrderMark)) {
    file.m_utf8 = true;
    bytes.remove_prefix(kByteOrderMark.size());
  }
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t stop = start;
    while (stop < bytes.size() && bytes[stop] != '\r' && bytes[stop] != '\n') ++stop;
    std::size_t next = stop;
    if (next < bytes.size()) {
      next += (bytes[next] == '\r' && next + 1 < bytes.size() && bytes[next + 1] == '\n') ? 2 : 1;
    }
    file.m_lines.push_back(
        file.makeLine(std::string(bytes.substr(start, stop - start)), std::string(bytes.substr(stop, next - stop))));
    start = next;
  }
  return file;
}

std::optional<ProfileFile> ProfileFile::read(const std::filesystem::path& path) {
  const std::optional<std::string> bytes = readWholeFile(path, kMaxSize);
  if (!bytes) return std::nullopt;
  return fromBytes(*bytes);
}

void ProfileFile::buildIndex() const {
  m_headers.clear();
  m_sections.clear();
  m_keys.clear();
  for (std::size_t at = 0; at < m_lines.size(); ++at) {
    const Line& line = m_lines[at];
    if (line.kind == Kind::Section) {
      m_headers.push_back(at);
      m_sections.emplace(foldedName(line.name), m_headers.size() - 1);  // the first section of a name wins
    } else if (line.kind == Kind::Key && !m_headers.empty()) {
      // The first key of a name within its section wins; keys before the
      // first header belong to no section.
      m_keys.emplace(keyIndexName(m_headers.size() - 1, line.name), at);
    }
  }
  m_indexed = true;
}

std::size_t ProfileFile::headerNumber(std::size_t header) const {
  return static_cast<std::size_t>(std::lower_bound(m_headers.begin(), m_headers.end(), header) - m_headers.begin());
}

std::optional<std::size_t> ProfileFile::findSection(std::string_view section) const {
  if (!m_indexed) buildIndex();
  const auto it = m_sections.find(foldedName(section));
  if (it == m_sections.end()) return std::nullopt;
  return m_headers[it->second];
}

std::size_t ProfileFile::sectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < m_lines.size() && m_lines[i].kind != Kind::Section) ++i;
  return i;
}

std::optional<std::size_t> ProfileFile::findKey(std::size_t header, std::string_view key) const {
  if (!m_indexed) buildIndex();
  const auto it = m_keys.find(keyIndexName(headerNumber(header), key));
  if (it == m_keys.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> ProfileFile::value(std::string_view section, std::string_view key) const {
  const auto header = findSection(section);
  if (!header) return std::nullopt;
  const auto line = findKey(*header, key);
  if (!line) return std::nullopt;
  return m_lines[*line].value;
}

std::string ProfileFile::value(std::string_view section, std::string_view key, std::string_view fallback) const {
  return value(section, key).value_or(std::string(fallback));
}

std::string ProfileFile::encode(std::string text) const { return m_utf8 ? latin1ToUtf8(text) : text; }

void ProfileFile::insertLine(std::size_t at, std::string text) {
  // Only the last line can lack a terminator; a line after it needs one.
  if (at > 0 && m_lines[at - 1].end.empty()) m_lines[at - 1].end = "\r\n";
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at),
                 makeLine(encode(std::move(text)), "\r\n"));
  if (!m_indexed) return;
  // The index follows the insertion instead of being built anew, which a
  // save into a long file would otherwise do for every key it adds.
  const Line& line = m_lines[at];
  const bool last = at + 1 == m_lines.size();
  if (line.kind == Kind::Section && !last) {
    m_indexed = false;  // sections are only ever added at the end
    return;
  }
  if (!last) {
    for (std::size_t& header : m_headers) header += header >= at ? 1 : 0;
    for (auto& entry : m_keys) entry.second += entry.second >= at ? 1 : 0;
  }
  if (line.kind == Kind::Section) {
    m_headers.push_back(at);
    m_sections.emplace(foldedName(line.name), m_headers.size() - 1);
  } else if (line.kind == Kind::Key) {
    // In the section of the last header above it. Only a key the section
    // lacked is inserted, so it is the first of its name there.
    const std::size_t number = headerNumber(at);
    if (number > 0) m_keys.emplace(keyIndexName(number - 1, line.name), at);
  }
}

void ProfileFile::set(std::string_view section, std::string_view key, std::string_view value) {
  std::string clean(value);
  std::erase_if(clean, [](char c) { return c == '\r' || c == '\n'; });

  const auto header = findSection(section);
  if (!header) {
    insertLine(m_lines.size(), "[" + std::string(section) + "]");
    insertLine(m_lines.size(), std::string(key) + "=" + clean);
    return;
  }
  if (const auto line = findKey(*header, key)) {
    Line& existing = m_lines[*line];
    if (existing.value == clean) return;
    const std::string name = existing.name;
    existing = makeLine(encode(name + "=" + clean), existing.end);
    // Still the same key in the same place, unless the value made it read otherwise.
    if (existing.kind != Kind::Key || existing.name != name) m_indexed = false;
    return;
  }
  // After the section's last key or comment, before any blank lines that
  // separate it from the next header.
  std::size_t at = sectionEnd(*header);
  while (at > *header + 1 && isBlankLine(m_lines[at - 1].raw)) --at;
  insertLine(at, std::string(key) + "=" + clean);
}

std::string ProfileFile::bytes() const {
  std::string out;
  if (m_utf8) out += kByteOrderMark;
  for (const Line& line : m_lines) {
    out += line.raw;
    out += line.end;
  }
  return out;
}

}  // namespace trekmor
