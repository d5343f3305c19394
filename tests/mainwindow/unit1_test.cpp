// The main window as the user meets it: every control by its name, caption
// and place, the menus in order, and the numeric fields storing what is typed.
#include <QAction>
#include <QChartView>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include "ondrix/datafiles/windows/Unit3.h"
#include "ondrix/mainwindow/windows/Unit1.h"
#include "ondrix/mainwindow/windows/panel.h"
#include "ondrix/mainwindow/windows/updown.h"
#include "ondrix/rules/windows/Unit4.h"
#include "ondrix/solitons/windows/Unit2.h"

using namespace ondrix::ui;

namespace {

// Captions of a widget, whatever its kind.
QString captionOf(QWidget* w) {
  if (auto* b = qobject_cast<QPushButton*>(w)) return b->text();
  if (auto* c = qobject_cast<QCheckBox*>(w)) return c->text();
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  return QString();
}

struct Control {
  const char* name;
  const char* parent;  // "client" for the main window's client area
  const char* caption;
  QRect rect;  // width and height 0: a label, checked by position only
};

const Control controls[] = {
    {"GroupBox1", "client", "Choose soliton", {24, 112, 145, 249}},
    {"Panel14", "GroupBox1", "XXX", {72, 24, 57, 17}},
    {"Label7", "GroupBox1", "0*    100", {16, 40, 0, 0}},
    {"Label12", "GroupBox1", "5****   88", {16, 120, 0, 0}},
    {"Label18", "GroupBox1", "11****  5", {16, 216, 0, 0}},
    {"Panel2", "GroupBox1", "", {72, 40, 57, 17}},
    {"Panel8", "GroupBox1", "", {72, 136, 57, 17}},
    {"Panel13", "GroupBox1", "", {72, 216, 57, 17}},
    {"Manage", "client", "Manage", {184, 112, 273, 121}},
    {"Button10", "Manage", "DO COLLISIONS", {16, 24, 137, 33}},
    {"Button11", "Manage", "Revers", {16, 64, 73, 25}},
    {"Button40", "Manage", "one step", {96, 64, 57, 17}},
    {"Button26", "Manage", "Clear", {96, 88, 57, 25}},
    {"Label3", "Manage", "T=", {160, 24, 0, 0}},
    {"Edit3", "Manage", "4", {184, 16, 41, 21}},
    {"UpDown2", "Manage", "", {224, 16, 17, 25}},
    {"Button39", "Manage", "50", {240, 8, 25, 17}},
    {"Button44", "Manage", "4", {240, 32, 25, 17}},
    {"CheckBox1", "Manage", "x3 Sp.", {176, 48, 49, 17}},
    {"Label51", "Manage", "768", {240, 56, 0, 0}},
    {"Label4", "Manage", "0", {176, 72, 0, 0}},
    {"Label5", "Manage", "0", {232, 72, 0, 0}},
    {"Label19", "Manage", "N(B)+N(C)=", {168, 96, 0, 0}},
    {"Label20", "Manage", "0", {232, 96, 0, 0}},
    {"Label21", "Manage", "%", {248, 96, 0, 0}},
    {"GroupBox3", "client", "Set rand. sol.", {176, 240, 81, 121}},
    {"Button36", "GroupBox3", "4", {8, 16, 57, 25}},
    {"Button37", "GroupBox3", "4 + R6", {8, 48, 57, 25}},
    {"Button38", "GroupBox3", "5", {8, 80, 57, 25}},
    {"GroupBox8", "client", "Choose mill and ghosts", {264, 240, 193, 121}},
    {"Button27", "GroupBox8", "\"I\"", {8, 24, 33, 25}},
    {"Button28", "GroupBox8", "\"II\"", {8, 56, 33, 25}},
    {"CheckBox2", "GroupBox8", "Without clear", {8, 88, 97, 17}},
    {"Label38", "GroupBox8", "dX", {80, 40, 0, 0}},
    {"Edit2", "GroupBox8", "0", {64, 56, 41, 21}},
    {"Label39", "GroupBox8", "Length", {136, 16, 0, 0}},
    {"Edit7", "GroupBox8", "30", {136, 32, 41, 21}},
    {"Button60", "GroupBox8", "Rand ABC", {112, 56, 73, 25}},
    {"Button35", "GroupBox8", "Test ghosts", {112, 80, 73, 25}},
    {"Label40", "GroupBox8", "MillsOrGhosts", {56, 24, 0, 0}},
    {"GroupBox4", "client", "Examples", {472, 112, 153, 161}},
    {"Button51", "GroupBox4", "Ex. 1", {16, 24, 57, 25}},
    {"Button41", "GroupBox4", "Ex. 2", {80, 24, 57, 25}},
    {"Button50", "GroupBox4", "Ex. 3", {16, 56, 57, 25}},
    {"Button52", "GroupBox4", "Ex. 4", {80, 56, 57, 25}},
    {"Button53", "GroupBox4", "Ex. 5", {16, 88, 57, 25}},
    {"Button54", "GroupBox4", "Ex. 6", {80, 88, 57, 25}},
    {"Button55", "GroupBox4", "Ex. 7", {16, 120, 57, 25}},
    {"Button42", "GroupBox4", "Ex. 8", {80, 120, 57, 25}},
    {"GroupBox5", "client", "Random", {473, 278, 144, 83}},
    {"Label41", "GroupBox5", "Thr.", {8, 24, 0, 0}},
    {"Edit8", "GroupBox5", "50", {48, 20, 41, 21}},
    {"UpDown1", "GroupBox5", "", {81, 20, 16, 21}},
    {"Button49", "GroupBox5", "Mk.random", {37, 50, 75, 25}},
    {"GroupBox6", "client", "Red/Write data", {632, 120, 97, 105}},
    {"Button45", "GroupBox6", "Read line", {8, 24, 65, 33}},
    {"Button46", "GroupBox6", "Wrtie line", {8, 64, 65, 33}},
    {"GroupBox7", "client", "Three solitons", {648, 360, 137, 97}},
    {"Edit4", "GroupBox7", "0", {8, 28, 33, 21}},
    {"Edit6", "GroupBox7", "6", {48, 28, 33, 21}},
    {"Edit5", "GroupBox7", "1", {104, 28, 25, 21}},
    {"Button47", "GroupBox7", "Make", {8, 56, 57, 25}},
    {"Button59", "GroupBox7", "Mk,+R+", {72, 56, 57, 25}},
    {"GroupBox2", "client", "Ghost par", {656, 464, 81, 89}},
    {"Label22", "GroupBox2", "Long", {16, 16, 0, 0}},
    {"Label23", "GroupBox2", "0", {48, 16, 0, 0}},
    {"Label24", "GroupBox2", "N(A)", {16, 32, 0, 0}},
    {"Label26", "GroupBox2", "N(B)", {16, 48, 0, 0}},
    {"Label28", "GroupBox2", "N(C)", {16, 64, 0, 0}},
    {"Label29", "GroupBox2", "0", {48, 64, 0, 0}},
    {"Label30", "client", "Choose  Examles,", {632, 240, 0, 0}},
    {"Label31", "client", "\"mills\", solitons,", {640, 264, 0, 0}},
    {"Label32", "client", "\"ghosts\" and", {642, 288, 0, 0}},
    {"Label33", "client", "press", {682, 312, 0, 0}},
    {"Label34", "client", "\"DO COLLISION\"", {634, 336, 0, 0}},
    {"Label35", "client", "o", {0, 8, 0, 0}},
    {"Label36", "client", "o", {784, 8, 0, 0}},
    {"Label37", "client", "o", {783, 80, 0, 0}},
    {"Chart1", "client", "", {8, 368, 633, 225}},
    {"StatusBar1", "client", "", {0, 593, 806, 19}},
};

const char* const boldControls[] = {"Button10", "Button11", "Button26", "Label4",   "Button47",
                                    "Button59", "GroupBox7", "Label35",  "Label36", "Label37"};

}  // namespace

