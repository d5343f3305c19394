// TForm2, the "Show Soliton" window: the twelve catalogue types with code,
// period, shift and speed; "Change" exchanges two rows, "Save solitons"
// writes "Sol.dat".
#pragma once

#include <array>

#include "ondrix/mainwindow/windows/secondarywindow.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace ondrix {
struct OndrixState;
struct RingDisplay;
}  // namespace ondrix

namespace ondrix::ui {

class TForm2 : public SecondaryWindow {
  Q_OBJECT
 public:
  // The display shows the outcome of "Save solitons" in the main window.
  TForm2(QWidget* parent, OndrixState& state, RingDisplay& display);

  void FormShow();
  void Button1Click();  // "Save solitons"
  void Button2Click();  // "Change"
  void Edit1Change();
  void Edit2Change();

  static constexpr int rows = 20;  // 12 shown, 12..19 on hidden labels
  std::array<QLabel*, rows> codeLabels{};    // column N: Label41..Label60
  std::array<QLabel*, rows> periodLabels{};  // column T: Label1..Label20
  std::array<QLabel*, rows> shiftLabels{};   // column dX: Label21..Label40
  std::array<QLabel*, 12> speedLabels{};     // column V: Label61..Label72
  std::array<QLabel*, 8> tagCodeLabels{};    // hidden: Label89..Label96
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void fillTable();

  OndrixState& state_;
  RingDisplay& display_;
};

}  // namespace ondrix::ui
