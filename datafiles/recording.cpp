#include "ondrix/datafiles/recording.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "ondrix/automaton/reversal.h"
#include "ondrix/datafiles/files.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/automaton/display.h"
#include "ondrix/mainwindow/runcontrol.h"

namespace ondrix {

namespace {

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int b = 0; b < 4; ++b) out[at + b] = static_cast<std::uint8_t>(v >> (8 * b));
}

std::uint32_t get32(const std::uint8_t* f, std::size_t at) {
  return f[at] | (f[at + 1] << 8) | (f[at + 2] << 16) | (static_cast<std::uint32_t>(f[at + 3]) << 24);
}

std::uint32_t get16(const std::uint8_t* f, std::size_t at) { return f[at] | (f[at + 1] << 8); }

constexpr std::uint32_t headerSize = 54;
constexpr std::uint32_t pixelBytes = captureRowBytes * captureHeight;
constexpr const char* frameFolder = "video";
// Columns of the two navy lines that frame the picture's rows.
constexpr int frameLineLeft = 8;
constexpr int frameLineRight = 780;

}  // namespace

std::vector<std::uint8_t> makeFrameTemplate(Rgb fill) {
  // As long as a frame, so that the size in the header is every frame's size.
  std::vector<std::uint8_t> bmp(frameTemplateSize, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(bmp, 2, frameTemplateSize);  // file size
  put32(bmp, 10, headerSize);              // pixel-data offset
  put32(bmp, 14, 40);                      // information header size
  put32(bmp, 18, captureWidth);
  put32(bmp, 22, captureHeight);  // positive: rows bottom-up
  bmp[26] = 1;                    // planes
  bmp[28] = 24;                   // bits per pixel
  put32(bmp, 34, pixelBytes);
  put32(bmp, 38, 2835);  // 72 dots per inch
  put32(bmp, 42, 2835);
  for (std::uint32_t p = headerSize; p < headerSize + pixelBytes; p += 3) {
    bmp[p] = fill.b;
    bmp[p + 1] = fill.g;
    bmp[p + 2] = fill.r;
  }
  return bmp;
}

std::optional<std::size_t> readFrameTemplate(FrameTemplate& frame) { return readPrefix(frameTemplateName, frame); }

std::uint32_t pixelDataOffset(std::span<const std::uint8_t, frameTemplateSize> frame) { return get32(frame.data(), 10); }

bool isFrameTemplate(std::span<const std::uint8_t, frameTemplateSize> frame) {
  const std::uint32_t offset = pixelDataOffset(frame);
  const std::uint8_t* f = frame.data();
  return f[0] == 'B' && f[1] == 'M' && static_cast<std::int32_t>(get32(f, 18)) == captureWidth &&
         static_cast<std::int32_t>(get32(f, 22)) == captureHeight && get16(f, 28) == 24 && get32(f, 30) == 0 &&
         offset >= headerSize && offset <= frameTemplateSize - pixelBytes;
}

std::string frameFileName(std::int32_t n) {
  const std::string zeros = n < 10 ? "000" : n < 100 ? "00" : n < 1000 ? "0" : "";
  return std::string(frameFolder) + static_cast<char>(std::filesystem::path::preferred_separator) + "file" + zeros +
         std::to_string(n) + ".bmp";
}

int sweepFrameFiles() {
  int deleted = 0;
  for (int n = 0; n < frameSweepLimit; ++n) {
    const std::string name = frameFileName(n);
    if (!isRegularFile(name)) break;
    deleted += removeFile(name) ? 1 : 0;
  }
  return deleted;
}

void startRecording(OndrixState& st) {
  st.ring.stepsPerTick = 8;
  sweepFrameFiles();
  st.ring.timeStep = 0;
  Recording& rec = st.recording;
  rec.framesWritten = 0;
  rec.firstFrame = rec.frameCounter;
  rec.startedBackward = st.ring.runBackward != 0;
}

void composeFrame(Recording& rec, RingDisplay& display) {
  std::vector<std::uint8_t>& frame = rec.frame;
  frame.assign(rec.frameTemplate.begin(), rec.frameTemplate.end());
  if (!isFrameTemplate(rec.frameTemplate)) {
    // The program's own header: the file is a valid picture whatever the template held.
    static const std::vector<std::uint8_t> header = makeFrameTemplate({0, 0, 0});
    std::copy_n(header.begin(), headerSize, frame.begin());
  }
  // The pixel-data offset as the frame now holds it; a usable one, checked above.
  const std::uint32_t offset = get32(frame.data(), 10);
  for (int y = 0; y < captureHeight; ++y) {
    std::uint8_t* out = frame.data() + offset + static_cast<std::size_t>(captureHeight - 1 - y) * captureRowBytes;
    const std::uint32_t* row = display.pictureRow(y);
    if (!row) {
      std::fill_n(out, captureRowBytes, 0);
    } else {
      for (int x = 0; x < captureWidth; ++x) {
        out[3 * x] = static_cast<std::uint8_t>(row[x]);
        out[3 * x + 1] = static_cast<std::uint8_t>(row[x] >> 8);
        out[3 * x + 2] = static_cast<std::uint8_t>(row[x] >> 16);
      }
    }
    for (const int x : {frameLineLeft, frameLineRight}) {  // the navy lines the window draws over the rows
      out[3 * x] = 0x80;
      out[3 * x + 1] = out[3 * x + 2] = 0;
    }
  }
}

WriteOutcome captureFrame(OndrixState& st, RingDisplay& display) {
  Recording& rec = st.recording;
  composeFrame(rec, display);
  const WriteOutcome written =
      ensureFolder(frameFolder) ? writeWhole(rec.frameName, rec.frame)
                                : WriteOutcome{std::string(frameFolder) + ": " + std::strerror(errno)};
  display.showFileOutcome(FileKind::write, written ? std::string() : "Could not write " + rec.frameName);
  return written;
}

bool recordingTick(OndrixState& st, RingDisplay& display) {
  AutomatonState& ring = st.ring;
  Recording& rec = st.recording;
  advanceRun(st, display);
  readFrameTemplate(rec.frameTemplate);
  rec.frameName = frameFileName(rec.frameCounter);
  const WriteOutcome written = captureFrame(st, display);
  rec.frameCounter = static_cast<std::int32_t>(static_cast<std::uint32_t>(rec.frameCounter) + 1u);
  if (!written) {
    // Frames after a lost one would leave a gap in the numbered series.
    display.showFileOutcome(FileKind::write, "Recording stopped: could not write " + written.failure);
    return false;
  }
  rec.framesWritten += 1;
  if (ring.timeStep >= recordingTurnTime && ring.runBackward == 0) reverseRing(st, display);
  const std::string frames = std::to_string(rec.framesWritten) + (rec.framesWritten == 1 ? " frame" : " frames");
  if (ring.timeStep >= 0) {
    display.showStatus("Recording: " + frames + ", T = " + std::to_string(ring.timeStep));
    return true;
  }
  const auto shortName = [](std::int32_t n) { return frameFileName(n).substr(std::string(frameFolder).size() + 1); };
  std::string done = "Recorded " + frames + " to " + frameFolder + "/ (" + shortName(rec.firstFrame);
  if (rec.framesWritten > 1) done += " to " + shortName(rec.frameCounter - 1);
  done += ")";
  if (rec.startedBackward && rec.framesWritten == 1) {
    done += ": the run went backward from T = 0; press \"Revers\" first to record forward";
  }
  display.showStatus(done);
  return false;
}

}  // namespace ondrix
