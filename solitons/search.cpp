#include "ondrix/solitons/search.h"

#include <algorithm>
#include <array>
#include <bit>
#include <atomic>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_set>
#include <utility>
#include <vector>

#include "ondrix/automaton/bitslice.h"
#include "ondrix/automaton/workers.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/automaton/display.h"

namespace ondrix {

namespace {

// What became of one seed.
struct SeedOutcome {
  enum Kind : std::uint8_t { dropped, moved, spread } kind = dropped;
  std::int32_t least = 0, period = 0, shift = 0;  // for moved
  std::int32_t lastOffset = 0;                    // codeLastOffset when the seed ended
};

void writeSeed(AutomatonState& ring, int n) {
  for (int j = 0; j < seedCells; ++j) {
    const std::int32_t pos = ring.insertPos + j;
    if (pos >= 0 && pos < ringCapacity) ring.cells[pos] = seedCell(n, j);
  }
}

// Follows a seed written on the cleared ring until it returns, spreads or
// runs out of generations; `generation` computes one generation and `first`
// finds the first live cell afterwards.
template <typename Generation, typename First>
SeedOutcome followSeed(AutomatonState& ring, Generation generation, First first) {
  SeedOutcome out;
  const std::int32_t start0 = firstLiveCell(ring);
  const std::int32_t code0 = encodePattern(ring, start0, searchWindow);
  std::int32_t least = code0;
  for (int t = 0; t < searchGenerations; ++t) {
    generation();
    const std::int32_t start = first();
    const std::int32_t code = encodePattern(ring, start, searchWindow);
    least = std::min(least, code);
    if (code == code0) {
      if (start > start0) out = {SeedOutcome::moved, least, t + 1, start - start0, 0};
      break;  // in place, or moved towards lower indices: not recorded
    }
    if (ring.codeLastOffset >= spreadLimit) {
      out.kind = SeedOutcome::spread;
      break;
    }
  }
  out.lastOffset = ring.codeLastOffset;
  return out;
}

// One seed the plain way: the whole ring is cleared and stepped.
SeedOutcome runSeedPlainly(AutomatonState& ring, int n) {
  clearRing(ring);
  writeSeed(ring, n);
  return followSeed(ring, [&] { stepGeneration(ring); }, [&] { return firstLiveCell(ring); });
}

// A worker's ring. With a quiet background (entry 0 is 0) only the live
// span widened by 4 cells can change, so a generation steps just that span;
// near the ends of the ring, where the neighbourhood wraps, and for a
// restless background it steps the whole ring. The ring is all A between
// seeds, so only the cells a seed touched are cleared after it.
class SeedRunner {
 public:
  explicit SeedRunner(const AutomatonState& start) : ring_(start) {
    clearRing(ring_);
    quiet_ = ring_.ruleTable[0] == 0;
  }

  SeedOutcome run(int n) {
    writeSeed(ring_, n);
    findSpan(ring_.insertPos, ring_.insertPos + seedCells - 1);
    touchedLow_ = ring_.insertPos;
    touchedHigh_ = ring_.insertPos + seedCells - 1;
    const SeedOutcome out = followSeed(ring_, [&] { generation(); }, [&] { return empty() ? ring_.ringLength : low_; });
    if (touchedLow_ == 0 && touchedHigh_ == ring_.ringLength - 1) {
      clearRing(ring_);
    } else {
      std::fill(ring_.cells.begin() + touchedLow_, ring_.cells.begin() + touchedHigh_ + 1, stateA);
    }
    return out;
  }

 private:
  static constexpr std::int32_t reach = 4;

  bool empty() const { return low_ > high_; }

  void generation() {
    const std::int32_t n = ring_.ringLength;
    if (empty() && quiet_) return;  // an all-A ring stays all A
    if (quiet_ && low_ >= 2 * reach && high_ + 2 * reach < n) {
      stepSpan(ring_, low_ - reach, high_ + reach);
      touchedLow_ = std::min(touchedLow_, low_ - reach);
      touchedHigh_ = std::max(touchedHigh_, high_ + reach);
      findSpan(low_ - reach, high_ + reach);
    } else {
      stepGeneration(ring_);
      touchedLow_ = 0;
      touchedHigh_ = n - 1;
      findSpan(0, n - 1);
    }
  }

