#include "app/cli/history.h"

#include <algorithm>
#include <charconv>

#include <nlohmann/json.hpp>

#include "app/cli/devicecommands.h"
#include "app/cli/offline.h"
#include "app/cli/trackers.h"
#include "configfile/configfile.h"
#include "platform/ascii.h"
#include "platform/wholefile.h"
#include "device/flows.h"

namespace trekmor::cli {

namespace {

using json = nlohmann::ordered_json;

constexpr std::string_view kNothingWritten = "Nothing was written to the device.";

// The history the command works on; nothing (with the reason shown) when no folder is known.
std::optional<HistoryStore> historyFor(const Invocation& invocation) {
  std::optional<HistoryStore> history = userHistory();
  if (!history) diagnose(invocation, "no folder for the history is known (set TREKMOR_HISTORY_DIR)");
  return history;
}

// The entry with the id; nothing, with the reason shown, when there is none.
std::optional<HistoryEntry> entryNamed(const Invocation& invocation, std::string_view id) {
  const std::optional<HistoryStore> history = historyFor(invocation);
  if (!history) return std::nullopt;
  std::optional<HistoryEntry> entry = history->find(id, historyWarnings(invocation));
  if (!entry) diagnose(invocation, "no history entry " + std::string(id));
  return entry;
}

int listEntries(const Invocation& invocation) {
  const std::optional<HistoryStore> history = historyFor(invocation);
  if (!history) return kExitUsage;
  const std::optional<std::string> serial =
      invocation.value(kSerialOption) ? std::optional<std::string>(*invocation.value(kSerialOption)) : std::nullopt;
  json list = json::array();
  for (const HistoryEntry& entry : history->entries(historyWarnings(invocation), serial)) {
    if (invocation.given(kJsonOption)) {
      list.push_back({{"id", entry.id},
                      {"time", localTimeText(entry.timeUs)},
                      {"serial", entry.serial},
                      {"event", eventName(entry.event)},
                      {"firmware_version", entry.firmwareVersion ? json(firmwareVersionText(*entry.firmwareVersion))
                                                                 : json(nullptr)},
                      {"valid", entry.valid()},
                      {"broken_off_at_page", entry.brokeOffAtPage != 0 ? json(entry.brokeOffAtPage) : json(nullptr)}});
    } else {
      invocation.out << entry.id << '\t' << localTimeText(entry.timeUs) << '\t' << entry.serial << '\t'
                     << eventDescription(entry) << '\t' << (entry.valid() ? "valid" : "invalid") << '\n';
    }
  }
  if (invocation.given(kJsonOption)) printJson(invocation, list);
  invocation.out << std::flush;
  return kExitSuccess;
}

int exportEntry(const Invocation& invocation) {
  const std::string& output = invocation.arguments[2];
  const bool image = hasExtension(output, ".bin");
  if (!image && !hasExtension(output, ".cfg")) {
    diagnose(invocation, "history export takes an output file ending in .bin or .cfg");
    return kExitUsage;
  }
  const std::optional<HistoryEntry> entry = entryNamed(invocation, invocation.arguments[1]);
  if (!entry) return kExitUsage;
  if (image) return saveImageOutput(invocation, entry->image, output);
  FieldStore fields = FieldStore::withStartValues();
  const int accepted = exitStatus(acceptReadImage(entry->image, fields, invocation.ui));
  if (accepted != kExitSuccess) return accepted;
  return saveOutput(invocation, fields, output);
}

int restoreEntry(const Invocation& invocation) {
  const std::optional<HistoryEntry> entry = entryNamed(invocation, invocation.arguments[1]);
  if (!entry) return kExitUsage;
  if (!entry->valid()) {
    invocation.ui.information("History entry " + entry->id +
                              " fails the integrity or version test and is not written to a tracker.");
    return kExitStopped;
  }
  // Back to the tracker it came from, unless another is named.
  CommandDevice device(invocation, entry->serial);
  if (device.status() != kExitSuccess) return device.status();
  RecordingTransport& transport = device.transport();
  // What the tracker holds now is kept before it is overwritten.
  transport.labelNextRead(HistoryEvent::BeforeWrite);
  Image held{};
  const DeviceOutcome read = readDeviceImage(invocation.ui, transport, held);
  if (read != DeviceOutcome::Done) {
    if (read == DeviceOutcome::TransferFailed) {
      invocation.ui.information("The device's configuration could not be read to keep it in the history.");
    }
    invocation.ui.information(kNothingWritten);
    return kExitStopped;
  }
  const DeviceOutcome written = writePackedImage(invocation.ui, transport, entry->image);
  if (written == DeviceOutcome::TransferFailed) {
    tellPartlyWritten(invocation, transport,
                      "restore the entry again with '" + std::string(kProgramName) + " history restore " + entry->id + "'",
                      nullptr);
  }
  if (written != DeviceOutcome::Done) return exitStatus(written);
  return invocation.given(kVerifyOption) ? verify(invocation, transport, entry->image) : kExitSuccess;
}

int pruneEntries(const Invocation& invocation) {
  const std::string* keepText = invocation.value(kKeepOption);
  std::size_t keep = 0;
  const auto parsed =
      keepText ? std::from_chars(keepText->data(), keepText->data() + keepText->size(), keep) : std::from_chars_result{};
  if (!keepText || keepText->empty() || parsed.ec != std::errc() || parsed.ptr != keepText->data() + keepText->size()) {
    diagnose(invocation, "history prune takes --keep N with a whole number N");
    return kExitUsage;
  }
  const std::optional<HistoryStore> history = historyFor(invocation);
  if (!history) return kExitUsage;
  const std::optional<std::string> serial =
      invocation.value(kSerialOption) ? std::optional<std::string>(*invocation.value(kSerialOption)) : std::nullopt;
  for (const HistoryStore::Pruned& tracker : history->prune(keep, serial, historyWarnings(invocation))) {
    invocation.out << tracker.serial << ": kept " << tracker.kept << ", removed " << tracker.removed << '\n';
  }
  invocation.out << std::flush;
  return kExitSuccess;
}

struct Action {
  std::string_view name;  // the first argument; empty for the list
  std::size_t arguments;  // with the name
  std::string_view synopsis;
  std::vector<std::string_view> options;
  int (*run)(const Invocation&);
};

const Action kActions[] = {
    {"", 0, "[--serial SERIAL] [--json]", {"--serial", "--json"}, listEntries},
    {"export", 3, "ID OUT.bin|OUT.cfg", {}, exportEntry},
    {"restore", 2, "ID [--serial SERIAL|--device PATH] [--verify]", {"--serial", "--device", "--verify"}, restoreEntry},
    {"prune", 1, "--keep N [--serial SERIAL]", {"--keep", "--serial"}, pruneEntries},
};

}  // namespace

int runHistory(const Invocation& invocation) {
  const std::string_view name =
      invocation.arguments.empty() ? std::string_view() : std::string_view(invocation.arguments[0]);
  const auto action = std::find_if(std::begin(kActions), std::end(kActions), [&](const Action& a) { return a.name == name; });
  if (action == std::end(kActions)) {
    diagnose(invocation, "history takes export, restore or prune, not '" + std::string(name) + "'");
    return kExitUsage;
  }
  const std::string shown = action->name.empty() ? "history" : "history " + std::string(action->name);
  if (invocation.arguments.size() != action->arguments) {
    diagnose(invocation, shown + " takes " + std::string(action->synopsis));
    return kExitUsage;
  }
  for (const auto& [option, values] : invocation.options) {
    if (std::find(action->options.begin(), action->options.end(), option) == action->options.end()) {
      diagnose(invocation, "option '" + option + "' is not for " + shown);
      return kExitUsage;
    }
  }
  return action->run(invocation);
}

int loadHistoryInput(const Invocation& invocation, std::string_view id, FieldStore& fields) {
  const std::optional<HistoryEntry> entry = entryNamed(invocation, id);
  if (!entry) return kExitUsage;
  fields = FieldStore::withStartValues();
  return exitStatus(acceptReadImage(entry->image, fields, invocation.ui));
}

}  // namespace trekmor::cli
