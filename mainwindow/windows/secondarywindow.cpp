#include "ondrix/mainwindow/windows/secondarywindow.h"

#include "ondrix/mainwindow/windows/uifont.h"

namespace ondrix::ui {

SecondaryWindow::SecondaryWindow(QWidget* parent, const char* name, const QString& caption, const QRect& outer)
    : QDialog(parent) {
  setObjectName(QString::fromLatin1(name));
  setWindowTitle(caption);
  setFont(ondrixFont());
  placeByOuterGeometry(*this, outer);
}

}  // namespace ondrix::ui
