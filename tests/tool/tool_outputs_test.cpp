// Every output of ondrix-tool is whole or not there: whatever stands at an
// output's name is refused before the work and left alone, failed and
// killed writes keep the previous file, a hunt's folder is replaced whole,
// and a closed pipe or a hostile merge ends the tool with one line.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "tests/support/testsupport.h"
#include "tests/tool/toolprocess.h"

namespace ondrix {
namespace {

namespace fs = std::filesystem;
using testing::fileBytes;
using testing::putFile;
using testing::Result;
using testing::tool;
using testing::toolWithin;
using Bytes = std::vector<std::uint8_t>;
using std::chrono::microseconds;

const fs::path assets = ONDRIX_ASSETS_DIR;

bool oneLine(const std::string& text) { return std::count(text.begin(), text.end(), '\n') == 1; }

class ToolOutputs : public ::testing::Test {
 protected:
  void SetUp() override { fs::copy(assets, ".", fs::copy_options::recursive); }

  // Names below the working folder that a write in progress would use.
  static std::vector<std::string> temporaries() {
    std::vector<std::string> found;
    for (const auto& e : fs::recursive_directory_iterator(".")) {
      if (e.path().filename().string().find(".tmp.") != std::string::npos) found.push_back(e.path().string());
    }
    return found;
  }

  // Starts the tool, waits a time drawn from [0, most], sends the signal;
  // the exit code (128 + signal when it ended the tool).
  static int signalledAfter(const std::vector<std::string>& args, int signal, microseconds most, std::mt19937& random) {
    const pid_t pid = testing::startTool(args);
    std::this_thread::sleep_for(microseconds(random() % (most.count() + 1)));
    ::kill(pid, signal);
    return testing::waitForTool(pid);
  }

  static microseconds timed(const std::vector<std::string>& args) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(testing::waitForTool(testing::startTool(args)), 0);
    return std::chrono::duration_cast<microseconds>(std::chrono::steady_clock::now() - start);
  }

  testing::ScratchFolder folder;
};

// A FIFO, a copy of /dev/full, a folder, a loop of links or a missing
// folder at any output is refused at once, before the job (each here would
// run for minutes), with the cause; what stood there stays.
TEST_F(ToolOutputs, WhatStandsAtAnOutputIsRefusedFirstAndKept) {
  ASSERT_EQ(::mkfifo("fifo", 0666), 0);
  fs::create_directory("folder");
  fs::create_symlink("loop", "loop");
  struct Target {
    std::string name, cause;
  };
  std::vector<Target> targets = {{"fifo", "is a FIFO"},
                                 {"folder", "is a folder"},
                                 {"loop", "Too many levels of symbolic links"},
                                 {"missing/out", "No such file or directory"},
                                 {"/dev/stdout", "is a process's open file"}};
  if (::mknod("full", S_IFCHR | 0666, ::makedev(1, 7)) == 0) targets.push_back({"full", "is a device"});  // root only
  for (const char* command : {"render solCA.dat Exp1.dat --steps 10000000 --png ", "collide solCA.dat Sol.dat --png ",
                              "search solCA.dat --ring 7680 --save ",
                              "enumerate solCA.dat --max-width 19 --max-period 40 --save ",
                              "run solCA.dat Exp1.dat --steps 100000000 --out ", "climb solCA.dat --variant keep --out "}) {
    for (const Target& t : targets) {
      const Result r = toolWithin(20, command + t.name);
      EXPECT_EQ(r.code, 2) << command << t.name;
      EXPECT_NE(r.err.find("cannot write " + t.name + ": " + t.cause), std::string::npos) << command << r.err;
      EXPECT_TRUE(oneLine(r.err)) << r.err;
    }
  }
  EXPECT_TRUE(fs::is_fifo("fifo") && fs::is_directory("folder") && fs::is_symlink("loop"));
  if (fs::exists("full")) {
    EXPECT_TRUE(fs::is_character_file("full"));
  }
  EXPECT_TRUE(temporaries().empty());
}

// A picture that cannot be finished (the file-size limit stands for a full
// disk) leaves the previous one byte for byte and says why; a link to a
// picture is written through.
TEST_F(ToolOutputs, AFailedPictureKeepsThePreviousOne) {
  ASSERT_EQ(tool("render solCA.dat Exp1.dat --steps 50 --png old.png").code, 0);
  const Bytes old = fileBytes("old.png");
  const Result r = testing::shell("trap '' XFSZ; ulimit -f 8; " + testing::toolPath() +
                                  " render solCA.dat Exp5.dat --steps 5000 --png old.png");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("cannot write old.png: File too large"), std::string::npos) << r.err;
  EXPECT_EQ(fileBytes("old.png"), old);
  fs::create_symlink("old.png", "link.png");
  ASSERT_EQ(tool("render solCA.dat Exp1.dat --steps 60 --png link.png").code, 0);
  EXPECT_TRUE(fs::is_symlink("link.png"));
  EXPECT_NE(fileBytes("old.png"), old);
  EXPECT_TRUE(temporaries().empty());
}

