#include "ondrix/datafiles/files.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "tests/support/testsupport.h"

namespace ondrix {
namespace {

using testing::fileBytes;
using testing::putFile;
namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
 protected:
  testing::ScratchFolder folder;
};

TEST_F(FilesTest, ReadPrefixOfShortExactAndLongFiles) {
  putFile("f.dat", {1, 2, 3});
  std::array<std::uint8_t, 5> buffer{9, 9, 9, 9, 9};
  EXPECT_EQ(readPrefix("f.dat", buffer), 3u);
  EXPECT_EQ(buffer, (std::array<std::uint8_t, 5>{1, 2, 3, 9, 9}));  // the rest keeps its bytes

  putFile("g.dat", std::vector<std::uint8_t>(500, 7));
  std::array<std::uint8_t, 162> table{};
  EXPECT_EQ(readPrefix("g.dat", table), 162u);
  EXPECT_EQ(table[161], 7);

  putFile("empty.dat", {});
  EXPECT_EQ(readPrefix("empty.dat", buffer), 0u);  // found, nothing read
}

TEST_F(FilesTest, MissingFilesAndFoldersAreMissing) {
  std::array<std::uint8_t, 4> buffer{5, 5, 5, 5};
  EXPECT_FALSE(readPrefix("absent.dat", buffer));
  fs::create_directory("folder.dat");
  EXPECT_FALSE(readPrefix("folder.dat", buffer));
  EXPECT_EQ(buffer, (std::array<std::uint8_t, 4>{5, 5, 5, 5}));
}

TEST_F(FilesTest, ReadsAFileThatCannotBeOpenedForWriting) {
  // A running program's own file refuses write access to everyone, root
  // included (ETXTBSY); a reader that asked for write access would miss it.
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  const int writable = ::open(self.c_str(), O_RDWR);
  ASSERT_EQ(writable, -1);
  ASSERT_EQ(errno, ETXTBSY);
  std::array<std::uint8_t, 4> magic{};
  ASSERT_EQ(readPrefix(self, magic), 4u);
  EXPECT_EQ(magic, (std::array<std::uint8_t, 4>{0x7F, 'E', 'L', 'F'}));
}

TEST_F(FilesTest, WriteWholeReplacesTheFile) {
  putFile("ca.dat", std::vector<std::uint8_t>(500, 1));
  const std::vector<std::uint8_t> bytes(162, 3);
  EXPECT_TRUE(writeWhole("ca.dat", bytes));
  EXPECT_EQ(fileBytes("ca.dat"), bytes);
  EXPECT_FALSE(fs::exists("ca.dat.tmp"));
  EXPECT_TRUE(writeWhole("new.dat", {}));
  EXPECT_TRUE(fs::exists("new.dat"));
  EXPECT_EQ(fs::file_size("new.dat"), 0u);
}

TEST_F(FilesTest, FailedWritesLeaveTheOldFileByteForByte) {
  const std::vector<std::uint8_t> old = {1, 0, 1, 1, 0, 0x0A, 0x0D};
  putFile("ca.dat", old);
  fs::create_directory("line.dat");  // a folder where the file goes
  EXPECT_FALSE(writeWhole("line.dat", std::vector<std::uint8_t>{2, 2, 2}));
  EXPECT_TRUE(fs::is_directory("line.dat"));
  EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 2);  // no temporary file left

  EXPECT_FALSE(writeWhole("no-such-folder/file0000.bmp", std::vector<std::uint8_t>{1}));
}

TEST(LineEnds, TranslationStoresEachLineFeedAfterACarriageReturn) {
  const std::vector<std::uint8_t> image = {0x0A, 1, 0x0D, 0x0A, 0x1A, 0x0D};
  const auto stored = translateLineEnds(image);
  EXPECT_EQ(stored, (std::vector<std::uint8_t>{0x0D, 0x0A, 1, 0x0D, 0x0D, 0x0A, 0x1A, 0x0D}));
  std::vector<std::uint8_t> back(image.size(), 0xEE);
  EXPECT_EQ(untranslateLineEnds(stored, back), image.size());
  EXPECT_EQ(back, image);
}

TEST(LineEnds, LoneCarriageReturnsAndLineFeedsStandForThemselves) {
  const std::vector<std::uint8_t> stored = {0x0A, 0x0D, 0x0D, 0x41, 0x0D};
  std::vector<std::uint8_t> image(8, 0);
  EXPECT_EQ(untranslateLineEnds(stored, image), 5u);
  EXPECT_EQ(std::vector<std::uint8_t>(image.begin(), image.begin() + 5), stored);
}

