// The shipped udev rule: exactly the family's ids, on hidraw, for the seat user only.

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <set>
#include <string>

#include "device/device_ids.h"
#include "tests/support/golden.h"

namespace {

// The four hex digits of ATTRS{idProduct}=="xxxx" in a rule line, or "".
std::string ProductOf(const std::string& line) {
  std::smatch m;
  return std::regex_search(line, m, std::regex(R"re(ATTRS\{idProduct\}=="([0-9a-f]{4})")re")) ? m[1].str() : "";
}

TEST(PresenceUdevRule, GrantsTheSeatUserExactlyTheFamilysHidrawNodes) {
  std::set<std::string> products;
  for (const std::string& line : trx::test::ReadGoldenNames("../../packaging/70-trx770.rules")) {  // the shipped file
    EXPECT_NE(line.find(R"(KERNEL=="hidraw*")"), std::string::npos) << line;
    EXPECT_NE(line.find(R"(SUBSYSTEM=="hidraw")"), std::string::npos) << line;
    EXPECT_NE(line.find(R"(ATTRS{idVendor}=="0c45")"), std::string::npos) << line;
    EXPECT_NE(line.find(R"(TAG+="uaccess")"), std::string::npos) << line;
    EXPECT_EQ(line.find("MODE"), std::string::npos) << line;
    EXPECT_EQ(line.find("GROUP"), std::string::npos) << line;
    const std::string id = ProductOf(line);
    ASSERT_FALSE(id.empty()) << line;
    EXPECT_TRUE(products.insert(id).second) << "listed twice: " << id;
  }
  EXPECT_EQ(products, (std::set<std::string>{"652c", "6556", "8611", "7200", "6758"}));
  // The rule and the program's identity table name the same devices.
  std::set<std::string> table;
  for (const trx::DeviceIdentity& id : trx::kDeviceIdentities) {
    EXPECT_EQ(id.vendor_id, 0x0C45);
    for (uint16_t pid : id.Products()) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "%04x", pid);
      table.insert(hex);
    }
  }
  EXPECT_EQ(products, table);
}

}  // namespace
