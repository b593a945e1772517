// Subcommands that talk to the device: the window's Read config, Write
// config, device information and Upload firmware, over hidapi.
#pragma once

#include <string>
#include <string_view>

#include "app/cli/cli.h"
#include "device/recordingtransport.h"
#include "device/transport.h"
#include "image/image.h"
#include "settings/fields.h"

namespace trekmor::cli {

// The start values with the device's configuration read and unpacked over
// them as "Read config" does (the device's information box included).
// Returns the exit status; a failure has shown its reason.
int loadDeviceInput(const Invocation& invocation, FieldStore& fields);

// Reads every page back after a write and compares it with what was written;
// the exit status.
int verify(const Invocation& invocation, HidTransport& transport, const Image& written);

// read OUT.cfg: Read config into the start values, then saved as "Save to file" saves.
int runRead(const Invocation& invocation);
// write IN.cfg: IN.cfg loaded over the start values (--set, --seed), packed,
// then written as Write config writes; --backup FILE first saves what the
// device holds, --verify reads every page back after the write.
int runWrite(const Invocation& invocation);
// After a write that broke off part-way: tells what the tracker holds now and
// how to mend it, the first remedy given, then the history entry kept before
// the write and the backup, where there are any.
void tellPartlyWritten(const Invocation& invocation, const RecordingTransport& transport, std::string remedies,
                       const std::string* backup);
// info: the device information box's text on standard output (--json: as data).
int runInfo(const Invocation& invocation);
// upload-firmware [IMAGE]: the firmware the program carries, or the named file.
int runUploadFirmware(const Invocation& invocation);

}  // namespace trekmor::cli
