#include "datafiles/Unit3.h"

namespace ondrix::ui {

TForm3::TForm3(QWidget* parent) : SecondaryWindow(parent, "Form3", QStringLiteral("About"), QRect(410, 191, 512, 309)) {}

}  // namespace ondrix::ui
