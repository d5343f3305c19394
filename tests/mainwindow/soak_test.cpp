// A long seeded sequence of random commands on the real window: every
// button, panel, menu item, check box and field, presses anywhere, the
// modal windows used and closed, run and recording ticks between commands,
// and the data files swapped for missing, short, long, invalid, read-only
// ones, folders and pipes. After every command the invariants must hold.
// ONDRIX_SOAK_COMMANDS and ONDRIX_SOAK_SEED set the length and the seed; a
// failure names both, and the same seed replays the same run.
#include <sys/stat.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <random>
#include <set>

#include "ondrix/datafiles/windows/Unit3.h"
#include "ondrix/datafiles/recording.h"
#include "ondrix/mainwindow/windows/Unit1.h"
#include "ondrix/mainwindow/windows/panel.h"
#include "ondrix/rules/windows/Unit4.h"
#include "ondrix/solitons/windows/Unit2.h"
#include "tests/support/testsupport.h"

using namespace ondrix;
using namespace ondrix::ui;
namespace fs = std::filesystem;

namespace {

const fs::path assets = ONDRIX_ASSETS_DIR;
const std::set<std::int32_t> reachableLengths = {25, 76, 250, 256, 760, 768, 2500, 2560, 7600, 7680};
const char* const dataFiles[] = {"solCA.dat", "ca.dat", "Exr.dat", "Sol.dat", "line.dat", "Exp1.dat", "Exp4.dat",
                                 "Exp7.dat", "tgho.dat", "data/filedem.bmp"};

std::uint64_t envNumber(const char* name, std::uint64_t otherwise) {
  const char* v = std::getenv(name);
  return v && *v ? std::stoull(v) : otherwise;
}

class Soak {
 public:
  Soak(std::uint64_t seed) : rng_(seed) {}

  void start() {
    form = std::make_unique<TForm1>();
    form->createSecondaryWindows();
    // Ticks come from the soak, between commands, so that a seed replays.
    form->runTimer().blockSignals(true);
    form->recordingTimer().blockSignals(true);
    form->show();
    for (QPushButton* b : form->findChildren<QPushButton*>()) {
      if (b->isVisibleTo(form.get())) buttons_.push_back(b);
    }
    for (QAction* a : form->findChildren<QAction*>()) {
      if (!a->objectName().isEmpty() && !a->menu()) actions_.push_back(a);
    }
    fields_ = form->findChildren<QLineEdit*>();
  }

  // One random command; returns what it was, for the failure message.
  QString command() {
    switch (pick(9)) {
      case 0: case 1: {
        QPushButton* b = buttons_[pick(buttons_.size())];
        QTest::mouseClick(b, Qt::LeftButton);
        return "click " + b->objectName();
      }
      case 2: {
        Panel* p = pick(13) == 12 ? form->Panel14 : form->solitonPanels[pick(12)];
        const Qt::MouseButton button = mouseButton();
        QTest::mousePress(p, button);
        return QStringLiteral("press %1 with %2").arg(p->objectName()).arg(int(button));
      }
      case 3: return menuItem();
      case 4: {
        QCheckBox* c = pick(2) ? form->CheckBox1 : form->CheckBox2;
        QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(6, c->height() / 2));
        return "toggle " + c->objectName();
      }
      case 5: {
        QLineEdit* e = fields_[pick(fields_.size())];
        const QString text = randomText(e == form->Edit3);
        e->setText(text);
        return QStringLiteral("type '%1' into %2").arg(text.left(40), e->objectName());
      }
      case 6: {
        QWidget* client = form->centralWidget();
        const QPoint at(pick(client->width()), pick(client->height()));
        QWidget* target = client->childAt(at);
        if (!target) target = client;
        const Qt::MouseButton button = mouseButton();
        QTest::mousePress(target, button, {}, target->mapFrom(client, at));
        QTest::mouseRelease(target, button, {}, target->mapFrom(client, at));
        return QStringLiteral("press (%1, %2) with %3").arg(at.x()).arg(at.y()).arg(int(button));
      }
      case 7: return changeFile();
      default: {
        const int ticks = pick(4);
        for (int k = 0; k < ticks; ++k) {
          if (form->runTimer().isActive()) form->runTimerTick();
          if (form->recordingTimer().isActive()) form->Timer3Timer();
        }
        return QStringLiteral("%1 ticks").arg(ticks);
      }
    }
  }

  // The invariants; an empty string when they hold.
  QString broken() const {
    const AutomatonState& ring = form->state().ring;
    if (!reachableLengths.count(ring.ringLength)) return QStringLiteral("ring length %1").arg(ring.ringLength);
    for (std::int32_t i = 0; i < ring.ringLength; ++i) {
      if (ring.cells[i] > stateA) return QStringLiteral("cell %1 holds %2").arg(i).arg(ring.cells[i]);
    }
    if (ring.sampleCount < 0 || ring.sampleCount > historySize) return QStringLiteral("%1 samples").arg(ring.sampleCount);
    if (!form->isVisible()) return QStringLiteral("the window is gone");
    return {};
  }

