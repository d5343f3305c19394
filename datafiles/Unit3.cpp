#include "datafiles/Unit3.h"

#include "mainwindow/uifont.h"

namespace ondrix::ui {

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(QStringLiteral("About"));
  setFont(ondrixFont());
  placeByOuterGeometry(*this, QRect(410, 191, 512, 309));
}

}  // namespace ondrix::ui
