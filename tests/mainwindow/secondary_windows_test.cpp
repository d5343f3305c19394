// The examples, the three secondary windows and the frame recording,
// through their real controls, with the shipped rule and catalogue.
#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <filesystem>

#include "ondrix/datafiles/windows/Unit3.h"
#include "ondrix/datafiles/recording.h"
#include "ondrix/mainwindow/windows/Unit1.h"
#include "ondrix/mainwindow/windows/panel.h"
#include "ondrix/rules/windows/Unit4.h"
#include "ondrix/rules/rulegrid.h"
#include "ondrix/solitons/windows/Unit2.h"
#include "tests/support/testsupport.h"

using namespace ondrix;
using namespace ondrix::ui;

namespace {

const std::filesystem::path assets = ONDRIX_ASSETS_DIR;

// Example N's button, as the window layout names it.
QPushButton* exampleButton(TForm1* form, int n) {
  static constexpr const char* names[8] = {"Button51", "Button41", "Button50", "Button52",
                                           "Button53", "Button54", "Button55", "Button42"};
  return form->findChild<QPushButton*>(QString::fromLatin1(names[n - 1]));
}

// A press at any point, (0, 0) included (QTest takes that for the centre).
void press(QWidget* w, Qt::MouseButton button, QPoint at) {
  QMouseEvent event(QEvent::MouseButtonPress, at, w->mapToGlobal(at), button, button, Qt::NoModifier);
  QApplication::sendEvent(w, &event);
}

}  // namespace

class SecondaryWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    folder = new testing::ScratchFolder();
    for (const char* name : {"solCA.dat", "Sol.dat"}) std::filesystem::copy_file(assets / name, name);
    std::filesystem::create_directory("data");
    std::filesystem::copy_file(assets / "data/filedem.bmp", "data/filedem.bmp");
    start();
  }
  void cleanup() {
    stop();
    delete folder;
  }

  void examplesLoadTheirOwnFiles() {
    for (int n = 1; n <= 8; ++n) {
      std::vector<std::uint8_t> row(768, stateA);
      row[n - 1] = stateC;
      testing::putFile("Exp" + std::to_string(n) + ".dat", row);
    }
    for (int n = 1; n <= 8; ++n) {
      ring().timeStep = 33;
      QTest::mouseClick(exampleButton(form, n), Qt::LeftButton);
      QCOMPARE(firstLiveCell(ring()), n - 1);
      QCOMPARE(ring().timeStep, 0);
    }
    // Under Dont show "Ex. 3" draws nothing, "Ex. 7" draws.
    form->Dontshow1->trigger();
    const QImage before = form->picture().image();
    QTest::mouseClick(exampleButton(form, 3), Qt::LeftButton);
    QCOMPARE(ring().cells[2], stateC);
    QCOMPARE(form->picture().image(), before);
    QTest::mouseClick(exampleButton(form, 7), Qt::LeftButton);
    QVERIFY(form->picture().image() != before);
    // A missing file still sets T to 0; a byte 3 is refused and the ring stays.
    std::filesystem::remove("Exp2.dat");
    testing::putFile("Exp4.dat", {2, 2, 2, 3});
    for (int n : {2, 4}) {
      const auto cells = ring().cells;
      ring().timeStep = 5;
      QTest::mouseClick(exampleButton(form, n), Qt::LeftButton);
      QVERIFY(ring().cells == cells);
      QCOMPARE(ring().timeStep, 0);
    }
    QVERIFY(form->StatusBar1->currentMessage().startsWith(QStringLiteral("Could not read Exp4.dat: cell 3 holds 3")));
  }

  void showRcaTogglesTheSharedTable() {
    TForm4* rca = form->Form4;
    rca->show();
    QVERIFY(QTest::qWaitForWindowExposed(rca));
    auto& table = ring().ruleTable;
    struct Press {
      QPoint at;
      Qt::MouseButton button;
      int entry;
      const char* digits;
    };
    for (const Press& p : {Press{{0, 0}, Qt::LeftButton, 0, "0000"}, Press{{179, 179}, Qt::LeftButton, 80, "2222"},
                           Press{{65, 25}, Qt::RightButton, 28, "1001"}, Press{{65, 25}, Qt::LeftButton, 28, "1001"}}) {
      const std::uint8_t before = table[p.entry];
      press(rca, p.button, p.at);
      QCOMPARE(table[p.entry], std::uint8_t(before == 0 ? 1 : 0));
      QString shown;
      for (QLabel* l : rca->classDigits) shown += l->text();
      QCOMPARE(shown, QString::fromLatin1(p.digits));
      // A circle in the square exactly when the entry is not 0.
      const QImage grid = rca->grab().toImage();
      const GridPlace square = squareOfEntry(p.entry);
      bool olive = false;
      for (int y = square.y; y < square.y + 20; ++y) {
        for (int x = square.x; x < square.x + 20; ++x) olive = olive || grid.pixelColor(x, y) == QColor(128, 128, 0);
      }
      QCOMPARE(olive, table[p.entry] != 0);
    }
    const auto before = table;
    for (QPoint outside : {QPoint(180, 10), QPoint(10, 180), QPoint(300, 240)}) press(rca, Qt::LeftButton, outside);
    QVERIFY(table == before);
    QCOMPARE(rca->classDigits[0]->text(), QStringLiteral("1"));
  }

  void showSolitonListsChangesAndSaves() {
    TForm2* sol = form->Form2;
    sol->show();
    const Catalogue& c = form->state().catalogue;
    for (int k = 0; k < 12; ++k) {
      QCOMPARE(sol->speedLabels[k]->text().toInt(), int(400.0 * c.solitonShift[k] / c.solitonPeriod[k]));
      QCOMPARE(sol->codeLabels[k]->text().toInt(), c.solitonCode[k]);
    }
    const Catalogue before = c;
    sol->Edit1->setText(QStringLiteral("70000"));  // row 4464: nothing happens until "Change"
    QCOMPARE(form->state().swapFirst, std::int16_t{4464});
    QVERIFY(c.solitonCode == before.solitonCode);
    sol->Edit1->setText(QStringLiteral("5"));
    sol->Edit2->setText(QStringLiteral("5"));
    QTest::mouseClick(sol->Button2, Qt::LeftButton);
    QVERIFY(c.solitonCode == before.solitonCode);
    sol->Edit1->setText(QStringLiteral("0"));
    sol->Edit2->setText(QStringLiteral("1"));
    for (int press = 1; press <= 2; ++press) {
      QTest::mouseClick(sol->Button2, Qt::LeftButton);
      const int first = press == 1 ? 1 : 0;
      QCOMPARE(c.solitonCode[0], before.solitonCode[first]);
      QCOMPARE(sol->periodLabels[0]->text().toInt(), before.solitonPeriod[first]);
      QCOMPARE(sol->shiftLabels[1]->text().toInt(), before.solitonShift[1 - first]);
    }
    QTest::mouseClick(sol->Button2, Qt::LeftButton);  // rows 0 and 1 exchanged

    // The panels place the new order; the tagging keeps the start-up order.
    QTest::mousePress(form->solitonPanels[0], Qt::LeftButton);
    AutomatonState copy = ring();
    QCOMPARE(encodePattern(copy, 10, 19), before.solitonCode[1]);
    form->Edit3->setText(QStringLiteral("1"));
    QTest::mouseClick(form->Button40, Qt::LeftButton);
    const std::int32_t first = firstLiveCell(ring());
    QCOMPARE(ring().stepMarks[first], std::int16_t{2});  // tagged as type 1

    // A failed save keeps the old file and says so; a good one lasts.
    const auto oldFile = testing::fileBytes("Sol.dat");
    std::filesystem::permissions("Sol.dat", std::filesystem::perms(0444));  // read-only: refused
    QTest::mouseClick(sol->Button1, Qt::LeftButton);
    QCOMPARE(testing::fileBytes("Sol.dat"), oldFile);
    QCOMPARE(form->StatusBar1->currentMessage(), QStringLiteral("Could not write Sol.dat"));
    std::filesystem::permissions("Sol.dat", std::filesystem::perms(0644));
    QTest::mouseClick(sol->Button1, Qt::LeftButton);
    QCOMPARE(form->StatusBar1->currentMessage(), QString());
    stop();
    start();
    QTest::mousePress(form->solitonPanels[0], Qt::LeftButton);
    copy = ring();
    QCOMPARE(encodePattern(copy, 10, 19), before.solitonCode[1]);
  }

  void aboutShowsTheProgramNotAPerson() {
    TForm3* about = form->Form3;
    struct Expected {
      const char* name;
      QPoint at;
      int pixels;
    };
    for (const Expected& e : {Expected{"Label1", {48, 72}, 19}, Expected{"Label3", {48, 144}, 19},
                              Expected{"Label2", {48, 176}, 19}, Expected{"Label4", {352, 200}, 13}}) {
      auto* l = about->findChild<QLabel*>(QString::fromLatin1(e.name));
      QVERIFY2(l, e.name);
      QCOMPARE(l->pos(), e.at);
      QCOMPARE(l->font().pixelSize(), e.pixels);
      QVERIFY2(l->x() + l->sizeHint().width() <= about->width(), e.name);  // the text fits the window
    }
    QCOMPARE(about->findChild<QLabel*>(QStringLiteral("Label4"))->text(), QStringLiteral("20.03.20"));
    QVERIFY(about->findChild<QLabel*>(QStringLiteral("Label1"))->text().contains(QStringLiteral("Ondrix")));
    QVERIFY(about->findChild<QLabel*>(QStringLiteral("Label3"))->text().contains(QStringLiteral("README")));
  }

  // From T = 0 with the defaults: 401 frames, the last at T = -8, counted in
  // the status bar; a second recording sweeps the first's files away and
  // numbers on.
  void aRecordingWritesItsFramesAndEnds() {
    QTest::mousePress(form->solitonPanels[2], Qt::LeftButton);
    QTest::mousePress(form->solitonPanels[6], Qt::RightButton);
    form->findChild<QAction*>(QStringLiteral("ViewVdeo1"))->trigger();
    QVERIFY(form->recordingTimer().isActive());
    QCOMPARE(ring().stepsPerTick, std::int16_t{8});
    QCOMPARE(form->Edit3->text(), QStringLiteral("4"));  // the field keeps its text
    int ticks = 0;
    while (form->recordingTimer().isActive()) {
      form->Timer3Timer();
      QVERIFY(++ticks <= 401);
      if (ticks == 2) QCOMPARE(form->StatusBar1->currentMessage(), QStringLiteral("Recording: 2 frames, T = 16"));
    }
    QCOMPARE(ticks, 401);
    QCOMPARE(form->StatusBar1->currentMessage(),
             QStringLiteral("Recorded 401 frames to video/ (file0000.bmp to file0400.bmp)"));
    QCOMPARE(ring().timeStep, -8);
    QCOMPARE(form->Label4->text(), QStringLiteral("-8"));  // the labels as the recording left the ring
    for (int n = 0; n <= 400; ++n) {
      QImage frame(QString::fromStdString(frameFileName(n)), "BMP");
      QCOMPARE(frame.size(), QSize(792, 32));
      QCOMPARE(frame.depth(), 32);  // read into 32 bits from 24
      if (n < 400) continue;
      const QImage band = form->picture().image().copy(0, 0, 792, 32);
      for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 792; ++x) {
          const QColor expected = x == 8 || x == 780 ? QColor(0, 0, 128) : band.pixelColor(x, y);
          QCOMPARE(frame.pixelColor(x, y), expected);
        }
      }
    }
    QVERIFY(!std::filesystem::exists(frameFileName(401)));
    // The run was left going backward: the second recording ends after one
    // frame, and says why.
    form->findChild<QAction*>(QStringLiteral("ViewVdeo1"))->trigger();
    form->Timer3Timer();
    QVERIFY(!form->recordingTimer().isActive());
    QCOMPARE(form->StatusBar1->currentMessage(),
             QStringLiteral("Recorded 1 frame to video/ (file0401.bmp): the run went backward from T = 0; press "
                            "\"Revers\" first to record forward"));
    QVERIFY(!std::filesystem::exists(frameFileName(0)));
    QVERIFY(!std::filesystem::exists(frameFileName(400)));
    QVERIFY(std::filesystem::exists(frameFileName(401)));
    form->recordingTimer().stop();
  }

 private:
  AutomatonState& ring() { return form->state().ring; }

  void start() {
    form = new TForm1();
    form->createSecondaryWindows();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
  }
  void stop() {
    delete form;  // and the secondary windows with it
    form = nullptr;
  }

  testing::ScratchFolder* folder = nullptr;
  TForm1* form = nullptr;
};

QTEST_MAIN(SecondaryWindowsTest)
#include "secondary_windows_test.moc"
