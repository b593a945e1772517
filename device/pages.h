// The configuration image as 160 pages of 32 bytes, one page per exchange.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "device/transport.h"
#include "image/image.h"
#include "settings/userinterface.h"

namespace trekmor {

static_assert(kPageSize == kBlockSize);

// "Page written: 3/160" and its kin: a prefix, then done "/" total.
std::string progressLine(const char* prefix, int done, int total);

// True when the request went out, a whole reply came back and it names the command.
bool writePage(HidTransport& transport, std::uint16_t page, Block bytes);
// Also tests the reply's sum; only a reply that passes both tests is copied.
bool readPage(HidTransport& transport, std::uint16_t page, std::span<std::uint8_t, kPageSize> destination);

// Sends every page of the image with a log line and a progress step each, and
// "Eeprom write success" at the end. Stops at the first failed page.
bool writeAllPages(HidTransport& transport, UserInterface& ui, const Image& image);
// Fills the image page by page; stops at the first failed page, leaving the
// rest as it was. The integrity test of the image tells whether what arrived
// is usable, so the result only says whether every page came.
bool readAllPages(HidTransport& transport, UserInterface& ui, Image& image);

}  // namespace trekmor
