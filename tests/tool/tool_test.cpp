// ondrix-tool run as a process on small inputs: its output and files
// against the library, and every bad input's message and exit code.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <set>
#include <nlohmann/json.hpp>

#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/automaton/reversal.h"
#include "ondrix/mainwindow/picture.h"
#include "ondrix/mainwindow/spacetime.h"
#include "ondrix/rules/randomrule.h"
#include "ondrix/solitons/catalogue.h"
#include "ondrix/solitons/enumerate.h"
#include "ondrix/solitons/shipdata.h"
#include "ondrix/solitons/search.h"
#include "ondrix/datafiles/rulefiles.h"
#include "ondrix/datafiles/sha256.h"
#include "ondrix/datafiles/textformats.h"
#include "tests/support/testsupport.h"
#include "tests/tool/toolprocess.h"

namespace ondrix {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
const fs::path assets = ONDRIX_ASSETS_DIR;

using testing::fileBytes;
using testing::Result;
using testing::tool;

class ToolTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::copy(assets, ".", fs::copy_options::recursive); }
  testing::ScratchFolder folder;
};

// search --json, field by field against the library's search.
TEST_F(ToolTest, SearchAgreesWithTheLibrary) {
  RandomGenerator random;
  std::array<std::uint8_t, ruleTableSize> drawn{};
  randomiseRuleTable(drawn, random, thresholdFromPercent(80), RandomVariant::noDistanceThreeAndFour);
  testing::putFile("drawn.dat", std::vector<std::uint8_t>(drawn.begin(), drawn.end()));
  for (const char* rule : {"solCA.dat", "drawn.dat"}) {
    const Result r = tool(std::string("search ") + rule + " --json --threads 2");
    ASSERT_EQ(r.code, 0) << r.err;
    const json j = json::parse(r.out);
    OndrixState st;
    st.ring.ringLength = 768;
    clearRing(st.ring);
    const auto bytes = testing::fileBytes(rule);
    std::copy(bytes.begin(), bytes.end(), st.ring.ruleTable.begin());
    NullDisplay display;
    solitonSearch(st, display);
    EXPECT_EQ(j["nsol"], st.catalogue.Nsol);
    EXPECT_EQ(j["nstrun"], st.catalogue.Nstrun);
    ASSERT_EQ(j["solitons"].size(), std::size_t(st.catalogue.Nsol));
    for (int k = 0; k < st.catalogue.Nsol; ++k) {
      const json& s = j["solitons"][k];
      EXPECT_EQ(s["code"], st.catalogue.solitonCode[k]);
      EXPECT_EQ(s["period"], st.catalogue.solitonPeriod[k]);
      EXPECT_EQ(s["shift"], st.catalogue.solitonShift[k]);
      EXPECT_EQ(s["speed"], int(400.0 * st.catalogue.solitonShift[k] / st.catalogue.solitonPeriod[k]));
    }
  }
  EXPECT_EQ(json::parse(tool("search solCA.dat --json").out)["solitons"][15]["cells"], "BC");
}

TEST_F(ToolTest, EveryExampleRunsBackToItsSwappedStart) {
  for (int n = 1; n <= 8; ++n) {
    const Result r = tool("run solCA.dat Exp" + std::to_string(n) + ".dat --steps 1000 --reverse --out back.dat");
    EXPECT_EQ(r.code, 0) << n << r.out << r.err;
    const auto start = testing::fileBytes("Exp" + std::to_string(n) + ".dat"), back = testing::fileBytes("back.dat");
    ASSERT_EQ(back.size(), start.size());
    for (std::size_t i = 0; i < start.size(); ++i) ASSERT_EQ(back[i], start[i] == 2 ? 2 : 1 - start[i]) << n;
  }
  testing::putFile("flipped.dat", std::vector<std::uint8_t>(300, 2));
  EXPECT_EQ(tool("run solCA.dat Exp1.dat --steps 10").code, 0);
}

std::vector<std::uint8_t> pngRgb(const std::string& path, png_uint_32& width, png_uint_32& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
  png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
  width = image.width;
  height = image.height;
  return pixels;
}

