// The report protocol of the APRS Trekmor: every exchange is one 65-byte
// report out and one 65-byte report back. Byte 0 is the report id (always 0),
// byte 1 the command; the reply repeats the command in its byte 1.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "product/product.h"  // the USB ids, the firmware version and size limit

namespace trekmor {

inline constexpr std::size_t kReportSize = 65;
using Report = std::array<std::uint8_t, kReportSize>;

enum class Command : std::uint8_t {
  SerialNumber = 0xF7,
  HardwareVersion = 0xFA,
  FirmwareVersion = 0xFB,
  ReadPage = 0xFC,
  WritePage = 0xFD,
  WriteFirmwareBlock = 0xFE,
};

// Byte places in a report.
inline constexpr std::size_t kReportIdByte = 0;
inline constexpr std::size_t kCommandByte = 1;
inline constexpr std::size_t kNumberOffset = 2;   // page or block number, 2 bytes
inline constexpr std::size_t kPayloadOffset = 4;  // 32 data bytes of a page or block
inline constexpr std::size_t kSumOffset = 36;     // 16-bit sum of the 32 data bytes
inline constexpr std::size_t kReplyValueOffset = 2;  // version number, hardware text, serial
inline constexpr std::size_t kBlockSize = 32;
inline constexpr std::size_t kSerialNumberSize = 12;

using Block = std::span<const std::uint8_t, kBlockSize>;

// Sum of the bytes as unsigned numbers, kept in 16 bits (32 bytes reach 8160 at most).
std::uint16_t blockSum(Block bytes);

// Page writes and firmware blocks share one layout under different commands:
// the number, the 32 data bytes and their sum.
Report makeBlockRequest(Command command, std::uint16_t number, Block bytes);
Report makeReadPage(std::uint16_t page);
// A query carries nothing but its command: firmware version, hardware version, serial number.
Report makeQuery(Command command);

inline bool replyIs(const Report& reply, Command command) {
  return reply[kCommandByte] == static_cast<std::uint8_t>(command);
}

}  // namespace trekmor
