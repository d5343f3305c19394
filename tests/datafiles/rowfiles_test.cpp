#include "ondrix/datafiles/rowfiles.h"

#include <gtest/gtest.h>

#include "ondrix/automaton/automaton.h"
#include "tests/support/testsupport.h"

namespace ondrix {
namespace {

using testing::fileBytes;
using testing::putFile;

class RowFilesTest : public ::testing::Test {
 protected:
  testing::ScratchFolder folder;
  AutomatonState ring;
  void SetUp() override {
    ring.ringLength = 768;
    clearRing(ring);
  }
};

TEST_F(RowFilesTest, WritesExactlyTheRing) {
  ring.cells[0] = stateB;
  ring.cells[767] = stateC;
  ring.cells[768] = stateB;  // beyond the ring: not written
  ASSERT_TRUE(writeRowFile(lineFileName, ring));
  const auto bytes = fileBytes(lineFileName);
  ASSERT_EQ(bytes.size(), 768u);
  EXPECT_EQ(bytes[0], 1);
  EXPECT_EQ(bytes[767], 0);
  ring.ringLength = 7680;
  ASSERT_TRUE(writeRowFile(lineFileName, ring));
  EXPECT_EQ(fileBytes(lineFileName).size(), 7680u);
}

TEST_F(RowFilesTest, ReadsUpToTheRingLength) {
  std::vector<std::uint8_t> row(768, stateA);
  row[10] = stateB;
  row[300] = stateC;
  putFile(lineFileName, row);
  ring.ringLength = 256;
  ring.cells[300] = stateB;
  EXPECT_EQ(readRowFile(lineFileName, ring).outcome, RowLoad::loaded);
  EXPECT_EQ(ring.cells[10], stateB);
  EXPECT_EQ(ring.cells[300], stateB);  // byte 300 lies past the 256-cell ring

  putFile("short.dat", {stateC, stateC});
  ring.cells[2] = stateB;
  EXPECT_EQ(readRowFile("short.dat", ring).outcome, RowLoad::loaded);
  EXPECT_EQ(ring.cells[1], stateC);
  EXPECT_EQ(ring.cells[2], stateB);  // the rest keeps its states
}

TEST_F(RowFilesTest, MissingAndForeignFilesLeaveTheRing) {
  ring.cells[5] = stateB;
  const auto before = ring.cells;
  EXPECT_EQ(readRowFile("absent.dat", ring).outcome, RowLoad::missing);
  EXPECT_EQ(ring.cells, before);

  std::vector<std::uint8_t> row(768, stateA);
  row[0] = stateC;
  row[42] = 7;
  putFile(lineFileName, row);
  const RowLoadResult r = readRowFile(lineFileName, ring);
  EXPECT_EQ(r.outcome, RowLoad::rejected);
  EXPECT_EQ(ring.cells, before);  // not even cell 0 changed
  EXPECT_NE(r.message.find("line.dat"), std::string::npos);
  EXPECT_NE(r.message.find("cell 42"), std::string::npos);

  // A foreign byte past the ring's length is never read, so it does no harm.
  row[42] = stateA;
  row[500] = 9;
  putFile(lineFileName, row);
  ring.ringLength = 256;
  EXPECT_EQ(readRowFile(lineFileName, ring).outcome, RowLoad::loaded);
}

}  // namespace
}  // namespace ondrix
