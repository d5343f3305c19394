// TForm3, the "About" window: the program's credits. Created hidden at start and
// shown modally from the main window's menu.
#pragma once

#include <QDialog>

namespace ondrix::ui {

class TForm3 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm3(QWidget* parent = nullptr);
};

}  // namespace ondrix::ui
