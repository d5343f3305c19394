// Frame recording files: the bitmap template "data/filedem.bmp" that every
// frame copies, and the frame file names.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ondrix/automaton/rgb.h"
#include "ondrix/datafiles/files.h"

namespace ondrix {

inline constexpr std::int32_t captureWidth = 792;
inline constexpr std::int32_t captureHeight = 32;
inline constexpr std::int32_t captureRowBytes = 3 * captureWidth;  // 2376, no padding
inline constexpr std::size_t frameTemplateSize = 256000;
inline const std::string frameTemplateName = "data/filedem.bmp";

using FrameTemplate = std::array<std::uint8_t, frameTemplateSize>;

struct OndrixState;
struct RingDisplay;

// The recording's own state, kept for the whole program.
struct Recording {
  std::int32_t frameCounter = 0;  // number of the next frame file; never reset
  std::string frameName;          // the frame file being written
  FrameTemplate frameTemplate{};  // the template as last read
  std::vector<std::uint8_t> frame;  // the frame being built, 256000 bytes
  // This recording: frames written, the first one's number, and whether the
  // run went backward from its start (it then ends after one frame).
  std::int32_t framesWritten = 0;
  std::int32_t firstFrame = 0;
  bool startedBackward = false;
};

inline constexpr std::int32_t recordingTurnTime = 1600;  // the run reverses here
inline constexpr int frameSweepLimit = 2000;

// "video/file0007.bmp": four digits at least, file12345.bmp from 10000 on.
std::string frameFileName(std::int32_t n);

// Deletes the frame files from number 0 upward while they are contiguous,
// at most 2000; a file that cannot be deleted is skipped. Returns how many
// were deleted.
int sweepFrameFiles();

// "Record Vdeo": stepsPerTick 8 (the steps field keeps its text), the sweep,
// timeStep 0, the recording's own count from 0. The caller starts the
// recording timer.
void startRecording(OndrixState& st);

// The capture, "ek v file 43": a 256000-byte copy of the template, whose
// header is replaced by a correct 792 x 32 24-bit header of the program's
// own when the template is no such bitmap; at its pixel-data offset the 32
// rows of the picture's top-left band, bottom row first, each pixel blue,
// green, red. Written to frameName; the "video" folder is made when
// missing. A failed write is shown in the status bar. Returns whether the
// file was written, and why not.
WriteOutcome captureFrame(OndrixState& st, RingDisplay& display);

// The frame itself, built in rec.frame from rec.frameTemplate and the
// picture, without writing it.
void composeFrame(Recording& rec, RingDisplay& display);

// One recording tick: advanceRun, the template read again, the frame file
// named and captured, the counter moved on; a forward run that has reached
// T >= 1600 is reversed. Returns false when the recording has ended (T
// below 0), or when the frame could not be written: the recording stops
// there, and the status bar names the frame and the cause. While it goes on
// the status bar shows the frame's number and T; at its end, how many
// frames went where (and, for a run that went backward from the start, why
// there is only one).
bool recordingTick(OndrixState& st, RingDisplay& display);

// A 24-bit bitmap of 792 x 32 pixels, bottom-up, every pixel `fill`, with
// its pixel data at offset 54, padded with zeros to the 256000 bytes of a
// frame (the size its header gives).
std::vector<std::uint8_t> makeFrameTemplate(Rgb fill);

// Reads up to 256000 bytes of the template into `frame`; the rest keeps its
// bytes. Returns the bytes read, or nothing when the template is missing.
std::optional<std::size_t> readFrameTemplate(FrameTemplate& frame);

// The pixel-data offset, the unsigned 32-bit value at byte 10.
std::uint32_t pixelDataOffset(std::span<const std::uint8_t, frameTemplateSize> frame);

// Whether the bytes start a bitmap the frames can use: "BM", 792 x 32
// pixels, 24 bits, uncompressed, pixel data inside the 256000 bytes.
bool isFrameTemplate(std::span<const std::uint8_t, frameTemplateSize> frame);

}  // namespace ondrix
