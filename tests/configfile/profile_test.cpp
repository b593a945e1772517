#include "configfile/profile.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <vector>

#include "platform/wholefile.h"

#include "tests/support/tempdir.h"

namespace trekmor {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

struct ReadCase {
  const char* name;
  std::string file;
  std::string section;
  std::string key;
  std::optional<std::string> expected;
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, FindsWhatThePrivateProfileFunctionsFind) {
  const ReadCase& c = GetParam();
  EXPECT_EQ(ProfileFile::fromBytes(c.file).value(c.section, c.key), c.expected);
}

const ReadCase kReadCases[] = {
    {"LineFeeds", "[Radio]\nCallsign=AB\n", "Radio", "Callsign", "AB"},
    {"CrLf", "[Radio]\r\nCallsign=AB\r\n", "Radio", "Callsign", "AB"},
    {"LoneCarriageReturns", "[Radio]\rx=1\rCallsign=AB\r", "Radio", "Callsign", "AB"},
    {"NoFinalLineBreak", "[Radio]\r\nCallsign=AB", "Radio", "Callsign", "AB"},
    {"BlanksInsideBrackets", "  [ \tRadio ]\nCallsign=AB", "Radio", "Callsign", "AB"},
    {"TextAfterHeaderIgnored", "[Radio] some text\nCallsign=AB", "Radio", "Callsign", "AB"},
    {"HeaderWithoutBracketIsNone", "[Radio\nCallsign=AB", "Radio", "Callsign", std::nullopt},
    {"AsciiCaseIgnored", "[rADIO]\ncallSIGN=AB", "Radio", "Callsign", "AB"},
    {"OtherBytesCaseKept", "[R\xC4" "DIO]\nk=v", "R\xE4" "DIO", "k", std::nullopt},
    {"FirstSectionOnly", "[Radio]\nk=1\n[Other]\n[RADIO]\nk=2\nj=3", "Radio", "j", std::nullopt},
    {"FirstSectionWins", "[Radio]\nk=1\n[RADIO]\nk=2", "Radio", "k", "1"},
    {"FirstKeyWins", "[Radio]\nk=1\nK=2", "Radio", "k", "1"},
    {"BlanksAroundKeyAndValue", "[Radio]\n \t k \v= \f a  b \t\n", "Radio", "k", "a  b"},
    {"DoubleQuotesRemoved", "[Radio]\nk= \"a b\" ", "Radio", "k", "a b"},
    {"SingleQuotesRemoved", "[Radio]\nk='a'", "Radio", "k", "a"},
    {"OnlyOnePairRemoved", "[Radio]\nk=\"\"a\"\"", "Radio", "k", "\"a\""},
    {"UnmatchedQuotesStay", "[Radio]\nk=\"a'", "Radio", "k", "\"a'"},
    {"LoneQuoteStays", "[Radio]\nk=\"", "Radio", "k", "\""},
    {"InnerQuotesStay", "[Radio]\nk=a\"b\"", "Radio", "k", "a\"b\""},
    {"CommentLine", "[Radio]\n;k=1\n  ;k=2\nk=3", "Radio", "k", "3"},
    {"HashIsNoComment", "[Radio]\n#k=1", "Radio", "#k", "1"},
    {"SemicolonAfterValueIsValue", "[Radio]\nk=1 ; two", "Radio", "k", "1 ; two"},
    {"FirstEqualsSplits", "[Radio]\nk==1=2", "Radio", "k", "=1=2"},
    {"LineWithoutEqualsIsNoKey", "[Radio]\nk\nk=1", "Radio", "k", "1"},
    {"EmptyValueIsPresent", "[Radio]\nk=\nk=1", "Radio", "k", ""},
    {"KeysBeforeFirstSectionBelongNowhere", "k=1\n[Radio]\nj=2", "Radio", "k", std::nullopt},
    {"EmptyFile", "", "Radio", "k", std::nullopt},
    {"SingleBytesUnchanged", "[Radio]\nk=\x01\xE9\xFF\x7F", "Radio", "k", "\x01\xE9\xFF\x7F"},
    {"ByteOrderMarkMeansUtf8", "\xEF\xBB\xBF[Radio]\nk=\xC3\xA9t\xC3\xA9", "Radio", "k", "\xE9t\xE9"},
    {"Utf8BeyondLatin1", "\xEF\xBB\xBF[Radio]\nk=\xE2\x82\xAC\xC3", "Radio", "k", "??"},
    {"Utf8OverlongLineBreakRefused", "\xEF\xBB\xBF[Radio]\nk=a\xC0\x8D" "b", "Radio", "k", "a?b"},
    {"Utf8SectionNameDecoded", "\xEF\xBB\xBF[R\xC3\xA4]\nk=1", "R\xE4", "k", "1"},
    {"Utf8KeyNameDecoded", "\xEF\xBB\xBF[A]\nk\xC3\xA9=1", "A", "k\xE9", "1"},
    // Only a "[" first on its line, with a "]" on the same line, opens a section.
    {"BracketsInAValueOpenNoSection", "[Radio]\nk=[Other]\nj=1", "Radio", "j", "1"},
    {"BracketsInAValueNameNoSection", "[Radio]\nk=[Other]\nj=1", "Other", "j", std::nullopt},
    {"CloseOnTheNextLineOpensNoSection", "[Other\n]\n[Radio\nk=1]\n[Radio]\nk=2", "Radio", "k", "2"},
    {"UnclosedBracketStartsAKey", "[Radio]\n[k=1", "Radio", "[k", "1"},
    {"HeaderAfterLoneCarriageReturnAndBlanks", "x=1\r \t[Radio]\rk=1", "Radio", "k", "1"},
    {"HeaderAsLastLineHoldsNoKey", "[A]\nk=1\n[Radio]", "Radio", "k", std::nullopt},
    {"KeyBeforeTheLastHeader", "[A]\nk=1\n[Radio]", "A", "k", "1"},
};
INSTANTIATE_TEST_SUITE_P(Rules, ProfileRead, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The reader tries the key it found last, and the one after it, before it
// hashes a name: lookups in any order, repeated or not, find what each finds
// on its own.
TEST(ProfileRead, LookupsInAnyOrderFindWhatEachFindsAlone) {
  const std::string text = "[A]\nk1=a1\nk2=a2\nk3=a3\n[B]\nk1=b1\nk2=b2\n[a]\nk3=x\n";
  const std::vector<std::array<std::optional<std::string>, 3>> lookups = {
      {"A", "k1", "a1"}, {"A", "k2", "a2"}, {"A", "k3", "a3"}, {"B", "k1", "b1"}, {"B", "k2", "b2"},
      {"B", "k3", std::nullopt}, {"A", "k3", "a3"}, {"A", "k3", "a3"}, {"A", "k1", "a1"}, {"B", "k2", "b2"},
      {"A", "k2", "a2"}, {"B", "k1", "b1"}, {"A", "K1", "a1"}, {"C", "k1", std::nullopt}, {"b", "K2", "b2"}};
  const ProfileFile file = ProfileFile::fromBytes(text);
  for (const auto& [section, key, expected] : lookups) {
    EXPECT_EQ(file.value(*section, *key), expected) << *section << "." << *key;
    EXPECT_EQ(ProfileFile::fromBytes(text).value(*section, *key), expected) << *section << "." << *key;
  }
}

// Names, lines and values are looked at eight bytes at a time (and line
// breaks in runs of up to 32 bytes before the library's search): the byte
// that decides must tell wherever it stands in the word, for lengths across
// two and three words.
std::string lettersOf(std::size_t length) {
  std::string name;
  for (std::size_t n = 0; n < length; ++n) name += static_cast<char>('a' + n % 26);
  return name;
}

TEST(ProfileNames, CaseOfAsciiLettersOnlyIsIgnoredAtEveryPlace) {
  // Pairs that differ only in the bit that tells the cases of letters apart.
  const std::array<std::pair<char, char>, 4> notLetters = {{{'@', '`'}, {'[', '{'}, {'^', '~'}, {'\xC1', '\xE1'}}};
  for (std::size_t length = 1; length <= 20; ++length) {
    const std::string name = lettersOf(length);
    const ProfileFile file = ProfileFile::fromBytes("[" + name + "]\n" + name + "=1\n");
    for (std::size_t at = 0; at < length; ++at) {
      std::string upper = name;
      upper[at] = static_cast<char>(upper[at] - 'a' + 'A');
      EXPECT_TRUE(ProfileFile::sameName(name, upper)) << upper;
      EXPECT_EQ(file.value(upper, upper), "1") << upper;
      for (const auto& [one, other] : notLetters) {
        std::string a = name;
        std::string b = name;
        a[at] = one;
        b[at] = other;
        EXPECT_FALSE(ProfileFile::sameName(a, b)) << a << " " << b;
        EXPECT_EQ(ProfileFile::fromBytes("[" + a + "]\nk=1\n").value(b, "k"), std::nullopt) << a << " " << b;
      }
    }
    EXPECT_FALSE(ProfileFile::sameName(name, name + "a"));
  }
}

TEST(ProfileNames, BreaksAndSeparatorsAreRefusedAtEveryPlace) {
  for (std::size_t length = 2; length <= 20; ++length) {
    for (std::size_t at = 1; at < length; ++at) {
      const auto with = [&](char c) {
        std::string name = lettersOf(length);
        name[at] = c;
        return name;
      };
      for (const char c : {'\r', '\n'}) {
        EXPECT_FALSE(ProfileFile::writableKey(with(c))) << length << " " << at;
        EXPECT_FALSE(ProfileFile::writableSection(with(c))) << length << " " << at;
      }
      EXPECT_FALSE(ProfileFile::writableKey(with('='))) << length << " " << at;
      EXPECT_TRUE(ProfileFile::writableSection(with('='))) << length << " " << at;
      EXPECT_FALSE(ProfileFile::writableSection(with(']'))) << length << " " << at;
      EXPECT_TRUE(ProfileFile::writableKey(with(']'))) << length << " " << at;
      // A blank inside a name is part of it; at its end it would not survive.
      EXPECT_EQ(ProfileFile::writableKey(with(' ')), at + 1 < length) << length << " " << at;
    }
  }
}

TEST(ProfileRead, LineBreaksAreFoundWhereverTheyStandInLongLines) {
  for (const std::string br : {"\n", "\r\n", "\r"}) {
    for (std::size_t length = 0; length <= 72; ++length) {
      const std::string value = lettersOf(length);
      ProfileFile file = ProfileFile::fromBytes("[A]" + br + "k=" + value + br + "j=2" + br + "[B]" + br + "x=" + value);
      EXPECT_EQ(file.value("A", "k"), value) << length;
      EXPECT_EQ(file.value("A", "j"), "2") << length;
      EXPECT_EQ(file.value("B", "x"), value) << length;
      ASSERT_TRUE(file.set("A", "n", value));
      const ProfileFile again = ProfileFile::fromBytes(file.bytes());
      EXPECT_EQ(again.value("A", "n"), value) << length;
      EXPECT_EQ(again.value("B", "x"), value) << length;
    }
  }
}

struct WriteCase {
  const char* name;
  std::string before;
  std::string section;
  std::string key;
  std::string value;
  std::string after;
};
void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class ProfileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, KeepsEverythingElse) {
  const WriteCase& c = GetParam();
  ProfileFile file = ProfileFile::fromBytes(c.before);
  file.set(c.section, c.key, c.value);
  EXPECT_EQ(file.bytes(), c.after);
  EXPECT_EQ(ProfileFile::fromBytes(file.bytes()).value(c.section, c.key), c.value);
}

const WriteCase kWriteCases[] = {
    {"NewFile", "", "A", "k", "v", "[A]\r\nk=v\r\n"},
    {"KeyReplacedInPlaceWithItsSpelling", "[a]\n  KEY = old \nnext=1\n", "A", "key", "new",
     "[a]\nKEY=new\nnext=1\n"},
    {"SameValueLeavesLineAsItWas", "[A]\n k = \"v\" \r\n", "A", "k", "v", "[A]\n k = \"v\" \r\n"},
    {"NewKeyAfterTrailingComments", "[A]\nx=1\n; end of A\n\n[B]\ny=2\n", "A", "k", "v",
     "[A]\nx=1\n; end of A\nk=v\r\n\n[B]\ny=2\n"},
    {"NewKeyInLastSectionWithoutLineBreak", "[A]\nx=1", "A", "k", "v", "[A]\nx=1\r\nk=v\r\n"},
    {"NewKeyAfterALoneCarriageReturn", "[A]\r\nx=1\r[B]\r\ny=2\r\n", "A", "k", "v", "[A]\r\nx=1\rk=v\r\n[B]\r\ny=2\r\n"},
    {"NewKeyAfterALoneCarriageReturnAtTheEnd", "[A]\r\nx=1\r", "A", "k", "v", "[A]\r\nx=1\rk=v\r\n"},
    {"NewSectionAtTheEnd", "; top\n[A]\nx=1\n", "B", "k", "v", "; top\n[A]\nx=1\n[B]\r\nk=v\r\n"},
    {"FirstOfTwoSections", "[A]\n[B]\n[a]\nk=1\n", "A", "k", "2", "[A]\nk=2\r\n[B]\n[a]\nk=1\n"},
    {"KeyBeforeAnySectionUntouched", "k=1\n", "A", "k", "2", "k=1\n[A]\r\nk=2\r\n"},
    {"Utf8FileStaysUtf8", "\xEF\xBB\xBF[A]\nk=x\n", "A", "k", "\xE9", "\xEF\xBB\xBF[A]\nk=\xC3\xA9\n"},
};
INSTANTIATE_TEST_SUITE_P(Rules, ProfileWrite, ::testing::ValuesIn(kWriteCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Keys inserted into early sections move every later line; lookups made
// between the writes must still find each key where it now stands, and the
// first of two same-named sections and keys must still win.
// Names matched in another case of ASCII letters wherever they differ, in
// long names as in short ones, and only there: bytes above 0x7F that differ
// by the letter-case bit are other names. Thousands of sections with the same
// key make the index grow many times and its names alike in all but a few bytes.
TEST(ProfileRead, ManySectionsAndNamesFoldedByAsciiCaseOnly) {
  std::string text;
  for (int n = 0; n < 3000; ++n) text += "[Section_Number_" + std::to_string(n) + "]\nkey=" + std::to_string(n) + "\n";
  text += "[Long_Name_Of_A_Section_\xC1Z]\nLong_Key_Name_Differs_At_The_End_a=1\nLong_Key_Name_Differs_At_The_End_B=2\n";
  const ProfileFile file = ProfileFile::fromBytes(text);
  for (int n = 0; n < 3000; n += 7) {
    ASSERT_EQ(file.value("SECTION_number_" + std::to_string(n), "KEY"), std::to_string(n)) << n;
  }
  const struct {
    const char* section;
    const char* key;
    std::optional<std::string> expected;
  } lookups[] = {
      {"long_name_of_a_section_\xC1z", "LONG_KEY_NAME_DIFFERS_AT_THE_END_A", "1"},
      {"LONG_NAME_OF_A_SECTION_\xC1Z", "long_key_name_differs_at_the_end_b", "2"},
      {"Long_Name_Of_A_Section_\xE1Z", "Long_Key_Name_Differs_At_The_End_a", std::nullopt},
      {"Long_Name_Of_A_Section_\xC1Z", "Long_Key_Name_Differs_At_The_End_c", std::nullopt},
      {"Long_Name_Of_A_Section_\xC1", "Long_Key_Name_Differs_At_The_End_a", std::nullopt},
      {"Section_Number_3000", "key", std::nullopt},
      {"Section_Number_12", "key_", std::nullopt},
  };
  for (const auto& lookup : lookups) {
    EXPECT_EQ(file.value(lookup.section, lookup.key), lookup.expected) << lookup.section << " " << lookup.key;
  }
}

// A header's "]" or line break is looked for among the eight bytes after its
// "[" before the rest of the line: a header is read alike wherever they
// stand, with blanks inside the brackets or not, in a file of single bytes
// and in a UTF-8 one, and a second section of the same name, in the same
// bytes, in other letter case or in other bytes that decode alike, never
// wins over the first.
TEST(ProfileRead, HeadersAreReadAlikeWhereverTheirBracketStands) {
  for (const std::string start : {"", "\xEF\xBB\xBF"}) {
    for (std::size_t length = 0; length <= 10; ++length) {
      for (const std::string blanks : {"", " ", "\t  ", "   \v  "}) {
        const std::string name = lettersOf(length);
        const std::string header = "[" + blanks + name + blanks + "]";
        for (const std::string after : {"\n", "\r\n", "", " x]\n"}) {
          const std::string text = start + "[z]\n" + header + after + "k=1\n" + header + "\nk=2\n[Q" + name + "]\nk=3\n";
          const ProfileFile file = ProfileFile::fromBytes(text);
          std::string upper = name;
          for (char& c : upper) c = static_cast<char>(c - 'a' + 'A');
          // A header with more on its line holds the lines after it only.
          const std::optional<std::string> first = after.empty() ? std::nullopt : std::optional<std::string>("1");
          EXPECT_EQ(file.value(name, "k"), first) << text;
          EXPECT_EQ(file.value(upper, "K"), first) << text;
          EXPECT_EQ(file.value("q" + upper, "k"), "3") << text;
        }
        // The line ends before the "]": no header.
        EXPECT_EQ(ProfileFile::fromBytes(start + "[" + blanks + name + "\n]\nk=1\n").value(name, "k"), std::nullopt);
      }
    }
  }
  // "\xE2\x82\xAC" (beyond single bytes) reads as "?", as the name "?" does.
  const ProfileFile utf8 = ProfileFile::fromBytes("\xEF\xBB\xBF[\xE2\x82\xAC]\nk=1\n[?]\nk=2\n[\xC3\xA9]\nk=3\n[\xC3\x89]\nk=4\n");
  EXPECT_EQ(utf8.value("?", "k"), "1");
  EXPECT_EQ(utf8.value("\xE9", "k"), "3");
  EXPECT_EQ(utf8.value("\xC9", "k"), "4");
  const ProfileFile plain = ProfileFile::fromBytes("[Ab]\nk=1\n[Ab]\nk=2\n[aB]\nk=3\n[ab ]\nk=4\n");
  EXPECT_EQ(plain.value("AB", "k"), "1");
}

// Sections that set() adds join the names of the file's own: many of them
// make the table of names grow, after which the first section of a name the
// file held twice still wins and every added one is found, in a UTF-8 file
// by its single-byte name.
TEST(ProfileWrite, AddedSectionsAreFoundWhenTheNamesOutgrowTheirTable) {
  ProfileFile file = ProfileFile::fromBytes("\xEF\xBB\xBF[A]\nk=1\n[B]\n[a]\nk=2\n");
  for (int n = 0; n < 200; ++n) ASSERT_TRUE(file.set("New\xE9" + std::to_string(n), "k", std::to_string(n)));
  const ProfileFile fresh = ProfileFile::fromBytes(file.bytes());
  for (const ProfileFile* read : {static_cast<const ProfileFile*>(&file), &fresh}) {
    EXPECT_EQ(read->value("a", "k"), "1");
    EXPECT_EQ(read->value("b", "k"), std::nullopt);
    for (int n = 0; n < 200; n += 13) EXPECT_EQ(read->value("NEW\xE9" + std::to_string(n), "K"), std::to_string(n)) << n;
  }
}

TEST(ProfileWrite, LookupsFollowInsertedLines) {
  ProfileFile file = ProfileFile::fromBytes("[A]\nx=1\n[B]\ny=2\nY=3\n[a]\nx=9\n[C]\nz=4\n");
  for (int k = 0; k < 20; ++k) {
    file.set("A", "a" + std::to_string(k), std::to_string(k));
    file.set(k % 2 ? "B" : "C", "n" + std::to_string(k), "v" + std::to_string(k));
    ASSERT_EQ(file.value("A", "x"), "1") << k;
    ASSERT_EQ(file.value("b", "Y"), "2") << k;
    ASSERT_EQ(file.value("C", "z"), "4") << k;
    for (int j = 0; j <= k; ++j) {
      ASSERT_EQ(file.value("a", "A" + std::to_string(j)), std::to_string(j)) << k << " " << j;
      ASSERT_EQ(file.value(j % 2 ? "B" : "C", "n" + std::to_string(j)), "v" + std::to_string(j)) << k << " " << j;
    }
  }
  file.set("A", "x", "changed");  // in place, in the first [A] only
  const ProfileFile reread = ProfileFile::fromBytes(file.bytes());
  EXPECT_EQ(reread.value("A", "x"), "changed");
  EXPECT_EQ(reread.value("A", "a19"), "19");
  EXPECT_EQ(reread.value("B", "n19"), "v19");
  EXPECT_EQ(reread.value("C", "n18"), "v18");
  EXPECT_EQ(file.bytes().find("x=9"), file.bytes().rfind("x=9"));  // the second [a] kept its own x
}

// Writes that change what the lines around them are, and names that only
// the index's case rules match: the index the read built, kept up by the
// writes, finds what a fresh read of the written bytes finds.
struct EditCase {
  const char* name;
  std::string before;
  std::vector<std::array<std::string, 3>> writes;  // section, key, value
  std::string after;
  std::vector<std::array<std::string, 3>> reads;  // section, key, value ("-": none)
};
void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }

class ProfileEdits : public ::testing::TestWithParam<EditCase> {};

TEST_P(ProfileEdits, IndexFollowsTheWrites) {
  const EditCase& c = GetParam();
  ProfileFile file = ProfileFile::fromBytes(c.before);
  for (const auto& [section, key, value] : c.writes) file.set(section, key, value);
  EXPECT_EQ(file.bytes(), c.after);
  const ProfileFile fresh = ProfileFile::fromBytes(file.bytes());
  for (const auto& [section, key, value] : c.reads) {
    const std::optional<std::string> expected = value == "-" ? std::nullopt : std::optional(value);
    EXPECT_EQ(file.value(section, key), expected) << section << "/" << key;
    EXPECT_EQ(fresh.value(section, key), expected) << section << "/" << key;
  }
}

const EditCase kEditCases[] = {
    // "[abc" is a key while its line holds no "]", but not one the writer
    // writes: a value with a "]" would make its line a header. The writes
    // after the refused one go on as usual.
    {"KeyThatCouldTurnIntoHeaderIsNotWritten", "[A]\n[abc=1\nk=2\n\n[B]\nx=1\n",
     {{"A", "[abc", "x]"}, {"A", "k", "3"}, {"B", "[q", "]"}, {"B", "z", "1"}},
     "[A]\n[abc=1\nk=3\n\n[B]\nx=1\nz=1\r\n",
     {{"A", "k", "3"}, {"A", "[abc", "1"}, {"B", "z", "1"}, {"B", "[q", "-"}, {"abc=x", "k", "-"}}},
    {"NewSectionAfterABlankLastLine", "[A]\nx=1\n  ", {{"A", "k", "v"}, {"B", "k", "v"}},
     "[A]\nx=1\nk=v\r\n  \r\n[B]\r\nk=v\r\n", {{"A", "k", "v"}, {"B", "k", "v"}}},
    {"ChangedLastLineThenAKeyAfterIt", "[A]\nx=1", {{"A", "x", "2"}, {"A", "k", "v"}}, "[A]\nx=2\r\nk=v\r\n",
     {{"A", "x", "2"}, {"A", "k", "v"}}},
    {"Utf8NamesMatchAsSingleByteText", "\xEF\xBB\xBF[R\xC3\xA4]\nk=1\n", {{"r\xE4", "K", "2"}, {"R\xC4", "k", "3"}},
     "\xEF\xBB\xBF[R\xC3\xA4]\nk=2\n[R\xC3\x84]\r\nk=3\r\n", {{"R\xE4", "k", "2"}, {"R\xC4", "k", "3"}}},
    {"LongNamesIgnoreAsciiCase", "[Telemetry_Settings_Long]\nTeleanalog1_Name_Long=x\n",
     {{"TELEMETRY_SETTINGS_LONG", "teleanalog1_name_long", "y"}}, "[Telemetry_Settings_Long]\nTeleanalog1_Name_Long=y\n",
     {{"telemetry_settings_long", "TELEANALOG1_NAME_LONG", "y"}}},
    {"SameKeyInEverySection", "[A]\nk=1\n[B]\n[C]\nk=3\n", {{"B", "k", "2"}, {"a", "K", "4"}},
     "[A]\nk=4\n[B]\nk=2\r\n[C]\nk=3\n", {{"A", "k", "4"}, {"B", "k", "2"}, {"C", "k", "3"}}},
};
INSTANTIATE_TEST_SUITE_P(Rules, ProfileEdits, ::testing::ValuesIn(kEditCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Names whose line would read as a header, a comment, another key or
// another section are refused and the file stays as it was; the names of
// this tool's own sections and keys are all writable.
TEST(ProfileWrite, OnlyNamesThatReadBackAsThemselvesAreWritten) {
  const std::string before = "[A]\nk=1\n";
  const std::array<std::pair<const char*, const char*>, 11> refused = {{{"A", "[k"},
                                                                        {"A", ";k"},
                                                                        {"A", "k=x"},
                                                                        {"A", " k"},
                                                                        {"A", "k\t"},
                                                                        {"A", "k\n"},
                                                                        {"A", "k\rj"},
                                                                        {"A]", "k"},
                                                                        {" A", "k"},
                                                                        {"A ", "k"},
                                                                        {"A\n", "k"}}};
  for (const auto& [section, key] : refused) {
    ProfileFile file = ProfileFile::fromBytes(before);
    EXPECT_FALSE(file.set(section, key, "2")) << section << "/" << key;
    EXPECT_EQ(file.bytes(), before) << section << "/" << key;
  }
  const std::array<std::pair<const char*, const char*>, 5> accepted = {
      {{"A", "k[1]"}, {"A", "k;1"}, {"[A", "k"}, {"!WARNING", "WARNING"}, {"A", ""}}};
  for (const auto& [section, key] : accepted) {
    ProfileFile file = ProfileFile::fromBytes(before);
    EXPECT_TRUE(file.set(section, key, "2")) << section << "/" << key;
    EXPECT_EQ(ProfileFile::fromBytes(file.bytes()).value(section, key), "2") << section << "/" << key;
  }
}

TEST(ProfileWrite, SaysWhetherTheKeyIsNew) {
  constexpr std::string_view kText = "[A]\nk=1\n;j=0\n[B]\n[a]\nj=2\n";
  struct Case {
    const char* section;
    const char* key;
    const char* value;
    bool written;
    bool added;
  };
  const std::array<Case, 8> cases = {{
      {"A", "k", "1", true, false},   // as it reads already
      {"a", "K", "5", true, false},   // changed in place, in another letter case
      {"A", "j", "5", true, true},    // a comment is no key; the later [a] is not asked
      {"B", "k", "5", true, true},    // a section without keys
      {"C", "k", "5", true, true},    // a new section
      {"A", "k=", "5", false, false},  // refused names change nothing
      {"A]", "k", "5", false, false},
      {"A", "", "5", true, true},
  }};
  for (const Case& c : cases) {
    ProfileFile file = ProfileFile::fromOwnBytes(std::string(kText));
    bool added = !c.added;
    EXPECT_EQ(file.set(c.section, c.key, c.value, &added), c.written) << c.section << "/" << c.key;
    EXPECT_EQ(added, c.added) << c.section << "/" << c.key;
    if (c.written) {
      EXPECT_EQ(ProfileFile::fromBytes(file.bytes()).value(c.section, c.key), c.value);
    }
  }
}

TEST(ProfileWrite, LineBreaksInAValueCannotStartNewLines) {
  ProfileFile file;
  file.set("A", "k", "one\r\ntwo\rthree\n[Injected]\nevil=1");
  EXPECT_EQ(file.bytes(), "[A]\r\nk=onetwothree[Injected]evil=1\r\n");
  EXPECT_EQ(ProfileFile::fromBytes(file.bytes()).value("Injected", "evil"), std::nullopt);
}

TEST(ProfileFileOnDisk, WriteReplacesAtomicallyAndKeepsPermissions) {
  TempDir dir;
  const fs::path path = dir / "a.cfg";
  writeFile(path, "[A]\nk=1\n");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  // What the system made of them: Windows keeps only whether the file is read-only.
  const fs::perms permissions = fs::status(path).permissions();
#if !defined(_WIN32)
  ASSERT_EQ(permissions, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
  ProfileFile file = *ProfileFile::read(path);
  file.set("A", "k", "2");
  ASSERT_TRUE(writeFileAtomically(path, file.bytes()));
  EXPECT_EQ(readFile(path), "[A]\nk=2\n");
  EXPECT_EQ(fs::status(path).permissions(), permissions);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);  // no leftovers
}

TEST(ProfileFileOnDisk, ReadRefusesWhatIsNoRegularFileOrTooLarge) {
  TempDir dir;
  EXPECT_FALSE(ProfileFile::read(dir / "absent.cfg"));
  EXPECT_FALSE(ProfileFile::read(dir.path()));
  writeFile(dir / "big", std::string(9, 'x'));
  EXPECT_FALSE(readWholeFile(dir / "big", 8));
  EXPECT_EQ(readWholeFile(dir / "big", 9), std::string(9, 'x'));
}

}  // namespace
}  // namespace trekmor
