// The transfer of 32-byte blocks, one per exchange: the configuration image
// as 160 pages, and the firmware image as numbered blocks.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "device/transport.h"
#include "image/image.h"
#include "platform/userinterface.h"

namespace trekmor {

static_assert(kPageSize == kBlockSize);

// "Page written: 3/160" and its kin: a prefix, then done "/" total.
std::string progressLine(const char* prefix, int done, int total);

// One block under `command` (a page write or a firmware block); true when the
// request went out, a whole reply came back and it names the command.
bool writeBlock(HidTransport& transport, Command command, std::uint16_t number, Block bytes);
bool writePage(HidTransport& transport, std::uint16_t page, Block bytes);
bool writeFirmwareBlock(HidTransport& transport, std::uint16_t block, Block bytes);
// Also tests the reply's sum; only a reply that passes both tests is copied.
bool readPage(HidTransport& transport, std::uint16_t page, std::span<std::uint8_t, kPageSize> destination);

// How a run of blocks goes out: under which command, the log line after the
// last block, and whether the window processes its events before each block
// (a long run keeps it painting and its log scrolling).
struct BlockRun {
  Command command;
  std::string_view successLine;
  bool processEventsPerBlock = false;
};

// Sends `bytes` (a whole number of 32-byte blocks) numbered from 0, with a
// "Page written" log line and a progress step each and the run's success line
// at the end. Stops at the first failed block with its "Page write error" line.
bool sendBlocks(HidTransport& transport, UserInterface& ui, std::span<const std::uint8_t> bytes, const BlockRun& run);

// Sends every page of the image with a log line and a progress step each, and
// "Eeprom write success" at the end. Stops at the first failed page.
bool writeAllPages(HidTransport& transport, UserInterface& ui, const Image& image);
// Fills the image page by page; stops at the first failed page, leaving the
// rest as it was. The integrity test of the image tells whether what arrived
// is usable, so the result only says whether every page came.
bool readAllPages(HidTransport& transport, UserInterface& ui, Image& image);

}  // namespace trekmor