// Every pixel by the colour rule: A light, live cells by their step mark,
// or in their type's panel colour where the catalogue tags them (tagged as
// the window's redraw tags).
TEST_F(ToolTest, RenderColoursEveryCellAsTheWindowDoes) {
  std::vector<std::uint8_t> row(256, 2);
  row[40] = 0;  // a lone C: marks of every kind
  testing::putFile("row.dat", row);
  const auto research = spaceTimePalette(SpaceTimePalette::research);
  for (const bool tagged : {false, true}) {
    for (const std::string palette : {"window", "research"}) {
      const std::string args = "render solCA.dat " +
                               std::string(tagged ? "Exp1.dat --catalogue Sol.dat --ring 768" : "row.dat --ring 256") +
                               " --steps 6 --scale 2 --png out.png --palette " + palette;
      ASSERT_EQ(tool(args).code, 0);
      png_uint_32 w = 0, h = 0;
      const auto rgb = pngRgb("out.png", w, h);
      const std::int32_t length = tagged ? 768 : 256;
      ASSERT_EQ(w, std::uint32_t(2 * length));
      ASSERT_EQ(h, 7u) << "generations 0 to 6";
      OndrixState st;
      st.ring.ringLength = length;
      const auto rule = testing::fileBytes("solCA.dat"), cells = testing::fileBytes(tagged ? "Exp1.dat" : "row.dat");
      std::copy(rule.begin(), rule.end(), st.ring.ruleTable.begin());
      if (tagged) {
        ASSERT_TRUE(readSolitonFile("Sol.dat", st.catalogue));
        NullDisplay display;
        buildSolitonPhaseTables(st, display);
      }
      // From the generation before the start, so that the first row has the
      // marks of the step into it.
      for (std::size_t i = 0; i < cells.size(); ++i) st.ring.cells[i] = swapState(cells[i]);
      stepGeneration(st.ring);
      for (std::int32_t i = 0; i < length; ++i) st.ring.cells[i] = swapState(st.ring.cells[i]);
      int red = 0;
      for (png_uint_32 y = 0; y < h; ++y) {
        stepGeneration(st.ring);
        if (y == 0) {
          ASSERT_TRUE(std::equal(cells.begin(), cells.end(), st.ring.cells.begin()));
        }
        if (tagged) tagSolitons(st.ring, st.phases);
        for (std::int32_t i = 0; i < length; ++i) {
          const std::uint8_t c = st.ring.cells[i];
          const std::int16_t mark = st.ring.stepMarks[i];
          const Rgb expected = palette == "window"
                                   ? (c == stateA ? Rgb{240, 240, 240} : markColour(mark))
                                   : (c == stateA                ? Rgb{255, 255, 255}
                                      : mark >= 1 && mark <= 12 ? research[static_cast<std::size_t>(mark - 1)]
                                      : c == stateB             ? Rgb{160, 160, 160}
                                                                : Rgb{40, 40, 40});
          for (int half : {0, 1}) {
            const std::uint8_t* p = &rgb[3 * (y * w + 2 * i + half)];
            ASSERT_EQ(p[0], expected.r) << palette << " " << y << "," << i;
            ASSERT_EQ(p[1], expected.g) << palette << " " << y << "," << i;
            ASSERT_EQ(p[2], expected.b) << palette << " " << y << "," << i;
          }
          red += palette == "window" && expected.r == 255 && expected.g == 0 && expected.b == 0;  // type 6
        }
      }
      if (palette == "window") {
        EXPECT_EQ(red > 0, tagged);
      }
    }
  }
}

// A pair known to pass through (shipped types 2 and 6) and one that leaves
// debris (shipped 0 and 2), as types 0, 1 and 2, 3 of a hand-made catalogue.
TEST_F(ToolTest, CollideClassifiesAnElasticAndADestructivePair) {
  Catalogue shipped;
  ASSERT_TRUE(readSolitonFile("Sol.dat", shipped));
  Catalogue c = shipped;
  const int order[12] = {2, 6, 0, 2, 4, 5, 1, 7, 8, 9, 10, 11};
  for (int k = 0; k < 12; ++k) {
    c.solitonCode[k] = shipped.solitonCode[order[k]];
    c.solitonPeriod[k] = shipped.solitonPeriod[order[k]];
    c.solitonShift[k] = shipped.solitonShift[order[k]];
  }
  ASSERT_TRUE(writeSolitonFile("pairs.dat", c));
  const Result r = tool("collide solCA.dat pairs.dat --json --png grid.png");
  ASSERT_EQ(r.code, 0) << r.err;
  const json j = json::parse(r.out);
  ASSERT_EQ(j["pairs"].size(), 121u);
  EXPECT_EQ(j["pairs"][0 * 11 + 1]["outcome"], "passed");
  EXPECT_EQ(j["pairs"][2 * 11 + 3]["outcome"], "debris");
  EXPECT_TRUE(fs::file_size("grid.png") > 1000);
}

