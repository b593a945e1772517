#include "device/firmwarefile.h"

#include <fstream>

#include "product/product.h"

namespace trekmor {

std::optional<std::vector<std::uint8_t>> readFirmwareFile(const FileName& name) {
  std::ifstream in(name.path(), std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes(kFirmwareMaxSize + 1);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

}  // namespace trekmor
