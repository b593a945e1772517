// The profile file alone: a file of arbitrary bytes, read, looked up and
// written key by key. The input is the file, then, after a NUL byte, writes
// separated by NUL bytes, each "section\x01key\x01value". Beyond never
// crashing nor touching memory it does not own:
//  - reading keeps every byte: the file's bytes come back unchanged;
//  - writing back the value a key reads as changes nothing;
//  - a name that would not read back as itself is refused, the file unchanged;
//  - a written value reads back at once when the file can carry it;
//  - each write adds at most a header and a key line, a value no line of its own;
//  - after the writes, every key written or looked up reads the same through
//    the index the reader built and the writes kept up as in a fresh read of
//    the written bytes, and the last value written under each name;
//  - every key looked up reads as in a plain reading of the bytes line by
//    line, which the reader's shortcuts (sections found from one "[" to the
//    next, keys read when first asked for) must not change.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "configfile/profile.h"
#include "configfile/textencoding.h"
#include "fuzz/lines.h"

using trekmor::fuzzing::lineCount;

namespace {

using trekmor::ProfileFile;

void check(bool condition) {
  if (!condition) std::abort();
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t at = 0;;) {
    const std::size_t next = text.find(separator, at);
    parts.push_back(text.substr(at, next - at));
    if (next == std::string_view::npos) return parts;
    at = next + 1;
  }
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return out;
}

// Names to look up, taken roughly from the lines of `text`: some are its
// sections and keys, some not quite.
void namesIn(std::string_view text, std::vector<std::pair<std::string_view, std::string_view>>& names) {
  std::string_view section;
  std::size_t taken = 0;
  for (const std::string_view line : split(text, '\n')) {
    if (taken == 256) return;
    const std::size_t open = line.find('[');
    const std::size_t close = line.find(']');
    if (open != std::string_view::npos && close != std::string_view::npos && open < close) {
      section = trimmed(line.substr(open + 1, close - open - 1));
    } else if (const std::size_t equals = line.find('='); equals != std::string_view::npos) {
      names.emplace_back(section, trimmed(line.substr(0, equals)));
      ++taken;
    }
  }
}

struct Write {
  std::string section;
  std::string key;
  std::string value;
};

// Blanks and quotes at either end do not survive a read.
bool survives(std::string_view value) {
  const auto edge = [](char c) { return isBlank(c) || c == '"' || c == '\''; };
  return value.empty() || (!edge(value.front()) && !edge(value.back()));
}

std::string withoutLineBreaks(std::string_view text) {
  std::string out(text);
  std::erase_if(out, [](char c) { return c == '\r' || c == '\n'; });
  return out;
}

// The keys as a plain reading finds them: every line decoded and classified
// in turn, the first section of each name, its first key of each name.
class PlainReading {
 public:
  explicit PlainReading(std::string_view bytes) {
    const bool utf8 = bytes.starts_with("\xEF\xBB\xBF");
    if (utf8) bytes.remove_prefix(3);
    std::set<std::string> sections;  // seen, in lower case
    std::string section;             // the present one, in lower case
    bool first = false;              // it is the first of its name
    std::string line;
    for (std::size_t at = 0; at < bytes.size();) {
      const std::size_t stop = std::min(bytes.find_first_of("\r\n", at), bytes.size());
      const std::string_view raw = bytes.substr(at, stop - at);
      at = stop + (stop + 1 < bytes.size() && bytes[stop] == '\r' && bytes[stop + 1] == '\n' ? 2 : 1);
      if (utf8) {
        trekmor::utf8ToLatin1(raw, line);
      } else {
        line = raw;
      }
      const std::string_view text = trimmed(line);
      if (text.empty() || text.front() == ';') continue;
      const std::size_t close = text.find(']');
      if (text.front() == '[' && close != std::string_view::npos) {
        section = lower(trimmed(text.substr(1, close - 1)));
        first = sections.insert(section).second;
        continue;
      }
      const std::size_t equals = text.find('=');
      if (!first || equals == std::string_view::npos) continue;  // keys before any header have no section
      std::string_view value = trimmed(text.substr(equals + 1));
      if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
      }
      m_values.emplace(std::pair(section, lower(trimmed(text.substr(0, equals)))), std::string(value));
    }
  }

  std::optional<std::string> value(std::string_view section, std::string_view key) const {
    const auto found = m_values.find({lower(section), lower(key)});
    if (found == m_values.end()) return std::nullopt;
    return found->second;
  }

 private:
  std::map<std::pair<std::string, std::string>, std::string> m_values;  // the first of each name
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t end = input.find('\0');
  const std::string_view text = input.substr(0, end);

  std::vector<Write> writes;
  if (end != std::string_view::npos) {
    for (const std::string_view record : split(input.substr(end + 1), '\0')) {
      std::vector<std::string_view> parts = split(record, '\x01');
      parts.resize(3);
      writes.push_back({withoutLineBreaks(parts[0]), withoutLineBreaks(parts[1]), std::string(parts[2])});
    }
  }

  // Views into the input, the writes and the written bytes, which all stay.
  std::vector<std::pair<std::string_view, std::string_view>> names;
  namesIn(text, names);

  ProfileFile file = ProfileFile::fromBytes(text);
  check(file.bytes() == text);
  const PlainReading plain(text);
  for (const auto& [s, k] : names) check(file.value(s, k) == plain.value(s, k));

  for (const auto& [s, k] : names) {
    if (const std::optional<std::string> value = file.value(s, k)) file.set(s, k, *value);
  }
  check(file.bytes() == text);

  const std::size_t linesAtFirst = lineCount(text);
  std::map<std::pair<std::string, std::string>, std::string> last;  // by names in lower case
  std::vector<const Write*> written;
  for (const Write& write : writes) {
    // A name that would not read back as itself (a header, a comment,
    // another key) is refused and the file stays as it is.
    const bool writable = ProfileFile::writableSection(write.section) && ProfileFile::writableKey(write.key);
    const std::string before = writable ? std::string() : file.bytes();
    check(file.set(write.section, write.key, write.value) == writable);
    if (!writable) {
      check(file.bytes() == before);
      continue;
    }
    names.emplace_back(write.section, write.key);
    written.push_back(&write);
    const std::string clean = withoutLineBreaks(write.value);
    if (survives(clean)) check(file.value(write.section, write.key) == clean);
    last[{lower(write.section), lower(write.key)}] = clean;
  }

  const std::string bytes = file.bytes();
  const std::size_t linesAtLast = lineCount(bytes);
  check(linesAtLast >= linesAtFirst && linesAtLast - linesAtFirst <= 2 * written.size());

  namesIn(bytes, names);  // with the sections and keys the writes made
  const ProfileFile fresh = ProfileFile::fromBytes(bytes);
  const PlainReading plainBytes(bytes);
  for (const auto& [s, k] : names) {
    const std::optional<std::string> value = fresh.value(s, k);
    check(file.value(s, k) == value && value == plainBytes.value(s, k));
  }
  // Every written key reads back with its last value from the bytes.
  for (const Write* write : written) {
    const std::string& value = last[{lower(write->section), lower(write->key)}];
    if (survives(value)) check(fresh.value(write->section, write->key) == value);
  }
  return 0;
}
