#include "device/protocol.h"

#include <algorithm>
#include <numeric>

#include "image/bytes.h"

namespace trekmor {

Report makeBlockRequest(Command command, std::uint16_t number, Block bytes) {
  Report report = makeQuery(command);
  putLE(report, kNumberOffset, number, 2);
  std::copy(bytes.begin(), bytes.end(), report.begin() + kPayloadOffset);
  putLE(report, kSumOffset, blockSum(bytes), 2);
  return report;
}

std::uint16_t blockSum(Block bytes) {
  return static_cast<std::uint16_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}

Report makeQuery(Command command) {
  Report report{};  // unused bytes go out as 0x00
  report[kReportIdByte] = 0x00;
  report[kCommandByte] = static_cast<std::uint8_t>(command);
  return report;
}

Report makeReadPage(std::uint16_t page) {
  Report report = makeQuery(Command::ReadPage);
  putLE(report, kNumberOffset, page, 2);
  return report;
}

}  // namespace trekmor
