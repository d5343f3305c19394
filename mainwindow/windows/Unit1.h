// TForm1, the main window "Ondrix_1": the ring picture strip, the command
// boxes, the population chart, the status bar and the menus. Handlers read
// their controls, call the core and show the result.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <optional>
#include <unordered_map>

#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/picture.h"
#include "ondrix/mainwindow/windows/ringpicture.h"
#include "ondrix/rules/mills.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QChartView;
class QLineSeries;

namespace ondrix::ui {

class ClientArea;
class Panel;
class TForm2;
class TForm3;
class TForm4;
class UpDown;

class TForm1 : public QMainWindow, public RingDisplay {
  Q_OBJECT
 public:
  explicit TForm1(QWidget* parent = nullptr);

  OndrixState& state() { return state_; }
  const OndrixState& state() const { return state_; }

  // Client size below the menu bar.
  static constexpr int clientWidth = 806;
  static constexpr int clientHeight = 612;

  // The picture.
  void paintRing(const AutomatonState& ring) override;
  void showTime(std::int32_t t) override;
  void showPercent(std::int32_t percent) override;
  void showStatus(const std::string& text) override;
  void showGhostParameters(const Statistics& s) override;
  void showSampleCount(std::int32_t samples) override;
  void showSearchCounts(std::int32_t nsol, std::int32_t nstrun) override;
  void showFileOutcome(FileKind kind, const std::string& failure) override;
  const std::uint32_t* pictureRow(int y) override;
  // Takes a failure message away after this long.
  QTimer& failureTimer() { return failureTimer_; }
  const RingPicture& picture() const { return picture_; }
  void FormMouseDown(Qt::MouseButton button, QPoint at);
  // Shows the end marker of the picture's layout: one row or three.
  void showEndMarkers();

  // Reversal.
  void reverseRingClick();

  // Scenes of solitons: the panels (Panel2MouseDown..Panel13MouseDown are
  // one handler with the type), "XXX", the hidden clearing of a third and
  // placement, the random sets, the three-soliton box.
  void PanelMouseDown(int type, Qt::MouseButton button);
  void Panel14MouseDown(Qt::MouseButton button);
  void Button22Click();
  void Button23Click();
  void Button24Click();
  void Button12Click();
  void Button36Click();
  void Button37Click();
  void Button38Click();
  void Button47Click();
  void Button59Click();

  // Mills, ghosts and random blocks. "Rand ABC" (Button60Click) and the
  // Mills menu's six random blocks are one handler with the variant.
  void Button27Click();
  void Button28Click();
  void Makeghost11Click();
  void randomBlockClick(RandomBlock variant);
  void Button35Click();
  void CheckBox2Click();

  // Run control and statistics.
  void Button10Click();
  void runTimerTick();
  void Button40Click();
  void Button26Click();
  void CheckBox1Click();
  void Time161Click();
  void Time21Click();
  void Time22Click();
  void showHistoryChart();
  QTimer& runTimer() { return runTimer_; }

  // The soliton search and the rule climbs, with no visible control.
  void Button14Click();
  void Button15Click();
  void Button17Click();
  void Button5Click();
  void Button13Click();
  void Button4Click();
  void Button7Click();
  void Button8Click();
  void Button9Click();
  void Button16Click();
  void Button6Click();
  void Button2Click();
  void Button18Click();
  void Button19Click();

  // Start-up: runs once, at the first showing of the window.
  void FormShow();

  // The line file.
  void readdata1Click();
  void writedata1Click();
  void Button45Click();
  void Button46Click();

  // Rule-table and catalogue files.
  void READCA51Click();
  void redrCA1Click();
  void WRITECA51Click();
  void READCA1Click();
  void WRITECA1Click();
  void Button20Click();

  // Ghost menu.
  void Dontshow1Click();

  // The examples: Button51Click, Button41Click, Button50Click, Button52Click,
  // Button53Click, Button54Click, Button55Click and Button42Click are one
  // handler with the example's number.
  void exampleClick(int number);

  // The secondary windows, shown modally; the run timer goes on ticking.
  void Showsoliton1Click();
  void ShowCA1Click();
  void About1Click();
  void Shortcuts1Click();
  void Guide1Click();

  // Frame recording: "Record Vdeo", its timer, and the hidden capture.
  void ViewVdeo1Click();
  void StopAtStart1Click();
  void Timer3Timer();
  void Button43Click();
  QTimer& recordingTimer() { return Timer3; }

  // Random rule tables: the Functions menu's variants, "Mk.random" and the
  // threshold's up-down.
  void Chrandom2Click();
  void Chrandom31Click();
  void Chrandom21Click();
  void Button49Click();
  void UpDown1Click();

