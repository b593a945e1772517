#include <gtest/gtest.h>

#include <numeric>

#include "image/image.h"
#include "image/validators.h"
#include "tests/support/version.h"

namespace trekmor {
namespace {

TEST(StampGenerator, FollowsTheLinearCongruentialSequence) {
  // Values worked out by hand from state = state * 22695477 + 1, bits 16..30.
  struct Case {
    std::uint32_t seed;
    int first, second, third;
  };
  const Case cases[] = {{0, 0, 346, 130}, {1, 346, 130, 10982}, {12345, 15301, 24996, 10921},
                        {1765000000, 29108, 31306, 2777}};
  for (const auto& c : cases) {
    StampGenerator g(c.seed);
    EXPECT_EQ(g.next(), c.first) << c.seed;
    EXPECT_EQ(g.next(), c.second) << c.seed;
    EXPECT_EQ(g.next(), c.third) << c.seed;
  }
}

TEST(Image, FinishWritesStampEndMarkerAndChecksum) {
  Image image;
  beginImage(image);
  image[100] = 0xFF;
  image[1504] = 0x01;
  finishImage(image, 12345);
  EXPECT_EQ(getLE(image, 4, 2), 5301u);  // 15301 modulo 10000
  EXPECT_EQ(image[1505], 'E');
  EXPECT_EQ(image[1506], 'N');
  EXPECT_EQ(image[1507], 'D');
  // v1.12 = 0x76+0x31+0x2E+0x31+0x32, stamp 5301 = 0xB5 0x14, END = 0x45+0x4E+0x44.
  const std::uint32_t expected = 0x76 + 0x31 + 0x2E + 0x31 + 0x32 + 0xB5 + 0x14 + 0xFF + 0x01 + 0x45 + 0x4E + 0x44;
  EXPECT_EQ(getLE(image, 0, 4), expected);
  EXPECT_TRUE(checkImageIntegrity(image));
  EXPECT_TRUE(std::all_of(image.begin() + 1508, image.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(Image, ChecksumWrapsModulo2To32AndIgnoresBytesAfter1507) {
  Image image;
  image.fill(0xFF);
  // 1504 bytes of 0xFF: far from wrapping, but the bytes beyond 1507 must not count.
  EXPECT_EQ(imageSum(image), 1504u * 0xFF);
}

TEST(Image, IntegrityFailsOnWrongSumOrMissingEndMarker) {
  Image image;
  beginImage(image);
  finishImage(image, 1);
  ASSERT_TRUE(checkImageIntegrity(image));

  Image wrongSum = image;
  wrongSum[0] ^= 1;
  EXPECT_FALSE(checkImageIntegrity(wrongSum));

  // Right sum but "ENX" instead of "END": the marker test alone fails it.
  Image wrongMarker = image;
  wrongMarker[1507] = 'X';
  putLE(wrongMarker, 0, imageSum(wrongMarker), 4);
  EXPECT_FALSE(checkImageIntegrity(wrongMarker));

  Image byteChanged = image;
  byteChanged[700] = 3;
  EXPECT_FALSE(checkImageIntegrity(byteChanged));
}

TEST(Image, VersionTestIsAPrefixComparison) {
  Image image{};
  const std::string longer = trekmor::testing::configVersion() + "b";
  std::copy(longer.begin(), longer.end(), image.begin() + 6);
  EXPECT_EQ(configVersionMismatchMessage(image), "");
}

TEST(Image, VersionMismatchNamesTheDeviceVersionTwice) {
  Image image{};
  const std::string old = "v1.10";
  std::copy(old.begin(), old.end(), image.begin() + 6);
  EXPECT_EQ(configVersionMismatchMessage(image),
            "Uncompatible configuration version:\nDevice: v1.10\nConfigurator: " + trekmor::testing::configVersion() + "\n\n"
            "You need to use Configurator v1.10 or write new configuration using \"Write config\" button.");
}

TEST(Image, VersionMismatchShowsAtMostSevenCharactersAndLeavesTheImageAlone) {
  Image image{};
  for (std::size_t i = 6; i < 40; ++i) image[i] = 'x';
  const Image before = image;
  const std::string message = configVersionMismatchMessage(image);
  EXPECT_EQ(image, before);
  EXPECT_NE(message.find("Device: xxxxxxx\n"), std::string::npos) << message;
  EXPECT_NE(message.find("Configurator xxxxxxx or"), std::string::npos) << message;
}

struct CoordinateCase {
  const char* text;
  bool latitude;
  bool valid;
};

class Coordinates : public ::testing::TestWithParam<CoordinateCase> {};

TEST_P(Coordinates, AcceptOnlyTheDocumentedSyntaxAndRange) {
  const auto& c = GetParam();
  EXPECT_EQ(c.latitude ? isLatitudeText(c.text) : isLongitudeText(c.text), c.valid) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Coordinates,
    ::testing::Values(CoordinateCase{"5221.60N", true, true}, CoordinateCase{"0000.00S", true, true},
                      CoordinateCase{"8959.99N", true, true}, CoordinateCase{"5260.00N", true, false},
                      CoordinateCase{"9000.00N", true, false}, CoordinateCase{"5221.60n", true, false},
                      CoordinateCase{"5221,60N", true, false}, CoordinateCase{"5221.60E", true, false},
                      CoordinateCase{"5221.6N", true, false}, CoordinateCase{"a221.60N", true, false},
                      CoordinateCase{"01653.63E", false, true}, CoordinateCase{"17959.99W", false, true},
                      CoordinateCase{"18000.00E", false, false}, CoordinateCase{"01660.00E", false, false},
                      CoordinateCase{"01653.63e", false, false}, CoordinateCase{"01653.63N", false, false},
                      CoordinateCase{"0165.363E", false, false}, CoordinateCase{"", false, false}));

TEST(Validators, DigitsAndLettersOrDigits) {
  EXPECT_TRUE(isDigitsOnly(""));
  EXPECT_TRUE(isDigitsOnly("0123456789"));
  EXPECT_FALSE(isDigitsOnly("12a"));
  EXPECT_FALSE(isDigitsOnly("-1"));
  EXPECT_TRUE(isLettersOrDigits(""));
  EXPECT_TRUE(isLettersOrDigits("APRSTrekmor09az"));
  EXPECT_FALSE(isLettersOrDigits("APRS Trekmor"));
  EXPECT_FALSE(isLettersOrDigits("a_b"));
  EXPECT_FALSE(isLettersOrDigits("\xC4"));
}

TEST(Validators, FreeTextRefusesBytesOutsidePrintableAscii) {
  const std::string ok = " ~Hello<volt>";
  EXPECT_TRUE(isFreeText(ok));
  for (char bad : {'\x00', '\x01', '\x0A', '\x1F', '\x7F', '\x80', '\xFF'}) {
    std::string copy = ok;
    copy[2] = bad;
    EXPECT_FALSE(isFreeText(copy)) << int(static_cast<unsigned char>(bad));
  }
}

}  // namespace
}  // namespace trekmor