// enumerate --json against the library, on one and two threads; --save
// keeps the first twelve; the table has a line per soliton.
TEST_F(ToolTest, EnumerateAgreesWithTheLibrary) {
  const Result one = tool("enumerate solCA.dat --max-width 10 --max-period 10 --json --threads 1 --save found.dat");
  ASSERT_EQ(one.code, 0) << one.err;
  json j = json::parse(one.out), two = json::parse(tool("enumerate solCA.dat --max-width 10 --max-period 10 --json --threads 2").out);
  j.erase("provenance");  // says how many threads, and the time
  two.erase("provenance");
  EXPECT_EQ(two, j);
  const auto bytes = testing::fileBytes("solCA.dat");
  RuleTable rule{};
  std::copy(bytes.begin(), bytes.end(), rule.begin());
  EnumerateOptions options;
  options.maxWidth = options.maxPeriod = 10;
  const Enumeration e = enumerateSolitons(rule, options);
  EXPECT_EQ(j["rule"], "solCA.dat");
  EXPECT_EQ(j["max_width"], 10);
  EXPECT_EQ(j["max_period"], 10);
  EXPECT_EQ(j["candidates"], e.candidates);
  EXPECT_EQ(j["rows"], e.rows);
  EXPECT_EQ(j["side_by_side"], e.sideBySide);
  ASSERT_EQ(j["solitons"].size(), e.solitons.size());
  Catalogue saved;
  ASSERT_TRUE(readSolitonFile("found.dat", saved));
  for (std::size_t k = 0; k < e.solitons.size(); ++k) {
    const json& s = j["solitons"][k];
    const EnumeratedSoliton& t = e.solitons[k];
    EXPECT_EQ(s["code"], t.code);
    EXPECT_EQ(s["period"], t.period);
    EXPECT_EQ(s["shift"], t.shift);
    EXPECT_EQ(s["speed"], t.speed);
    EXPECT_EQ(s["width"], t.width);
    EXPECT_EQ(s["cells"], codeLetters(t.code));
    EXPECT_EQ(s["code64"], t.code64);
    EXPECT_EQ(s["seed_search"], t.seedSearch);
    if (k < 12) {
      EXPECT_EQ(saved.solitonCode[k], t.code);
    }
  }
  const Result table = tool("enumerate solCA.dat --max-width 10 --max-period 10");
  EXPECT_EQ(std::count(table.out.begin(), table.out.end(), '\n'), std::ssize(e.solitons) + 3) << table.out;

  // Shards of 1, 3 and 7 merged give the one run's JSON, byte for byte but
  // for the provenance; merges of anything but one whole set are refused.
  const auto withoutProvenance = [](const std::string& text) {
    auto parsed = nlohmann::ordered_json::parse(text);
    parsed.erase("provenance");
    return parsed.dump(2);
  };
  const std::string whole = withoutProvenance(tool("enumerate solCA.dat --max-width 12 --max-period 12 --json").out);
  for (const int n : {1, 3, 7}) {
    std::string files;
    for (int i = 0; i < n; ++i) {
      const std::string name = "shard-" + std::to_string(i) + "-" + std::to_string(n) + ".json";
      const Result shard = tool("enumerate solCA.dat --max-width 12 --max-period 12 --shard " + std::to_string(i) + "/" +
                                std::to_string(n));
      ASSERT_EQ(shard.code, 0) << shard.err;
      testing::putFile(name, {shard.out.begin(), shard.out.end()});
      files += " " + name;
    }
    const Result merged = tool("enumerate --json --merge" + files);
    ASSERT_EQ(merged.code, 0) << merged.err;
    EXPECT_EQ(withoutProvenance(merged.out), whole) << n << " shards";
  }
  const std::string narrow = tool("enumerate solCA.dat --max-width 11 --max-period 12 --shard 1/3").out;
  testing::putFile("narrow.json", {narrow.begin(), narrow.end()});
  // Edited shards: another row count, an entry that is no soliton, another
  // shard than its provenance asked for.
  const auto edited = [](const char* name, const std::function<void(nlohmann::ordered_json&)>& edit) {
    auto j = nlohmann::ordered_json::parse(testing::fileBytes("shard-1-3.json"));
    edit(j);
    const std::string text = j.dump();
    testing::putFile(name, {text.begin(), text.end()});
  };
  edited("rows.json", [](auto& j) { j["rows"] = j["rows"].template get<std::int64_t>() + 1; });
  edited("entry.json", [](auto& j) { j["solitons"][0]["period"] = j["solitons"][0]["period"].template get<int>() + 1; });
  edited("claims.json", [](auto& j) { j["shard"] = {2, 3}; });
  for (const char* refused : {"--merge shard-0-3.json shard-1-3.json", "--merge shard-0-3.json shard-1-3.json shard-1-3.json",
                              "--merge shard-0-3.json narrow.json shard-2-3.json", "--merge shard-0-3.json shard-1-7.json",
                              "--merge solCA.dat", "--merge shard-0-3.json rows.json shard-2-3.json",
                              "--merge shard-0-3.json entry.json shard-2-3.json", "--merge shard-0-3.json shard-1-3.json claims.json"}) {
    const Result r = tool(std::string("enumerate ") + refused);
    EXPECT_EQ(r.code, 2) << refused << ": " << r.err;
  }
  for (const char* refused : {"solCA.dat --max-width 12 --max-period 12 --shard 3/3", "solCA.dat --max-width 12 --max-period 12 --shard 1",
                              "--merge shard-0-1.json --max-width 12", "solCA.dat --max-width 12",
                              "solCA.dat --max-width 12 --max-period 12 --shard 1/4294967298", "solCA.dat --max-width 12 --max-period 12 --shard ' 1/2'",
                              "solCA.dat --max-width 12 --max-period 12 --shard 1/2 --save x.dat",
                              // Any width: no width bound, no shards, and periods and shifts it can hold.
                              "solCA.dat --any-width --max-width 12 --max-period 2", "solCA.dat --any-width",
                              "solCA.dat --any-width --max-period 9", "solCA.dat --any-width --max-period 2 --shift 9",
                              "solCA.dat --max-width 12 --max-period 2 --shift 1", "solCA.dat --any-width --max-period 2 --shard 0/2",
                              "solCA.dat --any-width --max-period 2 --list-width 0"}) {
    EXPECT_EQ(tool(std::string("enumerate ") + refused).code, 1) << refused;
  }
  // A period whose states outgrow the memory given stops with the bound.
  const Result tight = tool("enumerate solCA.dat --any-width --max-period 3 --max-memory 1");
  EXPECT_EQ(tight.code, 2);
  EXPECT_NE(tight.err.find("not complete: period 3 shift 1: the states would outgrow 1.0 MiB"), std::string::npos) << tight.err;
  EXPECT_NE(tight.out.find("BC"), std::string::npos) << "what was found is shown: " << tight.out;
  EXPECT_NE(tight.err.find("2^24 states"), std::string::npos) << tight.err;
  const Result any = tool("enumerate solCA.dat --any-width --max-period 3 --save wide.dat");
  ASSERT_EQ(any.code, 0) << any.err;
  EXPECT_NE(any.out.find("BCAACBBCABCAB"), std::string::npos) << any.out;
  EXPECT_NE(any.out.find("family"), std::string::npos) << any.out;
  ASSERT_TRUE(readSolitonFile("wide.dat", saved));
  EXPECT_EQ(saved.solitonCode[0], 7) << "B C, the one soliton of period 1";
}