class Unit1Test : public QObject {
  Q_OBJECT

 private slots:
  void init() { form = new TForm1(); }
  void cleanup() {
    delete form;
    form = nullptr;
  }

  void windowCaptionSizeAndPosition() {
    QCOMPARE(form->windowTitle(), QStringLiteral("Ondrix_1"));
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QWidget* client = form->centralWidget();
    QCOMPARE(client->objectName(), QStringLiteral("client"));
    QCOMPARE(client->size(), QSize(806, 612));
    QCOMPARE(client->y(), form->menuBar()->height());
    QCOMPARE(form->pos(), QPoint(347, 67));
  }

  void everyControlInItsPlace() {
    for (const Control& c : controls) {
      auto* w = form->findChild<QWidget*>(QString::fromLatin1(c.name));
      QVERIFY2(w, c.name);
      QVERIFY2(w->parentWidget() && w->parentWidget()->objectName() == QLatin1String(c.parent), c.name);
      QVERIFY2(captionOf(w) == QString::fromLatin1(c.caption), c.name);
      if (c.rect.width() == 0) {
        QVERIFY2(w->pos() == c.rect.topLeft(), c.name);
      } else {
        QVERIFY2(w->geometry() == c.rect, c.name);
      }
    }
  }

  void fontsAndColours() {
    for (const char* name : boldControls) {
      QVERIFY2(form->findChild<QWidget*>(QString::fromLatin1(name))->font().bold(), name);
    }
    QVERIFY(!form->findChild<QWidget*>(QStringLiteral("Edit4"))->font().bold());  // inside the bold box
    QVERIFY(!form->findChild<QWidget*>(QStringLiteral("Button40"))->font().bold());
    for (const char* name : {"Label30", "Label31", "Label32", "Label33", "Label34"}) {
      QWidget* hint = form->findChild<QWidget*>(QString::fromLatin1(name));
      QVERIFY2(hint->font().bold() && hint->font().pixelSize() == 16, name);
    }
    QCOMPARE(form->findChild<QWidget*>(QStringLiteral("Button36"))->font().pixelSize(), 11);

    const QColor expected[12] = {{128, 0, 0}, {0, 128, 0},   {128, 128, 0}, {0, 0, 128},
                                 {128, 0, 128}, {0, 128, 128}, {255, 0, 0},   {0, 255, 0},
                                 {0, 0, 255},   {0, 255, 255}, {255, 0, 255}, {255, 255, 0}};
    for (int k = 0; k < 12; ++k) {
      auto* panel = form->findChild<Panel*>(QStringLiteral("Panel%1").arg(2 + k));
      QVERIFY(panel);
      QCOMPARE(panel->colour(), expected[k]);
    }
    QCOMPARE(form->GroupBox5->palette().color(QPalette::Window), QColor(0, 255, 255));
    QCOMPARE(form->Series1->color(), QColor(255, 0, 0));
  }

