#include <gtest/gtest.h>

#include "tests/support/declarations.h"

#include "tests/support/imagebytes.h"

#include "settings/pipeline.h"
#include "settings/registry.h"

namespace trekmor {
namespace {

using testing::Bytes;
using testing::slice;

FieldStore nonDefaultPositionReports() {
  FieldStore fields = FieldStore::withStartValues();
  fields.setIndex("Position_report_mode", 0);
  fields.setText("Position_report_interval", "3600");
  fields.setText("Smartbeaconing_min_turn_angle", "0");
  fields.setText("Smartbeaconing_turn_slope", "$FFFF");
  fields.setText("Smartbeaconing_min_turn_time", "65541");  // low 16 bits: 5
  fields.setText("Smartbeaconing_slow_speed", "-1");
  fields.setText("Smartbeaconing_slow_period", "0x10");
  fields.setText("Smartbeaconing_fast_speed", "255");
  fields.setText("Smartbeaconing_fast_period", "  256");
  fields.setIndex("Position_report_encoding", 2);
  fields.setIndex("Mice_message", 7);  // "Emergency"
  fields.setText("Position_symbol_code", "");
  fields.setText("Position_symbol_table", "\\x");  // only the first character counts
  fields.setText("Position_status_text", "Hello, world! ~");
  fields.setIndex("Position_time", 1);
  fields.setText("Position_path1", "relay");
  fields.setText("Position_ssid1", "0");
  fields.setText("Position_path2", "wide2");
  fields.setText("Position_ssid2", "2");
  fields.setText("Position_path3", "ab");
  fields.setText("Position_ssid3", "15");
  fields.setIndex("Position_coursespeed", 0);
  fields.setIndex("Position_altitude", -1);
  fields.setIndex("Position_reportonfixlost", 0);
  fields.setText("Position_fixlost_interval", "60");
  fields.setText("Synchronized_report_interval", "30");
  fields.setText("Synchronized_report_second", "29");
  return fields;
}

TEST(PositionReportsPack, NonDefaultValuesLandWhereExpected) {
  const FieldStore fields = nonDefaultPositionReports();
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 1));
  std::vector<std::uint8_t> expected = {
      0x00, 0x00,                                 // 306 "Disabled", 307
      0x10, 0x0E,                                 // 308 3600
      0x3C, 0x00,                                 // 310 60
      0x02, 0x01,                                 // 312 Base-91, 313 hour/min/sec
      'R',  'E',  'L', 'A', 'Y', ' ', '0',        // 314
      'W',  'I',  'D', 'E', '2', ' ', '2',        // 321
      'A',  'B',  ' ', ' ', ' ', ' ', 0x3F,       // 328 SSID 15 is '?'
      0x00, '\\',                                 // 335 empty code, 336 table
  };
  const std::string status = "Hello, world! ~";
  expected.insert(expected.end(), status.begin(), status.end());
  expected.insert(expected.end(), 41 - status.size(), 0);  // NUL and the rest of the field
  const std::vector<std::uint8_t> tail = {
      0x00,              // 378 Emergency
      0x00, 0xFF, 0x00,  // 379 course/speed "No", 380 altitude none, 381 "No"
      0x1E, 0x00,        // 382 30
      0x1D, 0x00,        // 384 29
      0x00, 0x00,        // 386 0
      0xFF, 0xFF,        // 388 $FFFF
      0x05, 0x00,        // 390 65541 cut to 5
      0xFF, 0xFF,        // 392 -1
      0x10, 0x00,        // 394 0x10
      0xFF, 0x00,        // 396 255
      0x00, 0x01,        // 398 256
  };
  expected.insert(expected.end(), tail.begin(), tail.end());
  EXPECT_EQ(slice(image, 306, 399), expected);
}

TEST(PositionReportsPack, MiceMessageIsSevenMinusTheIndex) {
  FieldStore fields = FieldStore::withStartValues();
  Image image;
  for (int index = -1; index <= 7; ++index) {
    fields.setIndex("Mice_message", index);
    ASSERT_TRUE(packConfigImage(fields, image, 0));
    EXPECT_EQ(image[378], 7 - index) << index;
  }
}