TEST_F(ToolTest, BadInputsSayWhatIsWrong) {
  testing::putFile("short.dat", std::vector<std::uint8_t>(100, 0));
  std::vector<std::uint8_t> restless(ruleTableSize, 0);
  restless[0] = 1;
  testing::putFile("restless.dat", restless);
  testing::putFile("bad.dat", {2, 2, 3});
  testing::putFile("empty.dat", {});
  fs::create_symlink("loop.dat", "loop.dat");
  struct Case {
    std::string args;
    int code;
    std::string message;
  };
  for (const Case& c : {Case{"search missing.dat", 2, "cannot read missing.dat: No such file or directory"},
                        Case{"search loop.dat", 2, "cannot read loop.dat: Too many levels of symbolic links"},
                        Case{"run solCA.dat Exp1.dat --steps 1e3", 1, "--steps: expected a whole number from 0 to 100000000, not '1e3'"},
                        Case{"hunt --trials 0x10", 1, "not '0x10'"},
                        Case{"enumerate solCA.dat --max-width abc --max-period 5", 1, "expected a whole number from 1 to 24"},
                        Case{"search short.dat", 2, "a rule file holds 162 bytes, this one 100"},
                        Case{"run solCA.dat bad.dat --steps 5", 2, "bad.dat: cell 2 holds 3, not a state 0, 1 or 2"},
                        Case{"run solCA.dat Exp1.dat --steps 5 --ring 7", 1, "--ring"},
                        Case{"render solCA.dat Exp1.dat --steps 5 --png x.png --scale 99", 1, "--scale"},
                        Case{"collide solCA.dat nothing.dat", 2, "cannot read nothing.dat"},
                        Case{"climb solCA.dat --variant sideways", 1, "--variant"},
                        Case{"search solCA.dat --fast", 1, "--fast"},
                        Case{"hunt --merge nothing.json", 2, "cannot read nothing.json"},
                        Case{"collide solCA.dat solCA.dat", 2, "solCA.dat: not a soliton file"},
                        Case{"run solCA.dat empty.dat --steps 5", 2, "empty.dat: an empty row"},
                        Case{"climb solCA.dat --variant aux", 2, "solCA.dat: an auxiliary table holds 54 bytes, this one 162"},
                        Case{"enumerate solCA.dat --max-width 25 --max-period 5", 1, "--max-width"},
                        Case{"enumerate solCA.dat --max-width 5", 1, "--max-period"},
                        Case{"enumerate restless.dat --max-width 5 --max-period 5", 2, "entry 0 is not 0"},
                        Case{"enumerate solCA.dat --max-width 5 --max-period 5 --save no/x.dat", 2, "cannot write no/x.dat"},
                        Case{"search solCA.dat --ring 50", 1, "expected a whole number from 88 to 7680"},
                        Case{"run solCA.dat Exp1.dat --steps 5 --ring 256", 2, "cell 500 is live but the ring has 256 cells"},
                        Case{"run solCA.dat BC@30 --steps 5 --ring 25", 2, "do not fit on a ring of 25 cells"},
                        Case{"run 0101 Exp1.dat --steps 5", 2, "0101: no such file, and not a rule"},
                        Case{"run - - --steps 5", 1, "standard input can be read once"},
                        Case{"show", 1, "show takes --rule, --row, --catalogue or more than one"},
                        Case{"show --catalogue Exp1.dat", 2, "Exp1.dat: not a soliton file"},
                        Case{"hunt --merge a.json --skip 5", 1, "--skip excludes --merge"},
                        Case{"run solCA.dat Exp1.dat --steps 100000000 --out no/x.dat", 2, "cannot write no/x.dat"},
                        Case{"", 1, "subcommand"}}) {
    const Result r = tool(c.args);
    EXPECT_EQ(r.code, c.code) << c.args;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_EQ(tool("--version").out, "ondrix-tool " ONDRIX_VERSION "\n");
  EXPECT_EQ(tool("run solCA.dat Exp1.dat --steps 010").out, "10 generations, 9 live cells\n");  // decimal, not octal
}

// Rules and rows as text and through standard input and pipes give what
// their files give; identify says what a pattern is, or exits 3.
TEST_F(ToolTest, TextStandardInputAndPipesStandForFiles) {
  const Result rule = tool("show --rule solCA.dat"), row = tool("show --row Exp5.dat");
  ASSERT_EQ(rule.code, 0);
  ASSERT_EQ(row.code, 0);
  const std::string digits = rule.out.substr(0, rule.out.size() - 1), letters = row.out.substr(0, row.out.size() - 1);
  EXPECT_EQ(digits.size(), 162u);
  const auto found = [](const std::string& args) { return json::parse(tool("search " + args + " --json").out)["solitons"]; };
  EXPECT_EQ(found(digits), found("solCA.dat"));
  EXPECT_EQ(found("- < solCA.dat"), found("solCA.dat"));
  ASSERT_EQ(tool("run solCA.dat Exp5.dat --steps 100 --out file.dat").code, 0);
  for (const std::string& given : std::vector<std::string>{letters, "- < Exp5.dat", "- < letters.txt"}) {
    testing::putFile("letters.txt", std::vector<std::uint8_t>(row.out.begin(), row.out.end()));
    ASSERT_EQ(tool("run " + digits + " " + given + " --steps 100 --out text.dat").code, 0) << given;
    EXPECT_EQ(fileBytes("text.dat"), fileBytes("file.dat")) << given;
  }
  const Result piped = testing::shell(testing::toolPath() + " run solCA.dat - --steps 100 --out - < Exp3.dat | " +
                                      testing::toolPath() + " run solCA.dat - --steps 100 --reverse");
  EXPECT_EQ(piped.code, 0) << piped.err;
  EXPECT_EQ(piped.out, "returned: the swapped start came back\n");
  ASSERT_EQ(::mkfifo("fifo", 0666), 0);
  const Result fifo = testing::shell("cat Exp5.dat > fifo & " + testing::toolPath() + " run solCA.dat fifo --steps 100 --out fifo.dat");
  EXPECT_EQ(fifo.code, 0) << fifo.err;
  EXPECT_EQ(fileBytes("fifo.dat"), fileBytes("file.dat"));
  EXPECT_EQ(tool("run solCA.dat Exp1.dat --steps 5 --ring 256 --crop").code, 0);
  // A catalogue as JSON, shown or saved, stands for the soliton file.
  ASSERT_EQ(tool("show --catalogue Sol.dat > sol.json").code, 0);
  ASSERT_EQ(tool("search solCA.dat --save found.json").code, 0);
  EXPECT_EQ(json::parse(tool("show --catalogue found.json").out)["types"][2]["cells"], "CCABB");
  json viaJson = json::parse(tool("collide solCA.dat sol.json --json").out), viaFile = json::parse(tool("collide solCA.dat Sol.dat --json").out);
  viaJson.erase("provenance");
  viaFile.erase("provenance");
  EXPECT_EQ(viaJson, viaFile);
  auto other = fileBytes("solCA.dat");
  other[100] ^= 1;
  testing::putFile("other.dat", other);
  const Result otherRule = tool("collide other.dat found.json");
  EXPECT_EQ(otherRule.code, 2);
  EXPECT_NE(otherRule.err.find("found.json: made under another rule"), std::string::npos) << otherRule.err;
  EXPECT_EQ(tool("identify solCA.dat AACCABBA").out.rfind("a soliton\n  towards higher cells: period 5, shift 2, speed 160", 0), 0u);
  EXPECT_EQ(tool("identify solCA.dat CBBCCBCB").code, 3);  // neither dies nor comes back
  EXPECT_NE(tool("identify solCA.dat BBABBC@0+CCABB@30 --catalogue Sol.dat").out.find("2 solitons side by side"),
            std::string::npos);
}

// Every JSON result says what made it: the version, the command, the rule
// and its SHA-256, the parameters and the time; a picture says it in text
// chunks; a merge of hunts from another version is refused.
TEST_F(ToolTest, ResultsCarryTheirProvenance) {
  const auto bytes = testing::fileBytes("solCA.dat");
  const std::string sha = sha256Hex(bytes);
  RuleTable rule{};
  std::copy(bytes.begin(), bytes.end(), rule.begin());
  struct Case {
    std::string args, command, parameter;
    bool rule;
  };
  for (const Case& c : {Case{"search solCA.dat --json --ring 300", "search", "ring", true},
                        Case{"enumerate solCA.dat --max-width 6 --max-period 6 --json", "enumerate", "max_width", true},
                        Case{"collide solCA.dat Sol.dat --json", "collide", "catalogue_codes", true},
                        Case{"run solCA.dat Exp1.dat --steps 10 --json", "run", "steps", true},
                        Case{"render solCA.dat Exp1.dat --steps 10 --png p.png --json", "render", "scale", true},
                        Case{"climb solCA.dat --variant keep --out c.dat --json", "climb", "variant", true},
                        Case{"hunt --trials 2 --json", "hunt", "trials", false}}) {
    const Result r = tool(c.args);
    const json p = json::parse(r.out).at("provenance");
    EXPECT_EQ(p.at("ondrix_version"), ONDRIX_VERSION) << c.args;
    EXPECT_EQ(p.at("command"), c.command) << c.args;
    EXPECT_TRUE(p.at("parameters").contains(c.parameter)) << c.args;
    EXPECT_GE(p.at("seconds").get<double>(), 0.0) << c.args;
    EXPECT_EQ(p.contains("rule_sha256") && p["rule_sha256"] == sha, c.rule) << c.args;
    if (c.rule) {
      EXPECT_EQ(parseRuleText(p.at("rule").get<std::string>()), rule) << c.args;
    }
  }
  const auto png = testing::fileBytes("p.png");
  const std::string text(png.begin(), png.end());
  EXPECT_NE(text.find(std::string("tEXtondrix rule_sha256") + '\0' + sha), std::string::npos);
  ASSERT_EQ(tool("hunt --trials 2 --json > a.json").code, 3);
  const Result b = tool("hunt --skip 2 --trials 2 --json");
  std::string older = b.out;
  older.replace(older.find("\"ondrix_version\": \""), 22, "\"ondrix_version\": \"0.0");
  testing::putFile("b.json", std::vector<std::uint8_t>(older.begin(), older.end()));
  const Result merged = tool("hunt --merge a.json b.json");
  EXPECT_EQ(merged.code, 2);
  EXPECT_NE(merged.err.find("b.json: made by ondrix-tool 0.0"), std::string::npos) << merged.err;
}

// identify agrees with every entry of the enumeration, given its letters.
TEST_F(ToolTest, IdentifyAgreesWithTheEnumeration) {
  const json e = json::parse(tool("enumerate solCA.dat --max-width 12 --max-period 40 --json").out);
  ASSERT_GT(e["solitons"].size(), 20u);
  for (const json& s : e["solitons"]) {
    const json id = json::parse(tool("identify solCA.dat " + s["cells"].get<std::string>() + " --json").out);
    ASSERT_EQ(id["kind"], "soliton") << s;
    for (const char* key : {"code", "period", "shift", "speed", "width", "cells"}) EXPECT_EQ(id["solitons"][0][key], s[key]) << key;
  }
}

// A climb given --out saves its tables there, not in ca.dat.
TEST_F(ToolTest, AClimbSavesWhereItIsTold) {
  fs::remove("ca.dat");
  const Result r = tool("climb solCA.dat --variant keep --out best.dat");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(fileBytes("best.dat").size(), 162u);
  EXPECT_FALSE(fs::exists("ca.dat"));
}

// Two stretches of a hunt merged give what one run gives; and the shipped
// files are what the hunt's winning trial makes, byte for byte.
TEST_F(ToolTest, HuntStretchesMergeAndTheShippedFilesComeBack) {
  ASSERT_EQ(tool("hunt --trials 400 --out whole").code, 0);
  ASSERT_EQ(tool("hunt --trials 300 --json > first.json").code, 3);  // nothing found in that stretch
  ASSERT_EQ(tool("hunt --trials 100 --skip 300 --json > second.json").code, 0);
  ASSERT_EQ(tool("hunt --merge first.json second.json --out merged").code, 0);
  for (const auto& f : fs::recursive_directory_iterator("whole")) {
    if (!f.is_regular_file()) continue;
    const auto rel = fs::relative(f.path(), "whole");
    EXPECT_EQ(testing::fileBytes(f.path().string()), testing::fileBytes(("merged" / rel).string())) << rel;
  }
  ASSERT_EQ(tool("hunt --skip 5778 --trials 1 --out winner").code, 0);
  for (const char* name : {"solCA.dat", "Sol.dat", "Exp1.dat", "Exp5.dat", "Exp8.dat", "tgho.dat", "data/filedem.bmp"}) {
    EXPECT_EQ(testing::fileBytes((fs::path("winner") / name).string()), testing::fileBytes((assets / name).string())) << name;
  }
}

// run --csv: a line a generation, the start first, with N(B), N(C) and the
// solitons the tagging finds, as the library tags the same generations;
// collide --all of one pair lists its collisions, each once.
TEST_F(ToolTest, RunWritesCsvAndCollideListsEveryCollision) {
  ASSERT_EQ(tool("run solCA.dat Exp1.dat --steps 300 --csv series.csv --catalogue Sol.dat").code, 0);
  const auto bytes = fileBytes("series.csv");
  std::vector<std::string> lines;
  std::string line;
  for (std::uint8_t b : bytes) {
    if (b != '\n') {
      line += static_cast<char>(b);
    } else {
      lines.push_back(line);
      line.clear();
    }
  }
  ASSERT_EQ(lines.size(), 302u);
  EXPECT_EQ(lines[0], "generation,b,c,solitons");
  OndrixState st = startupState(RuleTable{}, startupRingLength);
  ASSERT_TRUE(readTableFile("solCA.dat", st.ring.ruleTable));
  Catalogue c;
  ASSERT_TRUE(readSolitonFile("Sol.dat", c));
  AutomatonState scratch = quietRing(st.ring.ruleTable, startupRingLength);
  const PhaseTables tables = solitonPhaseTables(scratch, c);
  AutomatonState ring = quietRing(st.ring.ruleTable, startupRingLength);
  const auto row = fileBytes("Exp1.dat");
  std::copy(row.begin(), row.end(), ring.cells.begin());
  for (int g = 0; g <= 300; ++g) {
    if (g % 100 == 0) {
      std::string expected = std::to_string(g) + "," + std::to_string(std::count(ring.cells.begin(), ring.cells.begin() + 768, stateB)) +
                             "," + std::to_string(std::count(ring.cells.begin(), ring.cells.begin() + 768, stateC)) + ",";
      const auto found = locateSolitons(ring, tables);
      for (std::size_t k = 0; k < found.size(); ++k) {
        if (k > 0) expected += ' ';
        expected += std::to_string(found[k].type);
        expected += '@';
        expected += std::to_string(found[k].first);
      }
      EXPECT_EQ(lines[g + 1], expected);
      EXPECT_GE(found.size(), 2u) << g;
    }
    stepGeneration(ring);
  }
  const Result all = tool("collide solCA.dat Sol.dat --all --pair 2 6 --json --threads 2");
  ASSERT_EQ(all.code, 0) << all.err;
  const json pair = json::parse(all.out)["pairs"][0];
  EXPECT_EQ(pair["collisions"].size(), 55u);
  EXPECT_EQ(pair["collisions_per_beat"], 55);
  std::set<std::string> starts;
  for (const auto& x : pair["collisions"]) starts.insert(x["start"].get<std::string>());
  EXPECT_EQ(starts.size(), 55u);
  // Each soliton product names its catalogue type: a product that
  // continues a is type 2, one that continues b type 6.
  int continuing = 0;
  for (const auto& x : pair["collisions"]) {
    for (const auto& q : x["products"]) {
      if (q["continues"].is_null()) continue;
      EXPECT_EQ(q["type"], q["continues"] == "a" ? 2 : 6) << q.dump();
      continuing += 1;
    }
  }
  EXPECT_GE(continuing, 2);  // the one that passes, at least
  for (const char* refused :
       {"collide solCA.dat Sol.dat --pair 2 6", "collide solCA.dat Sol.dat --all --png x.png",
        "run solCA.dat Exp1.dat --steps 5 --csv - --reverse", "collide solCA.dat Sol.dat --png x.svg",
        "collide solCA.dat Sol.dat --figure x.jpg", "collide solCA.dat Sol.dat --png x.png --figure y.png",
        "render solCA.dat Exp1.dat --steps 5 --figure x"}) {
    EXPECT_EQ(tool(refused).code, 1) << refused;
    EXPECT_FALSE(fs::exists("x.svg") || fs::exists("x.jpg") || fs::exists("x.png") || fs::exists("x")) << refused;
  }
  // A catalogue period twice the soliton's own: refused, by file and type.
  Catalogue doubled;
  ASSERT_TRUE(readSolitonFile("Sol.dat", doubled));
  doubled.solitonPeriod[3] *= 2;
  doubled.solitonShift[3] *= 2;
  ASSERT_TRUE(writeSolitonFile("doubled.dat", doubled));
  const Result twice = tool("collide solCA.dat doubled.dat --all --pair 3 0");
  EXPECT_EQ(twice.code, 2);
  EXPECT_NE(twice.err.find("doubled.dat: type 3"), std::string::npos) << twice.err;
}

}  // namespace
}  // namespace ondrix
