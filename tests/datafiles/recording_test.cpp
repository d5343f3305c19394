#include "datafiles/recording.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace ondrix {
namespace {

FrameTemplate asTemplate(const std::vector<std::uint8_t>& bytes) {
  FrameTemplate frame{};
  std::copy_n(bytes.begin(), std::min(bytes.size(), frame.size()), frame.begin());
  return frame;
}

TEST(FrameTemplate, MadeTemplateIsABottomUpBitmapOfTheBand) {
  const auto bmp = makeFrameTemplate({240, 200, 100});
  ASSERT_EQ(bmp.size(), 54u + 32u * 2376u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(bmp[2] | (bmp[3] << 8) | (bmp[4] << 16), 76086);
  EXPECT_EQ(bmp[18] | (bmp[19] << 8), 792);
  EXPECT_EQ(bmp[22], 32);  // positive height: rows bottom-up
  EXPECT_EQ(bmp[28], 24);
  // Pixels blue, green, red.
  EXPECT_EQ(bmp[54], 100);
  EXPECT_EQ(bmp[55], 200);
  EXPECT_EQ(bmp[56], 240);
  EXPECT_EQ(bmp.back(), 240);
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
  bmp = makeFrameTemplate({0, 0, 0});
  bmp[12] = 0x04;  // pixel data at 262198: past the 256000 bytes a frame copies
  EXPECT_FALSE(isFrameTemplate(asTemplate(bmp)));
}

}  // namespace
}  // namespace ondrix