  std::unique_ptr<TForm1> form;

 private:
  std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }

  Qt::MouseButton mouseButton() {
    static const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
    return buttons[pick(3)];
  }

  QString randomText(bool steps) {
    switch (pick(7)) {
      case 0: return {};
      case 1: return QString::number(int(pick(steps ? 60 : 100000)) - (steps ? 5 : 50000));
      case 2: return QStringLiteral("  -%1abc").arg(pick(steps ? 9 : 99999));
      case 3: return QStringLiteral("x%1").arg(pick(100));
      case 4: {
        if (steps && pick(20)) return QStringLiteral("7");  // long batches now and then only
        QString digits;
        for (int k = 0; k < 100; ++k) digits += QChar('0' + int(pick(10)));
        return digits;
      }
      case 5: return QString(int(pick(300)), QChar('9'));
      default: return QString::number(pick(steps ? 12 : 5000));
    }
  }

  QString menuItem() {
    QAction* a = actions_[pick(actions_.size())];
    const QString name = a->objectName();
    // The modal windows are used and closed from inside their own loop.
    if (name == "Showsoliton1") {
      QTimer::singleShot(0, form.get(), [this] {
        TForm2* w = form->Form2;
        w->Edit1->setText(randomText(false));
        w->Edit2->setText(QString::number(pick(14)));
        QTest::mouseClick(pick(2) ? w->Button2 : w->Button1, Qt::LeftButton);
        w->reject();
      });
    } else if (name == "ShowCA1") {
      QTimer::singleShot(0, form.get(), [this] {
        for (int k = int(pick(4)); k >= 0; --k) {
          QTest::mousePress(form->Form4, mouseButton(), {}, QPoint(int(pick(320)), int(pick(250))));
        }
        form->Form4->reject();
      });
    } else if (name == "About1") {
      QTimer::singleShot(0, form.get(), [this] { form->Form3->reject(); });
    }
    a->trigger();
    return "menu " + name;
  }

  QString changeFile() {
    const std::string name = dataFiles[pick(std::size(dataFiles))];
    std::error_code ignored;
    fs::remove_all(name, ignored);
    switch (pick(8)) {
      case 0: return QStringLiteral("remove %1").arg(name.c_str());
      case 1: fs::create_directory(name); return QStringLiteral("folder at %1").arg(name.c_str());
      case 2: ::mkfifo(name.c_str(), 0666); return QStringLiteral("pipe at %1").arg(name.c_str());
      case 3: case 4: {
        std::vector<std::uint8_t> bytes(pick(2) ? pick(40) : 1000 + pick(9000));
        for (auto& b : bytes) b = static_cast<std::uint8_t>(pick(3) ? pick(3) : pick(256));
        testing::putFile(name, bytes);
        return QStringLiteral("%1 random bytes in %2").arg(bytes.size()).arg(name.c_str());
      }
      case 5:
        fs::copy_file(assets / (fs::exists(assets / name) ? name : "Exp2.dat"), name);
        fs::permissions(name, fs::perms(0444));
        return QStringLiteral("read-only %1").arg(name.c_str());
      default:
        fs::copy_file(assets / (fs::exists(assets / name) ? name : "Exp2.dat"), name);
        return QStringLiteral("shipped %1").arg(name.c_str());
    }
  }

  std::mt19937_64 rng_;
  std::vector<QPushButton*> buttons_;
  std::vector<QAction*> actions_;
  QList<QLineEdit*> fields_;
};

}  // namespace

class SoakTest : public QObject {
  Q_OBJECT

 private slots:
  void randomCommandsKeepTheInvariants() {
    const std::uint64_t commands = envNumber("ONDRIX_SOAK_COMMANDS", 3000);
    const std::uint64_t seed = envNumber("ONDRIX_SOAK_SEED", 20261209);
    testing::ScratchFolder folder;
    fs::copy(assets, ".", fs::copy_options::recursive);
    Soak soak(seed);
    soak.start();
    QVERIFY(QTest::qWaitForWindowExposed(soak.form.get()));
    QString last;
    for (std::uint64_t n = 1; n <= commands; ++n) {
      last = soak.command();
      const QString broken = soak.broken();
      if (!broken.isEmpty()) {
        QFAIL(qPrintable(QStringLiteral("seed %1, command %2 (%3): %4").arg(seed).arg(n).arg(last, broken)));
      }
    }
    qInfo("%llu commands, seed %llu", static_cast<unsigned long long>(commands), static_cast<unsigned long long>(seed));
  }
};

QTEST_MAIN(SoakTest)
#include "soak_test.moc"
