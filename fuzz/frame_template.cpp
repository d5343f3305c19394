// One frame composed from a template of any bytes: whatever the template
// holds, the frame is a 256000-byte 792 x 32 24-bit bitmap whose rows are
// the picture's.
#include <algorithm>

#include "datafiles/recording.h"
#include "fuzz/fuzzsupport.h"
#include "mainwindow/picture.h"

using namespace ondrix;

namespace {

// A picture whose pixel (x, y) is 0x00yyxx.
struct PictureDisplay : NullDisplay {
  std::array<std::uint32_t, 800> row{};
  const std::uint32_t* pictureRow(int y) override {
    for (int x = 0; x < 800; ++x) row[x] = static_cast<std::uint32_t>(((y & 0xFF) << 8) | (x & 0xFF));
    return row.data();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Recording rec;
  rec.frameTemplate.fill(0);
  std::copy_n(data, std::min(size, frameTemplateSize), rec.frameTemplate.begin());
  PictureDisplay display;
  composeFrame(rec, display);
  ONDRIX_CHECK(rec.frame.size() == frameTemplateSize);
  FrameTemplate frame{};
  std::copy(rec.frame.begin(), rec.frame.end(), frame.begin());
  ONDRIX_CHECK(isFrameTemplate(frame));
  const std::uint32_t offset = pixelDataOffset(frame);
  const std::uint8_t* top = frame.data() + offset + 31 * captureRowBytes;  // window row 0
  ONDRIX_CHECK(top[3 * 100] == 100 && top[3 * 100 + 1] == 0 && top[3 * 100 + 2] == 0);
  return 0;
}
