// The ring picture of the main window, pixel by pixel, and the commands of
// this window that change the ring or the rule table.
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <filesystem>

#include "ondrix/mainwindow/windows/Unit1.h"
#include "ondrix/mainwindow/windows/uifont.h"
#include "tests/support/testsupport.h"

using namespace ondrix;
using namespace ondrix::ui;

namespace {

QColor rgb(Rgb c) { return QColor(c.r, c.g, c.b); }

}  // namespace

class Unit1PictureTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    folder = new testing::ScratchFolder();
    form = new TForm1();
    form->state().dontShow = false;
    form->state().ring.ringLength = 768;
    clearRing(form->state().ring);
    face = buttonFace();
  }
  void cleanup() {
    delete form;
    delete folder;
  }

  void threeRowGeometryAndStates() {
    form->CheckBox1->setChecked(true);
    AutomatonState& ring = form->state().ring;
    ring.stepMarks.fill(markO);
    ring.cells[0] = stateB;
    ring.stepMarks[0] = markN;    // maroon
    ring.cells[255] = stateC;     // green by mark O
    ring.cells[256] = stateB;
    ring.stepMarks[256] = markP;  // olive
    ring.cells[767] = stateC;
    ring.stepMarks[767] = 0;      // black: live since the last tagging
    drawRing(form->state(), *form);
    const QImage& image = form->picture().image();

    expectBar(image, 10, 12, +1, rgb(markPalette[1]));    // cell 0, row 0
    expectBar(image, 775, 12, -1, rgb(markPalette[2]));   // cell 255, end of row 0
    expectBar(image, 10, 48, +1, rgb(markPalette[3]));    // cell 256, row 1
    expectBar(image, 775, 84, -1, QColor(0, 0, 0));       // cell 767, end of row 2
    // A background cell: a black dot on the centre line, button face around.
    const int x = 10 + 3 * 5;
    QCOMPARE(image.pixelColor(x, 12), QColor(0, 0, 0));
    QCOMPARE(image.pixelColor(x - 1, 12), face);
    QCOMPARE(image.pixelColor(x, 0), face);
    QCOMPARE(image.pixelColor(x, 23), face);
    // Between the rows nothing is drawn.
    QCOMPARE(image.pixelColor(x, 30), face);
  }

  void oneRowShowsTheRingOnly() {
    AutomatonState& ring = form->state().ring;
    ring.ringLength = 256;
    clearRing(ring);
    ring.stepMarks.fill(markO);
    ring.cells[300] = stateB;  // beyond the ring: not drawn in one row
    drawRing(form->state(), *form);
    const QImage& image = form->picture().image();
    QCOMPARE(image.pixelColor(10 + 3 * 255, 12), QColor(0, 0, 0));
    QCOMPARE(image.pixelColor(10 + 3 * 44, 48), face);  // cell 300 in three rows
  }

  void solitonColoursFollowTheTags() {
    form->CheckBox1->setChecked(true);
    OndrixState& st = form->state();
    st.ring.stepMarks.fill(markN);
    st.ring.cells[400] = stateC;
    st.ring.cells[401] = stateB;  // code 2 + 3 = 5
    st.phases.tagCode[6][0] = 5;
    st.phases.tagCodeCount[6] = 1;
    st.phases.indexTagCodes();
    drawRing(st, *form);
    const CellPlace c = cellPlace(400, true);
    QCOMPARE(form->picture().image().pixelColor(c.x, c.y0 - 4), QColor(255, 0, 0));  // type 6: red
    const CellPlace b = cellPlace(401, true);
    QCOMPARE(form->picture().image().pixelColor(b.x, b.y0 + 4), QColor(255, 0, 0));
  }

  void timeLabelRule() {
    AutomatonState& ring = form->state().ring;
    ring.timeStep = 64;
    ring.liveCount = 384;
    drawRing(form->state(), *form);
    QCOMPARE(form->Label4->text(), QStringLiteral("64"));
    QCOMPARE(form->Label20->text(), QStringLiteral("50"));
    ring.timeStep = 33;
    ring.liveCount = 0;
    drawRing(form->state(), *form);
    QCOMPARE(form->Label4->text(), QStringLiteral("64"));
    QCOMPARE(form->Label20->text(), QStringLiteral("50"));
    ring.timeStep = -32;
    drawRing(form->state(), *form);
    QCOMPARE(form->Label4->text(), QStringLiteral("-32"));
    QVERIFY(form->Label4->width() >= form->Label4->sizeHint().width());  // the label grows with its text
  }

  void mousePressesEditCells() {
    form->CheckBox1->setChecked(true);
    QWidget* client = form->centralWidget();
    QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(100, 50));
    QCOMPARE(form->state().ring.cells[286], stateC);
    const CellPlace c = cellPlace(286, true);
    QCOMPARE(form->picture().image().pixelColor(c.x, c.y0 - 4), QColor(0, 0, 0));  // mark 0: black
    QTest::mouseClick(client, Qt::RightButton, {}, QPoint(100, 50));
    QCOMPARE(form->state().ring.cells[286], stateA);
    QCOMPARE(form->picture().image().pixelColor(c.x, c.y0), QColor(0, 0, 0));
    QCOMPARE(form->picture().image().pixelColor(c.x, c.y0 - 4), face);
  }

  void reversButtonSwapsTheRing() {
    AutomatonState& ring = form->state().ring;
    ring.cells[10] = stateB;
    ring.cells[11] = stateC;
    ring.timeStep = 40;
    QTest::mouseClick(form->Button11, Qt::LeftButton);
    QCOMPARE(ring.cells[10], stateC);
    QCOMPARE(ring.cells[11], stateB);
    QCOMPARE(ring.runBackward, std::uint8_t{1});
    QCOMPARE(ring.timeStep, 40);
  }

  void ruleFileMenus() {
    // A read turns the "Random" box grey whether or not the file is there.
    QPalette aqua = form->GroupBox5->palette();
    aqua.setColor(QPalette::Window, QColor(0, 255, 255));
    form->GroupBox5->setPalette(aqua);
    const auto zero = form->state().ring.ruleTable;
    trigger("redrCA1");
    QCOMPARE(form->GroupBox5->palette().color(QPalette::Window), face);
    QCOMPARE(form->state().ring.ruleTable, zero);

    std::array<std::uint8_t, ruleTableSize> table{};
    for (int e = 0; e < ruleTableSize; ++e) table[e] = e % 3 == 0;
    testing::putFile("solCA.dat", std::vector<std::uint8_t>(table.begin(), table.end()));
    trigger("READCA51");
    QCOMPARE(form->state().ring.ruleTable, table);
    QCOMPARE(form->GroupBox5->palette().color(QPalette::Window), face);  // grey after a read

    trigger("WRITECA51");
    QCOMPARE(testing::fileBytes("ca.dat"), std::vector<std::uint8_t>(table.begin(), table.end()));
    form->state().ring.ruleTable.fill(0);
    trigger("redrCA1");
    QCOMPARE(form->state().ring.ruleTable, table);

    std::filesystem::remove("ca.dat");
    std::filesystem::create_directory("ca.dat");
    trigger("WRITECA51");
    QCOMPARE(form->StatusBar1->currentMessage(), QStringLiteral("Could not write ca.dat"));
    trigger("redrCA1");  // a folder is no rule file: the table stays
    QCOMPARE(form->state().ring.ruleTable, table);
  }

  void catalogueAndAuxiliaryFiles() {
    Catalogue c;
    c.solitonCode[0] = 5;
    c.solitonPeriod[0] = 10;
    c.solitonShift[0] = 3;
    QVERIFY(writeSolitonFile("Sol.dat", c));
    form->Button20Click();
    QCOMPARE(form->state().catalogue.solitonPeriod[0], 10);
    form->state().auxRuleTable[7] = 1;
    form->WRITECA1Click();
    form->state().auxRuleTable[7] = 0;
    form->READCA1Click();
    QCOMPARE(form->state().auxRuleTable[7], std::uint8_t{1});
  }

  void dontShowMenu() {
    OndrixState& st = form->state();
    form->Dontshow1->setChecked(false);  // as start-up leaves it
    st.dontShow = false;
    trigger("Dontshow1");
    QVERIFY(form->Dontshow1->isChecked());
    QCOMPARE(st.ring.ringLength, 7680);
    QCOMPARE(form->Label51->text(), QStringLiteral("7680"));
    QCOMPARE(form->Edit3->text(), QStringLiteral("40"));
    QCOMPARE(st.ring.stepsPerTick, std::int16_t{40});
    trigger("Dontshow1");
    QCOMPARE(st.ring.ringLength, 768);
    QCOMPARE(form->Edit3->text(), QStringLiteral("4"));
  }

 private:
  void trigger(const char* action) { form->findChild<QAction*>(QString::fromLatin1(action))->trigger(); }

  // A bar of the column centred on x: dir +1 below the centre line, -1 above.
  void expectBar(const QImage& image, int x, int y0, int dir, const QColor& colour) {
    for (int dx = -1; dx <= 1; ++dx) {
      for (int k = 1; k <= 11; ++k) {
        QCOMPARE(image.pixelColor(x + dx, y0 + dir * k), colour);
      }
      QCOMPARE(image.pixelColor(x + dx, y0), face);
      QCOMPARE(image.pixelColor(x + dx, y0 - dir * 5), face);
    }
  }

  testing::ScratchFolder* folder = nullptr;
  TForm1* form = nullptr;
  QColor face;
};

QTEST_MAIN(Unit1PictureTest)
#include "unit1_picture_test.moc"
