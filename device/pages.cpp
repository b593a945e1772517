#include "device/pages.h"

#include <algorithm>
#include <string>

#include "device/link.h"
#include "image/bytes.h"

namespace trekmor {

namespace {

constexpr int kPages = static_cast<int>(kPageCount);

constexpr const char* kWrittenPrefix = "Page written: ";
constexpr const char* kWriteErrorPrefix = "Page write error: ";
constexpr const char* kReadPrefix = "Page read: ";
constexpr const char* kReadErrorPrefix = "Page read error: ";

}  // namespace

std::string progressLine(const char* prefix, int done, int total) {
  return prefix + std::to_string(done) + "/" + std::to_string(total);
}

bool writeBlock(HidTransport& transport, Command command, std::uint16_t number, Block bytes) {
  Report reply{};
  return exchange(transport, makeBlockRequest(command, number, bytes), reply) && replyIs(reply, command);
}

bool writePage(HidTransport& transport, std::uint16_t page, Block bytes) {
  return writeBlock(transport, Command::WritePage, page, bytes);
}

bool writeFirmwareBlock(HidTransport& transport, std::uint16_t block, Block bytes) {
  return writeBlock(transport, Command::WriteFirmwareBlock, block, bytes);
}

bool readPage(HidTransport& transport, std::uint16_t page, std::span<std::uint8_t, kPageSize> destination) {
  Report reply{};
  if (!exchange(transport, makeReadPage(page), reply) || !replyIs(reply, Command::ReadPage)) return false;
  const Block data(reply.data() + kPayloadOffset, kPageSize);
  if (blockSum(data) != getLE(reply, kSumOffset, 2)) return false;
  std::copy(data.begin(), data.end(), destination.begin());
  return true;
}

bool sendBlocks(HidTransport& transport, UserInterface& ui, std::span<const std::uint8_t> bytes,
                const BlockRun& run) {
  const int count = static_cast<int>(bytes.size() / kBlockSize);
  ui.setProgress(0);
  ui.setProgressRange(count);
  for (int block = 0; block < count; ++block) {
    if (run.processEventsPerBlock) ui.processEvents();
    const Block data(bytes.data() + static_cast<std::size_t>(block) * kBlockSize, kBlockSize);
    if (!writeBlock(transport, run.command, static_cast<std::uint16_t>(block), data)) {
      ui.log(progressLine(kWriteErrorPrefix, block + 1, count));
      return false;
    }
    ui.log(progressLine(kWrittenPrefix, block + 1, count));
    ui.setProgress(block + 1);
  }
  ui.log(run.successLine);
  ui.setProgress(0);
  return true;
}

bool writeAllPages(HidTransport& transport, UserInterface& ui, const Image& image) {
  return sendBlocks(transport, ui, image, {Command::WritePage, "Eeprom write success"});
}

bool readAllPages(HidTransport& transport, UserInterface& ui, Image& image) {
  ui.setProgress(0);
  ui.setProgressRange(kPages);
  for (int page = 0; page < kPages; ++page) {
    const std::span<std::uint8_t, kPageSize> destination(image.data() + page * kPageSize, kPageSize);
    if (!readPage(transport, static_cast<std::uint16_t>(page), destination)) {
      ui.log(progressLine(kReadErrorPrefix, page + 1, kPages));
      return false;
    }
    ui.log(progressLine(kReadPrefix, page + 1, kPages));
    ui.setProgress(page + 1);
  }
  ui.setProgress(0);
  return true;
}

}  // namespace trekmor
