// The udev rule grants access for this device only and makes nothing
// world-writable.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "product/product.h"

namespace {

// The rule spells the ids as udev shows them: lower-case hexadecimal.
std::string lowerCase(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return out;
}

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
  const std::string vendor = "ATTRS{idVendor}==\"" + lowerCase(trekmor::kVendorIdText) + "\"";
  const std::string product = "ATTRS{idProduct}==\"" + lowerCase(trekmor::kProductIdText) + "\"";
  for (const std::string& part : {std::string("SUBSYSTEM==\"hidraw\""), vendor, product, std::string("TAG+=\"uaccess\"")}) {
    EXPECT_NE(rule.find(part), std::string::npos) << part;
  }
  for (const char* forbidden : {"MODE", "GROUP", "OWNER", "RUN"}) {
    EXPECT_EQ(rule.find(forbidden), std::string::npos) << forbidden;
  }
}

}  // namespace
