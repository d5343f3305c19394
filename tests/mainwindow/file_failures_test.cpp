// Every writer of the window against injected failures: a file-size limit,
// a full file system, a folder at the target. The old file stays byte for
// byte and the status bar names the file (a lost frame ends the recording
// and says why); a failed save at the start of a
// run does not stop the run. Every reader against a missing or empty file,
// a folder and a pipe: the status bar names the file and the cause.
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QAction>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>

#include "ondrix/datafiles/recording.h"
#include "ondrix/mainwindow/windows/Unit1.h"
#include "ondrix/solitons/windows/Unit2.h"
#include "tests/support/testsupport.h"

using namespace ondrix;
using namespace ondrix::ui;
namespace fs = std::filesystem;

namespace {

struct Writer {
  const char* what;
  std::string file;
  std::function<void(TForm1*)> write;
  const char* message = "Could not write ";  // then the file's name
};

void trigger(TForm1* form, const char* action) { form->findChild<QAction*>(QString::fromLatin1(action))->trigger(); }
void click(TForm1* form, const char* button) {
  QTest::mouseClick(form->findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
}

const Writer writers[] = {
    {"write CA", "ca.dat", [](TForm1* f) { trigger(f, "WRITECA51"); }},
    {"Exr.dat", "Exr.dat", [](TForm1* f) { f->WRITECA1Click(); }},
    {"Save solitons", "Sol.dat", [](TForm1* f) { QTest::mouseClick(f->Form2->Button1, Qt::LeftButton); }},
    {"write data", "line.dat", [](TForm1* f) { trigger(f, "writedata1"); }},
    {"Wrtie line", "line.dat", [](TForm1* f) { click(f, "Button46"); }},
    {"start of a run", "line.dat", [](TForm1* f) {
       click(f, "Button10");
       QVERIFY(f->runTimer().isActive());  // the run starts all the same
       click(f, "Button10");
     }},
    {"frame file", frameFileName(5), [](TForm1* f) {
       f->state().recording.frameCounter = 5;  // the sweep stops at the missing file0000
       trigger(f, "ViewVdeo1");
       f->Timer3Timer();
       QVERIFY(!f->recordingTimer().isActive());  // the first lost frame ends the recording
     }, "Recording stopped: could not write "},
};

enum class Failure { sizeLimit, fullDisk, folder };

struct Reader {
  const char* what;
  std::string file;
  std::function<void(TForm1*)> read;  // nothing: the read is the start-up's
};

const Reader readers[] = {
    {"Read line", "line.dat", [](TForm1* f) { click(f, "Button45"); }},
    {"read data", "line.dat", [](TForm1* f) { trigger(f, "readdata1"); }},
    {"read CA", "ca.dat", [](TForm1* f) { trigger(f, "redrCA1"); }},
    {"READ (sol) CA", "solCA.dat", [](TForm1* f) { trigger(f, "READCA51"); }},
    {"Ex. 3", "Exp3.dat", [](TForm1* f) { click(f, "Button50"); }},
    {"Test ghosts", "tgho.dat", [](TForm1* f) { click(f, "Button35"); }},
    {"start-up", "Sol.dat", nullptr},
};

const std::pair<const char*, const char*> readFailures[] = {
    {"missing", "no such file"}, {"empty", "is empty"}, {"folder", "is a folder"}, {"pipe", "is a pipe"}};

// A small file system mounted for the test's lifetime.
struct SmallDisk {
  fs::path at;
  bool mounted = false;
  explicit SmallDisk(const char* folder) : at(fs::absolute(folder)) {
    mounted = ::mount("tmpfs", at.c_str(), "tmpfs", 0, "size=1m") == 0;
  }
  ~SmallDisk() {
    if (mounted) ::umount2(at.c_str(), MNT_DETACH);
  }
};

}  // namespace

class FileFailuresTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ::signal(SIGXFSZ, SIG_IGN); }

  void everyWriterKeepsTheOldFile_data() {
    QTest::addColumn<int>("writer");
    QTest::addColumn<int>("failure");
    for (int w = 0; w < int(std::size(writers)); ++w) {
      for (auto [f, name] : {std::pair{Failure::sizeLimit, "size limit"}, std::pair{Failure::fullDisk, "full disk"},
                             std::pair{Failure::folder, "folder"}}) {
        QTest::addRow("%s, %s", writers[w].what, name) << w << int(f);
      }
    }
  }

  void everyWriterKeepsTheOldFile() {
    QFETCH(int, writer);
    QFETCH(int, failure);
    const Writer& w = writers[writer];
    testing::ScratchFolder folder;
    fs::create_directory("disk");
    const auto mode = Failure(failure);
    std::optional<SmallDisk> disk;
    if (mode == Failure::fullDisk && !disk.emplace("disk").mounted) {
      QSKIP("cannot mount a small file system here (needs root)");
    }
    fs::current_path("disk");
    fs::create_directory("video");
    const std::vector<std::uint8_t> old = {2, 1, 0, 0x0A, 7};
    if (mode == Failure::folder) fs::create_directory(w.file);
    else testing::putFile(w.file, old);

    auto form = std::make_unique<TForm1>();
    form->createSecondaryWindows();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));

    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    if (mode == Failure::sizeLimit) {
      rlimit small = saved;
      small.rlim_cur = 4;
      ::setrlimit(RLIMIT_FSIZE, &small);
    }
    if (mode == Failure::fullDisk) {
      std::ofstream filler("filler", std::ios::binary);
      const std::vector<char> block(4096, 0);
      while (filler.write(block.data(), block.size())) filler.flush();
    }
    w.write(form.get());
    ::setrlimit(RLIMIT_FSIZE, &saved);

    if (mode == Failure::folder) QVERIFY(fs::is_directory(w.file));
    else QCOMPARE(testing::fileBytes(w.file), old);
    const QString shown = form->StatusBar1->currentMessage(), expected = w.message + QString::fromStdString(w.file);
    QVERIFY2(shown == expected || shown.startsWith(expected + ": "), qPrintable(shown));
    fs::current_path("..");
  }

  void everyReaderSaysWhatWentWrong_data() {
    QTest::addColumn<int>("reader");
    QTest::addColumn<int>("failure");
    for (int r = 0; r < int(std::size(readers)); ++r) {
      for (int f = 0; f < int(std::size(readFailures)); ++f) {
        QTest::addRow("%s, %s", readers[r].what, readFailures[f].first) << r << f;
      }
    }
  }

  void everyReaderSaysWhatWentWrong() {
    QFETCH(int, reader);
    QFETCH(int, failure);
    const Reader& r = readers[reader];
    const auto [kind, cause] = readFailures[failure];
    testing::ScratchFolder folder;
    if (kind == std::string("empty")) testing::putFile(r.file, {});
    if (kind == std::string("folder")) fs::create_directory(r.file);
    if (kind == std::string("pipe")) QVERIFY(::mkfifo(r.file.c_str(), 0600) == 0);

    auto form = std::make_unique<TForm1>();
    form->createSecondaryWindows();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    if (r.read) r.read(form.get());
    const QString shown = form->StatusBar1->currentMessage();
    const QString expected = QString::fromStdString(r.file) + ": " + cause;
    QVERIFY2(r.read ? shown == "Could not read " + expected : shown.contains(expected), qPrintable(shown));
  }
};

QTEST_MAIN(FileFailuresTest)
#include "file_failures_test.moc"
