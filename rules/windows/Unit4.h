// TForm4, the "Show RCA" window: block 0 of the rule table as a 9 x 9 grid
// of squares with a circle on every entry that is not 0; a press on a
// square toggles its entry in the shared table at once.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "ondrix/mainwindow/windows/secondarywindow.h"

class QLabel;

namespace ondrix::ui {

class TForm4 : public SecondaryWindow {
  Q_OBJECT
 public:
  TForm4(QWidget* parent, std::span<std::uint8_t> ruleTable);

  void FormShow();
  void FormMouseDown(Qt::MouseButton button, QPoint at);
  // The hidden "Show  kR[][][]" and "Clear": the grid is drawn anew.
  void Button1Click();
  void Button2Click();

  std::array<QLabel*, 4> classDigits{};  // Label12..Label15: s1..s4 of the last press

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;  // FormPaint: the grid cleared, the circles drawn
  void mousePressEvent(QMouseEvent* event) override;

 private:
  std::span<std::uint8_t> ruleTable_;
};

}  // namespace ondrix::ui