  void menusInOrder() {
    const QStringList expected[] = {
        {"File", "READ (sol) CA", "read CA", "write CA", "-", "read data", "write data"},
        {"View", "Show soliton", "Time *16", "Time *2", "Time /2", "Record Vdeo", "Stop at T = 0"},
        {"Functions", "Show RCA", "Ch. random", "Ch. random*", "Ch. random**"},
        {"Mills", "Sy+rand 8", "Rand A,B,C", "Rand  B, C", "Rand A,B,C symm.", "Rand B,C symm.", "Rand A,B,C not s.",
         "Read A,B,C not s. 2"},
        {"Ghost", "Dont show"},
        {"Help", "About", "Keyboard shortcuts", "Guide"},
    };
    const QList<QAction*> top = form->menuBar()->actions();
    QCOMPARE(top.size(), 6);
    for (int m = 0; m < 6; ++m) {
      QCOMPARE(top[m]->text(), expected[m][0]);
      QStringList items;
      for (QAction* a : top[m]->menu()->actions()) items << (a->isSeparator() ? QStringLiteral("-") : a->text());
      QCOMPARE(items, expected[m].mid(1));
    }
    for (const char* name : {"Chrandom2", "Chrandom31", "Chrandom21", "Dontshow1", "StopAtStart1"}) {
      auto* a = form->findChild<QAction*>(QString::fromLatin1(name));
      QVERIFY2(a && a->isCheckable(), name);
    }
    QVERIFY(!form->findChild<QAction*>(QStringLiteral("About1"))->isCheckable());
  }

  void secondaryWindowsCreatedHidden() {
    form->createSecondaryWindows();
    form->show();
    QVERIFY(form->isVisible());
    struct Expected {
      QDialog* dialog;
      const char* caption;
      QSize client;
      QPoint position;
    } windows[] = {
        {form->Form2, "Show Soliton", {398, 237}, {590, 183}},
        {form->Form3, "About", {504, 275}, {410, 191}},
        {form->Form4, "Show RCA", {313, 249}, {564, 165}},
    };
    for (const Expected& w : windows) {
      QVERIFY2(!w.dialog->isVisible(), w.caption);
      QCOMPARE(w.dialog->windowTitle(), QString::fromLatin1(w.caption));
      QCOMPARE(w.dialog->height(), w.client.height());
      // "Show Soliton" widens to fit the widest numbers of its columns.
      if (w.dialog == form->Form2) QVERIFY(w.dialog->width() >= w.client.width());
      else QCOMPARE(w.dialog->width(), w.client.width());
      QCOMPARE(w.dialog->pos(), w.position);
    }
  }

