// Rules and rows as text: what show prints is read back exactly, and what
// cannot be read says why.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "ondrix/datafiles/sha256.h"
#include "ondrix/datafiles/textformats.h"

namespace ondrix {
namespace {

TEST(TextFormats, RulesComeBackFromTheirDigits) {
  std::mt19937 rng(4);
  for (int k = 0; k < 20; ++k) {
    RuleTable rule{};
    const std::size_t filled = k % 2 ? ruleTableSize : ruleHalfSize;  // half: the file's 81 after are 0
    for (std::size_t i = 0; i < filled; ++i) rule[i] = static_cast<std::uint8_t>(rng() % (k < 10 ? 2 : 10));
    rule[filled - 1] = 1;
    const std::string text = ruleText(rule);
    EXPECT_EQ(text.size(), filled);
    EXPECT_EQ(parseRuleText(text), rule);
  }
  RuleTable wide{};
  wide[40] = 10;
  EXPECT_THROW(ruleText(wide), std::invalid_argument);
  for (const std::string& bad : std::vector<std::string>{"", "0101", "x", std::string(80, '1'), std::string(80, '1') + "x"}) {
    EXPECT_FALSE(looksLikeRuleText(bad)) << bad;
    EXPECT_THROW(parseRuleText(bad), std::invalid_argument) << bad;
  }
}

TEST(TextFormats, RowsFromLettersAndBack) {
  struct Case {
    const char* text;
    std::int32_t ring;
    const char* shown;  // rowText of the ring up to its last live cell; nullptr: refused
    const char* why = "";
  };
  const Case cases[] = {
      {"BCAAB", 25, "BCAAB"},
      {"bcaab", 25, "BCAAB"},
      {"BC@10+CB@700", 768, "A*10BCA*688CB"},
      {"A*3BC", 25, "AAABC"},
      {"CB@23", 25, "A*23CB"},
      {"BC@24", 25, nullptr, "do not fit"},
      {"BC+CB", 25, nullptr, "taken"},
      {"BCAB@3+BB@5", 25, nullptr, "taken"},
      {"BX", 25, nullptr, "'X' is not a cell"},
      {"B*3", 25, nullptr, "only A takes a count"},
      {"A*0B", 25, nullptr, "whole number"},
      {"A*9999999999B", 7680, nullptr, "whole number"},
      {"A*30B", 25, nullptr, "longer than the ring"},
      {"@5", 25, nullptr, "no cells"},
      {"BC@", 25, nullptr, "'@' takes"},
      {"BC@x", 25, nullptr, "'@' takes"},
      {"BC+", 25, nullptr, "no cells"},
      {"", 25, nullptr, "empty"},
  };
  for (const Case& c : cases) {
    if (!c.shown) {
      try {
        parseRowText(c.text, c.ring);
        ADD_FAILURE() << c.text << " was read";
      } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find(c.why), std::string::npos) << c.text << ": " << e.what();
      }
      continue;
    }
    const auto cells = parseRowText(c.text, c.ring);
    ASSERT_EQ(cells.size(), static_cast<std::size_t>(c.ring)) << c.text;
    std::size_t end = cells.size();
    while (end > 0 && cells[end - 1] == stateA) --end;
    EXPECT_EQ(rowText(std::span(cells.data(), end)), c.shown) << c.text;
  }
  // Any row, runs of A long and short, comes back cell for cell.
  std::mt19937 rng(9);
  for (int k = 0; k < 50; ++k) {
    std::vector<std::uint8_t> row(1 + rng() % 300);
    for (auto& s : row) s = rng() % 3 == 0 ? static_cast<std::uint8_t>(rng() % 3) : stateA;
    EXPECT_EQ(parseRowText(rowText(row), static_cast<std::int32_t>(row.size())), row);
  }
}

// The standard's examples, and lengths around the padding's edges.
TEST(TextFormats, Sha256) {
  const auto hex = [](const std::string& text) {
    return sha256Hex(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  };
  EXPECT_EQ(hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(hex(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

}  // namespace
}  // namespace ondrix
