// A coloured panel that reports mouse presses with their button.
#pragma once

#include <QLabel>

namespace ondrix::ui {

class Panel : public QLabel {
  Q_OBJECT
 public:
  Panel(QWidget* parent, const QString& caption, const QColor& colour);

  void setColour(const QColor& colour);
  QColor colour() const;

 signals:
  void mouseDown(Qt::MouseButton button);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace ondrix::ui
