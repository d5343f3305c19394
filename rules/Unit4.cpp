#include "rules/Unit4.h"

namespace ondrix::ui {

TForm4::TForm4(QWidget* parent) : SecondaryWindow(parent, "Form4", QStringLiteral("Show RCA"), QRect(564, 165, 321, 283)) {}

}  // namespace ondrix::ui
