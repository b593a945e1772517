// Small helpers for comparing image bytes with hand-computed values.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "settings/pipeline.h"

namespace trekmor::testing {

using Bytes = std::vector<std::uint8_t>;

// Bytes `from` to `to` of an image, both included.
inline Bytes slice(const Image& image, std::size_t from, std::size_t to) {
  return {image.begin() + long(from), image.begin() + long(to) + 1};
}

// The characters of a text as bytes, followed by `zeros` zero bytes.
inline Bytes ascii(std::string_view text, std::size_t zeros = 0) {
  // Sized once and filled: appending the zeros to a vector built from the
  // text makes GCC 12 at -O3 warn falsely (-Warray-bounds) about the copy.
  Bytes out(text.size() + zeros, 0);
  std::copy(text.begin(), text.end(), out.begin());
  return out;
}

inline Bytes join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// The image packed from the fields with stamp seed 1; the pack must pass.
inline Image packed(const FieldStore& fields) {
  Image image;
  const PackResult result = packConfigImage(fields, image, 1);
  EXPECT_TRUE(result) << result.message;
  return image;
}

}  // namespace trekmor::testing
