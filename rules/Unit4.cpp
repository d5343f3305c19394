#include "rules/Unit4.h"

#include "mainwindow/uifont.h"

namespace ondrix::ui {

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("Show RCA"));
  setFont(ondrixFont());
  placeByOuterGeometry(*this, QRect(564, 165, 321, 283));
}

}  // namespace ondrix::ui
