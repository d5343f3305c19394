#include "solitons/Unit2.h"

namespace ondrix::ui {

TForm2::TForm2(QWidget* parent) : SecondaryWindow(parent, "Form2", QStringLiteral("Show Soliton"), QRect(590, 183, 406, 271)) {}

}  // namespace ondrix::ui
