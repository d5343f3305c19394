#include "solitons/search.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <unordered_set>
#include <vector>

#include "mainwindow/ondrixstate.h"
#include "mainwindow/picture.h"

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

// Seeds are taken in chunks from a shared counter, so that both fast and
// slow stretches of the enumeration spread over the workers.
void runSeeds(const AutomatonState& start, int count, unsigned threads, std::vector<SeedOutcome>& outcomes,
              const std::function<void(int)>& progress) {
  constexpr int chunk = 8;
  std::atomic<int> next{0};
  // Whichever worker finishes a chunk reports it; one report at a time, so
  // the counts reach the caller in increasing order.
  std::mutex reporting;
  int done = 0;
  auto work = [&] {
    SeedRunner runner(start);
    for (;;) {
      const int first = next.fetch_add(chunk);
      if (first >= count) break;
      const int last = std::min(first + chunk, count);
      for (int n = first; n < last; ++n) outcomes[n] = runner.run(n);
      const std::lock_guard<std::mutex> lock(reporting);
      done += last - first;
      if (progress) progress(done);
    }
  };
  std::vector<std::thread> helpers;
  for (unsigned k = 1; k < threads; ++k) helpers.emplace_back(work);
  work();
  for (std::thread& t : helpers) t.join();
}

// Enters the findings in seed order: a moved seed is recorded when its
// least code is not among those recorded before, up to the capacity.
void recordOutcome(Catalogue& c, std::unordered_set<std::int32_t>& recorded, const SeedOutcome& o) {
  if (o.kind == SeedOutcome::spread) {
    c.Nstrun += 1;
    c.strangeSeen = 1;
  }
  if (o.kind != SeedOutcome::moved || c.Nsol >= catalogueCapacity || recorded.count(o.least)) return;
  recorded.insert(o.least);
  c.solitonShift[c.Nsol] = o.shift;
  c.solitonPeriod[c.Nsol] = o.period;
  c.solitonCode[c.Nsol] = o.least;
  c.Nsol += 1;
}

bool seedsInsideTheRing(const AutomatonState& ring) {
  return ring.insertPos >= 0 && ring.insertPos + seedCells <= ring.ringLength;
}

}  // namespace

void solitonSearch(OndrixState& st, RingDisplay& display, const SearchOptions& options) {
  AutomatonState& ring = st.ring;
  Catalogue& c = st.catalogue;
  ring.insertPos = searchInsertPos;
  c.Nsol = 0;
  c.Nstrun = 0;
  c.strangeSeen = 0;
  std::unordered_set<std::int32_t> recorded;

  if (!seedsInsideTheRing(ring)) {
    // Seeds written past the ring's end stay in the storage from one seed to
    // the next, so the seeds depend on each other: run them in order.
    for (int n = 0; n < seedCount; ++n) {
      recordOutcome(c, recorded, runSeedPlainly(ring, n));
      if (options.progress && (n + 1) % 256 == 0) options.progress(n + 1);
    }
  } else {
    const unsigned threads = options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
    std::vector<SeedOutcome> outcomes(seedCount);
    // The last seed runs on the ring itself, the plain way, so that the ring,
    // its marks and the encoding values end as the enumeration leaves them.
    runSeeds(ring, seedCount - 1, threads, outcomes, options.progress);
    ring.codeLastOffset = outcomes[seedCount - 2].lastOffset;
    outcomes[seedCount - 1] = runSeedPlainly(ring, seedCount - 1);
    for (const SeedOutcome& o : outcomes) recordOutcome(c, recorded, o);
  }
  if (options.progress) options.progress(seedCount);
  display.showSearchCounts(c.Nsol, c.Nstrun);
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
