#include "solitons/Unit2.h"

#include "mainwindow/uifont.h"

namespace ondrix::ui {

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Show Soliton"));
  setFont(ondrixFont());
  placeByOuterGeometry(*this, QRect(590, 183, 406, 271));
}

}  // namespace ondrix::ui
