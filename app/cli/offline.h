// Subcommands that work on files only: start values, pack and unpack; and the
// configuration files every subcommand reads and writes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/cli/cli.h"
#include "image/image.h"
#include "settings/fields.h"

namespace trekmor::cli {

// defaults OUT.cfg: the start values saved as "Save to file" saves them.
int runDefaults(const Invocation& invocation);
// pack IN.cfg OUT.bin: the start values, IN.cfg loaded over them as "Read from
// file" loads it, packed as "Write config" packs, written as a 5120-byte image.
int runPack(const Invocation& invocation);
// unpack IN.bin OUT.cfg: the image tested and unpacked as "Read config" does
// after its page reads, then saved as "Save to file" saves.
int runUnpack(const Invocation& invocation);

// A setting's form as the command line names it: text, number, index or flag.
const char* formName(FileForm form);

// The --seed option's value, the current time without it; nothing when it is no number.
std::optional<std::uint32_t> stampSeed(const Invocation& invocation);

// The start values with the configuration file at `path` loaded over them as
// "Read from file" loads it, each --set value written into the file's text
// first, as if the file held it. Returns the exit status; a failure has shown
// its reason.
int loadConfigInput(const Invocation& invocation, const std::string& path, FieldStore& fields);

// The start values with the 5120-byte image at `path` tested and unpacked
// over them as "Read config" does after its page reads. Returns the exit
// status; a failure has shown its reason.
int loadImageInput(const Invocation& invocation, const std::string& path, FieldStore& fields);

// What the commands that pack start from: the stamp seed (--seed) and the
// configuration file, the first argument, loaded as loadConfigInput loads it.
// `status` is kExitSuccess when both are usable; otherwise it is the exit
// status and the reason has been shown.
struct PackInput {
  int status = kExitSuccess;
  std::uint32_t seed = 0;
  FieldStore fields;
};
PackInput loadPackInput(const Invocation& invocation);

// Saves the fields to `path` as "Save to file" saves them; a failure shows
// its error box. Returns the exit status.
int saveOutput(const Invocation& invocation, const Fields& fields, const std::string& path);

// Writes the image's 5120 bytes to `path` as they are; a failure shows its
// error box. Returns the exit status.
int saveImageOutput(const Invocation& invocation, const Image& image, const std::string& path);

}  // namespace trekmor::cli
