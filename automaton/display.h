// The two seams through which the engine shows its work: the ring picture
// and the readouts (labels and status bar). The window implements both;
// NullDisplay shows nothing, for work off screen. No toolkit here.
#pragma once

#include <cstdint>
#include <string>

namespace ondrix {

struct AutomatonState;
struct Statistics;

// The kinds of file command whose failures the status bar reports.
enum class FileKind { load, write };

// What the ring picture needs: paint the ring, and read a row back (the
// frames of a recording are copied from it).
struct PictureDisplay {
  virtual ~PictureDisplay() = default;
  virtual void paintRing(const AutomatonState& ring) = 0;  // bars, dots, colours
  // Row y (0..31) of the picture as it stands, pixels 0xRRGGBB from x = 0,
  // at least 792 of them; nothing when there is no picture.
  virtual const std::uint32_t* pictureRow(int y) = 0;
};

// What the readouts need: the labels and the status bar.
struct Readouts {
  virtual ~Readouts() = default;
  virtual void showTime(std::int32_t t) = 0;               // the T label
  virtual void showPercent(std::int32_t percent) = 0;      // after "N(B)+N(C)="
  virtual void showStatus(const std::string& text) = 0;    // the status bar
  virtual void showGhostParameters(const Statistics& s) = 0;  // "Ghost par" box
  virtual void showSampleCount(std::int32_t samples) = 0;     // Manage box
  virtual void showSearchCounts(std::int32_t nsol, std::int32_t nstrun) = 0;  // hidden labels
  // A file command's outcome: a failure shows its message in the status bar;
  // a success (empty message) takes away a failure of the same kind.
  virtual void showFileOutcome(FileKind kind, const std::string& failure) = 0;
};

// Both, as the window is: what the commands of the window's controls take.
struct RingDisplay : PictureDisplay, Readouts {};

// A display that shows nothing: for searches and tools that run off screen.
struct NullDisplay : RingDisplay {
  void paintRing(const AutomatonState&) override {}
  void showTime(std::int32_t) override {}
  void showPercent(std::int32_t) override {}
  void showStatus(const std::string&) override {}
  void showGhostParameters(const Statistics&) override {}
  void showSampleCount(std::int32_t) override {}
  void showSearchCounts(std::int32_t, std::int32_t) override {}
  void showFileOutcome(FileKind, const std::string&) override {}
  const std::uint32_t* pictureRow(int) override { return nullptr; }
};

}  // namespace ondrix
