#include "app/cli/overview.h"

#include <nlohmann/json.hpp>

#include "app/cli/devicecommands.h"
#include "app/cli/history.h"
#include "app/cli/offline.h"
#include "configfile/textencoding.h"
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

const char* formName(FileForm form) {
  switch (form) {
    case FileForm::Text:
      return "text";
    case FileForm::Number:
      return "number";
    case FileForm::Index:
      return "index";
    case FileForm::Flag:
      return "flag";
  }
  return "";
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
      failures.push_back({{"kind", conversion ? "conversion" : "check"}, {"message", message}});
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
  for (auto [source, fields] : {std::pair{&invocation.arguments[0], &a}, std::pair{&invocation.arguments[1], &b}}) {
    const int loaded = loadSource(invocation, *source, *fields);
    if (loaded != kExitSuccess) return loaded;
  }
  const std::vector<SettingDifference> differences = settingDifferences(a, b);
  if (invocation.given(kJsonOption)) {
    json list = json::array();
    for (const SettingDifference& difference : differences) {
      list.push_back({{"setting", settingName(*difference.field)},
                      {"a", printable(difference.a)},
                      {"b", printable(difference.b)}});
    }
    printJson(invocation, {{"a", invocation.arguments[0]}, {"b", invocation.arguments[1]}, {"differences", list}});
  } else {
    for (const SettingDifference& difference : differences) {
      invocation.out << settingName(*difference.field) << ": " << printable(difference.a) << " -> "
                     << printable(difference.b) << '\n';
    }
    invocation.out << std::flush;
  }
  return differences.empty() ? kExitSuccess : kExitStopped;
}

int runSettings(const Invocation& invocation) {
  // Start values as the save writes them, after the rules that end the window's construction.
  const FieldStore start = FieldStore::withStartValues();
  json list = json::array();
  for (const FieldDecl* field : fileSequence(packOrder())) {
    const std::vector<std::string> tabs = tabPath(field->tab);
    const std::string startValue = printable(fileValue(*field, start).value_or(start.text(field->control)));
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
      list.push_back(entry);
    } else {
      invocation.out << settingName(*field) << '\t' << formName(field->form) << '\t' << joined(tabs, " > ") << '\t'
                     << printable(field->caption) << '\t' << startValue << '\t'
                     << joined(choices, " | ") << '\n';
    }
  }
  if (invocation.given(kJsonOption)) printJson(invocation, list);
  invocation.out << std::flush;
  return kExitSuccess;
}

}  // namespace trekmor::cli
