#include "ondrix/mainwindow/windows/panel.h"

#include <QMouseEvent>

namespace ondrix::ui {

Panel::Panel(QWidget* parent, const QString& caption, const QColor& colour) : QLabel(caption, parent) {
  setAlignment(Qt::AlignCenter);
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(1);
  setAutoFillBackground(true);
  setColour(colour);
}

void Panel::setColour(const QColor& colour) {
  QPalette p = palette();
  p.setColor(QPalette::Window, colour);
  setPalette(p);
}

QColor Panel::colour() const { return palette().color(QPalette::Window); }

void Panel::mousePressEvent(QMouseEvent* event) { emit mouseDown(event->button()); }

}  // namespace ondrix::ui