// "-" writes to standard output, the one way to a pipe; a reader that
// goes away ends the tool with one line and exit 2, not SIGPIPE; the
// report then goes to standard error, and JSON cannot share the pipe.
TEST_F(ToolOutputs, StandardOutputIsTheWayToAPipe) {
  ASSERT_EQ(tool("render solCA.dat Exp5.dat --steps 300 --png file.png").code, 0);
  const Result piped = tool("render solCA.dat Exp5.dat --steps 300 --png - > piped.png");
  EXPECT_EQ(piped.code, 0);
  EXPECT_EQ(fileBytes("piped.png"), fileBytes("file.png"));
  const Result closed = testing::shell("( " + testing::toolPath() +
                                       " render solCA.dat Exp5.dat --steps 20000 --png -; echo $? >code.txt )"
                                       " | head -c 100 >/dev/null");
  EXPECT_EQ(fileBytes("code.txt"), (Bytes{'2', '\n'}));
  EXPECT_EQ(closed.err, "ondrix-tool: cannot write to standard output: Broken pipe\n");
  const Result row = tool("run solCA.dat Exp1.dat --steps 10 --out -");
  EXPECT_EQ(row.code, 0);
  EXPECT_EQ(row.out.size(), 768u);
  EXPECT_EQ(row.err, "10 generations, 9 live cells\n");
  EXPECT_EQ(tool("search solCA.dat --json --save -").code, 1);
}

// A render killed at any moment (kill -9, SIGTERM, Ctrl-C) leaves the old
// picture or the whole new one; SIGTERM and SIGINT leave no temporary file
// and exit 143 and 130; the temporaries of a kill -9 go with the next write.
TEST_F(ToolOutputs, KilledRendersLeaveTheOldOrTheNewPicture) {
  const std::vector<std::string> render = {"render", "solCA.dat", "Exp5.dat", "--steps", "8000", "--png", "pic.png"};
  ASSERT_EQ(tool("render solCA.dat Exp1.dat --steps 8000 --png pic.png").code, 0);
  const Bytes old = fileBytes("pic.png");
  ASSERT_EQ(tool("render solCA.dat Exp5.dat --steps 8000 --png new.png").code, 0);
  const Bytes fresh = fileBytes("new.png");
  const microseconds whole = timed({"render", "solCA.dat", "Exp5.dat", "--steps", "8000", "--png", "timing.png"});
  std::mt19937 random(20);
  for (const int signal : {SIGTERM, SIGINT, SIGKILL}) {  // kill -9 last: its temporaries stay until the next write
    int stopped = 0;
    for (int run = 0; run < 50; ++run) {
      fs::copy_file("new.png", "pic.png", fs::copy_options::overwrite_existing);
      if (run % 2) putFile("pic.png", old);  // half the runs start from the old picture
      const Bytes before = fileBytes("pic.png");
      const int code = signalledAfter(render, signal, whole, random);
      ASSERT_TRUE(code == 0 || code == 128 + signal) << code;
      stopped += code != 0;
      const Bytes after = fileBytes("pic.png");
      ASSERT_TRUE(after == before || after == fresh) << "signal " << signal << ", run " << run;
      if (signal != SIGKILL) {
        ASSERT_TRUE(temporaries().empty()) << temporaries().front();
      }
    }
    EXPECT_GT(stopped, 0) << "no run was stopped part way";
  }
  ASSERT_EQ(tool("render solCA.dat Exp1.dat --steps 10 --png pic.png").code, 0);
  EXPECT_TRUE(temporaries().empty());
}

