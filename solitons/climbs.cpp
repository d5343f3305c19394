#include "ondrix/solitons/climbs.h"

#include <span>
#include <string>

#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/automaton/display.h"

namespace ondrix {

namespace {

std::uint8_t flipped(std::uint8_t entry) { return entry == 0 ? 1 : 0; }

// The climb shared by all three: flip, search, keep or flip back.
template <typename Search>
void climb(OndrixState& st, RingDisplay& display, std::span<std::uint8_t> table, const std::string& file,
           Search search, ClimbTest test, const ClimbOptions& options) {
  Catalogue& c = st.catalogue;
  std::int32_t bestNsol = c.Nsol, bestNstrun = c.Nstrun;
  // While the best table is not saved, every progress text says so, and the
  // failure is what the climb leaves in the status bar.
  std::string unsaved;
  bool improved = true;
  for (int pass = 1; improved; ++pass) {
    improved = false;
    for (std::size_t e = 0; e < table.size(); ++e) {
      const auto entries = static_cast<std::int64_t>(table.size());
      if (options.poll && !(*options.poll)((pass - 1) * entries + static_cast<std::int64_t>(e), pass * entries)) {
        throw Cancelled();
      }
      table[e] = flipped(table[e]);
      search();
      if (climbAccepts(test, {bestNsol, bestNstrun}, {c.Nsol, c.Nstrun})) {
        improved = true;
        bestNsol = c.Nsol;
        bestNstrun = c.Nstrun;
        const std::string progress =
            " i=" + std::to_string(pass) + " Nsol=" + std::to_string(c.Nsol) + " Nstrun=" + std::to_string(c.Nstrun);
        const std::string& target = options.saveAs ? *options.saveAs : file;
        unsaved = target.empty() || writeTableFile(target, table) ? std::string() : "Could not write " + target;
        if (unsaved.empty()) {
          display.showStatus(progress);
          display.showFileOutcome(FileKind::write, {});
        } else {
          display.showFileOutcome(FileKind::write, progress + "   " + unsaved);
        }
      } else {
        table[e] = flipped(table[e]);  // flipped back: a raw byte such as 2 comes back as 1
      }
    }
  }
  if (!unsaved.empty()) display.showFileOutcome(FileKind::write, unsaved);
}

}  // namespace

bool climbAccepts(ClimbTest test, SearchCounts best, SearchCounts now) {
  const bool solitons = test == ClimbTest::keepSolitons ? now.solitons >= best.solitons : now.solitons >= 14;
  return solitons && now.strangeRuns < best.strangeRuns;
}

void ruleClimb(OndrixState& st, RingDisplay& display, ClimbTest test, const ClimbOptions& options) {
  climb(
      st, display, st.ring.ruleTable, ruleFileName, [&] { solitonSearch(st, display, options.search); }, test, options);
}

void auxClimb(OndrixState& st, RingDisplay& display, const ClimbOptions& options) {
  climb(st, display, st.auxRuleTable, auxRuleFileName, [&] { auxSearch(st, display); }, ClimbTest::keepSolitons, options);
}

void auxRuleFromNumber(AuxRuleTable& aux, std::uint16_t number, AuxLayout layout) {
  for (int h = 0; h < 2; ++h) {
    for (int a = 0; a < 3; ++a) {
      for (int b = 0; b < 3; ++b) {
        for (int c = 0; c < 3; ++c) {
          const int first = layout == AuxLayout::first ? (a < 2) : (a != 0);
          const int bitIndex = h + 2 * first + 4 * (b != 0) + 8 * (c != 0);
          aux[27 * h + 9 * a + 3 * b + c] = static_cast<std::uint8_t>((number >> bitIndex) & 1);
        }
      }
    }
  }
  aux[0] = 0;
}

void auxRuleAndSearch(OndrixState& st, RingDisplay& display, std::uint16_t number, AuxLayout layout) {
  auxRuleFromNumber(st.auxRuleTable, number, layout);
  auxSearch(st, display);
}

void tryAllAuxRules(OndrixState& st, RingDisplay& display, Poll* poll) {
  std::int32_t best = 0, bestR = 0;
  for (std::int32_t r = 0; r <= 65535; ++r) {
    throwIfCancelled(poll);
    auxRuleAndSearch(st, display, static_cast<std::uint16_t>(r), AuxLayout::first);
    if (st.catalogue.Nsol > best) {
      best = st.catalogue.Nsol;
      bestR = r;
    }
    if (r % 256 == 0) {
      display.showStatus(std::to_string(r) + " Nsol=" + std::to_string(best) + " j=" + std::to_string(bestR));
      if (poll) (*poll)(r, 65536);
    }
  }
}

void expandAuxRuleTable(OndrixState& st) {
  for (int h = 0; h < 2; ++h) {
    for (int abc = 0; abc < 27; ++abc) {
      const std::uint8_t v = st.auxRuleTable[27 * h + abc] == 1 ? 1 : 0;
      for (int d = 0; d < 3; ++d) st.ring.ruleTable[81 * h + 3 * abc + d] = v;
    }
  }
}

}  // namespace ondrix
