// TForm4, the "Show RCA" window: view and editor of the rule table.
#pragma once

#include "mainwindow/secondarywindow.h"

namespace ondrix::ui {

class TForm4 : public SecondaryWindow {
  Q_OBJECT
 public:
  explicit TForm4(QWidget* parent = nullptr);
};

}  // namespace ondrix::ui