// Ctrl-C stops the widest enumeration with one line and exit 130, and
// leaves neither the list nor a temporary file.
TEST_F(ToolOutputs, AnInterruptedEnumerationLeavesNothing) {
  const Result r = testing::shell("timeout --preserve-status -s INT 1 " + testing::toolPath() +
                         " enumerate solCA.dat --max-width 19 --max-period 40 --save x.dat");
  EXPECT_EQ(r.code, 130);
  EXPECT_EQ(r.err, "ondrix-tool: interrupted\n");
  EXPECT_FALSE(fs::exists("x.dat"));
  EXPECT_TRUE(temporaries().empty());
}

// With standard error in a file, a long job writes a progress line every
// 10 seconds; --quiet writes none. Both run at once, each stopped after 15.
// One thread each and 21 cells: some 100 s of work, so no machine finishes
// it inside the 15 s, and a percent still passes every second or two.
TEST_F(ToolOutputs, ProgressLinesGoToALogUnlessQuiet) {
  const std::string job = " enumerate solCA.dat --max-width 21 --max-period 12 --threads 1";
  const Result r = testing::shell("timeout -s INT 15 " + testing::toolPath() + job + " 2> log.txt & timeout -s INT 15 " +
                                  testing::toolPath() + " --quiet" + job + " 2> quiet.txt; wait");
  const auto log = fileBytes("log.txt"), quiet = fileBytes("quiet.txt");
  const std::string logged(log.begin(), log.end()), silent(quiet.begin(), quiet.end());
  EXPECT_EQ(logged.rfind("enumerate: ", 0), 0u) << logged;
  EXPECT_NE(logged.find("M rows), "), std::string::npos) << logged;
  EXPECT_NE(logged.find("s left\n"), std::string::npos) << logged;
  EXPECT_EQ(silent, "ondrix-tool: interrupted\n");
}

// Two renders to one name at once: always one whole picture.
TEST_F(ToolOutputs, TwoRendersToOneNameLeaveOneWholePicture) {
  const std::vector<std::string> a = {"render", "solCA.dat", "Exp5.dat", "--steps", "3000", "--png", "a.png"};
  const std::vector<std::string> b = {"render", "solCA.dat", "Exp6.dat", "--steps", "3000", "--png", "b.png"};
  ASSERT_EQ(timed(a).count() > 0 && timed(b).count() > 0, true);
  const Bytes pictureA = fileBytes("a.png"), pictureB = fileBytes("b.png");
  for (int pair = 0; pair < 20; ++pair) {
    auto first = a, second = b;
    first.back() = second.back() = "one.png";
    const pid_t p = testing::startTool(first), q = testing::startTool(second);
    ASSERT_EQ(testing::waitForTool(p), 0);
    ASSERT_EQ(testing::waitForTool(q), 0);
    const Bytes got = fileBytes("one.png");
    ASSERT_TRUE(got == pictureA || got == pictureB) << "pair " << pair;
  }
  EXPECT_TRUE(temporaries().empty());
}

