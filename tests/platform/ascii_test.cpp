#include <gtest/gtest.h>

#include "platform/ascii.h"

namespace trekmor {
namespace {

struct ExtensionCase {
  const char* name;
  const char* extension;
  bool matches;
};

// Only A to Z fold: a byte above 0x7F must match exactly, and the extension
// must stand at the very end of the name.
TEST(Ascii, ExtensionsMatchWithoutRegardToAsciiCase) {
  const ExtensionCase cases[] = {
      {"backup.bin", ".bin", true},       {"BACKUP.BIN", ".bin", true},     {"a.Cfg", ".cfg", true},
      {".bin", ".bin", true},             {"bin", ".bin", false},           {"backup.bin.cfg", ".bin", false},
      {"backup.bi", ".bin", false},       {"", ".bin", false},              {"x.b\xC4n", ".b\xE4n", false},
      {"x.\xC4\xB1", ".\xC4\xB1", true},  {"backup.bin ", ".bin", false},
  };
  for (const ExtensionCase& c : cases) {
    EXPECT_EQ(hasExtension(c.name, c.extension), c.matches) << c.name << " / " << c.extension;
  }
  static_assert(asciiEqualIgnoringCase("Radio", "rADIO") && !asciiEqualIgnoringCase("Radio", "Radi"));
}

}  // namespace
}  // namespace trekmor
