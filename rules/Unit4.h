// TForm4, the "Show RCA" window: view and editor of the rule table. Created hidden at start and
// shown modally from the main window's menu.
#pragma once

#include <QDialog>

namespace ondrix::ui {

class TForm4 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm4(QWidget* parent = nullptr);
};

}  // namespace ondrix::ui
