#include "history/entry.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <ctime>
#include <random>

#if defined(_WIN32)
#include <process.h>
#else
#include <unistd.h>
#endif

namespace trekmor {

namespace {

using namespace std::chrono;

constexpr std::string_view kMagic = "APRS Trekmor history entry";
constexpr std::string_view kSuffix = ".entry";
// "20250601T101112.123456Z-" before the id.
constexpr std::size_t kStampLength = 24;
constexpr std::size_t kIdLength = 12;

constexpr std::string_view kEventNames[] = {"read", "written", "before-write", "before-firmware"};

bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string twoDigits(long long n) { return std::string(1, char('0' + n / 10 % 10)) + char('0' + n % 10); }

std::string digits(long long n, int width) {
  std::string text = std::to_string(n);
  return std::string(static_cast<std::size_t>(std::max(0, width - static_cast<int>(text.size()))), '0') + text;
}

template <class Number>
std::optional<Number> number(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::uint64_t mixed(std::uint64_t x) {
  // splitmix64's finaliser: every input bit reaches every output bit.
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// Unique across processes writing the same history at once: the system's
// entropy, the clock, the process and a counter of this process together.
std::string newId() {
  static std::atomic<std::uint64_t> counter{0};
  std::random_device entropy;
#if defined(_WIN32)
  const std::uint64_t process = static_cast<std::uint64_t>(_getpid());
#else
  const std::uint64_t process = static_cast<std::uint64_t>(::getpid());
#endif
  const auto now = static_cast<std::uint64_t>(steady_clock::now().time_since_epoch().count());
  std::uint64_t value = (static_cast<std::uint64_t>(entropy()) << 32) ^ entropy();
  value = mixed(value ^ mixed(now ^ (process << 40) ^ counter.fetch_add(1)));
  constexpr char kDigits[] = "0123456789abcdef";
  std::string id;
  for (std::size_t k = 0; k < kIdLength; ++k) id.push_back(kDigits[(value >> (4 * k)) & 0xF]);
  return id;
}

struct Civil {
  int year;
  unsigned month, day;
  long long seconds;  // of the day
  long long micros;   // of the second
};

Civil civil(std::int64_t timeUs) {
  const sys_time<microseconds> t{microseconds(timeUs)};
  const sys_days day = floor<days>(t);
  const year_month_day date(day);
  const long long inDay = duration_cast<microseconds>(t - day).count();
  return {static_cast<int>(date.year()), static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
          inDay / 1000000, inDay % 1000000};
}

std::string dateText(const Civil& c, std::string_view dateSeparator, std::string_view timeSeparator) {
  return digits(c.year, 4) + std::string(dateSeparator) + twoDigits(c.month) + std::string(dateSeparator) +
         twoDigits(c.day) + "T" + twoDigits(c.seconds / 3600) + std::string(timeSeparator) +
         twoDigits(c.seconds / 60 % 60) + std::string(timeSeparator) + twoDigits(c.seconds % 60);
}

// "2025-06-01T10:11:12.123456Z" back into microseconds.
std::optional<std::int64_t> parseUtcTime(std::string_view text) {
  constexpr std::string_view kForm = "0000-00-00T00:00:00.000000Z";
  if (text.size() != kForm.size()) return std::nullopt;
  for (std::size_t i = 0; i < kForm.size(); ++i) {
    if (kForm[i] == '0' ? !isDigit(text[i]) : text[i] != kForm[i]) return std::nullopt;
  }
  const auto field = [&](std::size_t at, std::size_t length) { return *number<int>(text.substr(at, length)); };
  const year_month_day date{year(field(0, 4)), month(static_cast<unsigned>(field(5, 2))),
                            day(static_cast<unsigned>(field(8, 2)))};
  const int hour = field(11, 2), minute = field(14, 2), second = field(17, 2);
  if (!date.ok() || hour > 23 || minute > 59 || second > 59) return std::nullopt;
  const auto t = sys_days(date) + hours(hour) + minutes(minute) + seconds(second) + microseconds(field(20, 6));
  return duration_cast<microseconds>(t.time_since_epoch()).count();
}

}  // namespace

std::string_view eventName(HistoryEvent event) { return kEventNames[static_cast<std::size_t>(event)]; }

bool HistoryEntry::sameContent(const HistoryEntry& other) const {
  return serial == other.serial && event == other.event && firmwareVersion == other.firmwareVersion &&
         brokeOffAtPage == other.brokeOffAtPage && image == other.image;
}

bool HistoryEntry::valid() const { return checkImageIntegrity(image) && configVersionMismatchMessage(image).empty(); }

HistoryEntry makeHistoryEntry(std::string_view serial, HistoryEvent event, const Image& image,
                              std::optional<std::uint32_t> firmwareVersion, int brokeOffAtPage) {
  HistoryEntry entry;
  entry.id = newId();
  entry.serial = serial;
  std::replace_if(entry.serial.begin(), entry.serial.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }, '?');
  entry.timeUs = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
  entry.event = event;
  entry.firmwareVersion = firmwareVersion;
  entry.brokeOffAtPage = brokeOffAtPage;
  entry.image = image;
  return entry;
}

std::string encodeEntry(const HistoryEntry& entry) {
  std::string text = std::string(kMagic) + "\nid=" + entry.id + "\nserial=" + entry.serial +
                     "\ntime=" + utcTimeText(entry.timeUs) + "\nevent=" + std::string(eventName(entry.event)) +
                     "\nfirmware=" + (entry.firmwareVersion ? std::to_string(*entry.firmwareVersion) : "") +
                     "\nbroken-off-at-page=" + std::to_string(entry.brokeOffAtPage) + "\n\n";
  text.append(reinterpret_cast<const char*>(entry.image.data()), entry.image.size());
  return text;
}

std::optional<HistoryEntry> decodeEntry(std::string_view bytes) {
  const std::size_t headerEnd = bytes.find("\n\n");
  if (headerEnd == std::string_view::npos || bytes.size() - headerEnd - 2 != kImageSize) return std::nullopt;
  std::string_view header = bytes.substr(0, headerEnd + 1);
  // Each line in its place: "key=value".
  const auto line = [&](std::string_view key) -> std::optional<std::string_view> {
    const std::size_t end = header.find('\n');
    const std::string_view text = header.substr(0, end);
    header.remove_prefix(end + 1);
    if (key.empty()) return text;
    if (text.size() <= key.size() || text.substr(0, key.size()) != key || text[key.size()] != '=') return std::nullopt;
    return text.substr(key.size() + 1);
  };
  HistoryEntry entry;
  const auto magic = line({});
  const auto id = line("id");
  const auto serial = line("serial");
  const auto time = line("time");
  const auto event = line("event");
  const auto firmware = line("firmware");
  const auto broken = line("broken-off-at-page");
  if (magic != kMagic || !id || !serial || !time || !event || !firmware || !broken || !header.empty()) {
    return std::nullopt;
  }
  if (id->size() != kIdLength || !std::all_of(id->begin(), id->end(), isHex)) return std::nullopt;
  const auto timeUs = parseUtcTime(*time);
  const auto name = std::find(std::begin(kEventNames), std::end(kEventNames), *event);
  const auto page = number<int>(*broken);
  if (!timeUs || name == std::end(kEventNames) || !page || *page < 0 || *page > static_cast<int>(kPageCount)) {
    return std::nullopt;
  }
  if (!firmware->empty()) {
    entry.firmwareVersion = number<std::uint32_t>(*firmware);
    if (!entry.firmwareVersion) return std::nullopt;
  }
  entry.id = *id;
  entry.serial = *serial;
  entry.timeUs = *timeUs;
  entry.event = static_cast<HistoryEvent>(name - std::begin(kEventNames));
  entry.brokeOffAtPage = *page;
  std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(headerEnd + 2), kImageSize, entry.image.begin());
  return entry;
}

std::string entryFileName(const HistoryEntry& entry) {
  const Civil c = civil(entry.timeUs);
  return dateText(c, "", "") + "." + digits(c.micros, 6) + "Z-" + entry.id + std::string(kSuffix);
}

std::optional<std::string> idInFileName(std::string_view name) {
  constexpr std::string_view kForm = "00000000T000000.000000Z-";
  if (name.size() != kStampLength + kIdLength + kSuffix.size() || !name.ends_with(kSuffix)) return std::nullopt;
  for (std::size_t i = 0; i < kForm.size(); ++i) {
    if (kForm[i] == '0' ? !isDigit(name[i]) : name[i] != kForm[i]) return std::nullopt;
  }
  const std::string_view id = name.substr(kStampLength, kIdLength);
  if (!std::all_of(id.begin(), id.end(), isHex)) return std::nullopt;
  return std::string(id);
}

std::string serialFolderName(std::string_view serial) {
  if (serial.empty()) return "unknown";
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::string name;
  for (const char c : serial) {
    const auto byte = static_cast<unsigned char>(c);
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '-' || c == '_') {
      name.push_back(c);
    } else if (c >= 'a' && c <= 'z') {
      name.push_back(static_cast<char>(c - 'a' + 'A'));
    } else {
      name += {'%', kDigits[byte >> 4], kDigits[byte & 0xF]};
    }
  }
  return name;
}

