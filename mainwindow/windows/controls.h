// The controls every window builds: placed by absolute geometry, named as
// in the window layout, in the program's font.
#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace ondrix::ui {

template <typename W>
W* named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, const QRect& r, bool bold = false);

// A label sized to its text, its top-left corner at `at`.
QLabel* label(QWidget* parent, const char* name, const QString& text, QPoint at, bool bold = false,
              int pixelSize = 11);

QGroupBox* groupBox(QWidget* parent, const char* name, const QString& title, const QRect& r, bool bold = false);

QLineEdit* edit(QWidget* parent, const char* name, const QString& text, const QRect& r);

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text, const QRect& r);

// Sets the text and fits the label to it.
void setLabelText(QLabel* label, const QString& text);

}  // namespace ondrix::ui
