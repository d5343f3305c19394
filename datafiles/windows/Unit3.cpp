#include "ondrix/datafiles/windows/Unit3.h"

#include "ondrix/mainwindow/windows/controls.h"

namespace ondrix::ui {

TForm3::TForm3(QWidget* parent) : SecondaryWindow(parent, "Form3", QStringLiteral("About"), QRect(410, 191, 512, 309)) {
  label(this, "Label1", QStringLiteral("Ondrix: reversible automaton explorer"), QPoint(48, 72), false, 19);
  label(this, "Label3", QStringLiteral("Guide: README.md of the project"), QPoint(48, 144), false, 19);
  label(this, "Label2", QStringLiteral("Version " ONDRIX_VERSION), QPoint(48, 176), false, 19);
  label(this, "Label4", QStringLiteral("20.03.20"), QPoint(352, 200), false, 13);
}

}  // namespace ondrix::ui
