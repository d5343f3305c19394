// TForm3, the "About" window: what the program is, where its documentation
// is, its version and date.
#pragma once

#include "ondrix/mainwindow/windows/secondarywindow.h"

namespace ondrix::ui {

class TForm3 : public SecondaryWindow {
  Q_OBJECT
 public:
  explicit TForm3(QWidget* parent = nullptr);
};

}  // namespace ondrix::ui
