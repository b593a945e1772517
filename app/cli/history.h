// The configuration history on the command line: the list of entries, an
// entry exported as an image or a configuration file, an entry written back
// to its tracker, the oldest entries pruned, and an entry as a side of diff.
#pragma once

#include <string_view>

#include "app/cli/cli.h"
#include "settings/fields.h"

namespace trekmor::cli {

inline constexpr OptionDecl kKeepOption{"--keep"};
// diff names a history entry as "history:ID".
inline constexpr std::string_view kHistorySourcePrefix = "history:";

// history [--serial S] [--json]; history export ID OUT.bin|OUT.cfg;
// history restore ID [--serial S|--device P] [--verify]; history prune --keep N [--serial S].
int runHistory(const Invocation& invocation);

// The start values with the entry's image tested and unpacked over them, as
// unpack does with an image file. Returns the exit status; a failure has
// shown its reason (an id that does not exist: exit 2).
int loadHistoryInput(const Invocation& invocation, std::string_view id, FieldStore& fields);

}  // namespace trekmor::cli
