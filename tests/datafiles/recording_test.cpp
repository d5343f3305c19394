#include "ondrix/datafiles/recording.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "ondrix/datafiles/files.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "tests/support/testsupport.h"

namespace ondrix {
namespace {

FrameTemplate asTemplate(const std::vector<std::uint8_t>& bytes) {
  FrameTemplate frame{};
  std::copy_n(bytes.begin(), std::min(bytes.size(), frame.size()), frame.begin());
  return frame;
}

TEST(FrameTemplate, MadeTemplateIsABottomUpBitmapOfTheBand) {
  const auto bmp = makeFrameTemplate({240, 200, 100});
  ASSERT_EQ(bmp.size(), 256000u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(bmp[2] | (bmp[3] << 8) | (bmp[4] << 16), 256000);
  EXPECT_EQ(bmp[18] | (bmp[19] << 8), 792);
  EXPECT_EQ(bmp[22], 32);  // positive height: rows bottom-up
  EXPECT_EQ(bmp[28], 24);
  // Pixels blue, green, red.
  EXPECT_EQ(bmp[54], 100);
  EXPECT_EQ(bmp[55], 200);
  EXPECT_EQ(bmp[56], 240);
  EXPECT_EQ(bmp[54 + 76032 - 1], 240);
  EXPECT_EQ(bmp.back(), 0);
  const FrameTemplate frame = asTemplate(bmp);
  EXPECT_TRUE(isFrameTemplate(frame));
  EXPECT_EQ(pixelDataOffset(frame), 54u);
}

TEST(FrameTemplate, OtherFilesAreNoTemplate) {
  EXPECT_FALSE(isFrameTemplate(FrameTemplate{}));  // a missing template leaves zeros
  auto bmp = makeFrameTemplate({0, 0, 0});
  bmp[28] = 16;
  EXPECT_FALSE(isFrameTemplate(asTemplate(bmp)));
  bmp = makeFrameTemplate({0, 0, 0});
  bmp[18] = 0;  // width 768
  bmp[19] = 3;
  EXPECT_FALSE(isFrameTemplate(asTemplate(bmp)));
  for (std::uint32_t offset : {262198u, 179969u, 0xFFFED700u, 0xFFFFFFFFu}) {  // past the 256000 bytes, or wrapping
    bmp = makeFrameTemplate({0, 0, 0});
    for (int b = 0; b < 4; ++b) bmp[10 + b] = static_cast<std::uint8_t>(offset >> (8 * b));
    EXPECT_FALSE(isFrameTemplate(asTemplate(bmp))) << offset;
  }
}

TEST(Recording, FrameFileNames) {
  const std::string sep(1, static_cast<char>(std::filesystem::path::preferred_separator));
  for (auto [n, name] : {std::pair{0, "file0000.bmp"}, std::pair{7, "file0007.bmp"}, std::pair{42, "file0042.bmp"},
                         std::pair{321, "file0321.bmp"}, std::pair{1000, "file1000.bmp"}, std::pair{12345, "file12345.bmp"}}) {
    EXPECT_EQ(frameFileName(n), "video" + sep + name);
  }
}

class RecordingFiles : public ::testing::Test {
 protected:
  ondrix::testing::ScratchFolder folder;
};

TEST_F(RecordingFiles, TheSweepStopsAtTheFirstGap) {
  std::filesystem::create_directory("video");
  for (int n : {0, 1, 2, 3, 4, 6}) ondrix::testing::putFile(frameFileName(n), {1});
  EXPECT_EQ(sweepFrameFiles(), 5);
  for (int n : {0, 4}) EXPECT_FALSE(std::filesystem::exists(frameFileName(n)));
  EXPECT_TRUE(std::filesystem::exists(frameFileName(6)));
}

// A frame: the template's bytes, the band's rows bottom-up at its offset,
// or the program's own header when the template is none.
TEST_F(RecordingFiles, FramesCopyTheTemplateAndTheBand) {
  struct Case {
    std::vector<std::uint8_t> templateFile;  // empty: none
    std::uint32_t offset;
  };
  auto shifted = makeFrameTemplate({1, 2, 3});
  shifted.insert(shifted.begin() + 54, 100, 0x77);  // pixel data 100 bytes later
  shifted[10] = 154;
  auto wrapping = makeFrameTemplate({1, 2, 3});
  for (int b = 0; b < 4; ++b) wrapping[10 + b] = static_cast<std::uint8_t>(0xFFFED700u >> (8 * b));
  for (const Case& c : {Case{makeFrameTemplate({9, 9, 9}), 54}, Case{shifted, 154}, Case{wrapping, 54}, Case{{}, 54}}) {
    std::filesystem::remove_all("video");
    std::filesystem::remove_all("data");
    if (!c.templateFile.empty()) {
      std::filesystem::create_directory("data");
      ondrix::testing::putFile(frameTemplateName, c.templateFile);
    }
    OndrixState st;
    st.dontShow = true;
    st.recording.frameCounter = 42;
    testing::FakeDisplay display;
    EXPECT_TRUE(recordingTick(st, display));
    EXPECT_EQ(st.recording.frameCounter, 43);
    const auto frame = ondrix::testing::fileBytes(frameFileName(42));
    ASSERT_EQ(frame.size(), frameTemplateSize);
    const FrameTemplate asRead = asTemplate(frame);
    EXPECT_TRUE(isFrameTemplate(asRead));
    EXPECT_EQ(pixelDataOffset(asRead), c.offset);
    if (c.offset == 154) {
      EXPECT_EQ(frame[100], 0x77);  // the template's own bytes
    }
    for (int y : {0, 5, 31}) {
      const std::size_t row = c.offset + 2376u * (31 - y);
      for (int x : {0, 7, 8, 300, 780, 791}) {
        const bool navy = x == 8 || x == 780;
        EXPECT_EQ(frame[row + 3 * x], navy ? 0x80 : x & 0xFF) << x << "," << y;  // blue
        EXPECT_EQ(frame[row + 3 * x + 1], navy ? 0 : y);                         // green
        EXPECT_EQ(frame[row + 3 * x + 2], 0);                                    // red
      }
    }
  }
}

// Forward until T >= 1600, reversed, on until T < 0: with 8 steps a tick
// 401 frames; with 3 steps the turn comes at 1602 and it still ends.
TEST_F(RecordingFiles, ARecordingTurnsAndEnds) {
  for (std::int16_t steps : {8, 3}) {
    OndrixState st;
    st.dontShow = true;
    st.ring.ringLength = 256;
    clearRing(st.ring);
    st.ring.timeStep = 77;
    startRecording(st);
    EXPECT_EQ(st.ring.stepsPerTick, 8);
    EXPECT_EQ(st.ring.timeStep, 0);
    st.ring.stepsPerTick = steps;
    testing::FakeDisplay display;
    int ticks = 0, turnedAt = 0;
    while (recordingTick(st, display)) {
      ++ticks;
      if (st.ring.runBackward && !turnedAt) turnedAt = ticks;
      ASSERT_TRUE(removeFile(frameFileName(ticks - 1)));
      ASSERT_LT(ticks, 2000);
    }
    EXPECT_EQ(st.recording.frameCounter, ticks + 1);
    if (steps == 8) {
      EXPECT_EQ(ticks + 1, 401);
      EXPECT_EQ(turnedAt, 200);
      EXPECT_EQ(st.ring.timeStep, -8);
    } else {
      EXPECT_EQ(turnedAt, 534);  // T = 1602
      EXPECT_EQ(st.ring.timeStep, -3);
    }
    st.recording.frameCounter = 0;
  }
}

}  // namespace
}  // namespace ondrix
