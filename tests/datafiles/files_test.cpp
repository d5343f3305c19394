#include "datafiles/files.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include <filesystem>
#include <random>

#include "tests/support/testsupport.h"

namespace ondrix {
namespace {

using testing::fileBytes;
using testing::putFile;
namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
 protected:
  testing::ScratchFolder folder;
};

TEST_F(FilesTest, ReadPrefixOfShortExactAndLongFiles) {
  putFile("f.dat", {1, 2, 3});
  std::array<std::uint8_t, 5> buffer{9, 9, 9, 9, 9};
  EXPECT_EQ(readPrefix("f.dat", buffer), 3u);
  EXPECT_EQ(buffer, (std::array<std::uint8_t, 5>{1, 2, 3, 9, 9}));  // the rest keeps its bytes

  putFile("g.dat", std::vector<std::uint8_t>(500, 7));
  std::array<std::uint8_t, 162> table{};
  EXPECT_EQ(readPrefix("g.dat", table), 162u);
  EXPECT_EQ(table[161], 7);

  putFile("empty.dat", {});
  EXPECT_EQ(readPrefix("empty.dat", buffer), 0u);  // found, nothing read
}

TEST_F(FilesTest, MissingFilesAndFoldersAreMissing) {
  std::array<std::uint8_t, 4> buffer{5, 5, 5, 5};
  EXPECT_FALSE(readPrefix("absent.dat", buffer));
  fs::create_directory("folder.dat");
  EXPECT_FALSE(readPrefix("folder.dat", buffer));
  EXPECT_EQ(buffer, (std::array<std::uint8_t, 4>{5, 5, 5, 5}));
}

TEST_F(FilesTest, ReadsAFileThatCannotBeOpenedForWriting) {
  // A running program's own file refuses write access to everyone, root
  // included (ETXTBSY); a reader that asked for write access would miss it.
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  const int writable = ::open(self.c_str(), O_RDWR);
  ASSERT_EQ(writable, -1);
  ASSERT_EQ(errno, ETXTBSY);
  std::array<std::uint8_t, 4> magic{};
  ASSERT_EQ(readPrefix(self, magic), 4u);
  EXPECT_EQ(magic, (std::array<std::uint8_t, 4>{0x7F, 'E', 'L', 'F'}));
}

TEST_F(FilesTest, WriteWholeReplacesTheFile) {
  putFile("ca.dat", std::vector<std::uint8_t>(500, 1));
  const std::vector<std::uint8_t> bytes(162, 3);
  EXPECT_TRUE(writeWhole("ca.dat", bytes));
  EXPECT_EQ(fileBytes("ca.dat"), bytes);
  EXPECT_FALSE(fs::exists("ca.dat.tmp"));
  EXPECT_TRUE(writeWhole("new.dat", {}));
  EXPECT_TRUE(fs::exists("new.dat"));
  EXPECT_EQ(fs::file_size("new.dat"), 0u);
}

TEST_F(FilesTest, FailedWritesLeaveTheOldFileByteForByte) {
  const std::vector<std::uint8_t> old = {1, 0, 1, 1, 0, 0x0A, 0x0D};
  putFile("ca.dat", old);
  fs::create_directory("ca.dat.tmp");  // where the new bytes would go first
  EXPECT_FALSE(writeWhole("ca.dat", std::vector<std::uint8_t>(162, 1)));
  EXPECT_EQ(fileBytes("ca.dat"), old);
  EXPECT_TRUE(fs::is_directory("ca.dat.tmp"));  // never removed
  fs::remove("ca.dat.tmp");

  fs::create_directory("line.dat");  // a folder where the file goes
  EXPECT_FALSE(writeWhole("line.dat", std::vector<std::uint8_t>{2, 2, 2}));
  EXPECT_TRUE(fs::is_directory("line.dat"));
  EXPECT_FALSE(fs::exists("line.dat.tmp"));  // the temporary file is cleaned up

  EXPECT_FALSE(writeWhole("no-such-folder/file0000.bmp", std::vector<std::uint8_t>{1}));
}

TEST(LineEnds, TranslationStoresEachLineFeedAfterACarriageReturn) {
  const std::vector<std::uint8_t> image = {0x0A, 1, 0x0D, 0x0A, 0x1A, 0x0D};
  const auto stored = translateLineEnds(image);
  EXPECT_EQ(stored, (std::vector<std::uint8_t>{0x0D, 0x0A, 1, 0x0D, 0x0D, 0x0A, 0x1A, 0x0D}));
  std::vector<std::uint8_t> back(image.size(), 0xEE);
  EXPECT_EQ(untranslateLineEnds(stored, back), image.size());
  EXPECT_EQ(back, image);
}

TEST(LineEnds, LoneCarriageReturnsAndLineFeedsStandForThemselves) {
  const std::vector<std::uint8_t> stored = {0x0A, 0x0D, 0x0D, 0x41, 0x0D};
  std::vector<std::uint8_t> image(8, 0);
  EXPECT_EQ(untranslateLineEnds(stored, image), 5u);
  EXPECT_EQ(std::vector<std::uint8_t>(image.begin(), image.begin() + 5), stored);
}

TEST(LineEnds, RoundTripOfRandomImagesRichInControlBytes) {
  std::mt19937 rng(3);
  const std::uint8_t special[] = {0x0A, 0x0D, 0x1A, 0x00};
  for (int trial = 0; trial < 2000; ++trial) {
    std::vector<std::uint8_t> image(1 + rng() % 144);
    for (auto& b : image) b = rng() % 2 ? special[rng() % 4] : static_cast<std::uint8_t>(rng());
    std::vector<std::uint8_t> back(image.size());
    ASSERT_EQ(untranslateLineEnds(translateLineEnds(image), back), image.size());
    ASSERT_EQ(back, image) << "trial " << trial;
  }
}

}  // namespace
}  // namespace ondrix
