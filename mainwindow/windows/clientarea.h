// The main window's client area: it shows the ring picture, draws the two
// border lines, and passes presses on its own surface, outside every
// control, to the window.
#pragma once

#include <QWidget>
#include <functional>

namespace ondrix::ui {

class RingPicture;

class ClientArea : public QWidget {
  Q_OBJECT
 public:
  ClientArea(QWidget* parent, const RingPicture& picture);

  std::function<void(Qt::MouseButton, QPoint)> onMouseDown;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  // The tooltip shows over the ring picture only, not over the bare surface
  // between the boxes.
  bool event(QEvent* event) override;

 private:
  const RingPicture& picture_;
};

}  // namespace ondrix::ui