  // The live cells lie within from..to; finds the first and last of them.
  void findSpan(std::int32_t from, std::int32_t to) {
    from = std::max(from, 0);
    to = std::min(to, ring_.ringLength - 1);
    low_ = from;
    while (low_ <= to && ring_.cells[low_] == stateA) ++low_;
    high_ = to;
    while (high_ >= low_ && ring_.cells[high_] == stateA) --high_;
  }

  AutomatonState ring_;
  bool quiet_ = true;
  std::int32_t low_ = 0, high_ = -1;
  std::int32_t touchedLow_ = 0, touchedHigh_ = 0;
};

// A plain runner made when a worker first needs one: its ring is a copy of
// the whole state, which the batched search seldom needs.
class LazySeedRunner {
 public:
  explicit LazySeedRunner(const AutomatonState& start) : start_(start) {}
  SeedOutcome run(int n) {
    if (!runner_) runner_.emplace(start_);
    runs_ += 1;
    return runner_->run(n);
  }
  int runs() const { return runs_; }

 private:
  const AutomatonState& start_;
  std::optional<SeedRunner> runner_;
  int runs_ = 0;
};

// Many seeds at once, bit-sliced (see automaton/bitslice.h): each lane of
// a batch holds one seed's row in a 64-cell word that follows it along the
// ring. After every generation the row is moved back so that its first live
// cell is at bit `home`: it has come back when its words are the seed's, it
// has spread when its span reaches 19 cells. Only a returned seed needs its
// codes, for the least one, and it is replayed for them. Whatever the words
// cannot settle exactly goes to the plain runner, from the start: a row
// near the ring's ends, a wide row whose code window has a gap or whose
// 32-bit code might equal the seed's. Needs a quiet background (table entry
// 0 is 0) and the seeds inside the ring.
class BatchRunner {
 public:
  BatchRunner(const AutomatonState& start, LazySeedRunner& plain)
      : rule_(start.ruleTable.data()),
        kernels_(bitslice::bestKernels()),
        plain_(plain),
        insertPos_(start.insertPos) {
    limits_.home = home;
    limits_.widthLimit = spreadLimit;
    limits_.startLow = 4;
    limits_.startHigh = start.ringLength - 4 - searchWindow;
    limits_.generationLimit = searchGenerations;
  }

  // Runs the seeds `next()` gives until it gives -1, handing each outcome
  // to done(n, outcome).
  template <typename Next, typename Done>
  void run(Next next, Done done) {
    int active = 0;
    for (int k = 0; k < lanes; ++k) active += fill(k, next, done);
    while (active > 0) {
      kernels_.step(rule_, batch_);
      for (std::uint32_t ending = kernels_.advance(limits_, batch_, tracks_); ending != 0; ending &= ending - 1) {
        const int k = std::countr_zero(ending);
        if (seed_[k] < 0) continue;
        done(seed_[k], outcome(k));
        active -= 1 - fill(k, next, done);
      }
    }
  }

 private:
  static constexpr int lanes = bitslice::lanes;
  // Bit of a row's first live cell. A row narrower than 19 cells then
  // keeps 4 bits of A on both sides of its word for the next generation.
  static constexpr int home = 24;

