// Subcommands that look at configurations without changing any: every
// failing check of a file, the differences between two configurations, and
// the list of all settings.
#pragma once

#include "app/cli/cli.h"

namespace trekmor::cli {

// check CONFIG.cfg: every check of the pack that fails, one line each in pack
// order, each the text the window's box would show.
int runCheck(const Invocation& invocation);
// diff A B: one line per setting whose file value differs, in file order.
int runDiff(const Invocation& invocation);
// settings: every setting with its file key, form, tab, caption, start value and choices.
int runSettings(const Invocation& invocation);

}  // namespace trekmor::cli
