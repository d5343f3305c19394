// The up-down control beside a numeric field: two arrow buttons that move a
// position by an increment within a range, without wrapping, and report the
// new position after each click.
#pragma once

#include <QWidget>

class QToolButton;

namespace ondrix::ui {

class UpDown : public QWidget {
  Q_OBJECT
 public:
  UpDown(QWidget* parent, int minimum, int maximum, int increment);

  int position() const { return position_; }
  // Clamped to the range, as the control keeps it; emits nothing.
  void setPosition(int position);
  int minimum() const { return minimum_; }
  int maximum() const { return maximum_; }
  int increment() const { return increment_; }

  QToolButton* upButton() const { return up_; }
  QToolButton* downButton() const { return down_; }

 signals:
  void clicked(int newPosition);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void step(int direction);

  int minimum_, maximum_, increment_;
  int position_ = 0;
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace ondrix::ui
