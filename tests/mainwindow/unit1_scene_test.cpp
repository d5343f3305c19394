// Building scenes through the real controls of the main window, with the
// shipped rule and catalogue: panels, random sets, three solitons, mills,
// random blocks; and presses that must not reach the ring.
#include <QAction>
#include <QChartView>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <filesystem>

#include "ondrix/mainwindow/windows/Unit1.h"
#include "ondrix/mainwindow/windows/panel.h"
#include "ondrix/mainwindow/windows/uifont.h"
#include "tests/support/testsupport.h"

using namespace ondrix;
using namespace ondrix::ui;

namespace {

std::string letters(const AutomatonState& ring, std::int32_t from, int count) {
  std::string s;
  for (int k = 0; k < count; ++k) s += "CBA"[ring.cells[from + k]];
  return s;
}

std::vector<std::uint8_t> cellsOf(const AutomatonState& ring, std::int32_t from = 0, std::int32_t to = ringCapacity) {
  return {ring.cells.begin() + from, ring.cells.begin() + to};
}

}  // namespace

class Unit1SceneTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    folder = new testing::ScratchFolder();
    for (const char* name : {"solCA.dat", "Sol.dat", "tgho.dat"}) {
      std::filesystem::copy_file(std::filesystem::path(ONDRIX_ASSETS_DIR) / name, name);
    }
    form = new TForm1();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
  }
  void cleanup() {
    delete form;
    delete folder;
  }

  // The fixed random sequence after a fresh start proves the draw order.
  void firstRandomCommandsAfterAFreshStart() {
    QFETCH(QString, command);
    QFETCH(QString, cells);
    if (command.startsWith(QStringLiteral("Button"))) {
      QTest::mouseClick(form->findChild<QPushButton*>(command), Qt::LeftButton);
    } else {
      form->findChild<QAction*>(command)->trigger();
    }
    QCOMPARE(QString::fromStdString(letters(ring(), 384, 8)), cells);
  }
  void firstRandomCommandsAfterAFreshStart_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("cells");
    QTest::newRow("Sy+rand 8") << "Makeghost11" << "BABBBBAB";
    QTest::newRow("Rand A,B,C") << "Rand1" << "BABBBCBB";
    QTest::newRow("Rand ABC") << "Button60" << "BABBBCBB";
    QTest::newRow("Rand  B, C") << "RandBC1" << "CCCCBBBC";
  }

  void theSetOfFourFollowsTheModelsDraws() {
    ring().timeStep = 50;
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Button36")), Qt::LeftButton);
    RandomGenerator model = startupRandomGenerator();
    AutomatonState copy = ring();
    const PhaseTables& tables = form->state().phases;
    for (std::int32_t start : {153, 306, 459, 612}) {
      const int t = model.next() % 11;
      const std::int32_t code = tables.tagCode[t][model.next() % tables.tagCodeCount[t]];
      QCOMPARE(encodePattern(copy, start, 25), code);
    }
    QCOMPARE(ring().timeStep, 0);
    QCOMPARE(form->Label4->text(), QStringLiteral("0"));
  }

  void mkRandomLeavesTheSceneOfTheNumbersItShows() {
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Button59")), Qt::LeftButton);
    const ThreeSolitonTypes three = form->state().three;
    QCOMPARE(form->Edit4->text().toInt(), int(three.threeLeftType));
    QCOMPARE(form->Edit6->text().toInt(), int(three.threeMiddleType));
    QCOMPARE(form->Edit5->text().toInt(), int(three.threeRightType));
    for (int t : {three.threeLeftType, three.threeMiddleType, three.threeRightType}) QVERIFY(t >= 0 && t < 12);
    const auto scene = cellsOf(ring());
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Button47")), Qt::LeftButton);  // "Make"
    QCOMPARE(cellsOf(ring()), scene);
    QVERIFY(firstLiveCell(ring()) >= 350);  // nothing left of the set of four at 153
  }

  void thirdsAndTheClearPanel() {
    for (bool threeRows : {true, false}) {
      form->CheckBox1->setChecked(threeRows);
      const std::int32_t n = ring().ringLength;
      struct Step {
        std::function<void()> press;
        std::int32_t from, to;
      };
      const Step steps[] = {
          {[&] { QTest::mousePress(form->Panel14, Qt::LeftButton); }, 0, n / 3},
          {[&] { form->Button23Click(); }, n / 3, 2 * n / 3},
          {[&] { QTest::mousePress(form->Panel14, Qt::RightButton); }, 2 * n / 3, n},
      };
      for (const Step& step : steps) {
        std::fill(ring().cells.begin(), ring().cells.begin() + n, stateB);
        step.press();
        for (std::int32_t i = 0; i < n; ++i) QCOMPARE(ring().cells[i], i >= step.from && i < step.to ? stateA : stateB);
      }
    }
  }

  // Each shipped type placed by a right press comes back as itself after
  // its period, solitonShift cells towards lower indices.
  void rightPressTwinsTravelLeft() {
    const Catalogue& c = form->state().catalogue;
    for (int k = 0; k < 12; ++k) {
      QTest::mousePress(form->solitonPanels[k], Qt::RightButton);
      QCOMPARE(ring().insertPos, 768 - 16);
      const std::int32_t at = firstLiveCell(ring());
      AutomatonState copy = ring();
      const std::int32_t code = encodePattern(copy, at, 768 - at);  // not past the ring
      form->Edit3->setText(QString::number(c.solitonPeriod[k]));
      QTest::mouseClick(form->Button40, Qt::LeftButton);  // "one step"
      copy = ring();
      QCOMPARE(firstLiveCell(copy), at - c.solitonShift[k]);
      QCOMPARE(encodePattern(copy, at - c.solitonShift[k], 768 - at), code);
    }
  }

  void dontShowRedrawRulesOfThePanels() {
    form->Dontshow1->trigger();
    QVERIFY(form->state().dontShow);
    const QImage blank = form->picture().image();
    QTest::mousePress(form->solitonPanels[0], Qt::LeftButton);
    QCOMPARE(ring().insertPos, 10);
    QCOMPARE(form->picture().image(), blank);  // placed, not drawn
    QTest::mousePress(form->solitonPanels[5], Qt::LeftButton);
    QVERIFY(form->picture().image() != blank);  // types 3..11 always draw
  }

  // Forward 800 generations, "Revers", 800 more: the swapped start.
  void aPanelCollisionRunsBackToItsStart() {
    QTest::mousePress(form->solitonPanels[2], Qt::LeftButton);
    QTest::mousePress(form->solitonPanels[6], Qt::RightButton);
    const auto start = cellsOf(ring(), 0, 768);
    form->Edit3->setText(QStringLiteral("800"));
    QTest::mouseClick(form->Button40, Qt::LeftButton);
    QVERIFY(cellsOf(ring(), 0, 768) != start);
    QTest::mouseClick(form->Button11, Qt::LeftButton);
    QTest::mouseClick(form->Button40, Qt::LeftButton);
    QCOMPARE(ring().timeStep, 0);
    auto swapped = start;
    for (auto& c : swapped) c = c == stateA ? stateA : static_cast<std::uint8_t>(1 - c);
    QCOMPARE(cellsOf(ring(), 0, 768), swapped);
  }

  // Blocks and scenes reaching outside the 25-cell and 256-cell rings.
  void nothingIsWrittenOutsideTheRing() {
    form->Dontshow1->trigger();               // 7680
    form->CheckBox1->setChecked(false);       // 256 in the long mode
    form->Dontshow1->trigger();               // 25
    QCOMPARE(ring().ringLength, 25);
    for (std::int32_t length : {25, 256}) {
      if (length == 256) {
        form->CheckBox1->setChecked(true);
        form->CheckBox1->setChecked(false);
      }
      QCOMPARE(ring().ringLength, length);
      std::fill(ring().cells.begin() + length, ring().cells.end(), stateB);
      const auto beyond = cellsOf(ring(), length);
      form->Edit2->setText(QStringLiteral("5"));
      form->Edit7->setText(QStringLiteral("200"));
      for (const char* item : {"Rand1", "RandABCsymm1", "ReadABCnots21", "Makeghost11"}) {
        form->findChild<QAction*>(QString::fromLatin1(item))->trigger();
      }
      QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Button28")), Qt::LeftButton);
      QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Button47")), Qt::LeftButton);
      QCOMPARE(cellsOf(ring(), length), beyond);
    }
  }

  void lengthZeroOrNegativeWritesNothing() {
    for (const char* text : {"0", "-7"}) {
      form->Edit7->setText(QString::fromLatin1(text));
      std::fill(ring().cells.begin(), ring().cells.begin() + 768, stateB);
      ring().sampleCount = 9;
      const std::uint32_t seed = form->state().random.seed();
      form->findChild<QAction*>(QStringLiteral("RandABCsymm1"))->trigger();
      QCOMPARE(std::count(ring().cells.begin(), ring().cells.begin() + 768, stateB), 768);
      QCOMPARE(form->state().random.seed(), seed);
      QCOMPARE(ring().sampleCount, 0);
    }
  }

  // Presses on controls never reach the ring.
  void pressesOnControlsLeaveTheRing() {
    QWidget* client = form->centralWidget();
    const auto before = cellsOf(ring());
    for (QWidget* w : {static_cast<QWidget*>(form->GroupBox4), static_cast<QWidget*>(form->Manage),
                       static_cast<QWidget*>(form->GroupBox2), static_cast<QWidget*>(form->StatusBar1),
                       static_cast<QWidget*>(form->Chart1),
                       static_cast<QWidget*>(client->findChild<QLabel*>(QStringLiteral("Label33")))}) {
      for (QPoint at : {QPoint(w->width() - 4, w->height() - 4), QPoint(w->width() / 2, w->height() - 3)}) {
        QTest::mousePress(w, Qt::LeftButton, {}, at);
        QTest::mouseRelease(w, Qt::LeftButton, {}, at);
      }
    }
    QCOMPARE(cellsOf(ring()), before);
    QTest::mousePress(client, Qt::LeftButton, {}, QPoint(100, 50));  // the bare surface still edits
    QCOMPARE(ring().cells[286], stateC);
  }

  void failureMessagesGoAway() {
    testing::putFile("line.dat", {0, 1, 9});
    form->findChild<QAction*>(QStringLiteral("readdata1"))->trigger();
    QVERIFY(form->StatusBar1->currentMessage().startsWith(QStringLiteral("Could not read line.dat")));
    QCOMPARE(form->failureTimer().interval(), 10000);
    QVERIFY(form->failureTimer().isActive());
    std::filesystem::create_directory("ca.dat");
    form->findChild<QAction*>(QStringLiteral("WRITECA51"))->trigger();  // a write fails
    QCOMPARE(form->StatusBar1->currentMessage(), QStringLiteral("Could not write ca.dat"));
    testing::putFile("line.dat", {0, 1, 2});
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Button45")), Qt::LeftButton);
    QCOMPARE(form->StatusBar1->currentMessage(), QStringLiteral("Could not write ca.dat"));  // another kind
    std::filesystem::remove("ca.dat");
    form->findChild<QAction*>(QStringLiteral("WRITECA51"))->trigger();
    QCOMPARE(form->StatusBar1->currentMessage(), QString());
    testing::putFile("tgho.dat", {7});
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Button35")), Qt::LeftButton);
    QVERIFY(form->StatusBar1->currentMessage().startsWith(QStringLiteral("Could not read tgho.dat")));
    form->failureTimer().start(20);  // the 10 seconds, shortened
    QTRY_COMPARE(form->StatusBar1->currentMessage(), QString());
  }

  // Unchecking "x3 Sp." draws nothing; the next redraw blanks rows 2 and 3.
  void oneRowRedrawBlanksTheLowerRows() {
    std::fill(ring().cells.begin(), ring().cells.begin() + 768, stateC);
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Button27")), Qt::LeftButton);  // "I" redraws
    const QColor face = buttonFace();
    QVERIFY(form->picture().image().pixelColor(400, 40) != face);
    form->CheckBox1->setChecked(false);
    QVERIFY(form->picture().image().pixelColor(400, 40) != face);
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Button27")), Qt::LeftButton);
    const QImage& image = form->picture().image();
    for (int y = 36; y <= 95; ++y) {
      for (int x = 0; x < image.width(); ++x) QCOMPARE(image.pixelColor(x, y), face);
    }
  }

 private:
  AutomatonState& ring() { return form->state().ring; }

  testing::ScratchFolder* folder = nullptr;
  TForm1* form = nullptr;
};

QTEST_MAIN(Unit1SceneTest)
#include "unit1_scene_test.moc"
