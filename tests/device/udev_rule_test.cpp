// The udev rule grants access for this device only and makes nothing
// world-writable.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> ruleLines() {
  std::ifstream in(TREKMOR_UDEV_RULE);
  std::vector<std::string> rules;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] != '#') rules.push_back(line);
  }
  return rules;
}

TEST(UdevRule, TagsOnlyTheTrekmorsHidrawNodeForTheSeatUser) {
  const std::vector<std::string> rules = ruleLines();
  ASSERT_EQ(rules.size(), 1u);
  const std::string& rule = rules[0];
  for (const char* part : {"SUBSYSTEM==\"hidraw\"", "ATTRS{idVendor}==\"0483\"", "ATTRS{idProduct}==\"a052\"",
                           "TAG+=\"uaccess\""}) {
    EXPECT_NE(rule.find(part), std::string::npos) << part;
  }
  for (const char* forbidden : {"MODE", "GROUP", "OWNER", "RUN"}) {
    EXPECT_EQ(rule.find(forbidden), std::string::npos) << forbidden;
  }
}

}  // namespace
