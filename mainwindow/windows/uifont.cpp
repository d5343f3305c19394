#include "ondrix/mainwindow/windows/uifont.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace ondrix::ui {

QFont ondrixFont(int pixelSize, bool bold) {
  QFont font;
  // Liberation Sans has the metrics of the Windows sans-serif faces, so the
  // captions fit the controls laid out for them.
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Sans Serif")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

QColor buttonFace() { return QApplication::palette().color(QPalette::Window); }

void placeByOuterGeometry(QWidget& window, const QRect& outer) {
  window.resize(outer.width() - 2 * frameSide, outer.height() - frameTop - frameSide);
  window.move(outer.topLeft());
}

}  // namespace ondrix::ui