  // Puts the next seed into lane k; seeds the words cannot start run
  // plainly at once. Returns whether the lane is busy.
  template <typename Next, typename Done>
  int fill(int k, Next& next, Done& done) {
    for (int n = next(); n >= 0; n = next()) {
      std::uint64_t x = 0, y = 0;
      for (int j = 0; j < seedCells; ++j) {
        x |= std::uint64_t{seedCell(n, j) == stateC} << (home + j);
        y |= std::uint64_t{seedCell(n, j) == stateB} << (home + j);
      }
      const int low = std::countr_zero(x | y);
      start0_[k] = insertPos_ - home + low;
      if ((x | y) == 0 || !roomAround(start0_[k])) {
        done(n, plain_.run(n));
        continue;
      }
      seed_[k] = n;
      tracks_.startX[k] = batch_.x[k] = x >> low << home;
      tracks_.startY[k] = batch_.y[k] = y >> low << home;
      tracks_.offset[k] = start0_[k] - home;
      tracks_.width[k] = 63 - std::countl_zero(x | y) - low;
      tracks_.generations[k] = 0;
      return 1;
    }
    seed_[k] = -1;
    batch_.x[k] = batch_.y[k] = 0;
    return 0;
  }

  // Whether a row starting at ring index `start` is stepped and encoded
  // exactly as on the ring: no wrap-around, and its code window inside the
  // ring.
  bool roomAround(std::int64_t start) const { return start >= limits_.startLow && start <= limits_.startHigh; }

  // The outcome of the seed that has ended in lane k.
  SeedOutcome outcome(int k) {
    const std::uint64_t x = batch_.x[k], y = batch_.y[k], live = x | y;
    // Under a quiet background a row never dies: its C cells become B, and
    // B cells without C come back as C. Should one die all the same, the
    // windows would read the storage past the ring from then on.
    if (live == 0) return plain_.run(seed_[k]);
    const int low = std::countr_zero(live);
    const int width = 63 - std::countl_zero(live) - low;
    const std::int32_t start = static_cast<std::int32_t>(tracks_.offset[k] + low);
    if (!roomAround(start)) return plain_.run(seed_[k]);
    if (width < spreadLimit && (x >> low << home) == tracks_.startX[k] && (y >> low << home) == tracks_.startY[k]) {
      if (start <= start0_[k]) return {SeedOutcome::dropped, 0, 0, 0, width};
      return {SeedOutcome::moved, leastCode(k), static_cast<std::int32_t>(tracks_.generations[k]), start - start0_[k], width};
    }
    if (width >= spreadLimit) {
      // The code window's last live cell decides; a gap in the window, or
      // a code that wraps onto the seed's, is left to the plain runner.
      const std::uint64_t window = searchWindow < 64 - low ? (live >> low) & ((std::uint64_t{1} << searchWindow) - 1)
                                                            : live >> low;
      const int windowLast = 63 - std::countl_zero(window);
      if (windowLast < spreadLimit || bitslice::rowCode(x, y, low, searchWindow) == seedCode(k)) {
        return plain_.run(seed_[k]);
      }
      return {SeedOutcome::spread, 0, 0, 0, windowLast};
    }
    return {SeedOutcome::dropped, 0, 0, 0, width};  // out of generations
  }

  std::int32_t seedCode(int k) const {
    return bitslice::rowCode(tracks_.startX[k], tracks_.startY[k], home, searchWindow);
  }

  // The least code of the generations of the seed that has come back in
  // lane k, replayed row by row.
  std::int32_t leastCode(int k) const {
    std::uint64_t x = tracks_.startX[k], y = tracks_.startY[k];
    std::int32_t least = seedCode(k);
    for (int t = 0; t < tracks_.generations[k]; ++t) {
      const std::uint64_t next = bitslice::stepRow(rule_, x, y);
      const int low = std::countr_zero(next | x);
      least = std::min(least, bitslice::rowCode(next, x, low, searchWindow));
      y = x >> low << home;
      x = next >> low << home;
    }
    return least;
  }