  void stepsFieldStoresSixteenBits() {
    auto& ring = form->state().ring;
    QCOMPARE(ring.stepsPerTick, std::int16_t{4});
    type(form->Edit3, "12abc");
    QCOMPARE(ring.stepsPerTick, std::int16_t{12});
    QCOMPARE(form->UpDown2->position(), 12);
    type(form->Edit3, "abc");
    QCOMPARE(ring.stepsPerTick, std::int16_t{0});
    type(form->Edit3, "-3");
    QCOMPARE(ring.stepsPerTick, std::int16_t{-3});
    QCOMPARE(form->UpDown2->position(), 0);  // the control keeps its range
    type(form->Edit3, "70000");
    QCOMPARE(ring.stepsPerTick, std::int16_t{4464});
    QCOMPARE(form->UpDown2->position(), 100);
    type(form->Edit3, " +40000");
    QCOMPARE(ring.stepsPerTick, std::int16_t{-25536});
  }

  void stepsButtonsAndUpDown() {
    auto& ring = form->state().ring;
    QTest::mouseClick(form->Button39, Qt::LeftButton);
    QCOMPARE(form->Edit3->text(), QStringLiteral("50"));
    QCOMPARE(ring.stepsPerTick, std::int16_t{50});
    QCOMPARE(form->UpDown2->position(), 50);
    QTest::mouseClick(form->UpDown2->upButton(), Qt::LeftButton);
    QCOMPARE(form->Edit3->text(), QStringLiteral("51"));
    QCOMPARE(ring.stepsPerTick, std::int16_t{51});
    QTest::mouseClick(form->Button44, Qt::LeftButton);
    QCOMPARE(form->Edit3->text(), QStringLiteral("4"));
    QCOMPARE(ring.stepsPerTick, std::int16_t{4});
    for (int i = 0; i < 6; ++i) QTest::mouseClick(form->UpDown2->downButton(), Qt::LeftButton);
    QCOMPARE(form->Edit3->text(), QStringLiteral("0"));  // stops at the bottom of its range
    QCOMPARE(ring.stepsPerTick, std::int16_t{0});
  }

  void otherNumericFields() {
    auto& st = form->state();
    type(form->Edit2, "-10");
    QCOMPARE(st.mills.patternOffset, -10);
    type(form->Edit2, "");
    QCOMPARE(st.mills.patternOffset, 0);
    type(form->Edit7, "70000");
    QCOMPARE(st.mills.patternLength, 70000);  // a 32-bit parameter keeps it all
    type(form->Edit4, "12");
    QCOMPARE(st.three.threeLeftType, std::int16_t{12});
    type(form->Edit5, "40000");
    QCOMPARE(st.three.threeRightType, std::int16_t{-25536});
    type(form->Edit6, "x");
    QCOMPARE(st.three.threeMiddleType, std::int16_t{0});
  }

  void thresholdField() {
    auto& st = form->state();
    QCOMPARE(form->Edit8->text(), QStringLiteral("50"));
    QCOMPARE(st.randomRule.randomThreshold, std::int16_t{16380});  // the default text converts nothing
    type(form->Edit8, "55");
    QCOMPARE(st.randomRule.randomThreshold, std::int16_t{19672});
    QCOMPARE(form->UpDown1->position(), 55);
    type(form->Edit8, "92");
    QCOMPARE(st.randomRule.randomThreshold, std::int16_t{-32630});
    type(form->Edit8, "pct");
    QCOMPARE(st.randomRule.randomThreshold, std::int16_t{0});
  }

 private:
  static void type(QLineEdit* e, const char* text) {
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Backspace);
    QTest::keyClicks(e, QString::fromLatin1(text));
    QCOMPARE(e->text(), QString::fromLatin1(text));
  }

  TForm1* form = nullptr;
};

QTEST_MAIN(Unit1Test)
#include "unit1_test.moc"
