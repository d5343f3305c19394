// atlas: a rule's solitons and their collisions as one static page to
// browse and print, with its pictures beside it.
#include <algorithm>
#include <atomic>
#include <thread>
#include <cstdio>
#include <map>
#include <set>
#include <optional>
#include <sstream>

#include "ondrix/automaton/automaton.h"
#include "ondrix/automaton/reversal.h"
#include "ondrix/automaton/workers.h"
#include "ondrix/datafiles/files.h"
#include "ondrix/datafiles/sha256.h"
#include "ondrix/datafiles/textformats.h"
#include "ondrix/mainwindow/spacetime.h"
#include "ondrix/solitons/collisions.h"
#include "ondrix/solitons/enumerate.h"
#include "ondrix/solitons/search.h"
#include "ondrix/solitons/shipdata.h"
#include "ondrix/solitons/survey.h"
#include "tool/commands.h"
#include "tool/inputs.h"
#include "tool/outputs.h"
#include "tool/png.h"
#include "tool/progress.h"
#include "tool/provenance.h"
#include "tool/reports.h"

namespace ondrix::tool {

namespace {

std::string html(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

constexpr std::uint8_t stateOfDigit[3] = {stateA, stateB, stateC};

// A space-time picture in the research palette: `generations` + 1 rows of
// the ring from the start, cells first..first+width-1, each cell `scale`
// pixels square; tagged with the tables when given.
void picture(const std::string& path, AutomatonState& ring, const PhaseTables* tables, int generations,
             std::int32_t first, std::int32_t width, int scale) {
  const auto colours = spaceTimePalette(SpaceTimePalette::research);
  Output out(path);
  PngWriter png(out, static_cast<std::uint32_t>(width * scale), static_cast<std::uint32_t>((generations + 1) * scale),
                colours, {});
  std::vector<std::uint8_t> cropped(static_cast<std::size_t>(width * scale));
  renderSpaceTime(ring, tables, 0, generations + 1, 1,
                  [&](std::span<const std::uint8_t> row) {
                    for (std::int32_t i = 0; i < width; ++i) {
                      std::fill_n(cropped.begin() + i * scale, scale, row[static_cast<std::size_t>(first + i)]);
                    }
                    for (int k = 0; k < scale; ++k) png.row(cropped);
                  },
                  nullptr, SpaceTimePalette::research);
  png.finish();
}

// The cells a run covers from the start for `generations`, as first and last.
std::pair<std::int32_t, std::int32_t> extent(AutomatonState ring, int generations) {
  std::int32_t low = ring.ringLength, high = -1;
  for (int t = 0; t <= generations; ++t) {
    for (std::int32_t i = 0; i < ring.ringLength; ++i) {
      if (ring.cells[i] == stateA) continue;
      low = std::min(low, i);
      high = std::max(high, i);
    }
    stepGeneration(ring);
  }
  return {low, high};
}

const char* const style = R"(
body { font: 15px/1.45 "DejaVu Sans", "Liberation Sans", sans-serif; margin: 2em auto; max-width: 72em; padding: 0 1em; color: #222; }
h1 { font-size: 1.6em; } h2 { font-size: 1.3em; margin-top: 2em; border-bottom: 1px solid #ccc; } h3 { font-size: 1.05em; }
code, .cells { font-family: "DejaVu Sans Mono", monospace; word-break: break-all; }
table { border-collapse: collapse; margin: 0.5em 0; }
th, td { border: 1px solid #ccc; padding: 0.2em 0.5em; text-align: right; vertical-align: middle; }
th { background: #f2f2f2; cursor: pointer; }
td.cells, td.text { text-align: left; }
table.grid td { text-align: center; font-size: 0.85em; }
td.passed { background: #e3f1e8; } td.changed { background: #fdf3dc; } td.debris { background: #f8e1e4; }
img { image-rendering: pixelated; vertical-align: middle; max-width: 100%; height: auto; }
.key span { display: inline-block; width: 0.9em; height: 0.9em; border: 1px solid #888; vertical-align: middle; margin: 0 0.3em 0 0.8em; }
.collision { display: inline-block; margin: 0.4em; padding: 0.4em; border: 1px solid #ddd; vertical-align: top; max-width: 22em; font-size: 0.85em; }
dl { display: grid; grid-template-columns: max-content auto; gap: 0.2em 1em; } dt { font-weight: bold; } dd { margin: 0; }
@media print { th { cursor: auto; } a { color: inherit; text-decoration: none; } .collision, tr { break-inside: avoid; }
  h2, h3 { break-after: avoid; } .collision { max-width: 12em; margin: 0.2em; } .collision img { max-height: 12em; width: auto; }
  body { font-size: 11px; } }
)";

// Sorts a table by the column whose head was clicked, numbers as numbers.
const char* const sorting = R"(
document.querySelectorAll("table.sortable th").forEach(th => th.addEventListener("click", () => {
  const body = th.closest("table").tBodies[0], column = th.cellIndex;
  const up = th.dataset.up !== "1"; th.dataset.up = up ? "1" : "0";
  const key = row => { const t = row.cells[column].textContent.trim(); const n = parseFloat(t); return isNaN(n) ? t : n; };
  [...body.rows].sort((a, b) => { const x = key(a), y = key(b); return (x < y ? -1 : x > y ? 1 : 0) * (up ? 1 : -1); })
    .forEach(row => body.appendChild(row));
}));
)";

}  // namespace

int atlas(const AtlasArgs& a) {
  const RuleTable rule = readRule(a.rule);
  std::optional<Catalogue> catalogue;
  if (!a.catalogue.empty()) {
    catalogue = readCatalogue(a.catalogue, &rule);
    requireSurveyable(a.catalogue, typesOf(*catalogue));
  }
  if (isStandardOutput(a.out)) throw ToolError(exitUsage, "--out takes a folder; - (standard output) cannot hold one");
  if (const std::string problem = folderProblem(a.out); !problem.empty()) {
    throw ToolError(exitInput, "cannot write " + a.out + ": " + problem);
  }
  Provenance made("atlas", rule);
  made.parameters() = {{"max_width", a.width}, {"max_period", a.period}, {"types", a.types}, {"threads", a.threads}};
  if (catalogue) made.parameters()["catalogue_sha256"] = sha256Hex(catalogueImage(*catalogue));

  // The work first, then the folder at once.
  Enumeration e;
  SearchFindings found;
  std::vector<PairCollisions> pairs;
  {
    Job job("atlas", 0, "");
    e = enumerateFor(rule, a.rule, a.width, a.period, a.threads, job.poll());
    SearchOptions search;
    search.threads = a.threads;
    search.poll = job.poll();
    found = findSolitons(rule, startupRingLength, search);
    if (catalogue) {
      // Every pair's collisions, counted on the bar as they are found.
      const auto types = typesOf(*catalogue);
      std::int64_t total = 0, before = 0;
      for (int i = 0; i < a.types; ++i) {
        for (int j = 0; j < a.types; ++j) total += std::int64_t{types[i].shift} * types[j].period + std::int64_t{types[j].shift} * types[i].period;
      }
      for (int i = 0; i < a.types; ++i) {
        for (int j = 0; j < a.types; ++j) {
          CompleteCollisionOptions c;
          c.threads = a.threads;
          Poll part([&](std::int64_t done, std::int64_t) { job.report(before + done, total); }, job.poll());
          c.poll = &part;
          try {
            pairs.push_back(completeCollisions(rule, collidingSoliton(rule, types, i, a.catalogue),
                                               collidingSoliton(rule, types, j, a.catalogue), c));
          } catch (const std::invalid_argument& bad) {
            throw ToolError(exitInput, a.catalogue + ": type " + std::to_string(i) + " against type " + std::to_string(j) + ": " +
                                           bad.what());
          }
          throwIfCancelled(job.poll());
          before += std::ssize(pairs.back().collisions);
        }
      }
    }
  }
  std::optional<PhaseTables> tables;
  if (catalogue) {
    AutomatonState scratch = quietRing(rule, startupRingLength);
    tables = solitonPhaseTables(scratch, *catalogue);
  }

  const std::string digits = ruleJson(rule).is_string() ? ruleJson(rule).get<std::string>() : ruleJson(rule).dump();
  WriteOutcome written = replaceFolder(a.out, [&](const std::string& staging) -> WriteOutcome {
    const std::string dir = staging + "/";
    // The pictures of an earlier atlas here go; the new ones take their place.
    std::error_code ignored;
    std::filesystem::remove_all(dir + "solitons", ignored);
    std::filesystem::remove_all(dir + "collisions", ignored);
    if (!ensureFolder(dir + "solitons") || !ensureFolder(dir + "collisions")) return {"cannot make the picture folders in " + a.out};
    std::ostringstream page;
    page << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         << "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         << "<title>Atlas of rule " << ruleSha256(rule).substr(0, 12) << "</title>\n<style>" << style << "</style>\n</head>\n<body>\n";
    page << "<h1>Atlas of rule " << ruleSha256(rule).substr(0, 12) << "</h1>\n<dl>\n"
         << "<dt>Rule</dt><dd><code>" << html(digits) << "</code></dd>\n"
         << "<dt>SHA-256</dt><dd><code>" << ruleSha256(rule) << "</code></dd>\n";
    const json record = made.record();
    page << "<dt>Made by</dt><dd>ondrix-tool " << html(record["ondrix_version"].get<std::string>()) << ", atlas, "
         << html(record["started_utc"].get<std::string>()) << "</dd>\n"
         << "<dt>Parameters</dt><dd><code>" << html(record["parameters"].dump()) << "</code></dd>\n</dl>\n";
    page << "<p>Pictures: time runs downward from the start (generation 0); untagged B cells light grey, C dark grey";
    if (catalogue) page << ", the catalogue's types each in its own colour";
    page << ".</p>\n";
    if (catalogue) {
      const auto colours = spaceTimePalette(SpaceTimePalette::research);
      const auto swatch = [&](std::size_t entry) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "#%02x%02x%02x", colours[entry].r, colours[entry].g, colours[entry].b);
        return "<span style=\"background:" + std::string(hex) + "\"></span>";
      };
      page << "<p class=\"key\">";
      for (int k = 0; k < catalogueTypes; ++k) {
        if (catalogue->solitonCode[k] > 0) page << swatch(static_cast<std::size_t>(k)) << "type " << k << " " << codeLetters(catalogue->solitonCode[k]);
      }
      page << swatch(13) << "B " << swatch(14) << "C</p>\n";
    }

    // The enumeration, each soliton with its picture.
    page << "<h2 id=\"solitons\">Solitons</h2>\n<p>" << e.solitons.size() << " solitons with a phase of at most " << a.width
         << " cells and a period of at most " << a.period << " generations (every row of that width run: the list is complete"
         << " within those bounds); " << e.sideBySide << " patterns of solitons side by side left out.</p>\n"
         << "<table class=\"sortable\"><thead><tr><th>#</th><th>period</th><th>shift</th><th>speed</th><th>widest</th>"
            "<th>code</th><th>seed search</th><th>cells</th><th>space-time</th></tr></thead><tbody>\n";
    for (std::size_t k = 0; k < e.solitons.size(); ++k) {
      const EnumeratedSoliton& s = e.solitons[k];
      const int generations = std::max(24, 3 * s.period);
      const std::int32_t travel = static_cast<std::int32_t>(std::int64_t{s.shift} * generations / s.period) + 8;
      AutomatonState ring = quietRing(rule, s.width + travel + 24);
      for (std::size_t j = 0; j < s.cells.size(); ++j) ring.cells[8 + j] = stateOfDigit[s.cells[j]];
      const std::string name = "solitons/" + std::to_string(s.code64) + ".png";
      picture(dir + name, ring, tables ? &*tables : nullptr, generations, 0, ring.ringLength, 3);
      page << "<tr><td>" << k << "</td><td>" << s.period << "</td><td>" << s.shift << "</td><td>" << s.speed << "</td><td>"
           << s.width << "</td><td>" << (s.code > 0 ? std::to_string(s.code) : "-") << "</td><td>" << (s.seedSearch ? "yes" : "no") << "</td><td class=\"cells\">"
           << digitLetters(s.cells) << "</td><td><img src=\"" << name << "\" alt=\"soliton " << s.code64 << "\"></td></tr>\n";
    }
    page << "</tbody></table>\n";

    // The seed search's view and the catalogue's, by their list entries.
    std::map<std::uint64_t, std::size_t> entry;
    for (std::size_t k = 0; k < e.solitons.size(); ++k) entry[e.solitons[k].code64] = k;
    const auto listed = [&](std::int32_t code, std::int32_t period, std::int32_t shift) -> std::string {
      const auto s = describeSoliton(rule, codeDigits(code), period, shift);
      if (!s) return "no soliton alone";
      const auto at = entry.find(s->code64);
      return at == entry.end() ? "entry " + std::to_string(s->code64) + ", beyond the bounds" : "#" + std::to_string(at->second);
    };
    page << "<h2 id=\"search\">The seed search</h2>\n<p>The window's search on a 768-cell ring: " << found.solitons.size()
         << " findings, " << found.strangeRuns << " strange runs.</p>\n"
         << "<table class=\"sortable\"><thead><tr><th>code</th><th>period</th><th>shift</th><th>cells</th><th>in the list</th>"
            "</tr></thead><tbody>\n";
    for (const FoundSoliton& f : found.solitons) {
      page << "<tr><td>" << f.code << "</td><td>" << f.period << "</td><td>" << f.shift << "</td><td class=\"cells\">"
           << codeLetters(f.code) << "</td><td class=\"text\">" << listed(f.code, f.period, f.shift) << "</td></tr>\n";
    }
    page << "</tbody></table>\n";
    if (catalogue) {
      page << "<h2 id=\"catalogue\">The catalogue</h2>\n<table><thead><tr><th>type</th><th>code</th><th>period</th><th>shift</th>"
              "<th>cells</th><th>in the list</th></tr></thead><tbody>\n";
      for (int k = 0; k < catalogueTypes; ++k) {
        page << "<tr><td>" << k << "</td><td>" << catalogue->solitonCode[k] << "</td><td>" << catalogue->solitonPeriod[k]
             << "</td><td>" << catalogue->solitonShift[k] << "</td><td class=\"cells\">" << codeLetters(catalogue->solitonCode[k])
             << "</td><td class=\"text\">"
             << (catalogue->solitonCode[k] > 0 ? listed(catalogue->solitonCode[k], catalogue->solitonPeriod[k], catalogue->solitonShift[k]) : "")
             << "</td></tr>\n";
      }
      page << "</tbody></table>\n";

      // Every collision of every pair: the table, then each pair.
      page << "<h2 id=\"collisions\">Collisions</h2>\n<p>Row a: type a moving right; column b: type b's twin (B and C "
              "exchanged) moving left. Each cell counts the pair's distinct collisions (every relative phase and offset "
              "within a beat) by outcome and links to them.</p>\n<table class=\"grid\"><thead><tr><th>a \\ b</th>";
      for (int j = 0; j < a.types; ++j) page << "<th>" << j << "</th>";
      page << "</tr></thead><tbody>\n";
      for (int i = 0; i < a.types; ++i) {
        page << "<tr><th>" << i << "</th>";
        for (int j = 0; j < a.types; ++j) {
          const PairCollisions& p = pairs[static_cast<std::size_t>(i * a.types + j)];
          std::map<std::string, int> counts;
          for (const PairCollision& c : p.collisions) counts[collisionOutcomeName(c.outcome)] += 1;
          std::string most = "debris";
          int best = -1;
          for (const auto& [name, n] : counts) {
            if (n > best) best = n, most = name;
          }
          page << "<td class=\"" << most << "\"><a href=\"#pair-" << i << "-" << j << "\">" << p.collisions.size() << "</a>";
          for (const auto& [name, n] : counts) page << "<br>" << n << " " << name;
          page << "</td>";
        }
        page << "</tr>\n";
      }
      page << "</tbody></table>\n";
      // The pictures first, on every thread: each collision from its start
      // on a ring just wide enough for what it does in the generations shown.
      // A collision's picture: its generations and 40 more, 600 at most.
      const auto shown = [](const PairCollision& c) { return std::min(c.generations + 40, 600); };
      struct Shot {
        int i, j;
        std::size_t k;
        std::string name;
      };
      std::vector<Shot> shots;
      for (int i = 0; i < a.types; ++i) {
        for (int j = 0; j < a.types; ++j) {
          const PairCollisions& p = pairs[static_cast<std::size_t>(i * a.types + j)];
          for (std::size_t k = 0; k < p.collisions.size(); ++k) {
            shots.push_back({i, j, k, "collisions/" + std::to_string(i) + "-" + std::to_string(j) + "-" + std::to_string(k) + ".png"});
          }
        }
      }
      const auto entries = catalogueEntries(rule, typesOf(*catalogue), a.types);
      std::atomic<std::size_t> next{0};
      runOnThreads(a.threads > 0 ? a.threads : std::max(1u, std::thread::hardware_concurrency()), [&] {
        for (std::size_t n = next++; n < shots.size(); n = next++) {
          const Shot& shot = shots[n];
          const PairCollision& c = pairs[static_cast<std::size_t>(shot.i * a.types + shot.j)].collisions[shot.k];
          const int generations = shown(c);
          const auto start = parseRowText(c.start, ringCapacity);
          const auto last = std::find_if(start.rbegin(), start.rend(), [](std::uint8_t cell) { return cell != stateA; });
          const auto span = static_cast<std::int32_t>(start.rend() - last);
          const std::int32_t length = std::min(ringCapacity, span + 2 * generations + 64), at = length / 2 - span / 2;
          AutomatonState ring = quietRing(rule, length);
          const auto cells = parseRowText(c.start, length - at);
          std::copy(cells.begin(), cells.end(), ring.cells.begin() + at);
          const auto [low, high] = extent(ring, generations);
          const std::int32_t first = std::max(0, low - 4), width = std::min(length, high + 5) - first;
          picture(dir + shot.name, ring, &*tables, generations, first, width, 1);
        }
      });
      std::size_t shot = 0;
      for (int i = 0; i < a.types; ++i) {
        for (int j = 0; j < a.types; ++j) {
          const PairCollisions& p = pairs[static_cast<std::size_t>(i * a.types + j)];
          page << "<h3 id=\"pair-" << i << "-" << j << "\">Type " << i << " (" << digitLetters(p.a.cells) << ") against type " << j
               << "'s twin (" << digitLetters(p.b.cells) << "): " << p.collisions.size() << " collisions</h3>\n";
          for (std::size_t k = 0; k < p.collisions.size(); ++k) {
            const PairCollision& c = p.collisions[k];
            page << "<div class=\"collision\"><img src=\"" << shots[shot++].name << "\" alt=\"collision " << k << "\"><br>"
                 << "<b>" << collisionOutcomeName(c.outcome) << "</b> after " << c.generations << "; b in phase " << c.phaseB
                 << " from cell " << c.startB;
            if (shown(c) < c.generations) page << " (pictured: generations 0 to " << shown(c) << ")";
            page << "<br><span class=\"cells\">" << html(c.start) << "</span>";
            for (const CollisionProduct& q : c.products) {
              page << "<br>" << (q.kind == CollisionProduct::Kind::soliton ? digitLetters(q.entry.cells) + (q.direction > 0 ? " &gt;" : " &lt;")
                                                                           : (q.kind == CollisionProduct::Kind::still ? "still " : "oscillating ") + digitLetters(q.cells));
              std::vector<std::string> notes;
              if (const auto type = entries.find(q.entry.code64); q.kind == CollisionProduct::Kind::soliton && type != entries.end()) {
                notes.push_back("type " + std::to_string(type->second));
              }
              if (q.dx) notes.push_back(q.continues + ": dx " + std::to_string(*q.dx) + ", dt " + std::to_string(*q.dt));
              for (std::size_t n = 0; n < notes.size(); ++n) page << (n == 0 ? " (" : "; ") << notes[n] << (n + 1 == notes.size() ? ")" : "");
            }
            page << "</div>\n";
          }
        }
      }
    }
    page << "<script>" << sorting << "</script>\n</body>\n</html>\n";
    const std::string text = page.str();
    return writeWhole(dir + "index.html", std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  });
  if (!written) throw ToolError(exitInput, "cannot write " + written.failure);
  std::printf("%s/index.html: %zu solitons%s\n", a.out.c_str(), e.solitons.size(),
              catalogue ? (", " + std::to_string(pairs.size()) + " pairs of catalogue types").c_str() : "");
  return 0;
}

}  // namespace ondrix::tool
