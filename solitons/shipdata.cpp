#include "ondrix/solitons/shipdata.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <filesystem>
#include <set>
#include <sstream>

#include "ondrix/automaton/random.h"
#include "ondrix/automaton/shards.h"
#include "ondrix/automaton/reversal.h"
#include "ondrix/datafiles/files.h"
#include "ondrix/datafiles/recording.h"
#include "ondrix/datafiles/rowfiles.h"
#include "ondrix/datafiles/rulefiles.h"
#include "ondrix/rules/randomrule.h"
#include "ondrix/solitons/catalogue.h"

namespace ondrix {

namespace {

int distinctSpeeds(const std::vector<SolitonType>& types) {
  std::set<int> speeds;
  for (const auto& t : types) speeds.insert(t.speed());
  return static_cast<int>(speeds.size());
}

// Trial t's table, drawn from the generator.
RuleTable drawTrialRule(RandomGenerator& random, int trial) {
  RuleTable rule{};
  const auto variant = static_cast<RandomVariant>(trial % 3);
  const int percent = 70 + static_cast<int>(std::int64_t{trial} * 7 % 22);  // 64 bits: trials reach 2^31 - 1
  randomiseRuleTable(rule, random, thresholdFromPercent(percent), variant);
  return rule;
}

// A row laid out with the placement operations on a cleared 768-cell ring.
class Row {
 public:
  explicit Row(const std::vector<SolitonType>& types) : types_(types) {
    ring_.ringLength = startupRingLength;
    ring_.cells.fill(stateA);
  }
  Row& right(int type, std::int32_t at) { return place(type, at, false); }  // towards higher indices
  Row& left(int type, std::int32_t at) { return place(type, at, true); }    // the swapped twin
  const AutomatonState& ring() const { return ring_; }

