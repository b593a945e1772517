// What a read-back after a write found, in the words both the window and the
// command line show: verified, not read back, or the first page that differs
// with the settings stored in the bytes that differ.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "device/flows.h"
#include "image/image.h"

namespace trekmor {

// The lines that report a verification's `outcome` (verifyWrittenImage's),
// `firstDifferingPage` counted from 0: one line when it was verified or could
// not be read back, two (the page, then the settings) when a page differs.
std::vector<std::string> verificationFindings(DeviceOutcome outcome, std::size_t firstDifferingPage,
                                              const Image& written, const Image& readBack);

}  // namespace trekmor