// A hunt's folder killed at any moment is wholly old or wholly new, and
// keeps the files the hunt does not write; one that cannot be finished
// stays old and names the file and the cause.
TEST_F(ToolOutputs, AHuntFolderIsWhollyOldOrWhollyNew) {
  const std::vector<std::string> files = {"solCA.dat", "Sol.dat",  "Exp1.dat", "Exp2.dat", "Exp3.dat", "Exp4.dat",
                                          "Exp5.dat",  "Exp6.dat", "Exp7.dat", "Exp8.dat", "tgho.dat", "data/filedem.bmp"};
  fs::create_directories("hd/data");
  for (const auto& f : files) putFile("hd/" + f, {1, 2, 3});
  putFile("hd/keep.txt", {4});
  const auto state = [&] {
    int old = 0, fresh = 0;
    for (const auto& f : files) {
      const Bytes got = fileBytes("hd/" + f);
      old += got == Bytes{1, 2, 3};
      fresh += got == fileBytes((assets / f).string());
    }
    return old == std::ssize(files) ? "old" : fresh == std::ssize(files) ? "new" : "mixed";
  };
  const std::vector<std::string> hunt = {"hunt", "--skip", "5778", "--trials", "1", "--out", "hd"};
  const Result full = testing::shell("trap '' XFSZ; ulimit -f 16; " + testing::toolPath() + " hunt --skip 5778 --trials 1 --out hd");
  EXPECT_EQ(full.code, 2);
  EXPECT_NE(full.err.find("cannot write hd: data/filedem.bmp: File too large"), std::string::npos) << full.err;
  EXPECT_STREQ(state(), "old");

  const microseconds whole = timed({"hunt", "--skip", "5778", "--trials", "1", "--out", "timing"});
  std::mt19937 random(30);
  int killed = 0;
  for (int run = 0; run < 30; ++run) {
    killed += signalledAfter(hunt, SIGKILL, whole, random) != 0;
    const std::string now = state();
    ASSERT_NE(now, "mixed") << "run " << run;
    ASSERT_EQ(fileBytes("hd/keep.txt"), Bytes{4});
    if (now == "new") {
      for (const auto& f : files) putFile("hd/" + f, {1, 2, 3});
    }
  }
  EXPECT_GT(killed, 0);
  ASSERT_EQ(testing::waitForTool(testing::startTool(hunt)), 0);
  EXPECT_STREQ(state(), "new");
  EXPECT_TRUE(temporaries().empty()) << "the staging folders of killed hunts stay: " << temporaries().front();

  // Links inside the folder give way to files of its own: nothing outside changes.
  fs::create_directory("elsewhere");
  putFile("elsewhere/sol", {7});
  fs::remove("hd/Sol.dat");
  fs::remove_all("hd/data");
  fs::create_symlink("../elsewhere/sol", "hd/Sol.dat");
  fs::create_symlink("../elsewhere", "hd/data");
  ASSERT_EQ(tool("hunt --skip 5778 --trials 1 --out hd/").code, 0);  // a trailing slash names the same folder
  EXPECT_STREQ(state(), "new");
  EXPECT_EQ(fileBytes("elsewhere/sol"), Bytes{7});
  EXPECT_FALSE(fs::exists("elsewhere/filedem.bmp"));
  EXPECT_EQ(tool("hunt --skip 5778 --trials 1 --out .").code, 2);  // the working folder

  fs::create_symlink("behind", "dangling");  // a link to a folder still to be made
  ASSERT_EQ(tool("hunt --skip 5778 --trials 1 --out dangling").code, 0);
  EXPECT_TRUE(fs::is_symlink("dangling"));
  EXPECT_EQ(fileBytes("behind/Sol.dat"), fileBytes((assets / "Sol.dat").string()));
}