 private:
  Row& place(int type, std::int32_t at, bool swapped) {
    ring_.currentSoliton = types_[type].code;
    ring_.insertPos = at;
    swapped ? placePatternSwapped(ring_) : placePattern(ring_);
    return *this;
  }
  const std::vector<SolitonType>& types_;
  AutomatonState ring_;
};

// Forward 1600 generations, B and C exchanged, 1600 more: the swapped row.
bool returns(const RuleTable& rule, const AutomatonState& row) {
  AutomatonState ring = row;
  ring.ruleTable = rule;
  return returnsToSwappedStart(ring, 1600);
}

struct Example {
  std::string description;
  AutomatonState ring;
};

std::vector<Example> examples(const HuntChoice& c) {
  const auto& t = c.types;
  // A head-on pair that passes through, the fastest possible first.
  int a = 0, b = 1;
  for (int i = 0, found = 0; i < 11 && !found; ++i) {
    for (int j = 0; j < 11 && !found; ++j) {
      if (i != j && passThrough(c.rule, t[i], t[j])) a = i, b = j, found = 1;
    }
  }
  int twin = 5;
  for (int k = 0; k < 11; ++k) {
    if (passThrough(c.rule, t[k], t[k])) {
      twin = k;
      break;
    }
  }
  std::vector<Example> out;
  out.push_back({"head-on: type " + std::to_string(a) + " from the left meets type " + std::to_string(b) +
                     " from the right",
                 Row(t).right(a, 200).left(b, 500).ring()});
  out.push_back({"overtaking: the fast type 0 catches up with the slow type 10 ahead of it",
                 Row(t).right(0, 100).right(10, 250).ring()});
  out.push_back({"three bodies: types 0 and 6 side by side, the swapped type 1 coming at them",
                 Row(t).right(0, 360).right(6, 384).left(1, 402).ring()});
  out.push_back({"twins: type " + std::to_string(twin) + " meets its own swapped twin",
                 Row(t).right(twin, 200).left(twin, 500).ring()});
  {
    RandomGenerator random;
    Row gas(t);
    for (std::int32_t at = 8; at + 19 < startupRingLength; at += 24) {
      const int type = random.next() % 11;
      random.next() % 2 ? gas.right(type, at) : gas.left(type, at);
    }
    out.push_back({"a gas: 31 solitons of random types and directions, 24 cells apart", gas.ring()});
  }
  {
    Row parade(t);
    for (int k = 0; k < 12; ++k) parade.right(k, 20 + 60 * (11 - k));  // the fastest at the back
    out.push_back({"a parade: all twelve types one way, the fastest behind, overtaking all", parade.ring()});
  }
  out.push_back({"two against one: types 0 and 2 chase each other into the swapped type 8",
                 Row(t).right(0, 40).right(2, 120).left(8, 600).ring()});
  out.push_back({"mirror: types 3 and 7 each meet their twins in mirror image",
                 Row(t).right(3, 100).right(7, 300).left(7, 460).left(3, 660).ring()});
  return out;
}

// The ghost seed: of the mill commands' seeds at the centre, the one whose
// live span and population vary the most over 1000 generations without
// dying out (a pair of solitons flying apart changes its span every
// generation, but its population hardly ever).
AutomatonState ghostRow(const RuleTable& rule, std::string& description) {
  std::vector<std::pair<std::string, AutomatonState>> seeds;
  auto seed = [&](const std::string& name, const std::vector<std::uint8_t>& cells) {
    AutomatonState ring;
    ring.ringLength = startupRingLength;
    ring.cells.fill(stateA);
    std::copy(cells.begin(), cells.end(), ring.cells.begin() + 384);
    seeds.emplace_back(name, ring);
  };
  seed("\"I\": one C", {stateC});
  seed("\"II\": two C", {stateC, stateC});
  RandomGenerator random = startupRandomGenerator();
  for (int k = 0; k < 400; ++k) {
    std::uint8_t d[4];
    for (auto& x : d) x = static_cast<std::uint8_t>(random.next() % 3);
    seed("\"Sy+rand 8\" block " + std::to_string(k + 1), {d[0], d[1], d[2], d[3], d[3], d[2], d[1], d[0]});
  }
  std::size_t bestScore = 0;
  AutomatonState best = seeds.front().second;
  for (auto& [name, start] : seeds) {
    AutomatonState ring = start;
    ring.ruleTable = rule;
    std::set<std::int32_t> spans, populations;
    for (int g = 0; g < 1000; ++g) {
      stepGeneration(ring);
      const std::int32_t first = firstLiveCell(ring);
      std::int32_t last = ring.ringLength - 1;
      while (last > 0 && ring.cells[last] == stateA) --last;
      spans.insert(last - first);
      populations.insert(static_cast<std::int32_t>(
          std::count_if(ring.cells.begin(), ring.cells.begin() + ring.ringLength, [](auto c) { return c != stateA; })));
    }
    if (firstLiveCell(ring) == ring.ringLength) continue;
    const std::size_t score = spans.size() * populations.size();
    if (score > bestScore) {
      bestScore = score;
      best = start;
      description = name + ": " + std::to_string(spans.size()) + " different spans and " +
                    std::to_string(populations.size()) + " different populations in 1000 generations";
    }
  }
  return best;
}

// The generator as trial t finds it: every trial before it drew one value
// per entry of its table.
RandomGenerator generatorBeforeTrial(int trial) {
  RandomGenerator random = startupRandomGenerator();
  random.discard(static_cast<std::uint64_t>(trial) * ruleTableSize);
  return random;
}

}  // namespace

std::string codeLetters(std::int32_t code, bool swapped) {
  std::string out;
  for (; code > 0; code /= 3) {
    const int d = code % 3;
    out += d == 0 ? 'A' : (d == 1) != swapped ? 'B' : 'C';
  }
  return out;
}

bool evaluateRule(const RuleTable& rule, HuntChoice& out) {
  const auto usable = usableSolitons(rule);
  int pairs = 0;
  auto types = chooseCatalogue(rule, usable, &pairs);
  if (types.empty()) return false;
  out.rule = rule;
  out.types = std::move(types);
  out.pairs = pairs;
  out.speeds = distinctSpeeds(out.types);
  return true;
}

HuntShard huntShard(int from, int count, int index, int shards) {
  if (shards < 1 || index < 0 || index >= shards) {
    throw std::invalid_argument("shard " + std::to_string(index) + " of " + std::to_string(shards) +
                                ": the shard must be 0..count-1 of a count of 1 or more");
  }
  if (shards > count) {
    throw std::invalid_argument(std::to_string(shards) + " shards of " + std::to_string(count) +
                                " trials: a shard needs a trial at least");
  }
  const auto start = [&](int k) { return static_cast<int>(static_cast<std::int64_t>(count) * k / shards); };
  return {from + start(index), start(index + 1) - start(index)};
}

RuleTable trialRule(int trial) {
  RandomGenerator random = generatorBeforeTrial(trial);
  return drawTrialRule(random, trial);
}

const HuntChoice& betterChoice(const HuntChoice& a, const HuntChoice& b) {
  if (a.types.empty()) return b;
  if (b.types.empty()) return a;
  if (a.score() != b.score()) return a.score() > b.score() ? a : b;
  return a.trial <= b.trial ? a : b;
}

HuntChoice huntRules(int from, int count, const HuntOptions& options) {
  if (from < 0 || count < 0 || count > huntTrialLimit - from) {
    throw std::invalid_argument("trials " + std::to_string(from) + " to " + std::to_string(std::int64_t{from} + count) +
                                " lie outside the hunt's numbering (0.." + std::to_string(huntTrialLimit) + ")");
  }
  RandomGenerator random = generatorBeforeTrial(from);
  HuntChoice best;
  for (int trial = from; trial < from + count; ++trial) {
    throwIfCancelled(options.poll);
    const RuleTable rule = drawTrialRule(random, trial);
    HuntChoice c;
    c.trial = trial;
    const bool better = evaluateRule(rule, c) && (best.types.empty() || c.score() > best.score());
    if (better) {
      best = c;
      if (options.improved) options.improved(best);
    }
    if (options.poll) (*options.poll)(trial - from + 1, count);
  }
  return best;
}

HuntChoice mergeHuntStretches(std::vector<HuntStretch> stretches, int& from, int& trials) {
  if (stretches.empty()) throw std::invalid_argument("no hunt results to merge");
  std::vector<std::pair<int, int>> split;
  for (const HuntStretch& s : stretches) {
    if (s.shardCount > 0) split.emplace_back(s.shardIndex, s.shardCount);
  }
  if (!split.empty()) {
    std::string problem = split.size() < stretches.size() ? "shards and other hunt results cannot be merged" : shardSetProblem(split);
    if (!problem.empty()) throw std::invalid_argument(problem);
  }
  std::vector<HuntChoice> best(stretches.size());
  for (std::size_t k = 0; k < stretches.size(); ++k) {
    const HuntStretch& s = stretches[k];
    const auto fail = [&s](const std::string& why) { throw std::invalid_argument(s.name + ": " + why); };
    if (s.from < 0 || s.trials < 1 || s.from > huntTrialLimit || s.trials > huntTrialLimit) fail("not a stretch of the hunt");
    if (s.from + s.trials > huntTrialLimit) {
      fail("trials " + std::to_string(s.from) + " to " + std::to_string(s.from + s.trials) +
           " run past the hunt's last trial " + std::to_string(huntTrialLimit - 1));
    }
    if (!s.found) continue;
    if (s.rule.size() != ruleTableSize) fail("the rule does not hold 162 entries");
    const bool inside = s.trial >= s.from && s.trial < s.from + s.trials;
    const RuleTable drawn = inside ? trialRule(static_cast<int>(s.trial)) : RuleTable{};
    if (!inside || !std::equal(drawn.begin(), drawn.end(), s.rule.begin())) fail("trial " + s.trialText + " does not draw that rule");
    evaluateRule(drawn, best[k]);
    best[k].trial = static_cast<int>(s.trial);
  }
  std::vector<std::size_t> order(stretches.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return stretches[x].from < stretches[y].from; });
  for (std::size_t k = 1; k < order.size(); ++k) {
    const HuntStretch &before = stretches[order[k - 1]], &s = stretches[order[k]];
    if (s.from != before.from + before.trials) {
      throw std::invalid_argument(s.name + ": trials " + std::to_string(s.from) + " on do not follow on from " + before.name);
    }
  }
  HuntChoice chosen;
  for (std::size_t k : order) chosen = betterChoice(chosen, best[k]);
  from = static_cast<int>(stretches[order.front()].from);
  trials = static_cast<int>(stretches[order.back()].from + stretches[order.back()].trials - from);
  return chosen;
}

