#include "mainwindow/clientarea.h"

#include <QMouseEvent>
#include <QPainter>

#include "mainwindow/ringpicture.h"

namespace ondrix::ui {

ClientArea::ClientArea(QWidget* parent, const RingPicture& picture) : QWidget(parent), picture_(picture) {}

void ClientArea::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, picture_.image());
  // FormPaint: the two navy lines that frame the rows, y 0 to 101.
  painter.setPen(QPen(QColor(0, 0, 128), 1));
  painter.drawLine(8, 0, 8, 101);
  painter.drawLine(780, 0, 780, 101);
}

void ClientArea::mousePressEvent(QMouseEvent* event) {
  if (onMouseDown) onMouseDown(event->button(), event->position().toPoint());
}

}  // namespace ondrix::ui