// Hostile merge inputs are refused at once, with one line; a far skip costs
// no more than the trials it runs.
TEST_F(ToolOutputs, HostileMergesAndFarSkipsEndQuickly) {
  std::string zeros = "[0";
  for (int e = 1; e < 162; ++e) zeros += ",0";
  zeros += "]";
  struct Case {
    std::string json, message;
  };
  for (const Case& c : {Case{R"({"from":0,"trials":2000000000,"best":{"trial":1999999999,"rule":)" + zeros + "}}",
                             "trial 1999999999 does not draw that rule"},
                        Case{R"({"from":2147483000,"trials":2147483647,"best":null})", "run past the hunt's last trial"},
                        Case{R"({"from":0,"trials":-2147483648,"best":null})", "\"trials\" must be a whole number"},
                        Case{R"({"from":1e3,"trials":1,"best":null})", "\"from\" must be a whole number"},
                        Case{R"({"from":0,"trials":1,"best":{"trial":"0","rule":)" + zeros + "}}",
                             "trial \"0\" does not draw that rule"}}) {
    putFile("merge.json", Bytes(c.json.begin(), c.json.end()));
    const Result r = toolWithin(20, "hunt --merge merge.json");
    EXPECT_EQ(r.code, 2) << c.json;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_TRUE(oneLine(r.err)) << r.err;
  }
  const Result far = toolWithin(60, "hunt --skip 100000000 --trials 1 --json");
  EXPECT_EQ(far.code, 3) << far.err;  // that trial's rule offers no catalogue
  EXPECT_NE(far.out.find("\"from\": 100000000"), std::string::npos) << far.out;
  EXPECT_EQ(tool("hunt --skip 2147483640 --trials 10").code, 1);
}

// A figure as PNG and as SVG is one drawing (a render's and the survey's
// labelled grid): the SVG, drawn at its size, gives the PNG's picture pixel
// for pixel and its frame and text nearly so (text is smoothed its own way);
// it keeps the provenance; too large a figure is refused before any work.
TEST_F(ToolOutputs, FiguresAsPngAndSvgAreOneDrawing) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  const QGuiApplication application(argc, argv);
  for (const std::string args : {"render solCA.dat Exp1.dat --steps 200 --catalogue Sol.dat --palette research --figure ",
                                 "collide solCA.dat Sol.dat --palette research --figure "}) {
    ASSERT_EQ(tool(args + "f.png").code, 0) << args;
    ASSERT_EQ(tool(args + "f.svg").code, 0) << args;
    const QImage png("f.png");
    QSvgRenderer svg(QString("f.svg"));
    ASSERT_FALSE(png.isNull());
    ASSERT_TRUE(svg.isValid());
    ASSERT_EQ(svg.defaultSize(), png.size()) << args;
    QImage drawn(png.size(), QImage::Format_RGB32);
    drawn.fill(Qt::white);
    {
      QPainter p(&drawn);
      svg.render(&p);
    }
    const QImage a = png.convertToFormat(QImage::Format_RGB32);
    long same = 0, colour = 0;
    for (int y = 0; y < a.height(); ++y) {
      for (int x = 0; x < a.width(); ++x) {
        const QRgb p = a.pixel(x, y), q = drawn.pixel(x, y);
        same += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) < 24;
        colour += qRed(p) != qGreen(p) || qGreen(p) != qBlue(p);
      }
    }
    EXPECT_GT(same, 0.98 * a.width() * a.height()) << args;
    EXPECT_GT(colour, 1000) << args << ": the types in their colours";
    EXPECT_NE(a.text("ondrix rule_sha256"), "") << args;
    const auto text = fileBytes("f.svg");
    EXPECT_NE(std::string(text.begin(), text.end()).find("rule_sha256"), std::string::npos) << args;
  }
  EXPECT_EQ(tool("render solCA.dat Exp1.dat --steps 9000 --figure big.svg").code, 1);
  EXPECT_FALSE(fs::exists("big.svg"));
  EXPECT_EQ(tool("render solCA.dat Exp1.dat --steps 9").code, 1);
}

}  // namespace
}  // namespace ondrix
