#include "ondrix/mainwindow/windows/clientarea.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "ondrix/mainwindow/windows/ringpicture.h"

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

bool ClientArea::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  if (!childAt(help->pos()) && help->pos().y() < RingPicture::height) QToolTip::showText(help->globalPos(), toolTip(), this);
  else QToolTip::hideText();
  return true;
}

void ClientArea::mousePressEvent(QMouseEvent* event) {
  // Qt hands on the presses that a control leaves alone (a group box, a
  // label, the status bar); only presses on the bare surface edit the ring.
  const QPoint at = event->position().toPoint();
  if (childAt(at)) return;
  if (onMouseDown) onMouseDown(event->button(), at);
}

}  // namespace ondrix::ui
