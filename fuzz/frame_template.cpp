// One frame composed from a template of any bytes: whatever the template
// holds, the frame is a 256000-byte 792 x 32 24-bit bitmap whose rows are
// the picture's.
#include <algorithm>

#include "ondrix/datafiles/recording.h"
#include "fuzz/fuzzsupport.h"
#include "ondrix/mainwindow/picture.h"

using namespace ondrix;

namespace {

// A picture whose pixel (x, y) is 0x00yyxx, made once.
struct CoordinatePicture : NullDisplay {
  const std::uint32_t* pictureRow(int y) override {
    static const auto picture = [] {
      std::array<std::array<std::uint32_t, 800>, captureHeight> p{};
      for (int r = 0; r < captureHeight; ++r) {
        for (int x = 0; x < 800; ++x) p[r][x] = static_cast<std::uint32_t>(((r & 0xFF) << 8) | (x & 0xFF));
      }
      return p;
    }();
    return picture[y].data();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Recording rec;
  static std::size_t previous = 0;  // the template's bytes past the input are zero
  const std::size_t used = std::min(size, frameTemplateSize);
  std::copy_n(data, used, rec.frameTemplate.begin());
  if (previous > used) std::fill(rec.frameTemplate.begin() + used, rec.frameTemplate.begin() + previous, 0);
  previous = used;
  CoordinatePicture display;
  composeFrame(rec, display);
  ONDRIX_CHECK(rec.frame.size() == frameTemplateSize);
  const std::span<const std::uint8_t, frameTemplateSize> frame(rec.frame.data(), frameTemplateSize);
  ONDRIX_CHECK(isFrameTemplate(frame));
  const std::uint32_t offset = pixelDataOffset(frame);
  const std::uint8_t* top = frame.data() + offset + 31 * captureRowBytes;  // window row 0
  ONDRIX_CHECK(top[3 * 100] == 100 && top[3 * 100 + 1] == 0 && top[3 * 100 + 2] == 0);
  return 0;
}
