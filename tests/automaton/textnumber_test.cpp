#include "ondrix/automaton/textnumber.h"

#include <gtest/gtest.h>

#include <string>

namespace ondrix {
namespace {

TEST(ParseIntegerText, DigitsUpToTheFirstOtherCharacter) {
  EXPECT_EQ(parseIntegerText("12abc"), 12);
  EXPECT_EQ(parseIntegerText("abc"), 0);
  EXPECT_EQ(parseIntegerText(""), 0);
  EXPECT_EQ(parseIntegerText("-3"), -3);
  EXPECT_EQ(parseIntegerText("+17"), 17);
  EXPECT_EQ(parseIntegerText(" \t\n\v\f\r42"), 42);
  EXPECT_EQ(parseIntegerText("4 2"), 4);
  EXPECT_EQ(parseIntegerText("-"), 0);
  EXPECT_EQ(parseIntegerText("+-5"), 0);
  EXPECT_EQ(parseIntegerText("- 5"), 0);
  EXPECT_EQ(parseIntegerText("007"), 7);
}

TEST(ParseIntegerText, WrapsInThirtyTwoBits) {
  EXPECT_EQ(parseIntegerText("2147483647"), 2147483647);
  EXPECT_EQ(parseIntegerText("2147483648"), -2147483647 - 1);
  EXPECT_EQ(parseIntegerText("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(parseIntegerText("4294967296"), 0);
  EXPECT_EQ(parseIntegerText("4294967301"), 5);
}

TEST(ParseIntegerText, TextOfAnyLengthConverts) {
  const std::string blanks(200, ' ');
  EXPECT_EQ(parseIntegerText(blanks + "123"), 123);
  // 100 digits: the wrapped value of 10^99 + 1 modulo 2^32.
  std::string digits = "1" + std::string(98, '0') + "1";
  std::uint32_t expected = 0;
  for (char c : digits) expected = expected * 10u + static_cast<std::uint32_t>(c - '0');
  EXPECT_EQ(parseIntegerText(digits), static_cast<std::int32_t>(expected));
}

TEST(LowBits16, SixteenBitParametersKeepTheLowBits) {
  EXPECT_EQ(lowBits16(parseIntegerText("70000")), 4464);
  EXPECT_EQ(lowBits16(parseIntegerText("40000")), -25536);
  EXPECT_EQ(lowBits16(parseIntegerText("-3")), -3);
  EXPECT_EQ(lowBits16(65536), 0);
  EXPECT_EQ(lowBits16(32767), 32767);
  EXPECT_EQ(lowBits16(32768), -32768);
}

}  // namespace
}  // namespace ondrix
