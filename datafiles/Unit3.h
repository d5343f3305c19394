// TForm3, the "About" window: the program's credits.
#pragma once

#include "mainwindow/secondarywindow.h"

namespace ondrix::ui {

class TForm3 : public SecondaryWindow {
  Q_OBJECT
 public:
  explicit TForm3(QWidget* parent = nullptr);
};

}  // namespace ondrix::ui
