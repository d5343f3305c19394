#include "ondrix/mainwindow/windows/updown.h"

#include <QToolButton>
#include <algorithm>

namespace ondrix::ui {

UpDown::UpDown(QWidget* parent, int minimum, int maximum, int increment)
    : QWidget(parent), minimum_(minimum), maximum_(maximum), increment_(increment), up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
  position_ = minimum_;
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {up_, down_}) {
    b->setFocusPolicy(Qt::NoFocus);
    b->setIconSize(QSize(6, 6));
  }
  connect(up_, &QToolButton::clicked, this, [this] { step(+1); });
  connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
}

void UpDown::setPosition(int position) { position_ = std::clamp(position, minimum_, maximum_); }

void UpDown::step(int direction) {
  setPosition(position_ + direction * increment_);
  emit clicked(position_);
}

void UpDown::resizeEvent(QResizeEvent*) {
  const int half = height() / 2;
  up_->setGeometry(0, 0, width(), half);
  down_->setGeometry(0, half, width(), height() - half);
}

}  // namespace ondrix::ui
