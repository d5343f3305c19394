#include "ondrix/datafiles/rulefiles.h"

#include <gtest/gtest.h>

#include "tests/support/testsupport.h"

namespace ondrix {
namespace {

using testing::fileBytes;
using testing::putFile;

class RuleFilesTest : public ::testing::Test {
 protected:
  testing::ScratchFolder folder;
};

TEST_F(RuleFilesTest, WriteThenReadRestoresBothHalves) {
  std::array<std::uint8_t, ruleTableSize> table{};
  for (int e = 0; e < ruleTableSize; ++e) table[e] = static_cast<std::uint8_t>((e * 7 + e / 81) % 2);
  table[161] = 1;
  ASSERT_TRUE(writeTableFile(ruleFileName, table));
  EXPECT_EQ(fileBytes(ruleFileName).size(), 162u);
  std::array<std::uint8_t, ruleTableSize> back{};
  back.fill(9);
  ASSERT_TRUE(readTableFile(ruleFileName, back));
  EXPECT_EQ(back, table);
}

TEST_F(RuleFilesTest, WritingOverALongerFileLeavesExactly162Bytes) {
  putFile(ruleFileName, std::vector<std::uint8_t>(500, 1));
  std::array<std::uint8_t, ruleTableSize> table{};
  ASSERT_TRUE(writeTableFile(ruleFileName, table));
  EXPECT_EQ(fileBytes(ruleFileName), std::vector<std::uint8_t>(162, 0));
}

TEST_F(RuleFilesTest, ShortLongAndMissingFiles) {
  std::array<std::uint8_t, ruleTableSize> table{};
  table.fill(1);
  putFile(ruleFileName, std::vector<std::uint8_t>(10, 0));
  ASSERT_TRUE(readTableFile(ruleFileName, table));
  for (int e = 0; e < ruleTableSize; ++e) EXPECT_EQ(table[e], e < 10 ? 0 : 1) << e;

  std::vector<std::uint8_t> longer(300, 0);
  longer[161] = 5;  // any byte is taken as it stands
  longer[162] = 1;
  putFile(solitonRuleFileName, longer);
  ASSERT_TRUE(readTableFile(solitonRuleFileName, table));
  EXPECT_EQ(table[161], 5);

  const auto before = table;
  EXPECT_FALSE(readTableFile("ca-missing.dat", table));
  EXPECT_EQ(table, before);
}

TEST_F(RuleFilesTest, AuxiliaryTableHas54Entries) {
  AuxRuleTable aux{};
  aux[0] = 1;
  aux[53] = 1;
  ASSERT_TRUE(writeTableFile(auxRuleFileName, aux));
  EXPECT_EQ(fileBytes(auxRuleFileName).size(), 54u);
  AuxRuleTable back{};
  ASSERT_TRUE(readTableFile(auxRuleFileName, back));
  EXPECT_EQ(back, aux);
}

}  // namespace
}  // namespace ondrix
