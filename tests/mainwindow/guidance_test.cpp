// What the main window tells its user, through the real window with the
// shipped files: tooltips, shortcuts, the Help windows, "Stop at T = 0", the
// value labels after each command, and a "Show Soliton" table that holds
// any number.
#include <QAbstractButton>
#include <QAction>
#include <QChartView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <climits>
#include <filesystem>
#include <functional>

#include "ondrix/automaton/reversal.h"
#include "ondrix/mainwindow/windows/Unit1.h"
#include "ondrix/mainwindow/windows/guidance.h"
#include "ondrix/mainwindow/windows/panel.h"
#include "ondrix/mainwindow/windows/updown.h"
#include "ondrix/solitons/windows/Unit2.h"
#include "tests/support/testsupport.h"

using namespace ondrix;
using namespace ondrix::ui;

class GuidanceTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    folder = new testing::ScratchFolder();
    for (const auto& f : std::filesystem::directory_iterator(ONDRIX_ASSETS_DIR)) {
      if (f.is_regular_file()) std::filesystem::copy_file(f.path(), f.path().filename());
    }
    form = new TForm1();
    form->createSecondaryWindows();
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form));
  }
  void cleanup() {
    delete form;
    delete folder;
  }

  void everyControlAndMenuItemExplainsItself() {
    QStringList silent;
    for (QWidget* w : form->findChildren<QWidget*>()) {
      const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                           qobject_cast<UpDown*>(w) || qobject_cast<Panel*>(w) || qobject_cast<QChartView*>(w);
      // An arrow of an up-down shows the up-down's tooltip, as tooltips go up to the parent.
      const bool told = !w->toolTip().isEmpty() || !w->parentWidget()->toolTip().isEmpty();
      if (control && w->isVisibleTo(form) && w->window() == form && !told) silent << w->objectName() + "/" + w->metaObject()->className();
    }
    if (form->centralWidget()->toolTip().isEmpty()) silent << "the ring picture";
    for (QLabel* value : {form->Label4, form->Label5, form->Label20, form->Label51}) {
      if (value->toolTip().isEmpty()) silent << value->objectName();
    }
    for (QLabel* value : form->ghostValues) {
      if (value->toolTip().isEmpty()) silent << value->objectName();
    }
    for (QAction* top : form->menuBar()->actions()) {
      for (QAction* a : top->menu()->actions()) {
        if (!a->isSeparator() && a->toolTip() == a->text().remove(QLatin1Char('&'))) silent << a->objectName();
      }
    }
    for (QWidget* w : {static_cast<QWidget*>(form->Form2->Button1), static_cast<QWidget*>(form->Form2->Button2),
                       static_cast<QWidget*>(form->Form2->Edit1), static_cast<QWidget*>(form->Form2->Edit2)}) {
      if (w->toolTip().isEmpty()) silent << "Form2." + w->objectName();
    }
    QVERIFY2(silent.isEmpty(), qPrintable(silent.join(QStringLiteral(", "))));
    // The captions stay as they were; the tooltip names the shortcut.
    QCOMPARE(form->findChild<QPushButton*>(QStringLiteral("Button59"))->text(), QStringLiteral("Mk,+R+"));
    QVERIFY(form->Button10->toolTip().contains(QStringLiteral("(Ctrl+R)")));
  }

  // Each key reaches its command: a button is pressed, a menu item triggered.
  void everyShortcutTriggersItsCommand() {
    int keyed = 0;
    for (const Guidance& g : guidance()) {
      if (g.keys.isEmpty()) continue;
      ++keyed;
      QObject* target = form->findChild<QAction*>(g.object);
      std::unique_ptr<QSignalSpy> spy;
      if (target) spy = std::make_unique<QSignalSpy>(static_cast<QAction*>(target), &QAction::triggered);
      else if ((target = form->findChild<QAbstractButton*>(g.object)))
        spy = std::make_unique<QSignalSpy>(static_cast<QAbstractButton*>(target), &QAbstractButton::clicked);
      QVERIFY2(target, qPrintable(g.object));
      form->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(form));
      QTest::keySequence(form, QKeySequence(g.keys));
      QVERIFY2(spy->count() == 1, qPrintable(g.object + " " + g.keys));
    }
    QVERIFY(keyed >= 13);  // run, one step, Revers, Clear, eight examples, ...
    // The commands did their work: a run going, the Help windows open.
    QVERIFY(form->runTimer().isActive());
    auto* shortcuts = form->findChild<QDialog*>(QStringLiteral("shortcutsWindow"));
    QVERIFY(shortcuts && shortcuts->isVisible());
    const QString listed = shortcuts->findChild<QTextBrowser*>()->toPlainText();
    for (const char* line : {"Starts the run", "example 8", "The keyboard shortcuts"}) QVERIFY2(listed.contains(line), line);
    auto* guide = form->findChild<QTextBrowser*>(QStringLiteral("guideText"));
    QVERIFY(guide && guide->isVisible());
    QVERIFY(guide->toPlainText().contains(QStringLiteral("A first collision, and back")));
  }

  void stopAtStartEndsABackwardRunAtZero_data() {
    QTest::addColumn<bool>("stopAtStart");
    QTest::newRow("on") << true;
    QTest::newRow("off") << false;
  }
  void stopAtStartEndsABackwardRunAtZero() {
    QFETCH(bool, stopAtStart);
    if (stopAtStart) form->StopAtStart1->trigger();
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Button51")), Qt::LeftButton);  // "Ex. 1"
    const AutomatonState start = ring();
    QTest::mouseClick(form->Button10, Qt::LeftButton);
    for (int tick = 0; tick < 125; ++tick) form->runTimerTick();  // 500 generations
    QCOMPARE(ring().timeStep, 500);
    QTest::mouseClick(form->Button11, Qt::LeftButton);  // "Revers"
    for (int tick = 0; tick < 125 && form->runTimer().isActive(); ++tick) form->runTimerTick();
    QCOMPARE(ring().timeStep, 0);
    QCOMPARE(form->runTimer().isActive(), !stopAtStart);
    for (int i = 0; i < 768; ++i) QCOMPARE(ring().cells[i], swapState(start.cells[i]));
    if (stopAtStart) {
      QCOMPARE(form->StatusBar1->currentMessage(), QStringLiteral("Back at the start (T = 0)"));
      QCOMPARE(form->Button10->text(), QStringLiteral("DO COLLISIONS"));
      QCOMPARE(form->Label4->text(), QStringLiteral("0"));
      QTest::mouseClick(form->Button10, Qt::LeftButton);  // a new run: the message is old news
      QCOMPARE(form->StatusBar1->currentMessage(), QString());
    } else {
      form->runTimerTick();
      QCOMPARE(ring().timeStep, -4);  // on into negative T, as without the item
      QVERIFY(form->runTimer().isActive());
    }
  }

  // After each command every value label shows the state as it now stands.
  void labelsShowTheCurrentValuesAfterEachCommand() {
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"one step", [&] { click("Button40"); }},
        {"Clear", [&] { click("Button26"); }},
        {"Make", [&] { click("Button47"); }},
        {"Mk,+R+", [&] { click("Button59"); }},
        {"Rand A,B,C", [&] { form->findChild<QAction*>(QStringLiteral("Rand1"))->trigger(); }},
        {"Rand ABC", [&] { click("Button60"); }},
        {"Test ghosts", [&] { click("Button35"); }},
        {"stop under Dont show", [&] {
           form->Dontshow1->trigger();
           click("Button10");
           for (int tick = 0; tick < 3; ++tick) form->runTimerTick();  // T = 120, not a multiple of 32
           click("Button10");
         }},
    };
    for (const auto& [what, command] : commands) {
      click("Button51");  // "Ex. 1", then a few steps: labels hold values of before
      for (int tick = 0; tick < 5; ++tick) form->runTimerTick();
      command();
      const Statistics now = measureRing(ring());
      const std::pair<QLabel*, std::int32_t> shown[] = {
          {form->Label4, ring().timeStep},      {form->Label5, ring().sampleCount},
          {form->ghostValues[0], now.spanLast - now.spanFirst}, {form->ghostValues[1], now.spanGaps},
          {form->ghostValues[2], now.countB},   {form->ghostValues[3], now.countC},
      };
      for (auto [label, value] : shown) {
        QVERIFY2(label->text() == QString::number(value),
                 qPrintable(QStringLiteral("%1: %2 shows %3, not %4").arg(what, label->objectName(), label->text()).arg(value)));
      }
      if (form->Dontshow1->isChecked()) form->Dontshow1->trigger();
    }
  }

  // Wide numbers in every column: no label covers another or a control, and
  // every number is shown whole.
  void showSolitonHoldsAnyNumber() {
    for (const std::int32_t v : {INT32_MIN, INT32_MAX, -1, 7}) {
      Catalogue& c = form->state().catalogue;
      for (int k = 0; k < 12; ++k) c.solitonCode[k] = c.solitonPeriod[k] = c.solitonShift[k] = v;
      c.solitonPeriod[0] = 1;  // the widest speed
      TForm2* sol = form->Form2;
      sol->show();
      QList<QWidget*> shown;
      for (QWidget* w : sol->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(sol) || !w->parentWidget() || w->parentWidget() != sol) continue;
        shown << w;
        if (auto* l = qobject_cast<QLabel*>(w)) {
          QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->contentsRect().width(), qPrintable(l->text()));
        }
        QVERIFY2(sol->rect().contains(w->geometry()), qPrintable(w->objectName()));
      }
      for (int a = 0; a < shown.size(); ++a) {
        for (int b = a + 1; b < shown.size(); ++b) {
          QVERIFY2(!shown[a]->geometry().intersects(shown[b]->geometry()),
                   qPrintable(shown[a]->objectName() + " over " + shown[b]->objectName()));
        }
      }
      sol->hide();
    }
  }

 private:
  AutomatonState& ring() { return form->state().ring; }
  void click(const char* name) {
    QTest::mouseClick(form->findChild<QAbstractButton*>(QString::fromLatin1(name)), Qt::LeftButton);
  }

  testing::ScratchFolder* folder = nullptr;
  TForm1* form = nullptr;
};

QTEST_MAIN(GuidanceTest)
#include "guidance_test.moc"
