// Subcommands that talk to the device: the window's Read config, Write
// config, device information and Upload firmware, over hidapi.
#pragma once

#include "app/cli/cli.h"

namespace trekmor::cli {

// read OUT.cfg: Read config into the start values, then saved as "Save to file" saves.
int runRead(const Invocation& invocation);
// write [--seed N] IN.cfg: IN.cfg loaded over the start values, then Write config.
int runWrite(const Invocation& invocation);
// info: the device information box's text on standard output.
int runInfo(const Invocation& invocation);
// upload-firmware [IMAGE]: the firmware the program carries, or the named file.
int runUploadFirmware(const Invocation& invocation);

}  // namespace trekmor::cli