TEST(LineEnds, RoundTripOfRandomImagesRichInControlBytes) {
  std::mt19937 rng(3);
  const std::uint8_t special[] = {0x0A, 0x0D, 0x1A, 0x00};
  for (int trial = 0; trial < 2000; ++trial) {
    std::vector<std::uint8_t> image(1 + rng() % 144);
    for (auto& b : image) b = rng() % 2 ? special[rng() % 4] : static_cast<std::uint8_t>(rng());
    std::vector<std::uint8_t> back(image.size());
    ASSERT_EQ(untranslateLineEnds(translateLineEnds(image), back), image.size());
    ASSERT_EQ(back, image) << "trial " << trial;
  }
}

}  // namespace
}  // namespace ondrix

// Calls the writer makes, recorded by the hooks at the end of this file.
std::vector<std::string> syncCalls;

namespace ondrix {
namespace {

// Runs fn in a child process; whether it ended within the time (a reader
// that waits on a pipe never does).
bool finishesWithin(int seconds, const std::function<void()>& fn) {
  const pid_t child = ::fork();
  if (child == 0) {
    fn();
    ::_exit(0);
  }
  for (int waited = 0; waited < 100 * seconds; ++waited) {
    int status = 0;
    if (::waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    ::usleep(10000);
  }
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  return false;
}

TEST_F(FilesTest, NothingWaitsOnAPipe) {
  for (const char* name : {"solCA.dat", "Sol.dat", "line.dat", "ca.dat", "ca.dat.tmp"}) ASSERT_EQ(::mkfifo(name, 0666), 0);
  EXPECT_TRUE(finishesWithin(10, [] {
    std::array<std::uint8_t, 162> table{};
    for (const char* name : {"solCA.dat", "Sol.dat", "line.dat", "ca.dat"}) {
      if (readPrefix(name, table)) ::_exit(3);  // a pipe counts as missing
    }
    if (writeWhole("ca.dat", table)) ::_exit(4);  // not a regular file: refused
    if (!writeWhole("line.dat.new", table)) ::_exit(5);
  }));
  EXPECT_EQ(fs::status("ca.dat").type(), fs::file_type::fifo);
}

TEST_F(FilesTest, TheWriterNeverFollowsALink) {
  putFile("elsewhere.dat", {7, 7, 7});
  fs::create_symlink("elsewhere.dat", "ca.dat.tmp");
  ASSERT_TRUE(writeWhole("ca.dat", std::vector<std::uint8_t>{1, 2}));
  EXPECT_EQ(fileBytes("elsewhere.dat"), (std::vector<std::uint8_t>{7, 7, 7}));
  EXPECT_FALSE(fs::is_symlink("ca.dat"));
  EXPECT_EQ(fileBytes("ca.dat"), (std::vector<std::uint8_t>{1, 2}));
}

// A link the user made at the name (to a file in another folder, or to a
// file still to be made) is kept, and the file behind it is written.
TEST_F(FilesTest, AWriteThroughALinkReachesTheFileBehindIt) {
  fs::create_directory("shared");
  putFile("shared/rule.dat", {7, 7, 7});
  fs::create_symlink("shared/rule.dat", "ca.dat");
  fs::create_symlink("shared/new.dat", "line.dat");
  fs::create_symlink("loop.dat", "loop.dat");
  ASSERT_TRUE(writeWhole("ca.dat", std::vector<std::uint8_t>{1, 2}));
  ASSERT_TRUE(writeWhole("line.dat", std::vector<std::uint8_t>{3}));
  EXPECT_FALSE(writeWhole("loop.dat", std::vector<std::uint8_t>{4}));
  EXPECT_TRUE(fs::is_symlink("ca.dat") && fs::is_symlink("line.dat"));
  EXPECT_EQ(fileBytes("shared/rule.dat"), (std::vector<std::uint8_t>{1, 2}));
  EXPECT_EQ(fileBytes("shared/new.dat"), (std::vector<std::uint8_t>{3}));
}

TEST_F(FilesTest, ATargetThisUserMayNotWriteIsKept) {
  struct Case {
    uid_t owner;
    fs::perms mode;
    bool written;
  };
  for (const Case& c : {Case{65534, fs::perms(0444), false}, Case{::geteuid(), fs::perms(0444), false},
                        Case{::geteuid(), fs::perms(0640), true}, Case{65534, fs::perms(0666), true}}) {
    fs::remove("ca.dat");
    putFile("ca.dat", {5, 5});
    if (::geteuid() != 0 && c.owner != ::geteuid()) continue;  // only root can give a file away
    ASSERT_EQ(::chown("ca.dat", c.owner, static_cast<gid_t>(-1)), 0);
    fs::permissions("ca.dat", c.mode);
    EXPECT_EQ(writeWhole("ca.dat", std::vector<std::uint8_t>{1}), c.written);
    const std::vector<std::uint8_t> expected = c.written ? std::vector<std::uint8_t>{1} : std::vector<std::uint8_t>{5, 5};
    EXPECT_EQ(fileBytes("ca.dat"), expected);
    EXPECT_EQ(fs::status("ca.dat").permissions(), c.mode);  // a replaced file keeps its permissions
  }
}

TEST_F(FilesTest, TheFileAndItsFolderReachTheDiskAroundTheRename) {
  fs::create_directory("video");
  syncCalls.clear();
  ASSERT_TRUE(writeWhole("video/file0000.bmp", std::vector<std::uint8_t>(100, 1)));
  EXPECT_EQ(syncCalls, (std::vector<std::string>{"fsync file", "rename", "fsync folder"}));
}

// What stands at an output's name, and what the check and the writer say
// of it, before anything is written.
TEST_F(FilesTest, EveryRefusedTargetSaysWhy) {
  fs::create_directory("folder");
  ASSERT_EQ(::mkfifo("fifo", 0666), 0);
  fs::create_symlink("loop", "loop");
  putFile("plain.dat", {1});
  fs::create_symlink("plain.dat", "link.dat");
  const bool nodes = ::mknod("null", S_IFCHR | 0666, ::makedev(1, 3)) == 0;  // root only
  struct Case {
    const char* name;
    std::string cause;  // empty: writable
  };
  for (const Case& c : {Case{"folder", "is a folder"}, Case{"fifo", "is a FIFO"},
                        Case{"loop", "Too many levels of symbolic links"},
                        Case{"missing/x.dat", "No such file or directory (the folder missing)"},
                        Case{"plain.dat/x", "Not a directory"}, Case{"null", nodes ? "is a device" : ""},
                        Case{"plain.dat", ""}, Case{"link.dat", ""}, Case{"new.dat", ""}}) {
    EXPECT_EQ(outputProblem(c.name), c.cause) << c.name;
    if (c.cause.empty()) continue;
    const WriteOutcome w = writeWhole(c.name, std::vector<std::uint8_t>{9});
    EXPECT_FALSE(w) << c.name;
    EXPECT_EQ(w.failure.rfind(std::string(c.name) + ": ", 0), 0u) << w.failure;
  }
  if (nodes) {
    EXPECT_EQ(fs::status("null").type(), fs::file_type::character);
  }
  EXPECT_TRUE(fs::is_directory("folder") && fs::is_fifo("fifo"));
  std::string failure;
  std::array<std::uint8_t, 4> buffer{};
  EXPECT_FALSE(readPrefix("loop", buffer, &failure));
  EXPECT_EQ(failure, "Too many levels of symbolic links");
  EXPECT_FALSE(readPrefix("fifo", buffer, &failure));
  EXPECT_EQ(failure, "is a FIFO");
}

// A streamed write is all or nothing; writers killed with -9 leave their
// temporary files, which the next writer of the same target removes, and
// no one else's.
TEST_F(FilesTest, StreamedWritesAndTheTemporariesOfKilledWriters) {
  putFile("pic.png", {1, 2, 3});
  {
    SafeFile dropped("pic.png");
    ASSERT_TRUE(dropped.write(std::vector<std::uint8_t>{7, 7}));
  }
  EXPECT_EQ(fileBytes("pic.png"), (std::vector<std::uint8_t>{1, 2, 3}));
  SafeFile file("pic.png");
  for (std::uint8_t b : {4, 5, 6}) ASSERT_TRUE(file.write(std::vector<std::uint8_t>{b}));
  ASSERT_TRUE(file.commit());
  EXPECT_EQ(fileBytes("pic.png"), (std::vector<std::uint8_t>{4, 5, 6}));

  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);  // a process that is gone
  const std::string dead = std::to_string(child), alive = std::to_string(::getppid());
  const std::vector<std::string> stale = {"pic.png.tmp." + dead + ".0", "pic.png.tmp." + dead + ".12"};
  const std::vector<std::string> kept = {"pic.png.tmp." + alive + ".0", "pic.png.tmp.x.0", "other.png.tmp." + dead + ".0",
                                         "pic.png.tmp." + dead};
  for (const auto& name : stale) putFile(name, {0});
  for (const auto& name : kept) putFile(name, {0});
  fs::create_directory("hunt.tmp." + dead + ".3");
  putFile("hunt.tmp." + dead + ".3/Sol.dat", {0});
  ASSERT_TRUE(writeWhole("pic.png", std::vector<std::uint8_t>{8}));
  for (const auto& name : stale) EXPECT_FALSE(fs::exists(name)) << name;
  for (const auto& name : kept) EXPECT_TRUE(fs::exists(name)) << name;
  ASSERT_TRUE(replaceFolder("hunt", [](const std::string&) { return WriteOutcome{}; }));
  EXPECT_FALSE(fs::exists("hunt.tmp." + dead + ".3"));
}

// A folder replaced whole keeps what the fill does not write (files,
// folders, links), and a fill that fails leaves it as it was, with no
// staging folder beside it.
TEST_F(FilesTest, AFolderIsReplacedWholeOrNotAtAll) {
  fs::create_directories("out/data");
  putFile("out/Sol.dat", {1});
  putFile("out/keep.txt", {2});
  putFile("out/data/notes", {3});
  fs::create_symlink("keep.txt", "out/link");
  const auto fill = [](bool fails) {
    return [fails](const std::string& staging) -> WriteOutcome {
      if (auto w = writeWhole(staging + "/Sol.dat", std::vector<std::uint8_t>{9}); !w) return w;
      return fails || !ensureFolder(staging + "/data")
                 ? WriteOutcome{"Exp1.dat: No space left on device"}
                 : writeWhole(staging + "/data/filedem.bmp", std::vector<std::uint8_t>{8});
    };
  };
  const WriteOutcome failed = replaceFolder("out", fill(true));
  EXPECT_EQ(failed.failure, "out: Exp1.dat: No space left on device");
  EXPECT_EQ(fileBytes("out/Sol.dat"), std::vector<std::uint8_t>{1});
  ASSERT_TRUE(replaceFolder("out", fill(false)));
  EXPECT_EQ(fileBytes("out/Sol.dat"), std::vector<std::uint8_t>{9});
  EXPECT_EQ(fileBytes("out/data/filedem.bmp"), std::vector<std::uint8_t>{8});
  EXPECT_EQ(fileBytes("out/keep.txt"), std::vector<std::uint8_t>{2});
  EXPECT_EQ(fileBytes("out/data/notes"), std::vector<std::uint8_t>{3});
  EXPECT_TRUE(fs::is_symlink("out/link"));
  ASSERT_TRUE(replaceFolder("fresh", fill(false)));  // made when missing
  EXPECT_EQ(fileBytes("fresh/Sol.dat"), std::vector<std::uint8_t>{9});
  putFile("file", {5});
  EXPECT_EQ(replaceFolder("file", fill(false)).failure, "file: is a file, not a folder");
  for (const auto& entry : fs::directory_iterator(".")) {
    EXPECT_EQ(entry.path().string().find(".tmp."), std::string::npos) << entry.path();
  }
}

// Given up on a signal, every write in progress loses its temporary file
// and none commits afterwards: the targets stay as they were.
TEST_F(FilesTest, AbandonedWritesLeaveNothingBehind) {
  putFile("a.dat", {1});
  fs::create_directory("out");
  putFile("out/b.dat", {2});
  EXPECT_TRUE(finishesWithin(10, [] {
    SafeFile file("a.dat");
    if (!file.write(std::vector<std::uint8_t>{7})) ::_exit(3);
    const WriteOutcome folder = replaceFolder("out", [&](const std::string&) {
      abandonAllWrites();
      return WriteOutcome{};
    });
    if (folder || file.commit()) ::_exit(4);
    for (const auto& entry : fs::recursive_directory_iterator(".")) {
      if (entry.path().string().find(".tmp.") != std::string::npos) ::_exit(5);
    }
  }));
  EXPECT_EQ(fileBytes("a.dat"), std::vector<std::uint8_t>{1});
  EXPECT_EQ(fileBytes("out/b.dat"), std::vector<std::uint8_t>{2});
}

}  // namespace
}  // namespace ondrix

// The hooks: the program's own calls of fsync and rename come here first.
extern "C" int fsync(int fd) {
  static auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
  struct stat st {};
  ::fstat(fd, &st);
  syncCalls.push_back(S_ISDIR(st.st_mode) ? "fsync folder" : "fsync file");
  return real(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
  static auto real = reinterpret_cast<int (*)(const char*, const char*)>(::dlsym(RTLD_NEXT, "rename"));
  syncCalls.push_back("rename");
  return real(from, to);
}
