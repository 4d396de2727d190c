#include "core/text.hpp"

#include <gtest/gtest.h>

namespace orva::core {
namespace {

TEST(ParseHex, DigitsCasesPrefixAndLimits) {
  EXPECT_EQ(parseHex("0102", 4), 0x0102u);
  EXPECT_EQ(parseHex("fcAC", 4), 0xFCACu);
  EXPECT_EQ(parseHex("0x5a", 2), 0x5Au);
  EXPECT_EQ(parseHex("7", 2), 7u);
  EXPECT_FALSE(parseHex("10000", 4));
  EXPECT_FALSE(parseHex("", 4));
  EXPECT_FALSE(parseHex("0x", 4));
  EXPECT_FALSE(parseHex("12G4", 4));
  EXPECT_FALSE(parseHex("-1", 4));
  EXPECT_FALSE(parseHex(" 12", 4));
  EXPECT_EQ(parseHex("FFFFFFFF", 8), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace orva::core
