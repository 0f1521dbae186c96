// The udev rule shipped for real devices: exactly the family's ids, on
// hidraw, access for the seat user only.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>

namespace {

TEST(PresenceUdevRule, GrantsTheSeatUserExactlyTheFamilysHidrawNodes) {
  std::ifstream in(std::string(TRX770_SOURCE_DIR) + "/packaging/70-trx770.rules");
  ASSERT_TRUE(in.is_open());
  const std::regex product(R"re(ATTRS\{idProduct\}=="([0-9a-f]{4})")re");
  std::set<std::string> products;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    EXPECT_NE(line.find(R"(KERNEL=="hidraw*")"), std::string::npos) << line;
    EXPECT_NE(line.find(R"(SUBSYSTEM=="hidraw")"), std::string::npos) << line;
    EXPECT_NE(line.find(R"(ATTRS{idVendor}=="0c45")"), std::string::npos) << line;
    EXPECT_NE(line.find(R"(TAG+="uaccess")"), std::string::npos) << line;
    EXPECT_EQ(line.find("MODE"), std::string::npos) << line;
    EXPECT_EQ(line.find("GROUP"), std::string::npos) << line;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(line, m, product)) << line;
    EXPECT_TRUE(products.insert(m[1]).second) << "listed twice: " << m[1];
  }
  EXPECT_EQ(products, (std::set<std::string>{"652c", "6556", "8611", "7200", "6758"}));
}

}  // namespace
