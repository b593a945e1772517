#include "app/cli/overview.h"

#include <algorithm>
#include <optional>
#include <tuple>

#include <nlohmann/json.hpp>

#include "app/cli/devicecommands.h"
#include "app/cli/history.h"
#include "app/cli/offline.h"
#include "configfile/textencoding.h"
#include "image/address.h"
#include "image/validators.h"
#include "platform/ascii.h"
#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor::cli {

namespace {

using json = nlohmann::ordered_json;

// Setting values and messages are single-byte text; the console and JSON take UTF-8.
std::string printable(std::string_view text) { return latin1ToUtf8(text); }

int loadSource(const Invocation& invocation, const std::string& source, FieldStore& fields) {
  if (source == "device") return loadDeviceInput(invocation, fields);
  if (source.starts_with(kHistorySourcePrefix)) {
    return loadHistoryInput(invocation, std::string_view(source).substr(kHistorySourcePrefix.size()), fields);
  }
  const bool image = hasExtension(source, ".bin");
  return image ? loadImageInput(invocation, source, fields) : loadConfigInput(invocation, source, fields);
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : std::string(separator)) + part;
  return text;
}

}  // namespace

int runCheck(const Invocation& invocation) {
  FieldStore fields;
  const int loaded = loadConfigInput(invocation, invocation.arguments[0], fields);
  if (loaded != kExitSuccess) return loaded;
  const std::vector<PackResult> found = packFailures(fields);
  json failures = json::array();
  for (const PackResult& failure : found) {
    // The error box of a conversion error adds a full stop; the information box shows the check's text.
    const bool conversion = failure.status == PackResult::Status::ConversionError;
    const std::string message = printable(failure.message) + (conversion ? "." : "");
    if (invocation.given(kJsonOption)) {
      json entry{{"kind", conversion ? "conversion" : "check"}};
      if (failure.field) entry["setting"] = settingName(*failure.field);
      entry["message"] = message;
      failures.push_back(std::move(entry));
    } else {
      invocation.out << message << '\n';
    }
  }
  if (invocation.given(kJsonOption)) printJson(invocation, {{"failures", failures}});
  invocation.out << std::flush;
  return found.empty() ? kExitSuccess : kExitStopped;
}

int runDiff(const Invocation& invocation) {
  FieldStore a;
  FieldStore b;
  for (auto [side, source, fields] : {std::tuple{"A", &invocation.arguments[0], &a}, std::tuple{"B", &invocation.arguments[1], &b}}) {
    if (loadSource(invocation, *source, *fields) != kExitSuccess) {
      // As diff(1): trouble is 2, whatever the source's own failure was.
      diagnose(invocation, std::string(side) + " (" + *source + ") failed; nothing was compared");
      return kExitUsage;
    }
  }
  // What the tracker would hold for each side: an empty SSID and 0 are the same there.
  settleSettings(a);
  settleSettings(b);
  const std::vector<SettingDifference> differences = settingDifferences(a, b);
  if (invocation.given(kJsonOption)) {
    json list = json::array();
    for (const SettingDifference& difference : differences) {
      list.push_back({{"setting", settingName(*difference.field)},
                      {"a", printable(difference.a)},
                      {"b", printable(difference.b)}});
    }
    printJson(invocation, {{"a", invocation.arguments[0]},
                           {"b", invocation.arguments[1]},
                           {"equal", differences.empty()},
                           {"differences", list}});
  } else {
    for (const SettingDifference& difference : differences) {
      invocation.out << settingName(*difference.field) << ": " << printable(difference.a) << " -> "
                     << printable(difference.b) << '\n';
    }
    invocation.out << std::flush;
  }
  return differences.empty() ? kExitSuccess : kExitStopped;
}

