#include "ondrix/mainwindow/windows/controls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ondrix/mainwindow/windows/uifont.h"

namespace ondrix::ui {

QPushButton* button(QWidget* parent, const char* name, const QString& text, const QRect& r, bool bold) {
  auto* b = named(new QPushButton(text, parent), name);
  b->setFont(ondrixFont(11, bold));
  b->setGeometry(r);
  return b;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, QPoint at, bool bold,
              int pixelSize) {
  auto* l = named(new QLabel(text, parent), name);
  l->setFont(ondrixFont(pixelSize, bold));
  l->move(at);
  l->adjustSize();
  return l;
}

QGroupBox* groupBox(QWidget* parent, const char* name, const QString& title, const QRect& r, bool bold) {
  auto* g = named(new QGroupBox(title, parent), name);
  g->setFont(ondrixFont(11, bold));
  g->setGeometry(r);
  return g;
}

QLineEdit* edit(QWidget* parent, const char* name, const QString& text, const QRect& r) {
  auto* e = named(new QLineEdit(text, parent), name);
  e->setFont(ondrixFont());
  e->setGeometry(r);
  return e;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text, const QRect& r) {
  auto* c = named(new QCheckBox(text, parent), name);
  c->setFont(ondrixFont());
  c->setStyleSheet(QStringLiteral("QCheckBox { spacing: 2px; }"));  // captions fit their narrow boxes
  c->setGeometry(r);
  return c;
}

void setLabelText(QLabel* label, const QString& text) {
  label->setText(text);
  label->adjustSize();
}

}  // namespace ondrix::ui
