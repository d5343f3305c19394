// Start-up and the run, through the real buttons of the main window.
#include <QAction>
#include <QChartView>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include "ondrix/automaton/reversal.h"
#include "ondrix/rules/randomrule.h"
#include "ondrix/mainwindow/windows/Unit1.h"
#include "ondrix/mainwindow/windows/uifont.h"
#include "ondrix/mainwindow/windows/updown.h"
#include "tests/support/testsupport.h"

using namespace ondrix;
using namespace ondrix::ui;

namespace {

// The small rule under which "C B" travels 3 cells every 5 generations.
std::vector<std::uint8_t> smallSolitonRule() {
  std::vector<std::uint8_t> table(ruleTableSize, 0);
  for (int e : {9, 27, 63}) table[e] = 1;
  return table;
}

}  // namespace

class Unit1RunTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { folder = new testing::ScratchFolder(); }
  void cleanup() {
    delete form;
    form = nullptr;
    delete folder;
  }

  void startUpWithoutDataFiles() {
    startForm();
    QCOMPARE(form->Label51->text(), QStringLiteral("768"));
    QCOMPARE(form->Edit3->text(), QStringLiteral("4"));
    QCOMPARE(form->Label4->text(), QStringLiteral("0"));
    QVERIFY(!form->Dontshow1->isChecked());
    QVERIFY(form->Chrandom2->isChecked());
    QVERIFY(!form->Chrandom31->isChecked());
    QVERIFY(!form->Chrandom21->isChecked());
    QCOMPARE(form->GroupBox5->palette().color(QPalette::Window), buttonFace());
    QVERIFY(form->CheckBox1->isChecked());
    QVERIFY(!form->CheckBox2->isChecked());
    QVERIFY(!form->endMarkers[1]->isVisible());
    QVERIFY(form->endMarkers[2]->isVisible());
    QCOMPARE(form->UpDown1->position(), 50);
    QCOMPARE(form->StatusBar1->currentMessage(),
             QStringLiteral("Could not read solCA.dat: no such file; Sol.dat: no such file"));

    const OndrixState& st = form->state();
    QCOMPARE(st.ring.ringLength, 768);
    QCOMPARE(st.ring.stepsPerTick, std::int16_t{4});
    QCOMPARE(firstLiveCell(st.ring), 768);
    QCOMPARE(st.ring.insertPos, 80);
    QCOMPARE(st.ring.sampleCount, 0);
    QCOMPARE(st.randomRule.randomThreshold, std::int16_t{16380});
    QVERIFY(std::all_of(st.ring.ruleTable.begin(), st.ring.ruleTable.end(), [](auto e) { return e == 0; }));
    QCOMPARE(st.phases.tagCodeCount[0], 0);
    QCOMPARE(form->Series1->count(), 1000);
    QCOMPARE(form->Series1->at(999).y(), 0.0);
  }

  void startUpLoadsTheRuleAndTheCatalogue() {
    testing::putFile("solCA.dat", smallSolitonRule());
    Catalogue c;
    c.solitonCode[0] = 5;
    c.solitonPeriod[0] = 5;
    c.solitonShift[0] = 3;
    QVERIFY(writeSolitonFile("Sol.dat", c));
    startForm();
    QCOMPARE(form->state().ring.ruleTable[27], std::uint8_t{1});
    QCOMPARE(form->state().catalogue.solitonPeriod[0], 5);
    QCOMPARE(form->state().phases.tagCodeCount[0], 10);
    QCOMPARE(firstLiveCell(form->state().ring), 768);  // the build ends on a cleared ring
  }

  void aRunTicksStopsAndPlotsItsSamples() {
    testing::putFile("solCA.dat", smallSolitonRule());
    startForm();
    AutomatonState& ring = form->state().ring;
    ring.cells[100] = stateC;
    ring.cells[101] = stateB;
    ring.timeStep = 200;
    ring.runBackward = 1;
    const std::vector<std::uint8_t> atPress(ring.cells.begin(), ring.cells.begin() + 768);

    QTest::mouseClick(form->Button10, Qt::LeftButton);
    QVERIFY(form->runTimer().isActive());
    QCOMPARE(form->Button10->text(), QStringLiteral("STOP COLLISIONS"));
    QCOMPARE(form->Manage->palette().color(QPalette::Window), QColor(255, 255, 0));
    QCOMPARE(testing::fileBytes("line.dat"), atPress);
    QCOMPARE(ring.runBackward, std::uint8_t{0});

    QTRY_VERIFY(ring.sampleCount >= 6);
    QTest::mouseClick(form->Button10, Qt::LeftButton);
    QVERIFY(!form->runTimer().isActive());
    QCOMPARE(form->Button10->text(), QStringLiteral("DO COLLISIONS"));
    QCOMPARE(form->Manage->palette().color(QPalette::Window), buttonFace());
    const int samples = ring.sampleCount;
    QCOMPARE(ring.timeStep, 4 * samples);
    QCOMPARE(form->Label5->text(), QString::number(samples));
    QCOMPARE(form->Series1->count(), 1000);
    for (int k = 0; k < 1000; ++k) {
      QCOMPARE(form->Series1->at(k).x(), double(k));
      QCOMPARE(form->Series1->at(k).y(), double(ring.populationHistory[k]));
      QVERIFY((k < samples) == (ring.populationHistory[k] > 0));  // the soliton's cells, then zeros
    }
    // "read data" brings back the row at which the run started.
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Button45")), Qt::LeftButton);
    QVERIFY(std::equal(atPress.begin(), atPress.end(), ring.cells.begin()));
  }

  void reversDuringARunReturnsTickByTick() {
    testing::putFile("solCA.dat", smallSolitonRule());
    startForm();
    AutomatonState& ring = form->state().ring;
    for (int i : {200, 230, 260}) {
      ring.cells[i] = stateC;
      ring.cells[i + 1] = stateB;
    }
    ring.cells[520] = stateB;  // and a twin coming the other way
    ring.cells[521] = stateC;
    const auto start = ring.cells;

    // An independent copy stepped by the core, compared after every tick.
    AutomatonState model = ring;
    bool reversed = false, done = false;
    int ticks = 0;
    connect(&form->runTimer(), &QTimer::timeout, this, [&] {
      if (done) return;
      ++ticks;
      for (int k = 0; k < model.stepsPerTick; ++k) stepGeneration(model);
      QVERIFY2(std::equal(model.cells.begin(), model.cells.begin() + 768, ring.cells.begin()), "tick mismatch");
      if (!reversed && ring.timeStep == 40) {
        QTest::mouseClick(form->Button11, Qt::LeftButton);
        for (std::int32_t i = 0; i < 768; ++i) model.cells[i] = swapState(model.cells[i]);
        reversed = true;
      } else if (reversed && ring.timeStep == 0) {
        QTest::mouseClick(form->Button10, Qt::LeftButton);
        done = true;
      }
    });
    QTest::mouseClick(form->Button10, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
    QCOMPARE(ticks, 20);
    QCOMPARE(ring.timeStep, 0);
    for (std::int32_t i = 0; i < 768; ++i) QCOMPARE(ring.cells[i], swapState(start[i]));
  }

  void oneStepWithNegativeStepsComputesNothing() {
    testing::putFile("solCA.dat", smallSolitonRule());
    startForm();
    AutomatonState& ring = form->state().ring;
    ring.cells[100] = stateC;
    form->Edit3->setText(QStringLiteral("-3"));
    const auto before = ring.cells;
    QTest::mouseClick(form->Button40, Qt::LeftButton);
    QCOMPARE(ring.cells, before);
    QCOMPARE(ring.timeStep, 0);
    QCOMPARE(ring.sampleCount, 1);
    form->Edit3->setText(QStringLiteral("4"));
    QTest::mouseClick(form->Button40, Qt::LeftButton);
    QCOMPARE(ring.timeStep, 4);
    QCOMPARE(form->Label5->text(), QStringLiteral("2"));
  }

  void halvingTheIntervalStopsAtOneMillisecond() {
    startForm();
    for (int k = 0; k < 4; ++k) form->findChild<QAction*>(QStringLiteral("Time22"))->trigger();
    QCOMPARE(form->runTimer().interval(), 1);
    QTest::mouseClick(form->Button10, Qt::LeftButton);
    QTRY_VERIFY(form->state().ring.sampleCount >= 3);
    form->findChild<QAction*>(QStringLiteral("Time21"))->trigger();
    QCOMPARE(form->runTimer().interval(), 2);
    form->findChild<QAction*>(QStringLiteral("Time161"))->trigger();
    QCOMPARE(form->runTimer().interval(), 32);
  }

  void clearAndRowsDuringARun() {
    startForm();
    AutomatonState& ring = form->state().ring;
    QTest::mouseClick(form->Button10, Qt::LeftButton);
    QTRY_VERIFY(ring.sampleCount >= 2);
    ring.cells[5] = stateB;
    QTest::mouseClick(form->Button26, Qt::LeftButton);
    QCOMPARE(ring.sampleCount, 0);
    QCOMPARE(firstLiveCell(ring), 768);
    QVERIFY(form->runTimer().isActive());  // Clear does not stop the run
    QTest::mouseClick(form->CheckBox1, Qt::LeftButton);  // one row of 256
    QCOMPARE(ring.ringLength, 256);
    QCOMPARE(form->Label51->text(), QStringLiteral("256"));
    QVERIFY(form->endMarkers[1]->isVisible());
    QVERIFY(!form->endMarkers[2]->isVisible());
    QTRY_VERIFY(ring.sampleCount >= 2);
    QVERIFY(form->runTimer().isActive());
  }

  void randomRuleTables() {
    startForm();
    OndrixState& st = form->state();
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Button49")), Qt::LeftButton);  // "Mk.random"
    const std::uint8_t first[12] = {0, 0, 0, 0, 0, 1, 0, 1, 1, 0, 0, 0};
    for (int e = 0; e < 12; ++e) QCOMPARE(st.ring.ruleTable[e], first[e]);
    QCOMPARE(form->GroupBox5->palette().color(QPalette::Window), QColor(0, 255, 255));

    form->findChild<QAction*>(QStringLiteral("READCA51"))->trigger();  // grey again
    form->Chrandom21->trigger();  // "Ch. random**"
    QVERIFY(form->Chrandom21->isChecked() && !form->Chrandom2->isChecked() && !form->Chrandom31->isChecked());
    QCOMPARE(form->GroupBox5->palette().color(QPalette::Window), buttonFace());  // ** leaves the colour
    for (int e = 0; e < ruleTableSize; ++e) {
      const int m = e % 9;
      if (m == 4 || m == 5 || m == 7 || m == 8) QCOMPARE(st.ring.ruleTable[e], std::uint8_t{0});
    }
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Button49")), Qt::LeftButton);
    QVERIFY(form->Chrandom21->isChecked());  // "Mk.random" repeats the checked variant

    // The up arrow randomises the "*" way with the threshold of 50, then takes 55.
    QCOMPARE(st.randomRule.randomThreshold, std::int16_t{16380});
    RandomGenerator expected = st.random;
    std::array<std::uint8_t, ruleTableSize> table{};
    randomiseRuleTable(table, expected, 16380, RandomVariant::noDistanceFour);
    QTest::mouseClick(form->UpDown1->upButton(), Qt::LeftButton);
    QCOMPARE(st.ring.ruleTable, table);
    QVERIFY(form->Chrandom31->isChecked());
    QCOMPARE(form->Edit8->text(), QStringLiteral("55"));
    QCOMPARE(st.randomRule.randomThreshold, std::int16_t{19672});
  }

  void lineFileCommands() {
    startForm();
    AutomatonState& ring = form->state().ring;
    ring.cells[7] = stateC;
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Button46")), Qt::LeftButton);  // "Wrtie line"
    QCOMPARE(testing::fileBytes("line.dat").size(), size_t(768));
    ring.cells[7] = stateA;
    form->findChild<QAction*>(QStringLiteral("readdata1"))->trigger();
    QCOMPARE(ring.cells[7], stateC);

    std::vector<std::uint8_t> foreign(768, stateA);
    foreign[3] = 42;
    testing::putFile("line.dat", foreign);
    form->findChild<QAction*>(QStringLiteral("readdata1"))->trigger();
    QCOMPARE(ring.cells[7], stateC);  // rejected whole
    QVERIFY(form->StatusBar1->currentMessage().contains(QStringLiteral("line.dat")));
  }

 private:
  void startForm() {
    form = new TForm1();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
  }

  testing::ScratchFolder* folder = nullptr;
  TForm1* form = nullptr;
};

QTEST_MAIN(Unit1RunTest)
#include "unit1_run_test.moc"