namespace {

// What values a setting may take, as far as its row's checks tell.
struct AllowedValues {
  std::optional<std::pair<std::int64_t, std::int64_t>> range;
  bool zeroAllowed = false;    // "0 or low..high"
  std::size_t maxLength = 0;   // characters; 0: not told
  std::size_t exactLength = 0;
  std::vector<std::string_view> characters;
};

AllowedValues allowedValues(const FieldDecl& field) {
  AllowedValues allowed;
  switch (field.encoding) {
    case Encoding::Number:
      if (field.range.check != RangeCheck::None) allowed.range = {field.range.low, field.range.high};
      allowed.zeroAllowed = field.range.zeroAllowed;
      break;
    case Encoding::Text:
      if (field.text.exactLength > 0) {
        allowed.exactLength = field.text.exactLength;
      } else {
        allowed.maxLength = field.width - 1;
      }
      if (!field.text.freeTextMessage.empty()) allowed.characters.push_back(kFreeTextRule.allowed);
      break;
    case Encoding::Address:
      allowed.maxLength = kAddressNameLength;
      break;
    case Encoding::Character:
      allowed.maxLength = 1;
      break;
    case Encoding::Choice:
      break;
    case Encoding::None: {
      // The SSID of an address: its bytes are the address's.
      const auto& rows = allFields();
      if (std::any_of(rows.begin(), rows.end(), [&](const FieldDecl* row) { return row->ssid == &field; })) {
        allowed.range = {0, kSsidMaximum};
      }
      break;
    }
  }
  for (const TextCheck& check : field.checks) {
    if (!check.allowed.empty()) allowed.characters.push_back(check.allowed);
  }
  return allowed;
}

std::string allowedText(const AllowedValues& allowed) {
  std::vector<std::string> parts;
  if (allowed.range) {
    parts.push_back((allowed.zeroAllowed ? "0 or " : "") + std::to_string(allowed.range->first) + ".." +
                    std::to_string(allowed.range->second));
  }
  if (allowed.maxLength > 0) parts.push_back("at most " + std::to_string(allowed.maxLength) + " characters");
  if (allowed.exactLength > 0) parts.push_back("exactly " + std::to_string(allowed.exactLength) + " characters");
  for (std::string_view characters : allowed.characters) parts.push_back(std::string(characters));
  return joined(parts, "; ");
}

json allowedJson(const AllowedValues& allowed) {
  json entry = json::object();
  if (allowed.range) {
    entry["range"] = {{"low", allowed.range->first}, {"high", allowed.range->second}, {"zero_allowed", allowed.zeroAllowed}};
  }
  if (allowed.maxLength > 0) entry["max_length"] = allowed.maxLength;
  if (allowed.exactLength > 0) entry["exact_length"] = allowed.exactLength;
  if (!allowed.characters.empty()) entry["characters"] = allowed.characters;
  return entry;
}

}  // namespace

int runSettings(const Invocation& invocation) {
  // Start values as the save writes them, after the rules that end the window's construction.
  const FieldStore start = FieldStore::withStartValues();
  json list = json::array();
  for (const FieldDecl* field : fileSequence(packOrder())) {
    const std::vector<std::string> tabs = tabPath(field->tab);
    const std::string startValue = printable(fileValue(*field, start).value_or(start.text(field->control)));
    const AllowedValues allowed = allowedValues(*field);
    std::vector<std::string> choices;
    if (field->form == FileForm::Index) {
      for (std::size_t k = 0; k < field->choices.size(); ++k) {
        choices.push_back(std::to_string(k) + "=" + printable(field->choices[k]));
      }
    }
    if (invocation.given(kJsonOption)) {
      json entry{{"setting", settingName(*field)}, {"section", field->section}, {"key", field->key},
                 {"form", formName(field->form)}, {"tabs", tabs}, {"caption", printable(field->caption)},
                 {"start", startValue}};
      if (field->form == FileForm::Index) {
        json items = json::array();
        for (const std::string& choice : field->choices) items.push_back(printable(choice));
        entry["choices"] = items;
      }
      json limits = allowedJson(allowed);
      if (!limits.empty()) entry["allowed"] = std::move(limits);
      list.push_back(entry);
    } else {
      invocation.out << settingName(*field) << '\t' << formName(field->form) << '\t' << joined(tabs, " > ") << '\t'
                     << printable(field->caption) << '\t' << startValue << '\t'
                     << joined(choices, " | ") << '\t' << allowedText(allowed) << '\n';
    }
  }
  if (invocation.given(kJsonOption)) printJson(invocation, list);
  invocation.out << std::flush;
  return kExitSuccess;
}

}  // namespace trekmor::cli
