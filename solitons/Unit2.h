// TForm2, the "Show Soliton" window: the soliton catalogue table.
#pragma once

#include "mainwindow/secondarywindow.h"

namespace ondrix::ui {

class TForm2 : public SecondaryWindow {
  Q_OBJECT
 public:
  explicit TForm2(QWidget* parent = nullptr);
};

}  // namespace ondrix::ui