TEST(PositionReportsUnpack, RoundTripGivesTheCanonicalTexts) {
  const FieldStore written = nonDefaultPositionReports();
  Image image;
  ASSERT_TRUE(packConfigImage(written, image, 3));
  FieldStore read = FieldStore::withStartValues();
  ASSERT_TRUE(unpackConfigImage(image, read, silentInterface()));

  const std::pair<const char*, const char*> texts[] = {
      {"Position_report_interval", "3600"},   {"Smartbeaconing_min_turn_angle", "0"},
      {"Smartbeaconing_turn_slope", "65535"}, {"Smartbeaconing_min_turn_time", "5"},
      {"Smartbeaconing_slow_speed", "65535"}, {"Smartbeaconing_slow_period", "16"},
      {"Smartbeaconing_fast_speed", "255"},   {"Smartbeaconing_fast_period", "256"},
      {"Position_symbol_code", ""},           {"Position_symbol_table", "\\"},
      {"Position_status_text", "Hello, world! ~"},
      {"Position_path1", "RELAY"},            {"Position_ssid1", "0"},
      {"Position_path2", "WIDE2"},            {"Position_ssid2", "2"},
      {"Position_path3", "AB"},               {"Position_ssid3", "15"},
      {"Position_fixlost_interval", "60"},    {"Synchronized_report_interval", "30"},
      {"Synchronized_report_second", "29"},
  };
  for (const auto& [control, text] : texts) EXPECT_EQ(read.text(control), text) << control;
  const std::pair<const char*, int> indexes[] = {
      {"Position_report_mode", 0}, {"Position_report_encoding", 2}, {"Mice_message", 7},
      {"Position_time", 1},        {"Position_coursespeed", 0},     {"Position_altitude", -1},
      {"Position_reportonfixlost", 0},
  };
  for (const auto& [control, index] : indexes) EXPECT_EQ(read.index(control), index) << control;

  // Packing what was read gives the same bytes again.
  Image again;
  ASSERT_TRUE(packConfigImage(read, again, 3));
  EXPECT_EQ(slice(again, 306, 399), slice(image, 306, 399));
}

TEST(PositionReportsUnpack, EmptyPathElementAndOddBytes) {
  FieldStore fields = FieldStore::withStartValues();
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 0));
  image[378] = 0;     // Mic-E code 0: "Emergency"
  image[313] = 0xFF;  // no time stamp choice
  image[306] = 4;     // beyond the list of modes
  image[336] = 0;     // empty symbol table
  ASSERT_TRUE(unpackConfigImage(image, fields, silentInterface()));
  EXPECT_EQ(fields.index("Mice_message"), 7);
  EXPECT_EQ(fields.index("Position_time"), -1);
  EXPECT_EQ(fields.index("Position_report_mode"), -1);
  EXPECT_EQ(fields.text("Position_symbol_table"), "");
  EXPECT_EQ(fields.text("Position_path3"), "");
  EXPECT_EQ(fields.text("Position_ssid3"), "0");  // six blanks and '0'
  for (const int code : {8, 0xFF, 0x80}) {
    image[378] = static_cast<std::uint8_t>(code);  // no message has these codes
    ASSERT_TRUE(unpackConfigImage(image, fields, silentInterface()));
    EXPECT_EQ(fields.index("Mice_message"), -1) << code;
  }
}

// ---- the encoding rule ------------------------------------------------------------

struct EncodingState {
  bool mice;  // "Mic-E", "message:" and the Mic-E message
  bool time;  // "Time:" and the time stamp choice
};

EncodingState state(const Fields& fields) {
  const bool mice = fields.enabled("Mice_message");
  EXPECT_EQ(fields.enabled("Label_mice"), mice);
  EXPECT_EQ(fields.enabled("Mice_message_label"), mice);
  const bool time = fields.enabled("Position_time");
  EXPECT_EQ(fields.enabled("Position_time_label"), time);
  return {mice, time};
}

TEST(EncodingRule, StartValuesOpenWithMiceEnabledAndTimeDisabled) {
  const FieldStore fields = FieldStore::withStartValues();
  const EncodingState s = state(fields);
  EXPECT_TRUE(s.mice);
  EXPECT_FALSE(s.time);
}

TEST(EncodingRule, UnpackAppliesTheRuleToTheEncodingRead) {
  FieldStore fields = FieldStore::withStartValues();
  Image image;
  ASSERT_TRUE(packConfigImage(fields, image, 0));
  struct Case {
    std::uint8_t byte;
    bool mice;
    bool time;
  };
  // 0xFF leaves no selection, and then the states stay as they were.
  for (const Case& c : {Case{1, false, true}, Case{0xFF, false, true}, Case{0, true, false}, Case{0xFF, true, false},
                        Case{2, false, true}, Case{3, false, true}}) {
    image[312] = c.byte;
    ASSERT_TRUE(unpackConfigImage(image, fields, silentInterface()));
    const EncodingState s = state(fields);
    EXPECT_EQ(s.mice, c.mice) << int(c.byte);
    EXPECT_EQ(s.time, c.time) << int(c.byte);
  }
}

TEST(EncodingRule, TheEncodingHasItsRuleAndTheModeChangesNothing) {
  EXPECT_TRUE(testing::rulesTriggeredBy("Position_report_mode").empty());
  ASSERT_EQ(testing::rulesTriggeredBy("Position_report_encoding").size(), 1u);

  FieldStore fields = FieldStore::withStartValues();
  fields.setIndex("Position_report_encoding", 1);  // set by code: nothing follows yet
  testing::chooseByUser("Position_report_encoding", fields, silentInterface());
  const EncodingState s = state(fields);
  EXPECT_FALSE(s.mice);
  EXPECT_TRUE(s.time);
  // Only enabled states change: the values stay.
  EXPECT_EQ(fields.index("Mice_message"), 0);
  EXPECT_EQ(fields.index("Position_time"), 2);
}

}  // namespace
}  // namespace trekmor
