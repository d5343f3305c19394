// TForm2, the "Show Soliton" window: the soliton catalogue table. Created hidden at start and
// shown modally from the main window's menu.
#pragma once

#include <QDialog>

namespace ondrix::ui {

class TForm2 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm2(QWidget* parent = nullptr);
};

}  // namespace ondrix::ui
