// The frame template reader, then one frame captured from it: whatever the
// template holds, the frame is a 256000-byte 792 x 32 24-bit bitmap whose
// rows are the picture's.
#include <algorithm>

#include "datafiles/recording.h"
#include "fuzz/fuzzsupport.h"
#include "mainwindow/ondrixstate.h"
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
  fuzz::enterScratchFolder();
  fuzz::putInput(frameTemplateName, data, size);
  static OndrixState st;
  st.recording.frameTemplate.fill(0);
  st.recording.frameName = frameFileName(0);
  ONDRIX_CHECK(readFrameTemplate(st.recording.frameTemplate) == std::min(size, frameTemplateSize));
  PictureDisplay display;
  ONDRIX_CHECK(captureFrame(st, display));
  FrameTemplate frame{};
  const std::string name = frameFileName(0);
  ONDRIX_CHECK(readPrefix(name, frame) == frameTemplateSize);
  ONDRIX_CHECK(isFrameTemplate(frame));
  const std::uint32_t offset = pixelDataOffset(frame);
  const std::uint8_t* top = frame.data() + offset + 31 * captureRowBytes;  // window row 0
  ONDRIX_CHECK(top[3 * 100] == 100 && top[3 * 100 + 1] == 0 && top[3 * 100 + 2] == 0);
  return 0;
}
