// Subcommands that work on files only: start values, pack and unpack.
#pragma once

#include <cstdint>
#include <optional>

#include "app/cli/cli.h"

namespace trekmor::cli {

// defaults OUT.cfg: the start values saved as "Save to file" saves them.
int runDefaults(const Invocation& invocation);
// pack IN.cfg OUT.bin: the start values, IN.cfg loaded over them as "Read from
// file" loads it, packed as "Write config" packs, written as a 5120-byte image.
int runPack(const Invocation& invocation);
// unpack IN.bin OUT.cfg: the image tested and unpacked as "Read config" does
// after its page reads, then saved as "Save to file" saves.
int runUnpack(const Invocation& invocation);

// The --seed option's value, the current time without it; nothing when it is no number.
std::optional<std::uint32_t> stampSeed(const Invocation& invocation);

}  // namespace trekmor::cli
