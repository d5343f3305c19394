#include "ondrix/mainwindow/windows/Unit1.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QValueAxis>

#include "ondrix/automaton/textnumber.h"
#include "ondrix/datafiles/windows/Unit3.h"
#include "ondrix/datafiles/examples.h"
#include "ondrix/datafiles/rowfiles.h"
#include "ondrix/mainwindow/windows/clientarea.h"
#include "ondrix/mainwindow/windows/controls.h"
#include "ondrix/mainwindow/windows/guidance.h"
#include "ondrix/mainwindow/windows/panel.h"
#include "ondrix/mainwindow/runcontrol.h"
#include "ondrix/mainwindow/statistics.h"
#include "ondrix/mainwindow/windows/uifont.h"
#include "ondrix/mainwindow/windows/updown.h"
#include "ondrix/rules/windows/Unit4.h"
#include "ondrix/rules/ghosts.h"
#include "ondrix/solitons/windows/Unit2.h"
#include "ondrix/solitons/climbs.h"
#include "ondrix/solitons/panels.h"
#include "ondrix/solitons/placement.h"
#include "ondrix/solitons/search.h"
#include "ondrix/solitons/threesolitons.h"

namespace ondrix::ui {

namespace {

const QColor aqua(0, 255, 255);

QColor toColor(Rgb c) { return QColor(c.r, c.g, c.b); }

void setBoxColour(QGroupBox* box, const QColor& colour) {
  QPalette p = box->palette();
  p.setColor(QPalette::Window, colour);
  box->setPalette(p);
}

std::string fieldText(const QLineEdit* e) { return e->text().toStdString(); }

PressButton pressButton(Qt::MouseButton button) {
  return button == Qt::LeftButton    ? PressButton::left
         : button == Qt::RightButton  ? PressButton::right
         : button == Qt::MiddleButton ? PressButton::middle
                                      : PressButton::other;
}

// A failure message stays this long unless a success of its kind comes first.
constexpr int failureShownMs = 10000;

constexpr const char* firstStartHint =
    "New here? Press an example (\"Ex. 1\", Ctrl+1), then \"DO COLLISIONS\" (Ctrl+R); \"Revers\" (Ctrl+B) "
    "runs it back. Help > Guide (F1) explains the rest";

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent), picture_(buttonFace()) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Ondrix_1"));
  setFont(ondrixFont());

  client_ = new ClientArea(this, picture_);
  client_->setObjectName(QStringLiteral("client"));
  client_->setFixedSize(clientWidth, clientHeight);
  setCentralWidget(client_);

  buildChooseSoliton();
  buildManage();
  buildSetRandomSolitons();
  buildMillsAndGhosts();
  buildExamples();
  buildRandom();
  buildReadWriteData();
  buildThreeSolitons();
  buildGhostParameters();
  buildHintsAndMarkers();
  buildChart();

  Label1 = label(client_, "Label1", QStringLiteral("0"), QPoint(0, 0));
  Label2 = label(client_, "Label2", QStringLiteral("0"), QPoint(0, 0));
  Label1->hide();
  Label2->hide();

