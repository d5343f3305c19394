// Fonts and window placement shared by the four windows.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>

class QWidget;

namespace ondrix::ui {

// "MS Sans Serif" where it exists, else Liberation Sans, else the default
// sans-serif family, at the given pixel height (11 px is the 8-point default of every window).
QFont ondrixFont(int pixelSize = 11, bool bold = false);

// The system colour of window backgrounds, used to erase.
QColor buttonFace();

// Window frames as the layout counts them: 4 px on the left, right and
// bottom, 30 px of caption and border on top.
inline constexpr int frameSide = 4;
inline constexpr int frameTop = 30;

// Places a top-level window by its outer position and size: the frame's
// top-left corner at outer.topLeft(), the client area the outer size less
// the frame.
void placeByOuterGeometry(QWidget& window, const QRect& outer);

}  // namespace ondrix::ui
