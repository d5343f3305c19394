#include "ondrix/datafiles/examples.h"

#include <gtest/gtest.h>

#include "ondrix/mainwindow/ondrixstate.h"
#include "tests/support/testsupport.h"

namespace ondrix {
namespace {

// Each example loads its own file; 7 and 8 draw under Dont show too; T is 0
// afterwards whatever the file.
TEST(Examples, EachButtonLoadsItsOwnFile) {
  testing::ScratchFolder folder;
  for (int n = 1; n <= exampleCount; ++n) testing::putFile(exampleFileName(n), std::vector<std::uint8_t>(768, n % 2));
  testing::putFile("Exp3.dat", {2, 2, 3});
  std::filesystem::remove("Exp5.dat");
  for (bool dontShow : {false, true}) {
    for (int n = 1; n <= exampleCount; ++n) {
      OndrixState st;
      st.dontShow = dontShow;
      st.ring.ringLength = 256;
      st.ring.cells.fill(stateA);
      st.ring.timeStep = 64;
      testing::FakeDisplay display;
      loadExample(st, display, n);
      const bool unchanged = n == 3 || n == 5;
      EXPECT_EQ(st.ring.cells[0], unchanged ? stateA : n % 2) << n;
      EXPECT_EQ(st.ring.cells[255], unchanged ? stateA : n % 2) << n;
      EXPECT_EQ(st.ring.cells[256], stateA) << n;  // the ring's length only
      EXPECT_EQ(st.ring.timeStep, 0);
      EXPECT_EQ(display.paints, !dontShow || n >= 7 ? 1 : 0) << n;
      EXPECT_EQ(display.status.find("Could not read Exp3.dat: cell 2 holds 3") == 0, n == 3) << display.status;
    }
  }
}

}  // namespace
}  // namespace ondrix