  // Numeric field handlers: each converts the whole text and stores it.
  void Edit3Change();
  void UpDown2Click();
  void Button39Click();
  void Button44Click();
  void Edit2Change();
  void Edit7Change();
  void Edit4Change();
  void Edit5Change();
  void Edit6Change();
  void Edit8Change();

 private:
  void buildChooseSoliton();
  void buildManage();
  void buildSetRandomSolitons();
  void buildMillsAndGhosts();
  void buildExamples();
  void buildRandom();
  void buildReadWriteData();
  void buildThreeSolitons();
  void buildGhostParameters();
  void buildHintsAndMarkers();
  void buildChart();
  void buildMenus();
  void connectFields();
  void connectCommands();
  void readRuleTable(const std::string& name);
  // Shows "Could not write <name>" when a write failed.
  void reportWrite(bool written, const std::string& name);
  // Shows "Could not read <name>: <cause>" when a read gave nothing.
  void reportRead(const ReadOutcome& read);
  // Every value label shows the current value after each command.
  void showValuesAfterCommands();
  void setRandomBoxColour(const QColor& colour);
  void randomise(QAction* item, RandomVariant variant);
  void setCaption(QLabel* label, std::int32_t value);
  void readLine(bool alwaysRedraw);
  void writeLine();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  OndrixState state_;
  RingPicture picture_;
  QTimer runTimer_;
  QTimer Timer3;  // the recording's timer
  QTimer failureTimer_;
  std::optional<FileKind> failureShown_;  // the kind of the failure in the status bar
  bool shown_ = false;
  std::unordered_map<const QLabel*, std::int32_t> shownValue_;  // numbers the labels show
  ClientArea* client_ = nullptr;

 public:
  // Controls, named as in the window layout.
  QGroupBox* GroupBox1 = nullptr;  // "Choose soliton"
  Panel* Panel14 = nullptr;        // "XXX"
  std::array<QLabel*, 12> solitonCaptions{};  // Label7..Label18
  std::array<Panel*, 12> solitonPanels{};     // Panel2..Panel13

  QGroupBox* Manage = nullptr;
  QPushButton* Button10 = nullptr;  // "DO COLLISIONS"
  QPushButton* Button11 = nullptr;  // "Revers"
  QPushButton* Button40 = nullptr;  // "one step"
  QPushButton* Button26 = nullptr;  // "Clear"
  QLineEdit* Edit3 = nullptr;       // steps per tick
  UpDown* UpDown2 = nullptr;
  QPushButton* Button39 = nullptr;  // "50"
  QPushButton* Button44 = nullptr;  // "4"
  QCheckBox* CheckBox1 = nullptr;   // "x3 Sp."
  QLabel* Label51 = nullptr;        // ring length
  QLabel* Label4 = nullptr;         // T
  QLabel* Label5 = nullptr;         // sample count
  QLabel* Label20 = nullptr;        // population percentage

  QGroupBox* GroupBox3 = nullptr;   // "Set rand. sol."
  QGroupBox* GroupBox8 = nullptr;   // "Choose mill and ghosts"
  QCheckBox* CheckBox2 = nullptr;   // "Without clear"
  QLineEdit* Edit2 = nullptr;       // dX
  QLineEdit* Edit7 = nullptr;       // Length
  QGroupBox* GroupBox4 = nullptr;   // "Examples"
  QGroupBox* GroupBox5 = nullptr;   // "Random"
  QLineEdit* Edit8 = nullptr;       // Thr.
  UpDown* UpDown1 = nullptr;
  QGroupBox* GroupBox6 = nullptr;   // "Red/Write data"
  QGroupBox* GroupBox7 = nullptr;   // "Three solitons"
  QLineEdit* Edit4 = nullptr;
  QLineEdit* Edit5 = nullptr;
  QLineEdit* Edit6 = nullptr;
  QGroupBox* GroupBox2 = nullptr;   // "Ghost par"
  std::array<QLabel*, 4> ghostValues{};  // Long, N(A), N(B), N(C)
  std::array<QLabel*, 3> endMarkers{};   // "o" at the ends of the rows

  QLabel* Label1 = nullptr;  // hidden: Nsol of the last search
  QLabel* Label2 = nullptr;  // hidden: Nstrun of the last search
  QChartView* Chart1 = nullptr;
  QLineSeries* Series1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;

  // Makes the three secondary windows, hidden, as children of this one: the
  // program entry calls it right after making the main window.
  void createSecondaryWindows();

  // The secondary windows.
  TForm2* Form2 = nullptr;
  TForm3* Form3 = nullptr;
  TForm4* Form4 = nullptr;

  QAction* Dontshow1 = nullptr;
  QAction* Chrandom2 = nullptr;
  QAction* Chrandom31 = nullptr;
  QAction* Chrandom21 = nullptr;
  QAction* StopAtStart1 = nullptr;  // View: "Stop at T = 0"
};

}  // namespace ondrix::ui