  StatusBar1 = named(new QStatusBar(client_), "StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  StatusBar1->setGeometry(0, 593, 806, 19);

  buildMenus();
  connectFields();
  connectCommands();
  showValuesAfterCommands();
  applyGuidance(*this);

  setFixedSize(sizeHint());
  move(347, 67);
}

void TForm1::buildChooseSoliton() {
  GroupBox1 = groupBox(client_, "GroupBox1", QStringLiteral("Choose soliton"), QRect(24, 112, 145, 249));
  Panel14 = named(new Panel(GroupBox1, QStringLiteral("XXX"), buttonFace()), "Panel14");
  Panel14->setFont(ondrixFont());
  Panel14->setGeometry(72, 24, 57, 17);
  for (int k = 0; k < solitonTypeCount; ++k) {
    const int y = 40 + 16 * k;
    const QByteArray labelName = "Label" + QByteArray::number(7 + k);
    const QByteArray panelName = "Panel" + QByteArray::number(2 + k);
    solitonCaptions[k] = label(GroupBox1, labelName.constData(),
                               QString::fromLatin1(solitonPanelCaption[k].data(), solitonPanelCaption[k].size()),
                               QPoint(16, y));
    solitonPanels[k] = named(new Panel(GroupBox1, QString(), toColor(solitonPanelColour[k])), panelName.constData());
    solitonPanels[k]->setGeometry(72, y, 57, 17);
  }
}

void TForm1::buildManage() {
  Manage = groupBox(client_, "Manage", QStringLiteral("Manage"), QRect(184, 112, 273, 121));
  Manage->setAutoFillBackground(true);
  setBoxColour(Manage, buttonFace());
  Button10 = button(Manage, "Button10", QStringLiteral("DO COLLISIONS"), QRect(16, 24, 137, 33), true);
  Button11 = button(Manage, "Button11", QStringLiteral("Revers"), QRect(16, 64, 73, 25), true);
  Button40 = button(Manage, "Button40", QStringLiteral("one step"), QRect(96, 64, 57, 17));
  Button26 = button(Manage, "Button26", QStringLiteral("Clear"), QRect(96, 88, 57, 25), true);
  label(Manage, "Label3", QStringLiteral("T="), QPoint(160, 24));
  Edit3 = edit(Manage, "Edit3", QStringLiteral("4"), QRect(184, 16, 41, 21));
  UpDown2 = named(new UpDown(Manage, 0, 100, 1), "UpDown2");
  UpDown2->setGeometry(224, 16, 17, 25);
  UpDown2->setPosition(4);
  Button39 = button(Manage, "Button39", QStringLiteral("50"), QRect(240, 8, 25, 17));
  Button44 = button(Manage, "Button44", QStringLiteral("4"), QRect(240, 32, 25, 17));
  CheckBox1 = checkBox(Manage, "CheckBox1", QStringLiteral("x3 Sp."), QRect(176, 48, 49, 17));
  Label51 = label(Manage, "Label51", QStringLiteral("768"), QPoint(240, 56));
  Label4 = label(Manage, "Label4", QStringLiteral("0"), QPoint(176, 72), true);
  Label5 = label(Manage, "Label5", QStringLiteral("0"), QPoint(232, 72));
  label(Manage, "Label19", QStringLiteral("N(B)+N(C)="), QPoint(168, 96));
  Label20 = label(Manage, "Label20", QStringLiteral("0"), QPoint(232, 96));
  label(Manage, "Label21", QStringLiteral("%"), QPoint(248, 96));
}

void TForm1::buildSetRandomSolitons() {
  GroupBox3 = groupBox(client_, "GroupBox3", QStringLiteral("Set rand. sol."), QRect(176, 240, 81, 121));
  button(GroupBox3, "Button36", QStringLiteral("4"), QRect(8, 16, 57, 25));  // as tall as the two below
  button(GroupBox3, "Button37", QStringLiteral("4 + R6"), QRect(8, 48, 57, 25));
  button(GroupBox3, "Button38", QStringLiteral("5"), QRect(8, 80, 57, 25));
}

void TForm1::buildMillsAndGhosts() {
  GroupBox8 = groupBox(client_, "GroupBox8", QStringLiteral("Choose mill and ghosts"), QRect(264, 240, 193, 121));
  button(GroupBox8, "Button27", QStringLiteral("\"I\""), QRect(8, 24, 33, 25));
  button(GroupBox8, "Button28", QStringLiteral("\"II\""), QRect(8, 56, 33, 25));
  CheckBox2 = checkBox(GroupBox8, "CheckBox2", QStringLiteral("Without clear"), QRect(8, 88, 97, 17));
  label(GroupBox8, "Label38", QStringLiteral("dX"), QPoint(80, 40));
  Edit2 = edit(GroupBox8, "Edit2", QStringLiteral("0"), QRect(64, 56, 41, 21));
  label(GroupBox8, "Label39", QStringLiteral("Length"), QPoint(136, 16));
  Edit7 = edit(GroupBox8, "Edit7", QStringLiteral("30"), QRect(136, 32, 41, 21));
  button(GroupBox8, "Button60", QStringLiteral("Rand ABC"), QRect(112, 56, 73, 25));
  button(GroupBox8, "Button35", QStringLiteral("Test ghosts"), QRect(112, 80, 73, 25));
  label(GroupBox8, "Label40", QStringLiteral("MillsOrGhosts"), QPoint(56, 24));
}

void TForm1::buildExamples() {
  GroupBox4 = groupBox(client_, "GroupBox4", QStringLiteral("Examples"), QRect(472, 112, 153, 161));
  for (int n = 1; n <= exampleCount; ++n) {
    const int column = (n - 1) % 2, row = (n - 1) / 2;
    QPushButton* b = button(GroupBox4, exampleButtonName(n), QStringLiteral("Ex. %1").arg(n),
                            QRect(16 + 64 * column, 24 + 32 * row, 57, 25));
    connect(b, &QPushButton::clicked, this, [this, n] { exampleClick(n); });
  }
}

void TForm1::buildRandom() {
  GroupBox5 = groupBox(client_, "GroupBox5", QStringLiteral("Random"), QRect(473, 278, 144, 83));
  GroupBox5->setAutoFillBackground(true);
  setRandomBoxColour(aqua);
  label(GroupBox5, "Label41", QStringLiteral("Thr."), QPoint(8, 24));
  Edit8 = edit(GroupBox5, "Edit8", QStringLiteral("50"), QRect(48, 20, 41, 21));
  UpDown1 = named(new UpDown(GroupBox5, 0, 100, 5), "UpDown1");
  UpDown1->setGeometry(81, 20, 16, 21);
  UpDown1->setPosition(50);
  button(GroupBox5, "Button49", QStringLiteral("Mk.random"), QRect(37, 50, 75, 25));
}

void TForm1::buildReadWriteData() {
  GroupBox6 = groupBox(client_, "GroupBox6", QStringLiteral("Red/Write data"), QRect(632, 120, 97, 105));
  button(GroupBox6, "Button45", QStringLiteral("Read line"), QRect(8, 24, 65, 33));
  button(GroupBox6, "Button46", QStringLiteral("Wrtie line"), QRect(8, 64, 65, 33));
}

void TForm1::buildThreeSolitons() {
  GroupBox7 = groupBox(client_, "GroupBox7", QStringLiteral("Three solitons"), QRect(648, 360, 137, 97), true);
  Edit4 = edit(GroupBox7, "Edit4", QStringLiteral("0"), QRect(8, 28, 33, 21));
  Edit6 = edit(GroupBox7, "Edit6", QStringLiteral("6"), QRect(48, 28, 33, 21));  // in line with the other two
  Edit5 = edit(GroupBox7, "Edit5", QStringLiteral("1"), QRect(104, 28, 25, 21));
  button(GroupBox7, "Button47", QStringLiteral("Make"), QRect(8, 56, 57, 25), true);
  button(GroupBox7, "Button59", QStringLiteral("Mk,+R+"), QRect(72, 56, 57, 25), true);
}

void TForm1::buildGhostParameters() {
  GroupBox2 = groupBox(client_, "GroupBox2", QStringLiteral("Ghost par"), QRect(656, 464, 81, 89));
  static constexpr const char* captions[4] = {"Long", "N(A)", "N(B)", "N(C)"};
  for (int row = 0; row < 4; ++row) {
    const QByteArray captionName = "Label" + QByteArray::number(22 + 2 * row);
    const QByteArray valueName = "Label" + QByteArray::number(23 + 2 * row);
    label(GroupBox2, captionName.constData(), QString::fromLatin1(captions[row]), QPoint(16, 16 + 16 * row));
    ghostValues[row] = label(GroupBox2, valueName.constData(), QStringLiteral("0"), QPoint(48, 16 + 16 * row));
  }
}

void TForm1::buildHintsAndMarkers() {
  label(client_, "Label30", QStringLiteral("Choose  Examles,"), QPoint(632, 240), true, 16);
  label(client_, "Label31", QStringLiteral("\"mills\", solitons,"), QPoint(640, 264), true, 16);
  label(client_, "Label32", QStringLiteral("\"ghosts\" and"), QPoint(642, 288), true, 16);
  label(client_, "Label33", QStringLiteral("press"), QPoint(682, 312), true, 16);
  label(client_, "Label34", QStringLiteral("\"DO COLLISION\""), QPoint(634, 336), true, 16);

  endMarkers[0] = label(client_, "Label35", QStringLiteral("o"), QPoint(0, 8), true);
  endMarkers[1] = label(client_, "Label36", QStringLiteral("o"), QPoint(784, 8), true);
  endMarkers[2] = label(client_, "Label37", QStringLiteral("o"), QPoint(783, 80), true);
  showEndMarkers();
}

void TForm1::buildChart() {
  Series1 = new QLineSeries();
  Series1->setObjectName(QStringLiteral("Series1"));
  Series1->setColor(QColor(255, 0, 0));
  Series1->setPointsVisible(false);
  Series1->setPointLabelsVisible(false);

  auto* chart = new QChart();
  chart->addSeries(Series1);
  chart->legend()->hide();
  chart->setTitle(QString());
  chart->setMargins(QMargins(0, 0, 0, 0));
  chart->layout()->setContentsMargins(0, 0, 0, 0);
  chart->setBackgroundRoundness(0);
  chart->setBackgroundBrush(buttonFace());
  chart->setPlotAreaBackgroundBrush(Qt::white);
  chart->setPlotAreaBackgroundVisible(true);
  auto* x = new QValueAxis();
  auto* y = new QValueAxis();
  for (QValueAxis* axis : {x, y}) axis->setLabelsFont(ondrixFont());
  x->setLabelFormat(QStringLiteral("%d"));
  y->setLabelFormat(QStringLiteral("%g"));  // whole numbers, fractions only on a flat history
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  Series1->attachAxis(x);
  Series1->attachAxis(y);

  Chart1 = named(new QChartView(chart, client_), "Chart1");
  Chart1->setGeometry(8, 368, 633, 225);
  Chart1->setFrameShape(QFrame::NoFrame);
}

void TForm1::buildMenus() {
  struct Item {
    const char* name;     // nullptr for a separator
    const char* caption;
    bool checkable;
  };
  struct Menu {
    const char* name;
    const char* caption;
    std::initializer_list<Item> items;
  };
  const Menu menus[] = {
      {"File1",
       "File",
       {{"READCA51", "READ (sol) CA", false},
        {"redrCA1", "read CA", false},
        {"WRITECA51", "write CA", false},
        {nullptr, nullptr, false},
        {"readdata1", "read data", false},
        {"writedata1", "write data", false}}},
      {"View1",
       "View",
       {{"Showsoliton1", "Show soliton", false},
        {"Time161", "Time *16", false},
        {"Time21", "Time *2", false},
        {"Time22", "Time /2", false},
        {"ViewVdeo1", "Record Vdeo", false},
        {"StopAtStart1", "Stop at T = 0", true}}},
      {"Functions1",
       "Functions",
       {{"ShowCA1", "Show RCA", false},
        {"Chrandom2", "Ch. random", true},
        {"Chrandom31", "Ch. random*", true},
        {"Chrandom21", "Ch. random**", true}}},
      {"Mills1",
       "Mills",
       {{"Makeghost11", "Sy+rand 8", false},
        {"Rand1", "Rand A,B,C", false},
        {"RandBC1", "Rand  B, C", false},
        {"RandABCsymm1", "Rand A,B,C symm.", false},
        {"RandBCsymm1", "Rand B,C symm.", false},
        {"RandABCnots1", "Rand A,B,C not s.", false},
        {"ReadABCnots21", "Read A,B,C not s. 2", false}}},
      {"Ghost1", "Ghost", {{"Dontshow1", "Dont show", true}}},
      {"Help1",
       "Help",
       {{"About1", "About", false}, {"Shortcuts1", "Keyboard shortcuts", false}, {"Guide1", "Guide", false}}},
  };
  menuBar()->setFont(ondrixFont());
  for (const Menu& m : menus) {
    QMenu* menu = menuBar()->addMenu(QString::fromLatin1(m.caption));
    menu->setObjectName(QString::fromLatin1(m.name));
    menu->setFont(ondrixFont());
    for (const Item& item : m.items) {
      if (!item.name) {
        menu->addSeparator();
        continue;
      }
      QAction* a = menu->addAction(QString::fromLatin1(item.caption));
      a->setObjectName(QString::fromLatin1(item.name));
      a->setCheckable(item.checkable);
      a->setChecked(item.checkable);  // the layout stores every check mark set
    }
  }
  Dontshow1 = findChild<QAction*>(QStringLiteral("Dontshow1"));
  Chrandom2 = findChild<QAction*>(QStringLiteral("Chrandom2"));
  Chrandom31 = findChild<QAction*>(QStringLiteral("Chrandom31"));
  Chrandom21 = findChild<QAction*>(QStringLiteral("Chrandom21"));
  StopAtStart1 = findChild<QAction*>(QStringLiteral("StopAtStart1"));
  StopAtStart1->setChecked(false);  // the run passes through T = 0 unless the user asks
}

void TForm1::connectFields() {
  // Connected after the default texts are in place, so that the defaults
  // convert nothing: "Thr." shows 50 while the threshold keeps its start value.
  connect(Edit3, &QLineEdit::textChanged, this, &TForm1::Edit3Change);
  connect(UpDown2, &UpDown::clicked, this, &TForm1::UpDown2Click);
  connect(Button39, &QPushButton::clicked, this, &TForm1::Button39Click);
  connect(Button44, &QPushButton::clicked, this, &TForm1::Button44Click);
  connect(Edit2, &QLineEdit::textChanged, this, &TForm1::Edit2Change);
  connect(Edit7, &QLineEdit::textChanged, this, &TForm1::Edit7Change);
  connect(Edit4, &QLineEdit::textChanged, this, &TForm1::Edit4Change);
  connect(Edit5, &QLineEdit::textChanged, this, &TForm1::Edit5Change);
  connect(Edit6, &QLineEdit::textChanged, this, &TForm1::Edit6Change);
  connect(Edit8, &QLineEdit::textChanged, this, &TForm1::Edit8Change);
}

void TForm1::connectCommands() {
  client_->onMouseDown = [this](Qt::MouseButton button, QPoint at) { FormMouseDown(button, at); };
  for (int k = 0; k < solitonTypeCount; ++k) {
    connect(solitonPanels[k], &Panel::mouseDown, this, [this, k](Qt::MouseButton b) { PanelMouseDown(k, b); });
  }
  connect(Panel14, &Panel::mouseDown, this, &TForm1::Panel14MouseDown);
  connect(CheckBox2, &QCheckBox::toggled, this, &TForm1::CheckBox2Click);
  failureTimer_.setSingleShot(true);
  failureTimer_.setInterval(failureShownMs);
  connect(&failureTimer_, &QTimer::timeout, this, [this] {
    failureShown_.reset();
    StatusBar1->clearMessage();
  });
  const std::pair<const char*, void (TForm1::*)()> buttons[] = {
      {"Button36", &TForm1::Button36Click}, {"Button37", &TForm1::Button37Click},
      {"Button38", &TForm1::Button38Click}, {"Button47", &TForm1::Button47Click},
      {"Button59", &TForm1::Button59Click}, {"Button27", &TForm1::Button27Click},
      {"Button28", &TForm1::Button28Click}, {"Button35", &TForm1::Button35Click},
  };
  for (auto [name, handler] : buttons) {
    connect(findChild<QPushButton*>(QString::fromLatin1(name)), &QPushButton::clicked, this, handler);
  }
  const std::pair<const char*, RandomBlock> blocks[] = {
      {"Rand1", RandomBlock::abc},
      {"RandBC1", RandomBlock::bc},
      {"RandABCsymm1", RandomBlock::abcSymmetric},
      {"RandBCsymm1", RandomBlock::bcSymmetric},
      {"RandABCnots1", RandomBlock::bcSwappedMirror},
      {"ReadABCnots21", RandomBlock::baSwappedMirror},
  };
  for (auto [name, variant] : blocks) {
    connect(findChild<QAction*>(QString::fromLatin1(name)), &QAction::triggered, this,
            [this, variant = variant] { randomBlockClick(variant); });
  }
  connect(findChild<QPushButton*>(QStringLiteral("Button60")), &QPushButton::clicked, this,
          [this] { randomBlockClick(RandomBlock::abc); });
  connect(Button11, &QPushButton::clicked, this, &TForm1::reverseRingClick);
  connect(Button10, &QPushButton::clicked, this, &TForm1::Button10Click);
  connect(Button40, &QPushButton::clicked, this, &TForm1::Button40Click);
  connect(Button26, &QPushButton::clicked, this, &TForm1::Button26Click);
  connect(CheckBox1, &QCheckBox::toggled, this, &TForm1::CheckBox1Click);
  connect(findChild<QPushButton*>(QStringLiteral("Button45")), &QPushButton::clicked, this, &TForm1::Button45Click);
  connect(findChild<QPushButton*>(QStringLiteral("Button46")), &QPushButton::clicked, this, &TForm1::Button46Click);
  runTimer_.setInterval(runIntervalMs);
  connect(&runTimer_, &QTimer::timeout, this, &TForm1::runTimerTick);
  auto menu = [this](const char* name, void (TForm1::*handler)()) {
    connect(findChild<QAction*>(QString::fromLatin1(name)), &QAction::triggered, this, handler);
  };
  menu("READCA51", &TForm1::READCA51Click);
  menu("redrCA1", &TForm1::redrCA1Click);
  menu("WRITECA51", &TForm1::WRITECA51Click);
  menu("readdata1", &TForm1::readdata1Click);
  menu("writedata1", &TForm1::writedata1Click);
  menu("Time161", &TForm1::Time161Click);
  menu("Time21", &TForm1::Time21Click);
  menu("Time22", &TForm1::Time22Click);
  menu("Dontshow1", &TForm1::Dontshow1Click);
  menu("Makeghost11", &TForm1::Makeghost11Click);
  menu("Showsoliton1", &TForm1::Showsoliton1Click);
  menu("ShowCA1", &TForm1::ShowCA1Click);
  menu("About1", &TForm1::About1Click);
  menu("ViewVdeo1", &TForm1::ViewVdeo1Click);
  menu("StopAtStart1", &TForm1::StopAtStart1Click);
  menu("Shortcuts1", &TForm1::Shortcuts1Click);
  menu("Guide1", &TForm1::Guide1Click);
  Timer3.setInterval(runIntervalMs);
  connect(&Timer3, &QTimer::timeout, this, &TForm1::Timer3Timer);
  menu("Chrandom2", &TForm1::Chrandom2Click);
  menu("Chrandom31", &TForm1::Chrandom31Click);
  menu("Chrandom21", &TForm1::Chrandom21Click);
  connect(findChild<QPushButton*>(QStringLiteral("Button49")), &QPushButton::clicked, this, &TForm1::Button49Click);
  connect(UpDown1, &UpDown::clicked, this, &TForm1::UpDown1Click);
}

void TForm1::showValuesAfterCommands() {
  // Connected after the commands themselves, so it runs when each is done.
  const auto show = [this] { showCurrentValues(state_, *this); };
  for (QAbstractButton* b : client_->findChildren<QAbstractButton*>()) connect(b, &QAbstractButton::clicked, this, show);
  for (QAction* a : menuBar()->findChildren<QAction*>()) connect(a, &QAction::triggered, this, show);
  for (Panel* p : client_->findChildren<Panel*>()) connect(p, &Panel::mouseDown, this, show);
  client_->onMouseDown = [this, press = client_->onMouseDown, show](Qt::MouseButton button, QPoint at) {
    press(button, at);
    show();
  };
}

void TForm1::paintRing(const AutomatonState& ring) {
  picture_.paint(ring, CheckBox1->isChecked());
  client_->update(0, 0, RingPicture::width, RingPicture::height);
}

void TForm1::setCaption(QLabel* label, std::int32_t value) {
  // Ticks refresh these labels: an unchanged value costs a look-up only.
  const auto shown = shownValue_.find(label);
  if (shown != shownValue_.end() && shown->second == value) return;
  shownValue_[label] = value;
  setLabelText(label, QString::number(value));
}

void TForm1::showTime(std::int32_t t) { setCaption(Label4, t); }

void TForm1::showPercent(std::int32_t percent) { setCaption(Label20, percent); }

void TForm1::showGhostParameters(const Statistics& s) {
  setCaption(ghostValues[0], s.spanLast - s.spanFirst);
  setCaption(ghostValues[1], s.spanGaps);
  setCaption(ghostValues[2], s.countB);
  setCaption(ghostValues[3], s.countC);
}

void TForm1::showSampleCount(std::int32_t samples) { setCaption(Label5, samples); }

void TForm1::showStatus(const std::string& text) {
  failureShown_.reset();
  failureTimer_.stop();
  StatusBar1->showMessage(QString::fromStdString(text));
  StatusBar1->repaint();  // long searches report while they run
}

const std::uint32_t* TForm1::pictureRow(int y) {
  return reinterpret_cast<const std::uint32_t*>(picture_.image().constScanLine(y));
}

void TForm1::showFileOutcome(FileKind kind, const std::string& failure) {
  if (!failure.empty()) {
    showStatus(failure);
    failureShown_ = kind;
    failureTimer_.start();
  } else if (failureShown_ == kind) {
    failureTimer_.stop();
    failureShown_.reset();
    StatusBar1->clearMessage();
  }
}

void TForm1::showSearchCounts(std::int32_t nsol, std::int32_t nstrun) {
  setCaption(Label1, nsol);
  setCaption(Label2, nstrun);
}

void TForm1::FormMouseDown(Qt::MouseButton button, QPoint at) {
  pressCell(state_, *this, pressButton(button), at.x(), at.y());
}

void TForm1::showEndMarkers() {
  endMarkers[1]->setVisible(!CheckBox1->isChecked());
  endMarkers[2]->setVisible(CheckBox1->isChecked());
}

void TForm1::reverseRingClick() { reverseRing(state_, *this); }

void TForm1::PanelMouseDown(int type, Qt::MouseButton button) {
  solitonPanelPress(state_, *this, type, pressButton(button));
}

void TForm1::Panel14MouseDown(Qt::MouseButton button) { clearPanelPress(state_, *this, pressButton(button)); }

void TForm1::Button22Click() { clearThird(state_, *this, Third::first); }

void TForm1::Button23Click() { clearThird(state_, *this, Third::middle); }

void TForm1::Button24Click() { clearThird(state_, *this, Third::last); }

void TForm1::Button12Click() {
  placePattern(state_.ring);
  redrawUnlessDontShow(state_, *this);
}

void TForm1::Button36Click() { randomSolitonSet(state_, *this, RandomSet::four); }

void TForm1::Button37Click() { randomSolitonSet(state_, *this, RandomSet::fourWithGhosts); }

void TForm1::Button38Click() { randomSolitonSet(state_, *this, RandomSet::five); }

void TForm1::Button47Click() { makeThreeSolitons(state_, *this); }

void TForm1::Button59Click() {
  makeRandomThreeSolitons(state_, *this);
  // Left, middle, right, as the fields stand; each change stores the value again.
  for (auto [field, type] : {std::pair{Edit4, state_.three.threeLeftType}, std::pair{Edit6, state_.three.threeMiddleType},
                             std::pair{Edit5, state_.three.threeRightType}}) {
    field->setText(QString::number(type));
  }
}

void TForm1::Button27Click() { placeMillSeed(state_, *this, MillSeed::single); }

void TForm1::Button28Click() { placeMillSeed(state_, *this, MillSeed::pair); }

void TForm1::Makeghost11Click() { placeMillSeed(state_, *this, MillSeed::symmetricBlock); }

void TForm1::randomBlockClick(RandomBlock variant) { placeRandomBlock(state_, *this, variant); }

void TForm1::Button35Click() { testGhosts(state_, *this); }

void TForm1::CheckBox2Click() { state_.withoutClear = CheckBox2->isChecked(); }

void TForm1::Button10Click() {
  if (!runTimer_.isActive()) {
    runTimer_.start();
    Button10->setText(QStringLiteral("STOP COLLISIONS"));
    setBoxColour(Manage, QColor(255, 255, 0));
    if (!failureShown_) StatusBar1->clearMessage();  // a hint or "Back at the start" is old news now
    writedata1Click();  // the starting row, to read back later
    startRun(state_.ring);
  } else {
    runTimer_.stop();
    Button10->setText(QStringLiteral("DO COLLISIONS"));
    setBoxColour(Manage, buttonFace());
    showHistoryChart();
    showCurrentValues(state_, *this);
  }
}

void TForm1::runTimerTick() {
  if (runTick(state_, *this) == BatchEnd::backAtStart && runTimer_.isActive()) Button10Click();
}

void TForm1::Button40Click() { runTick(state_, *this); }

void TForm1::Button26Click() { clearCommand(state_, *this); }

void TForm1::CheckBox1Click() {
  setThreeRows(state_.ring, CheckBox1->isChecked());
  setCaption(Label51, state_.ring.ringLength);
  showEndMarkers();
}

void TForm1::Time161Click() { runTimer_.setInterval(multipliedInterval(runTimer_.interval(), 16)); }

void TForm1::Time21Click() { runTimer_.setInterval(multipliedInterval(runTimer_.interval(), 2)); }

void TForm1::Time22Click() { runTimer_.setInterval(halvedInterval(runTimer_.interval())); }

void TForm1::showHistoryChart() {
  // All 1000 samples, those not yet taken as zeros, replaced in one call.
  QList<QPointF> points;
  points.reserve(historySize);
  std::int32_t low = 0, high = 0;
  for (int k = 0; k < historySize; ++k) {
    const std::int32_t y = state_.ring.populationHistory[k];
    low = std::min(low, y);
    high = std::max(high, y);
    points.append(QPointF(k, y));
  }
  Series1->replace(points);
  for (QAbstractAxis* axis : Series1->attachedAxes()) {
    auto* values = qobject_cast<QValueAxis*>(axis);
    if (axis->orientation() == Qt::Horizontal) values->setRange(0, historySize - 1);
    else values->setRange(low, high > low ? high : low + 1);
    values->applyNiceNumbers();
  }
}

void TForm1::readLine(bool alwaysRedraw) {
  loadRowFile(lineFileName, state_.ring, *this);
  if (alwaysRedraw) drawRing(state_, *this);
  else redrawUnlessDontShow(state_, *this);
}

void TForm1::writeLine() { reportWrite(writeRowFile(lineFileName, state_.ring), lineFileName); }

void TForm1::readdata1Click() { readLine(false); }

void TForm1::writedata1Click() { writeLine(); }

void TForm1::Button45Click() { readLine(true); }

void TForm1::Button46Click() { writeLine(); }

void TForm1::Button14Click() { solitonSearch(state_, *this); }

void TForm1::Button15Click() { ruleClimb(state_, *this, ClimbTest::keepSolitons); }

void TForm1::Button17Click() { ruleClimb(state_, *this, ClimbTest::atLeastFourteen); }

void TForm1::Button5Click() { auxSearch(state_, *this); }

void TForm1::Button13Click() { auxClimb(state_, *this); }

void TForm1::Button4Click() { tryAllAuxRules(state_, *this); }

void TForm1::Button7Click() { auxRuleAndSearch(state_, *this, 277, AuxLayout::first); }

void TForm1::Button8Click() { auxRuleAndSearch(state_, *this, 21, AuxLayout::first); }

void TForm1::Button9Click() { auxRuleAndSearch(state_, *this, 1044, AuxLayout::second); }

void TForm1::Button16Click() { expandAuxRuleTable(state_); }

void TForm1::Button6Click() {
  READCA1Click();
  readdata1Click();
  AutomatonState& ring = state_.ring;
  encodePattern(ring, firstLiveCell(ring), searchWindow);  // for codeStart and codeLastOffset only
  Button2Click();
}

void TForm1::Button2Click() {
  picture_.paintPlainRow(state_.ring);
  client_->update(0, 0, RingPicture::width, RingPicture::height);
}

void TForm1::Button18Click() {
  placeSeedFromCode(state_.ring);
  advanceRun(state_, *this);
}

void TForm1::Button19Click() {
  clearRing(state_.ring);
  advanceRun(state_, *this);
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TForm1::FormShow() {
  Dontshow1->setChecked(false);  // drawing on, without the mode change
  state_.dontShow = false;
  UpDown2->setPosition(4);
  Edit3->setText(QStringLiteral("4"));
  CheckBox1->setChecked(true);  // runs CheckBox1Click: 768 cells in three rows
  CheckBox2->setChecked(false);
  UpDown1->setPosition(50);     // the threshold keeps its start value
  // Each start-up file that could not be read is named; with none, a hint.
  QStringList unread;  // "Could not read solCA.dat: no such file", "Sol.dat: no such file"
  for (void (TForm1::*read)() : {&TForm1::READCA51Click, &TForm1::Button20Click}) {
    (this->*read)();
    QString message = StatusBar1->currentMessage();
    if (!unread.isEmpty()) message.remove(0, QStringLiteral("Could not read ").size());
    if (failureShown_ == FileKind::load) unread << message;
  }
  buildSolitonPhaseTables(state_, *this);
  showEndMarkers();
  // The colours of the marks are constants of the picture (markPalette).
  Chrandom2->setChecked(true);
  Chrandom31->setChecked(false);
  Chrandom21->setChecked(false);
  resetHistory(state_.ring);
  showHistoryChart();
  // The window opens on an empty picture: what the phase-table build drew
  // was never on screen.
  picture_.erase();
  if (unread.isEmpty()) showStatus(firstStartHint);
  else showFileOutcome(FileKind::load, unread.join(QStringLiteral("; ")).toStdString());
}

void TForm1::setRandomBoxColour(const QColor& colour) { setBoxColour(GroupBox5, colour); }

void TForm1::readRuleTable(const std::string& name) {
  setRandomBoxColour(buttonFace());
  reportRead(readTableFile(name, state_.ring.ruleTable));
}

void TForm1::reportRead(const ReadOutcome& read) {
  showFileOutcome(FileKind::load, read ? std::string() : "Could not read " + read.failure);
}

void TForm1::reportWrite(bool written, const std::string& name) {
  showFileOutcome(FileKind::write, written ? std::string() : "Could not write " + name);
}

void TForm1::READCA51Click() { readRuleTable(solitonRuleFileName); }

void TForm1::redrCA1Click() { readRuleTable(ruleFileName); }

void TForm1::WRITECA51Click() { reportWrite(writeTableFile(ruleFileName, state_.ring.ruleTable), ruleFileName); }

void TForm1::READCA1Click() { reportRead(readTableFile(auxRuleFileName, state_.auxRuleTable)); }

void TForm1::WRITECA1Click() {
  reportWrite(writeTableFile(auxRuleFileName, state_.auxRuleTable), auxRuleFileName);
}

void TForm1::Button20Click() { reportRead(readSolitonFile(solitonFileName, state_.catalogue)); }

void TForm1::exampleClick(int number) { loadExample(state_, *this, number); }

void TForm1::createSecondaryWindows() {
  Form2 = new TForm2(this, state_, *this);
  Form3 = new TForm3(this);
  Form4 = new TForm4(this, state_.ring.ruleTable);
}

void TForm1::Showsoliton1Click() {
  if (Form2) Form2->exec();
}

void TForm1::ShowCA1Click() {
  if (Form4) Form4->exec();
}

void TForm1::About1Click() {
  if (Form3) Form3->exec();
}

void TForm1::ViewVdeo1Click() {
  startRecording(state_);
  Timer3.start();
}

void TForm1::StopAtStart1Click() { state_.stopAtStart = StopAtStart1->isChecked(); }

void TForm1::Shortcuts1Click() { showShortcuts(*this); }

void TForm1::Guide1Click() { showGuide(*this); }

void TForm1::Timer3Timer() {
  if (recordingTick(state_, *this)) return;
  Timer3.stop();
  showCurrentValues(state_, *this);
}

void TForm1::Button43Click() { captureFrame(state_, *this); }

void TForm1::Dontshow1Click() {
  // The action has already toggled its check mark.
  setDontShow(state_, Dontshow1->isChecked());
  Edit3->setText(QString::number(state_.ring.stepsPerTick));
  setCaption(Label51, state_.ring.ringLength);
}

void TForm1::randomise(QAction* item, RandomVariant variant) {
  for (QAction* a : {Chrandom2, Chrandom31, Chrandom21}) a->setChecked(a == item);
  randomiseRuleTable(state_.ring.ruleTable, state_.random, state_.randomRule.randomThreshold, variant);
}

void TForm1::Chrandom2Click() {
  randomise(Chrandom2, RandomVariant::all);
  setRandomBoxColour(aqua);
}

void TForm1::Chrandom31Click() {
  randomise(Chrandom31, RandomVariant::noDistanceFour);
  setRandomBoxColour(aqua);
}

void TForm1::Chrandom21Click() { randomise(Chrandom21, RandomVariant::noDistanceThreeAndFour); }

void TForm1::Button49Click() {
  // Each variant leaves only itself checked, so exactly one runs.
  if (Chrandom2->isChecked()) Chrandom2Click();
  if (Chrandom31->isChecked()) Chrandom31Click();
  if (Chrandom21->isChecked()) Chrandom21Click();
}

void TForm1::UpDown1Click() {
  // The table is drawn with the threshold of before the click.
  Chrandom31Click();
  Edit8->setText(QString::number(UpDown1->position()));
  state_.randomRule.randomThreshold = thresholdFromPercent(UpDown1->position());
}

void TForm1::Edit3Change() {
  state_.ring.stepsPerTick = lowBits16(parseIntegerText(fieldText(Edit3)));
  UpDown2->setPosition(state_.ring.stepsPerTick);
}

void TForm1::UpDown2Click() { Edit3->setText(QString::number(UpDown2->position())); }

void TForm1::Button39Click() {
  Edit3->setText(QStringLiteral("50"));
  UpDown2->setPosition(50);
}

void TForm1::Button44Click() {
  Edit3->setText(QStringLiteral("4"));
  UpDown2->setPosition(4);
}

void TForm1::Edit2Change() { state_.mills.patternOffset = parseIntegerText(fieldText(Edit2)); }

void TForm1::Edit7Change() { state_.mills.patternLength = parseIntegerText(fieldText(Edit7)); }

void TForm1::Edit4Change() { state_.three.threeLeftType = lowBits16(parseIntegerText(fieldText(Edit4))); }

void TForm1::Edit5Change() { state_.three.threeRightType = lowBits16(parseIntegerText(fieldText(Edit5))); }

void TForm1::Edit6Change() { state_.three.threeMiddleType = lowBits16(parseIntegerText(fieldText(Edit6))); }

void TForm1::Edit8Change() {
  const std::int32_t percent = parseIntegerText(fieldText(Edit8));
  UpDown1->setPosition(percent);
  state_.randomRule.randomThreshold = thresholdFromPercent(percent);
}

}  // namespace ondrix::ui
