// What the three secondary windows share: created hidden with the program,
// placed by their outer geometry, shown modally by their menu commands.
#pragma once

#include <QDialog>
#include <QRect>

namespace ondrix::ui {

class SecondaryWindow : public QDialog {
  Q_OBJECT
 public:
  SecondaryWindow(QWidget* parent, const char* name, const QString& caption, const QRect& outer);
};

}  // namespace ondrix::ui
