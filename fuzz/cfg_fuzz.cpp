// The .cfg reader and the load with arbitrary bytes: binary junk, huge lines,
// lines without "=", thousands of sections, values of megabytes. Beyond never
// crashing nor touching memory it does not own:
//  - parsing keeps every byte: the file's bytes come back unchanged;
//  - a rejected file changes no field;
//  - writing every loaded value back (as the save does) and loading the
//    result gives the same fields, apart from the values the file format
//    cannot carry (blanks or quotes at either end);
//  - written values add no lines beyond their keys and sections.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "configfile/configfile.h"
#include "settings/pipeline.h"
#include "settings/registry.h"
#include "fuzz/lines.h"

using trekmor::fuzzing::lineCount;

namespace {

using namespace trekmor;

void check(bool condition) {
  if (!condition) std::abort();
}

bool survivesTheFile(std::string_view value) {
  if (value.empty()) return true;
  const auto edge = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '"' || c == '\''; };
  return !edge(value.front()) && !edge(value.back());
}

}  // namespace

// Inputs stay within what the load accepts: a larger file is never read
// (ProfileFile::kMaxSize), so bytes beyond it would only slow the fuzzing.
// An explicit -max_len on the command line still wins.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  for (int i = 1; i < *argc; ++i) {
    if (std::strncmp((*argv)[i], "-max_len=", 9) == 0) return 0;
  }
  static std::string maxLen = "-max_len=" + std::to_string(ProfileFile::kMaxSize);
  static std::vector<char*> arguments(*argv, *argv + *argc);
  arguments.insert(arguments.begin() + 1, maxLen.data());
  arguments.push_back(nullptr);
  *argc += 1;
  *argv = arguments.data();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // What the load never gets, it need not survive: kept out of the corpus.
  if (size > ProfileFile::kMaxSize) return -1;
  static const FieldStore start = FieldStore::withStartValues();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  ProfileFile file = ProfileFile::fromBytes(bytes);
  check(file.bytes() == bytes);

  // Assigned, not copied: the store's maps keep their nodes from one input
  // to the next instead of allocating them anew.
  static FieldStore loaded;
  loaded = start;
  const LoadResult result = loadConfiguration(file, loaded, silentInterface());
  if (result != LoadResult::Loaded) {
    check(loaded == start);
    return 0;
  }

  // The save's walk: every key set from the loaded fields, into the same
  // file. The walk is the same for every input: worked out once.
  static const std::vector<const FieldDecl*> sequence = fileSequence(packOrder());
  const std::size_t linesAtFirst = lineCount(bytes);  // the file's bytes, as checked above
  std::size_t added = 0;  // keys the file did not hold
  for (const FieldDecl* field : sequence) {
    // The load wrote every number in decimal, so each has its file value.
    const std::optional<std::string> value = fileValue(*field, loaded);
    check(value.has_value());
    bool isNew = false;
    check(file.set(field->section, field->key, *value, &isNew));
    added += isNew ? 1 : 0;
  }
  // A key changed in place keeps its line; a new key adds one, a new section
  // with its first key two. A value never adds a line of its own.
  std::string rewritten = file.bytes();
  const std::size_t linesAtLast = lineCount(rewritten);
  check(linesAtLast >= linesAtFirst + added && linesAtLast - linesAtFirst <= 2 * added);

  static FieldStore again;
  again = start;
  check(loadConfiguration(ProfileFile::fromOwnBytes(std::move(rewritten)), again, silentInterface()) == LoadResult::Loaded);
  for (const FieldDecl* field : sequence) {
    if (field->isCombo()) {
      // A flag key comes back as 0 or 1, whatever index it held.
      const int expected = field->form == FileForm::Flag ? (loaded.index(field->control) != 0 ? 1 : 0)
                                                         : loaded.index(field->control);
      const int count = static_cast<int>(field->choices.size());
      // An index outside the list is no selection in the store.
      check(again.index(field->control) == (expected >= 0 && expected < count ? expected : -1) ||
            field->choices.empty());
    } else {
      const std::string value = loaded.text(field->control);
      if (survivesTheFile(value)) check(again.text(field->control) == value);
    }
  }
  return 0;
}
