#include "device/pages.h"

#include <algorithm>
#include <string>

#include "device/link.h"

namespace trekmor {

namespace {

constexpr int kPages = static_cast<int>(kPageCount);

Block pageOf(const Image& image, std::size_t page) {
  return Block(image.data() + page * kPageSize, kPageSize);
}

std::uint16_t sumAt(const Report& reply) {
  return static_cast<std::uint16_t>(reply[kSumOffset] | (reply[kSumOffset + 1] << 8));
}

}  // namespace

std::string progressLine(const char* prefix, int done, int total) {
  return prefix + std::to_string(done) + "/" + std::to_string(total);
}

bool writePage(HidTransport& transport, std::uint16_t page, Block bytes) {
  Report reply{};
  return exchange(transport, makeWritePage(page, bytes), reply) && replyIs(reply, Command::WritePage);
}

bool readPage(HidTransport& transport, std::uint16_t page, std::span<std::uint8_t, kPageSize> destination) {
  Report reply{};
  if (!exchange(transport, makeReadPage(page), reply) || !replyIs(reply, Command::ReadPage)) return false;
  const Block data(reply.data() + kPayloadOffset, kPageSize);
  if (blockSum(data) != sumAt(reply)) return false;
  std::copy(data.begin(), data.end(), destination.begin());
  return true;
}

bool writeAllPages(HidTransport& transport, UserInterface& ui, const Image& image) {
  ui.setProgress(0);
  ui.setProgressRange(kPages);
  for (int page = 0; page < kPages; ++page) {
    if (!writePage(transport, static_cast<std::uint16_t>(page), pageOf(image, page))) {
      ui.log(progressLine("Page write error: ", page + 1, kPages));
      return false;
    }
    ui.log(progressLine("Page written: ", page + 1, kPages));
    ui.setProgress(page + 1);
  }
  ui.log("Eeprom write success");
  ui.setProgress(0);
  return true;
}

bool readAllPages(HidTransport& transport, UserInterface& ui, Image& image) {
  ui.setProgress(0);
  ui.setProgressRange(kPages);
  for (int page = 0; page < kPages; ++page) {
    const std::span<std::uint8_t, kPageSize> destination(image.data() + page * kPageSize, kPageSize);
    if (!readPage(transport, static_cast<std::uint16_t>(page), destination)) {
      ui.log(progressLine("Page read error: ", page + 1, kPages));
      return false;
    }
    ui.log(progressLine("Page read: ", page + 1, kPages));
    ui.setProgress(page + 1);
  }
  ui.setProgress(0);
  return true;
}

}  // namespace trekmor