std::string utcTimeText(std::int64_t timeUs) {
  const Civil c = civil(timeUs);
  return dateText(c, "-", ":") + "." + digits(c.micros, 6) + "Z";
}

std::string localTimeText(std::int64_t timeUs) {
  const std::time_t t = static_cast<std::time_t>(floor<seconds>(sys_time<microseconds>(microseconds(timeUs)))
                                                     .time_since_epoch()
                                                     .count());
  std::tm local{};
#if defined(_WIN32)
  if (localtime_s(&local, &t) != 0) return utcTimeText(timeUs);
#else
  if (localtime_r(&t, &local) == nullptr) return utcTimeText(timeUs);
#endif
  // The offset is what the local clock reads minus UTC, worked out from the
  // fields themselves: %z is no offset on every C library.
  const sys_days day = sys_days(year(local.tm_year + 1900) / month(static_cast<unsigned>(local.tm_mon + 1)) /
                                static_cast<unsigned>(local.tm_mday));
  const long long secondsOfDay = local.tm_hour * 3600LL + local.tm_min * 60LL + local.tm_sec;
  const long long offset = day.time_since_epoch().count() * 86400LL + secondsOfDay - static_cast<long long>(t);
  const Civil c{local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1), static_cast<unsigned>(local.tm_mday),
                secondsOfDay, 0};
  const long long magnitude = offset < 0 ? -offset : offset;
  return dateText(c, "-", ":") + (offset < 0 ? "-" : "+") + twoDigits(magnitude / 3600) + ":" +
         twoDigits(magnitude / 60 % 60);
}

std::string eventDescription(const HistoryEntry& entry) {
  std::string text(eventName(entry.event));
  if (entry.brokeOffAtPage != 0) {
    text += ", broke off at page " + std::to_string(entry.brokeOffAtPage) + "/" + std::to_string(kPageCount);
  }
  return text;
}

}  // namespace trekmor
