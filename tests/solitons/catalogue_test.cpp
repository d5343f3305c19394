#include "ondrix/solitons/catalogue.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/testsupport.h"

namespace ondrix {
namespace {

using testing::fileBytes;
using testing::putFile;

class CatalogueFileTest : public ::testing::Test {
 protected:
  testing::ScratchFolder folder;
  Catalogue written, read;

  void SetUp() override {
    for (int k = 0; k < catalogueTypes; ++k) {
      written.solitonCode[k] = 1000 + 37 * k;
      written.solitonPeriod[k] = 2 + k;  // a period of 10 at k = 8
      written.solitonShift[k] = 1 + k % 4;
    }
    written.solitonPeriod[8] = 9;  // no byte 0x0A unless a case puts one in
  }

  void expectSameTypes() {
    for (int k = 0; k < catalogueTypes; ++k) {
      EXPECT_EQ(read.solitonCode[k], written.solitonCode[k]) << k;
      EXPECT_EQ(read.solitonPeriod[k], written.solitonPeriod[k]) << k;
      EXPECT_EQ(read.solitonShift[k], written.solitonShift[k]) << k;
    }
  }
};

TEST_F(CatalogueFileTest, WithoutLineFeedsTheFileIsTheImage) {
  ASSERT_TRUE(writeSolitonFile(solitonFileName, written));
  const auto bytes = fileBytes(solitonFileName);
  ASSERT_EQ(bytes.size(), 144u);
  EXPECT_EQ(bytes[0], (1000 & 0xFF));
  EXPECT_EQ(bytes[48], 2);  // periods start at 48
  EXPECT_EQ(bytes[96], 1);  // shifts at 96
  ASSERT_TRUE(readSolitonFile(solitonFileName, read));
  expectSameTypes();
}

TEST_F(CatalogueFileTest, APeriodOfTenAddsACarriageReturn) {
  written.solitonPeriod[3] = 10;
  ASSERT_TRUE(writeSolitonFile(solitonFileName, written));
  const auto bytes = fileBytes(solitonFileName);
  ASSERT_EQ(bytes.size(), 145u);
  EXPECT_EQ(bytes[48 + 12], 0x0D);
  EXPECT_EQ(bytes[48 + 13], 0x0A);
  ASSERT_TRUE(readSolitonFile(solitonFileName, read));
  expectSameTypes();
}

TEST_F(CatalogueFileTest, ControlBytesInAnyPositionRoundTrip) {
  written.solitonCode[0] = 0x0D0A1A0D;
  written.solitonCode[1] = 0x0A0A0A0A;
  written.solitonCode[2] = 0x1A0D0D0D;
  written.solitonShift[11] = 0x0D000000;  // a 0x0D as the file's last byte
  ASSERT_TRUE(writeSolitonFile(solitonFileName, written));
  EXPECT_EQ(fileBytes(solitonFileName).back(), 0x0D);
  ASSERT_TRUE(readSolitonFile(solitonFileName, read));
  expectSameTypes();
}

TEST_F(CatalogueFileTest, RandomCataloguesRoundTrip) {
  std::mt19937 rng(11);
  const std::uint32_t bytes[] = {0x0A, 0x0D, 0x1A, 0x00, 0xFF};
  for (int trial = 0; trial < 300; ++trial) {
    for (int k = 0; k < catalogueTypes; ++k) {
      for (auto* a : {&written.solitonCode, &written.solitonPeriod, &written.solitonShift}) {
        std::uint32_t v = 0;
        for (int b = 0; b < 4; ++b) v |= (rng() % 2 ? bytes[rng() % 5] : rng() & 0xFF) << (8 * b);
        (*a)[k] = static_cast<std::int32_t>(v);
      }
    }
    ASSERT_TRUE(writeSolitonFile(solitonFileName, written));
    ASSERT_TRUE(readSolitonFile(solitonFileName, read));
    for (int k = 0; k < catalogueTypes; ++k) {
      ASSERT_EQ(read.solitonCode[k], written.solitonCode[k]) << trial;
      ASSERT_EQ(read.solitonPeriod[k], written.solitonPeriod[k]) << trial;
      ASSERT_EQ(read.solitonShift[k], written.solitonShift[k]) << trial;
    }
  }
}

TEST_F(CatalogueFileTest, AHundredByteFileFillsCodesPeriodsAndTheFirstShift) {
  ASSERT_TRUE(writeSolitonFile(solitonFileName, written));
  auto bytes = fileBytes(solitonFileName);
  bytes.resize(100);
  putFile(solitonFileName, bytes);
  for (int k = 0; k < catalogueTypes; ++k) read.solitonShift[k] = -5;
  ASSERT_TRUE(readSolitonFile(solitonFileName, read));
  for (int k = 0; k < catalogueTypes; ++k) {
    EXPECT_EQ(read.solitonCode[k], written.solitonCode[k]);
    EXPECT_EQ(read.solitonPeriod[k], written.solitonPeriod[k]);
    EXPECT_EQ(read.solitonShift[k], k == 0 ? written.solitonShift[0] : -5) << k;
  }
}

TEST_F(CatalogueFileTest, MissingFileAndSearchEntriesAreLeftAlone) {
  read.solitonCode[3] = 77;
  read.Nsol = 4;
  EXPECT_FALSE(readSolitonFile(solitonFileName, read));
  EXPECT_EQ(read.solitonCode[3], 77);

  written.solitonCode[12] = 999;  // entries past the twelve types are never written
  ASSERT_TRUE(writeSolitonFile(solitonFileName, written));
  ASSERT_TRUE(readSolitonFile(solitonFileName, read));
  EXPECT_EQ(read.solitonCode[12], 0);
  EXPECT_EQ(read.Nsol, 4);  // loading leaves the search counters
}

TEST(Catalogue, SpeedsTruncateAndNeverDivideByZero) {
  struct Case {
    std::int32_t shift, period, speed;
  };
  for (const Case& c : {Case{1, 3, 133}, Case{4, 5, 320}, Case{3, 0, 0}, Case{-2, 5, -160}, Case{1, -3, -133},
                        Case{2147483647, 1, 2147483647}, Case{-2147483647 - 1, 1, -2147483647 - 1}}) {
    EXPECT_EQ(solitonSpeed(c.shift, c.period), c.speed) << c.shift << "/" << c.period;
  }
}

TEST(Catalogue, ChangeExchangesRowsInsideTheArrays) {
  Catalogue c;
  for (int k = 0; k < catalogueCapacity; ++k) {
    c.solitonCode[k] = k;
    c.solitonPeriod[k] = 10000 + k;
    c.solitonShift[k] = 20000 + k;
  }
  const Catalogue start = c;
  struct Case {
    std::int32_t first, second;
    bool exchanged;
  };
  for (const Case& x : {Case{0, 1, true}, Case{4464, 11, true}, Case{4999, 0, true}, Case{3, 3, true},
                        Case{-1, 2, false}, Case{2, 5000, false}, Case{-25536, 0, false}}) {
    EXPECT_EQ(swapCatalogueRows(c, x.first, x.second), x.exchanged);
    if (x.exchanged) {
      EXPECT_EQ(c.solitonCode[x.first], x.second);
      EXPECT_EQ(c.solitonPeriod[x.first], 10000 + x.second);
      EXPECT_EQ(c.solitonShift[x.second], 20000 + x.first);
      swapCatalogueRows(c, x.first, x.second);  // twice restores
    }
    EXPECT_EQ(c.solitonCode, start.solitonCode);
    EXPECT_EQ(c.solitonShift, start.solitonShift);
  }
}

}  // namespace
}  // namespace ondrix