  bitslice::SliceRule rule_;
  bitslice::Kernels kernels_;
  bitslice::Limits limits_;
  LazySeedRunner& plain_;
  std::int32_t insertPos_;
  bitslice::Batch batch_;
  // The width a track keeps is the last live cell's offset as the code
  // window last saw it.
  bitslice::Tracks tracks_;
  // Per lane: the seed (-1 when idle) and its first live cell.
  std::array<int, lanes> seed_{};
  std::array<std::int32_t, lanes> start0_{};
};

// What the seeds 0..count-1 came to: the ones that moved or spread, in seed
// order, and the code window's last offset as the last seed left it.
struct SeedFindings {
  std::vector<std::pair<int, SeedOutcome>> notable;
  std::int32_t lastOffset = 0;
  int runPlainly = 0;  // seeds run the plain way
};

// Seeds are taken in chunks from a shared counter, so that both fast and
// slow stretches of the enumeration spread over the workers. Each worker
// keeps its findings to itself until it is done: writing every outcome into
// one shared table, or taking small chunks, cost a worker half its speed.
SeedFindings runSeeds(const AutomatonState& start, int count, const SearchOptions& options) {
  constexpr int chunk = 128;
  constexpr int reportStep = 8;
  const unsigned threads =
      options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
  const bool batched = options.batched && start.ruleTable[0] == 0;
  std::atomic<int> next{0};
  // Finished seeds are reported in steps of eight, one report at a time,
  // so the counts reach the caller in increasing order.
  std::mutex reporting;
  int done = 0, reported = 0;
  auto report = [&](int finished) {
    const std::lock_guard<std::mutex> lock(reporting);
    done += finished;
    while (reported + reportStep <= done) (*options.poll)(reported += reportStep, seedCount);
    if (done == count && reported < done) (*options.poll)(reported = done, seedCount);
  };
  SeedFindings findings;
  std::mutex gathering;
  auto work = [&] {
    LazySeedRunner plain(start);
    std::vector<std::pair<int, SeedOutcome>> notable;
    std::int32_t lastOffset = -1;
    int first = 0, last = 0, unreported = 0;
    auto nextSeed = [&] {
      if (first == last) {
        first = options.poll && options.poll->cancelled() ? count : next.fetch_add(chunk);
        if (first >= count) {
          first = last;
          return -1;
        }
        last = std::min(first + chunk, count);
      }
      return first++;
    };
    auto finish = [&](int n, const SeedOutcome& o) {
      if (o.kind != SeedOutcome::dropped) notable.emplace_back(n, o);
      if (n == count - 1) lastOffset = o.lastOffset;
      if (options.poll && ++unreported == reportStep) report(std::exchange(unreported, 0));
    };
    if (batched) {
      BatchRunner(start, plain).run(nextSeed, finish);
    } else {
      for (int n = nextSeed(); n >= 0; n = nextSeed()) finish(n, plain.run(n));
    }
    if (options.poll && unreported > 0) report(unreported);
    const std::lock_guard<std::mutex> lock(gathering);
    findings.notable.insert(findings.notable.end(), notable.begin(), notable.end());
    if (lastOffset >= 0) findings.lastOffset = lastOffset;
    findings.runPlainly += plain.runs();
  };
  runOnThreads(threads, work);
  throwIfCancelled(options.poll);
  std::sort(findings.notable.begin(), findings.notable.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  return findings;
}

// Enters the findings in seed order: a moved seed is recorded when its
// least code is not among those recorded before, up to the capacity.
void recordOutcome(SearchFindings& f, std::unordered_set<std::int32_t>& recorded, const SeedOutcome& o) {
  if (o.kind == SeedOutcome::spread) f.strangeRuns += 1;
  if (o.kind != SeedOutcome::moved || f.solitons.size() >= static_cast<std::size_t>(catalogueCapacity) || recorded.count(o.least)) return;
  recorded.insert(o.least);
  f.solitons.push_back({o.least, o.period, o.shift});
}

bool seedsInsideTheRing(const AutomatonState& ring) {
  return ring.insertPos >= 0 && ring.insertPos + seedCells <= ring.ringLength;
}

}  // namespace

SearchFindings searchRing(AutomatonState& ring, const SearchOptions& options) {
  ring.insertPos = searchInsertPos;
  SearchFindings found;
  std::unordered_set<std::int32_t> recorded;

  if (!seedsInsideTheRing(ring)) {
    // Seeds written past the ring's end stay in the storage from one seed to
    // the next, so the seeds depend on each other: run them in order.
    for (int n = 0; n < seedCount; ++n) {
      if (options.poll && !(*options.poll)(n, seedCount)) throw Cancelled();
      recordOutcome(found, recorded, runSeedPlainly(ring, n));
    }
    if (options.seedsRunPlainly) *options.seedsRunPlainly = seedCount - 1;
  } else {
    // The last seed runs on the ring itself, the plain way, so that the ring,
    // its marks and the encoding values end as the enumeration leaves them.
    const SeedFindings findings = runSeeds(ring, seedCount - 1, options);
    ring.codeLastOffset = findings.lastOffset;
    if (options.seedsRunPlainly) *options.seedsRunPlainly = findings.runPlainly;
    const SeedOutcome last = runSeedPlainly(ring, seedCount - 1);
    for (const auto& [n, o] : findings.notable) recordOutcome(found, recorded, o);
    recordOutcome(found, recorded, last);
  }
  if (options.poll) (*options.poll)(seedCount, seedCount);
  return found;
}

SearchFindings findSolitons(const RuleTable& rule, std::int32_t length, const SearchOptions& options) {
  AutomatonState ring = quietRing(rule, length);
  return searchRing(ring, options);
}

void enterFindings(Catalogue& c, const SearchFindings& found) {
  c.Nsol = static_cast<std::int32_t>(found.solitons.size());
  for (std::int32_t k = 0; k < c.Nsol; ++k) {
    c.solitonCode[k] = found.solitons[k].code;
    c.solitonPeriod[k] = found.solitons[k].period;
    c.solitonShift[k] = found.solitons[k].shift;
  }
  c.Nstrun = found.strangeRuns;
  c.strangeSeen = found.strangeRuns > 0 ? 1 : 0;
}

void solitonSearch(OndrixState& st, RingDisplay& display, const SearchOptions& options) {
  enterFindings(st.catalogue, searchRing(st.ring, options));
  display.showSearchCounts(st.catalogue.Nsol, st.catalogue.Nstrun);
}

void placeSeedFromCode(AutomatonState& ring) {
  std::int32_t code = ring.currentSoliton;
  for (int j = 0; j < seedCells; ++j) {
    const std::int32_t digit = code % 3;  // a negative code's digits count as 0
    code = (code - digit) / 3;
    const std::int32_t pos = ring.insertPos + j;
    if (pos < 0 || pos >= ringCapacity) continue;
    ring.cells[pos] = digit == 1 ? stateB : digit == 2 ? stateC : stateA;
  }
}

void auxSearch(OndrixState& st, RingDisplay& display) {
  AutomatonState& ring = st.ring;
  Catalogue& c = st.catalogue;
  c.Nsol = 0;
  c.Nstrun = 0;
  c.strangeSeen = 0;
  // Without generations every seed is dropped at once, having changed only
  // the ring and the encoding values; so only the last seeds matter. The
  // last seed leaves the ring and codeStart; codeLastOffset is the one of
  // the last seed whose window held a live cell. Find that seed, then run
  // the seeds from it on.
  const std::int32_t lastOffsetBefore = ring.codeLastOffset;
  constexpr std::int32_t unset = -1;
  int from = seedCount - 1;
  for (; from >= 0; --from) {
    clearRing(ring);
    writeSeed(ring, from);
    ring.codeLastOffset = unset;
    encodePattern(ring, firstLiveCell(ring), searchWindow);
    if (ring.codeLastOffset != unset) break;
  }
  ring.codeLastOffset = lastOffsetBefore;
  for (int n = std::max(from, 0); n < seedCount; ++n) {
    clearRing(ring);
    writeSeed(ring, n);
    followSeed(ring, [] {}, [&] { return firstLiveCell(ring); });
  }
  display.showSearchCounts(0, 0);
}

}  // namespace ondrix
