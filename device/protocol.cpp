#include "device/protocol.h"

#include <algorithm>
#include <numeric>

namespace trekmor {

namespace {

void putNumber16(Report& report, std::size_t offset, std::uint16_t value) {
  report[offset] = static_cast<std::uint8_t>(value & 0xFF);
  report[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

// Page writes and firmware blocks share one layout under different commands.
Report makeBlockRequest(Command command, std::uint16_t number, Block bytes) {
  Report report = makeQuery(command);
  putNumber16(report, kNumberOffset, number);
  std::copy(bytes.begin(), bytes.end(), report.begin() + kPayloadOffset);
  putNumber16(report, kSumOffset, blockSum(bytes));
  return report;
}

}  // namespace

std::uint16_t blockSum(Block bytes) {
  return static_cast<std::uint16_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}

Report makeQuery(Command command) {
  Report report{};  // unused bytes go out as 0x00
  report[kReportIdByte] = 0x00;
  report[kCommandByte] = static_cast<std::uint8_t>(command);
  return report;
}

Report makeWritePage(std::uint16_t page, Block bytes) { return makeBlockRequest(Command::WritePage, page, bytes); }

Report makeReadPage(std::uint16_t page) {
  Report report = makeQuery(Command::ReadPage);
  putNumber16(report, kNumberOffset, page);
  return report;
}

Report makeWriteFirmwareBlock(std::uint16_t block, Block bytes) {
  return makeBlockRequest(Command::WriteFirmwareBlock, block, bytes);
}

}  // namespace trekmor
