// File names given as UTF-8 text reach the file system as the names they
// spell, in any script, through every helper that opens a file; on Windows
// this is the UTF-16 conversion, elsewhere the bytes as they are.
#include "platform/filename.h"

#include <gtest/gtest.h>

#include <string>

#include "configfile/configfile.h"
#include "platform/wholefile.h"
#include "settings/fields.h"
#include "tests/support/tempdir.h"

namespace trekmor {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

class Utf8FileName : public ::testing::TestWithParam<const char*> {
 protected:
  // The folder and the name as one UTF-8 text, as a program's argument holds it.
  std::string inFolder(const std::string& name) const { return utf8FromPath(dir.path()) + "/" + name; }
  // The name the file system lists for the folder's only file, as UTF-8.
  std::string listedName() const {
    std::string names;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
      const std::u8string name = entry.path().filename().u8string();
      names += std::string(name.begin(), name.end());
    }
    return names;
  }
  TempDir dir;
};

TEST_P(Utf8FileName, ConvertsToThePathAndBack) {
  EXPECT_EQ(utf8FromPath(pathFromUtf8(GetParam())), GetParam());
  EXPECT_EQ(FileName(std::string(GetParam())).utf8(), GetParam());
}

TEST_P(Utf8FileName, WrittenReadAndListedUnderThatName) {
  const std::string name = inFolder(GetParam());
  ASSERT_TRUE(writeFileAtomically(name, "[A]\r\nk=1\r\n"));
  EXPECT_EQ(listedName(), GetParam());
  EXPECT_EQ(readWholeFile(name, 100), "[A]\r\nk=1\r\n");
  ASSERT_TRUE(ProfileFile::read(name).has_value());
  EXPECT_EQ(ProfileFile::read(name)->value("A", "k"), "1");
  // Replaced, not written beside.
  ASSERT_TRUE(saveConfiguration(FieldStore::withStartValues(), name));
  EXPECT_EQ(listedName(), GetParam());
  EXPECT_EQ(ProfileFile::read(name)->value("A", "k"), "1");
}

TEST_P(Utf8FileName, NamedWholeInTheMessageOfAFailedSave) {
  const std::string name = inFolder(std::string("missing/") + GetParam());
  const SaveResult result = saveConfiguration(FieldStore::withStartValues(), name);
  EXPECT_EQ(result.status, SaveResult::Status::WriteFailed);
  EXPECT_EQ(result.message, unableToWriteText(name));
  EXPECT_EQ(listedName(), "");
}

INSTANTIATE_TEST_SUITE_P(Scripts, Utf8FileName,
                         ::testing::Values("plain.cfg", "zażółć gęślą jaźń.cfg", "Grüße.cfg", "Ελληνικά.cfg",
                                           "日本語.cfg", "rocket-🚀.cfg"));

}  // namespace
}  // namespace trekmor
