// Whole files: the atomic replacement through the writer it is handed, and
// the save handing its writer on.
#include "platform/wholefile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "configfile/configfile.h"
#include "settings/registry.h"
#include "tests/support/failingwriter.h"
#include "tests/support/tempdir.h"

namespace trekmor {
namespace {

namespace fs = std::filesystem;
using testing::failingWriter;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

std::size_t entries(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// Each refusal tells why: the system's reason, or the size against the limit.
TEST(WholeFile, ARefusedReadSaysWhy) {
  TempDir dir;
  writeFile(dir / "big", std::string(9, 'x'));
  fs::create_directory(dir / "folder");
  const struct {
    fs::path path;
    ReadFailure::Kind kind;
    std::string text;
  } cases[] = {
      {dir / "absent", ReadFailure::Kind::System, "absent: No such file or directory"},
      {dir / "folder", ReadFailure::Kind::System, "folder: Is a directory"},
      {dir / "big", ReadFailure::Kind::TooLarge, "big is too large to be a configuration file (9 bytes; the limit is 8)"},
  };
  for (const auto& c : cases) {
    ReadFailure failure;
    EXPECT_FALSE(readWholeFile(c.path, 8, &failure)) << c.path;
    EXPECT_EQ(failure.kind, c.kind) << c.path;
    EXPECT_EQ(readFailureText(c.path.filename().string(), failure), c.text);
  }
  ReadFailure none;
  EXPECT_EQ(readWholeFile(dir / "big", 9, &none), std::string(9, 'x'));
  EXPECT_EQ(none.kind, ReadFailure::Kind::None);
}

TEST(WholeFile, ARefusedWriteSaysWhy) {
  TempDir dir;
  fs::create_directory(dir / "folder");
  const struct {
    fs::path path;
    std::string reason;
  } cases[] = {
      {dir / "missing" / "x.cfg", "No such file or directory"},
      {dir / "folder", "Is a directory"},
  };
  for (const auto& c : cases) {
    std::string reason;
    EXPECT_FALSE(writeFileAtomically(c.path, "x", writeAllBytes, &reason));
    EXPECT_EQ(reason, c.reason) << c.path;
  }
  const SaveResult saved = saveImage(Image{}, dir / "missing" / "x.bin");
  EXPECT_EQ(saved.message, unableToWriteText((dir / "missing" / "x.bin").string()));
  EXPECT_EQ(saved.reason, "No such file or directory");
}

TEST(WholeFile, RefusedWritesLeaveEverythingAsItWas) {
  TempDir dir;
  const fs::path readOnly = dir / "ro.cfg";
  writeFile(readOnly, "[A]\nk=1\n");
  fs::permissions(readOnly, fs::perms::owner_read);
  fs::create_directory(dir / "folder");
  const fs::path targets[] = {readOnly, dir / "folder", dir / "missing" / "a.cfg"};
  for (const fs::path& target : targets) EXPECT_FALSE(writeFileAtomically(target, "x")) << target;
  EXPECT_EQ(readFile(readOnly), "[A]\nk=1\n");
  EXPECT_FALSE(fs::exists(dir / "missing"));
  EXPECT_EQ(entries(dir.path()), 2u);
}

TEST(WholeFile, SymbolicLinkKeepsPointingAtTheReplacedFile) {
  TempDir dir;
  writeFile(dir / "real.cfg", "old");
  std::error_code error;
  fs::create_symlink(dir / "real.cfg", dir / "link.cfg", error);
  // Windows lets only privileged users create symbolic links (Wine none).
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
  ASSERT_TRUE(writeFileAtomically(dir / "link.cfg", "new"));
  EXPECT_TRUE(fs::is_symlink(dir / "link.cfg"));
  EXPECT_EQ(readFile(dir / "real.cfg"), "new");
}

TEST(WholeFile, TheWriterFillsTheFileThatReplacesTheTarget) {
  TempDir dir;
  writeFile(dir / "a.cfg", "old");
  std::vector<std::string> handed;
  const ByteWriter recording = [&handed](std::FILE* file, std::string_view bytes) {
    handed.emplace_back(bytes);
    return writeAllBytes(file, bytes);
  };
  ASSERT_TRUE(writeFileAtomically(dir / "a.cfg", "new content", recording));
  EXPECT_EQ(handed, std::vector<std::string>{"new content"});
  EXPECT_EQ(readFile(dir / "a.cfg"), "new content");
}

// Both saves take the writer; a save that breaks off leaves the file as it
// was and nothing stays behind for the next save.
struct SaveCall {
  const char* name;
  std::function<SaveResult(const Fields&, const fs::path&, const ByteWriter&)> save;
};
void PrintTo(const SaveCall& c, std::ostream* os) { *os << c.name; }

class SaveThroughWriter : public ::testing::TestWithParam<SaveCall> {};

TEST_P(SaveThroughWriter, BreakingOffKeepsTheFileAndTheNextSaveGoesThrough) {
  TempDir dir;
  const fs::path path = dir / "a.cfg";
  FieldStore fields = FieldStore::withStartValues();
  ASSERT_TRUE(GetParam().save(fields, path, writeAllBytes));
  const std::string saved = readFile(path);
  fields.setText("Callsign", "NEW");
  for (const std::size_t after : {std::size_t{0}, std::size_t{1}, saved.size() / 2}) {
    const SaveResult result = GetParam().save(fields, path, failingWriter(after));
    EXPECT_EQ(result.status, SaveResult::Status::WriteFailed) << after;
    EXPECT_EQ(result.message, unableToWriteText(path.string())) << after;
    EXPECT_EQ(readFile(path), saved) << after;
    EXPECT_EQ(entries(dir.path()), 1u) << after;
  }
  ASSERT_TRUE(GetParam().save(fields, path, writeAllBytes));
  EXPECT_EQ(ProfileFile::read(path)->value("Radio", "Callsign"), "NEW");
}

const SaveCall kSaveCalls[] = {
    {"AllGroups", [](const Fields& f, const fs::path& p, const ByteWriter& w) { return saveConfiguration(f, p, w); }},
    {"GivenGroups",
     [](const Fields& f, const fs::path& p, const ByteWriter& w) { return saveConfiguration(f, p, packOrder(), w); }},
};
INSTANTIATE_TEST_SUITE_P(Saves, SaveThroughWriter, ::testing::ValuesIn(kSaveCalls),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace trekmor
