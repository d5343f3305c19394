// The hidden search and placement handlers of the main window.
#include <QLabel>
#include <QTest>

#include "ondrix/mainwindow/windows/Unit1.h"
#include "ondrix/mainwindow/windows/uifont.h"
#include "tests/support/testsupport.h"

using namespace ondrix;
using namespace ondrix::ui;

class Unit1SearchTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    folder = new testing::ScratchFolder();
    form = new TForm1();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));  // start-up, without data files
  }
  void cleanup() {
    delete form;
    delete folder;
  }

  void searchShowsItsCountsInTheHiddenLabels() {
    OndrixState& st = form->state();
    for (int e : {9, 27, 63}) st.ring.ruleTable[e] = 1;
    form->Button14Click();
    QVERIFY(st.catalogue.Nsol >= 1);
    QVERIFY(!form->Label1->isVisible());
    QCOMPARE(form->Label1->text(), QString::number(st.catalogue.Nsol));
    QCOMPARE(form->Label2->text(), QString::number(st.catalogue.Nstrun));
    QCOMPARE(st.ring.insertPos, 80);
    QCOMPARE(st.ring.timeStep, 0);

    form->Button8Click();  // "del 21 (8)": the auxiliary table and its search
    QCOMPARE(st.auxRuleTable[9], std::uint8_t{1});
    QCOMPARE(form->Label1->text(), QStringLiteral("0"));
    QCOMPARE(form->Label2->text(), QStringLiteral("0"));
    form->Button16Click();
    QCOMPARE(st.ring.ruleTable[27], std::uint8_t{1});  // entries 27..29 from auxiliary entry 9
    QCOMPARE(st.ring.ruleTable[29], std::uint8_t{1});
    QCOMPARE(st.ring.ruleTable[81 + 27], std::uint8_t{0});
  }

  void seedPlacementRunsOneTick() {
    OndrixState& st = form->state();
    st.ring.insertPos = 100;
    st.ring.currentSoliton = 1 + 2 * 3;  // B C, then six A cells written as well
    st.ring.cells[105] = stateB;
    st.ring.stepsPerTick = 0;  // the tick computes nothing, so the seed stays visible
    form->Button18Click();
    QCOMPARE(st.ring.cells[100], stateB);
    QCOMPARE(st.ring.cells[101], stateC);
    QCOMPARE(st.ring.cells[105], stateA);
    st.ring.stepsPerTick = 4;
    form->Button19Click();
    QCOMPARE(firstLiveCell(st.ring), 768);
    QCOMPARE(st.ring.timeStep, 4);
  }

  void plainDrawingOfTheLineFile() {
    std::vector<std::uint8_t> row(768, stateA);
    row[5] = stateB;
    row[6] = stateC;
    testing::putFile("line.dat", row);
    testing::putFile("Exr.dat", std::vector<std::uint8_t>(54, 1));
    form->Button6Click();
    OndrixState& st = form->state();
    QCOMPARE(st.auxRuleTable[53], std::uint8_t{1});
    QCOMPARE(st.ring.codeStart, 5);
    QCOMPARE(st.ring.codeLastOffset, 1);
    const QImage& image = form->picture().image();
    QCOMPARE(image.pixelColor(10 + 2 * 5, 12 + 6), QColor(0, 0, 128));  // B: navy below the line
    QCOMPARE(image.pixelColor(10 + 2 * 5, 12 - 6), buttonFace());
    QCOMPARE(image.pixelColor(10 + 2 * 6, 12 - 6), QColor(255, 0, 0));  // C: red above it
    QCOMPARE(image.pixelColor(10 + 2 * 7, 12), buttonFace());           // A: erased, no dot
  }

 private:
  testing::ScratchFolder* folder = nullptr;
  TForm1* form = nullptr;
};

QTEST_MAIN(Unit1SearchTest)
#include "unit1_search_test.moc"