std::string writeShippedFiles(const std::string& folder, const HuntChoice& c, WriteOutcome& written) {
  std::ostringstream report;
  written = replaceFolder(folder, [&](const std::string& staging) -> WriteOutcome {
    const std::string dir = staging + "/";
    // A link the old folder held at a name written here (to a file or a
    // folder elsewhere) gives way to the file or folder itself: the folder
    // is replaced as a whole, and nothing outside it changes.
    const auto own = [&](const std::string& name) {
      std::error_code ignored;
      if (std::filesystem::is_symlink(std::filesystem::symlink_status(dir + name, ignored))) {
        std::filesystem::remove(dir + name, ignored);
      }
      return dir + name;
    };
    for (const char* sub : {"data", "video"}) {
      if (!ensureFolder(own(sub))) return {std::string(sub) + ": " + std::strerror(errno)};
    }
    // Failures name the file as it stands in the folder, not in the staging one.
    const auto named = [&](WriteOutcome w) {
      if (!w && w.failure.compare(0, dir.size(), dir) == 0) w.failure.erase(0, dir.size());
      return w;
    };
    if (auto w = named(writeTableFile(own(solitonRuleFileName), c.rule)); !w) return w;
    Catalogue catalogue;
    for (int k = 0; k < 12; ++k) {
      catalogue.solitonCode[k] = c.types[k].code;
      catalogue.solitonPeriod[k] = c.types[k].period;
      catalogue.solitonShift[k] = c.types[k].shift;
    }
    if (auto w = named(writeSolitonFile(own(solitonFileName), catalogue)); !w) return w;

    report << "rule, first half, entries at 1:";
    for (int e = 0; e < ruleHalfSize; ++e) {
      if (c.rule[e]) report << ' ' << e;
    }
    report << "\n" << c.speeds << " distinct speeds, " << c.pairs
           << " of 144 ordered pairs pass through each other\n\n";
    report << "| type | code | period | shift | speed | width | cells |\n|---|---|---|---|---|---|---|\n";
    for (int k = 0; k < 12; ++k) {
      const auto& t = c.types[k];
      report << "| " << k << " | " << t.code << " | " << t.period << " | " << t.shift << " | " << t.speed() << " | "
             << t.width << " | " << codeLetters(t.code) << " |\n";
    }
    report << "\n";
    int n = 1;
    for (const Example& e : examples(c)) {
      const std::string name = "Exp" + std::to_string(n) + ".dat";
      if (auto w = named(writeRowFile(own(name), e.ring)); !w) return w;
      report << name << ": " << e.description << (returns(c.rule, e.ring) ? "" : " (DOES NOT RETURN)") << "\n";
      ++n;
    }
    std::string ghost;
    if (auto w = named(writeRowFile(own("tgho.dat"), ghostRow(c.rule, ghost))); !w) return w;
    report << "tgho.dat: " << ghost << "\n";
    return named(writeWhole(own(frameTemplateName), makeFrameTemplate({240, 240, 240})));
  });
  return report.str();
}

}  // namespace ondrix
