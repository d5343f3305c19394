// Helpers shared by the core tests: a display that records what the core
// asks of it, a scratch working folder, and small file utilities.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "ondrix/mainwindow/picture.h"
#include "ondrix/mainwindow/statistics.h"

namespace ondrix::testing {

class FakeDisplay : public RingDisplay {
 public:
  void paintRing(const AutomatonState& ring) override {
    ++paints;
    calls += 'P';
    paintedCells.assign(ring.cells.begin(), ring.cells.begin() + ring.ringLength);
  }
  void showTime(std::int32_t t) override {
    ++timeShown;
    calls += 'T';
    lastTime = t;
  }
  void showPercent(std::int32_t p) override {
    ++percentShown;
    calls += '%';
    lastPercent = p;
  }
  void showStatus(const std::string& text) override {
    status = text;
    statuses.push_back(text);
  }
  void showGhostParameters(const Statistics& s) override {
    ++ghostShown;
    ghost = s;
  }
  void showSampleCount(std::int32_t samples) override {
    ++samplesShown;
    lastSamples = samples;
  }
  void showSearchCounts(std::int32_t nsol, std::int32_t nstrun) override {
    ++searchCountsShown;
    shownNsol = nsol;
    shownNstrun = nstrun;
  }

  void showFileOutcome(FileKind kind, const std::string& failure) override {
    outcomes.emplace_back(kind, failure);
    if (!failure.empty()) showStatus(failure);
  }

  // A picture whose pixel (x, y) is 0x00yyxx, x taken mod 256.
  const std::uint32_t* pictureRow(int y) override {
    picture.resize(800);
    for (int x = 0; x < 800; ++x) picture[x] = static_cast<std::uint32_t>(((y & 0xFF) << 8) | (x & 0xFF));
    return picture.data();
  }

  int paints = 0, timeShown = 0, percentShown = 0, ghostShown = 0, samplesShown = 0;
  Statistics ghost;
  std::int32_t lastSamples = 0;
  int searchCountsShown = 0;
  std::int32_t shownNsol = -1, shownNstrun = -1;
  std::int32_t lastTime = 0, lastPercent = 0;
  std::string status;
  std::vector<std::string> statuses;  // every text the status bar was given
  std::string calls;  // T, P and % in the order they came
  std::vector<std::uint8_t> paintedCells;
  std::vector<std::pair<FileKind, std::string>> outcomes;
  std::vector<std::uint32_t> picture;
};

// A ring of `length` cells, all A; the storage beyond it as at program start.
inline AutomatonState clearedRing(std::int32_t length) {
  AutomatonState s;
  s.ringLength = length;
  clearRing(s);
  return s;
}

// Makes a fresh folder the working folder for the lifetime of the object.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path previous_, path_;
};

std::vector<std::uint8_t> fileBytes(const std::string& name);
void putFile(const std::string& name, const std::vector<std::uint8_t>& bytes);

}  // namespace ondrix::testing
