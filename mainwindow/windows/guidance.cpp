#include "ondrix/mainwindow/windows/guidance.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <functional>

#include "ondrix/datafiles/examples.h"

namespace ondrix::ui {

namespace {

constexpr const char* exampleButtonNames[exampleCount] = {"Button51", "Button41", "Button50", "Button52",
                                                          "Button53", "Button54", "Button55", "Button42"};

struct Row {
  const char* object;
  const char* tip;
  const char* keys = nullptr;
};

// Controls first, box by box, then the menus in their order.
constexpr Row rows[] = {
    {"client", "The ring: the left button sets the cell under the mouse to C, the right button sets it to A. "
               "Solitons are drawn in the colour of their type"},
    {"Panel14", "Clears without placing: the left button clears the first third of the ring, the right button the "
                "last third"},
    {"Button10", "Starts the run: T counts from 0 and the starting row is saved to line.dat (\"read data\" brings it "
                 "back). Pressed again, stops the run and draws the population chart",
     "Ctrl+R"},
    {"Button11", "Turns time back: B and C exchange places on the whole ring, so the run goes backward, T counting "
                 "down, to the row it came from",
     "Ctrl+B"},
    {"Button40", "Computes one batch of generations (the number in the field at the right) and measures the ring; "
                 "works with the run stopped or going",
     "Ctrl+N"},
    {"Button26", "Empties the ring (every cell A), sets T to 0 and forgets the population samples (the chart keeps "
                 "its curve until the next stop); a run goes on",
     "Ctrl+L"},
    {"Edit3", "Generations computed per tick of the run and per \"one step\""},
    {"UpDown2", "One generation per tick more or less"},
    {"Button39", "50 generations per tick"},
    {"Button44", "4 generations per tick"},
    {"CheckBox1", "Checked: a ring of 768 cells drawn in three rows of 256. Unchecked: 256 cells in one row. "
                  "Changing it clears the ring"},
    {"Label51", "The ring's length in cells"},
    {"Label4", "T, the generation count of the run (it counts down after \"Revers\"); a running run refreshes it "
               "every 32 generations"},
    {"Label5", "Population samples taken since the last reset, one per tick, at most 1000"},
    {"Label20", "Live cells (B or C) as a share of the ring, in percent"},
    {"Button36", "Four solitons of random types, phases and directions at the fifths of a cleared ring; T = 0"},
    {"Button37", "As \"4\", then the ghost row of tgho.dat read over the ring; T = 0 and the population history "
                 "restarts"},
    {"Button38", "Five solitons of random types, phases and directions across a cleared ring; T = 0"},
    {"Button27", "Mill seed: one C cell at the ring's centre plus dX"},
    {"Button28", "Mill seed: two C cells at the ring's centre plus dX"},
    {"CheckBox2", "For the mill seeds and random blocks: checked, they clear the whole ring first. For the soliton "
                  "panels the other way round: checked, they do not clear their third"},
    {"Edit2", "Where the mill seeds and random blocks start: cells right of the ring's centre (negative: left)"},
    {"Edit7", "Cells in the left half of a random block"},
    {"Button60", "A random block of A, B and C cells (Length of them) at the centre plus dX; the population history "
                 "restarts"},
    {"Button35", "Reads the ghost row tgho.dat over the ring; the population history restarts"},
    {"Edit8", "Threshold of random rule tables in percent: the higher, the fewer rule entries are 1"},
    {"UpDown1", "Draws a random rule table (as \"Ch. random*\") with the threshold shown, then moves the threshold "
                "by 5 percent"},
    {"Button49", "Draws a new random rule table with the variant checked in the Functions menu, replacing the rule in "
                 "use (\"write CA\" saves it to ca.dat)"},
    {"Button45", "Reads the row of line.dat (saved by \"Wrtie line\" and at the start of every run) and draws it"},
    {"Button46", "Saves the ring to line.dat"},
    {"Edit4", "Three solitons: the type of the left one, moving right"},
    {"Edit6", "Three solitons: the type of the middle one, moving right"},
    {"Edit5", "Three solitons: the type of the right one, reversed, moving left"},
    {"Button47", "Clears the ring and places the three solitons typed above, then computes one generation; T and the "
                 "population history restart"},
    {"Button59", "Draws three random types into the fields, then does \"Make\""},
    {"Label23", "Long: cells from the first to the last live cell"},
    {"Label25", "N(A): background cells between the first and the last live cell"},
    {"Label27", "N(B): cells in state B"},
    {"Label29", "N(C): cells in state C"},
    {"Chart1", "Population N(B)+N(C), one sample per tick; drawn when the run stops"},
    // File
    {"READCA51", "Reads the rule table from solCA.dat, the rule the program starts with"},
    {"redrCA1", "Reads the rule table from ca.dat"},
    {"WRITECA51", "Saves the rule table to ca.dat"},
    {"readdata1", "Reads the row of line.dat; the ring keeps its length"},
    {"writedata1", "Saves the ring to line.dat"},
    // View
    {"Showsoliton1", "The twelve soliton types of the catalogue with code, period, shift and speed; rows can be "
                     "exchanged and saved to Sol.dat"},
    {"Time161", "Slows the run down: 16 times the interval between ticks"},
    {"Time21", "Slows the run down: twice the interval between ticks", "Ctrl+-"},
    {"Time22", "Speeds the run up: half the interval between ticks (1 ms at least)", "Ctrl+="},
    {"ViewVdeo1", "Records the run as bitmap frames video/file0000.bmp, ...: 8 generations a frame, forward to "
                  "T = 1600 and back to T = 0"},
    {"StopAtStart1", "When checked, a backward run stops by itself as soon as T is back at 0", "Ctrl+0"},
    // Functions
    {"ShowCA1", "The rule table as a grid; a click changes an entry"},
    {"Chrandom2", "Draws a random rule table over all entries (threshold in the Random box)"},
    {"Chrandom31", "Draws a random rule table in which C cells at distance 4 have no effect"},
    {"Chrandom21", "Draws a random rule table in which C cells at distances 3 and 4 have no effect"},
    // Mills
    {"Makeghost11", "A random block of 8 cells, the same read from either end, at the centre plus dX"},
    {"Rand1", "A random block of A, B and C (Length cells) at the centre plus dX; the population history restarts"},
    {"RandBC1", "A random block of B and C (Length cells) at the centre plus dX; the population history restarts"},
    {"RandABCsymm1", "A random block of A, B and C followed by its mirror image; the population history restarts"},
    {"RandBCsymm1", "A random block of B and C followed by its mirror image; the population history restarts"},
    {"RandABCnots1", "A random block of B and C followed by its mirror image with B and C exchanged; the population "
                     "history restarts"},
    {"ReadABCnots21", "A random block of B and A followed by its mirror image with B turned into C; the population "
                      "history restarts"},
    // Ghost
    {"Dontshow1", "Runs without drawing: a ring ten times longer and ten times the generations per tick; switching "
                  "clears the ring"},
    // Help
    {"About1", "The program's name, version and licence"},
    {"Shortcuts1", "The keyboard shortcuts", "Ctrl+/"},
    {"Guide1", "How to use Ondrix: a first collision and its reversal, the boxes and the files", "F1"},
};

std::vector<Guidance> makeGuidance() {
  std::vector<Guidance> all;
  for (const Row& r : rows) {
    all.push_back({QString::fromLatin1(r.object), QString::fromLatin1(r.tip),
                   r.keys ? QString::fromLatin1(r.keys) : QString()});
  }
  for (int k = 0; k < 12; ++k) {
    all.push_back({QStringLiteral("Panel%1").arg(k + 2),
                   QStringLiteral("Soliton type %1: the left button places it at the left end, moving right; the "
                                  "right button places its reversed twin at the right end, moving left. Each press "
                                  "first clears that third of the ring, unless \"Without clear\" is checked")
                       .arg(k),
                   QString()});
  }
  for (int n = 1; n <= exampleCount; ++n) {
    all.push_back({QString::fromLatin1(exampleButtonNames[n - 1]),
                   QStringLiteral("Loads example %1 (Exp%1.dat) over the ring and sets T to 0; then press "
                                  "\"DO COLLISIONS\"")
                       .arg(n),
                   QStringLiteral("Ctrl+%1").arg(n)});
  }
  return all;
}

// As rich text, so that a long tip wraps into a paragraph.
QString withKeys(const Guidance& g) {
  QString tip = g.tip;
  if (!g.keys.isEmpty()) tip += QStringLiteral(" (") + QKeySequence(g.keys).toString(QKeySequence::NativeText) + ")";
  return QStringLiteral("<p>") + tip.toHtmlEscaped() + QStringLiteral("</p>");
}

// Made at the first showing, then shown again as it was left.
void helpWindow(QWidget& parent, const char* name, const QString& title, QSize size,
                const std::function<QWidget*()>& content) {
  auto* w = parent.findChild<QDialog*>(QString::fromLatin1(name));
  if (!w) {
    w = new QDialog(&parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setWindowTitle(title);
    w->resize(size);
    auto* layout = new QVBoxLayout(w);
    layout->addWidget(content());
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, w);
    QObject::connect(close, &QDialogButtonBox::rejected, w, &QDialog::close);
    layout->addWidget(close);
  }
  w->show();
  w->raise();
  w->activateWindow();
}

}  // namespace

std::span<const Guidance> guidance() {
  static const std::vector<Guidance> all = makeGuidance();
  return all;
}

const char* exampleButtonName(int number) { return exampleButtonNames[number - 1]; }

void applyGuidance(QMainWindow& window) {
  for (QMenu* menu : window.menuBar()->findChildren<QMenu*>()) menu->setToolTipsVisible(true);
  for (const Guidance& g : guidance()) {
    const QString tip = withKeys(g);
    if (auto* action = window.findChild<QAction*>(g.object)) {
      action->setToolTip(tip);
      if (!g.keys.isEmpty()) action->setShortcut(QKeySequence(g.keys));
    } else if (auto* widget = window.findChild<QWidget*>(g.object)) {
      widget->setToolTip(tip);
      auto* button = qobject_cast<QAbstractButton*>(widget);
      if (button && !g.keys.isEmpty()) {
        auto* press = new QAction(&window);
        press->setObjectName(g.object + QStringLiteral("Key"));
        press->setShortcut(QKeySequence(g.keys));
        window.addAction(press);
        QObject::connect(press, &QAction::triggered, button, &QAbstractButton::click);
      }
    }
  }
}

void showShortcuts(QMainWindow& window) {
  helpWindow(window, "shortcutsWindow", QStringLiteral("Keyboard shortcuts"), QSize(560, 520), [] {
    QString html = QStringLiteral("<table cellpadding=\"3\">");
    for (const Guidance& g : guidance()) {
      if (g.keys.isEmpty()) continue;
      html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                  .arg(QKeySequence(g.keys).toString(QKeySequence::NativeText).toHtmlEscaped(),
                       g.tip.toHtmlEscaped());
    }
    auto* text = new QTextBrowser();
    text->setObjectName(QStringLiteral("shortcutsText"));
    text->setHtml(html + QStringLiteral("</table>"));
    return text;
  });
}

void showGuide(QWidget& parent) {
  helpWindow(parent, "guideWindow", QStringLiteral("Ondrix guide"), QSize(640, 600), [] {
    auto* text = new QTextBrowser();
    text->setObjectName(QStringLiteral("guideText"));
    text->setOpenExternalLinks(true);
    text->setSource(QUrl(QStringLiteral("qrc:/guide.html")));
    return text;
  });
}

}  // namespace ondrix::ui
