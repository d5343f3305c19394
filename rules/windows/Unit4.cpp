#include "ondrix/rules/windows/Unit4.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "ondrix/mainwindow/windows/controls.h"
#include "ondrix/mainwindow/windows/uifont.h"
#include "ondrix/rules/rulegrid.h"

namespace ondrix::ui {

namespace {

constexpr int bigFont = 19;

}  // namespace

TForm4::TForm4(QWidget* parent, std::span<std::uint8_t> ruleTable)
    : SecondaryWindow(parent, "Form4", QStringLiteral("Show RCA"), QRect(564, 165, 321, 283)), ruleTable_(ruleTable) {
  setAutoFillBackground(true);
  static constexpr const char* names[9] = {"S4", "S3", "S2", "S1", "S0", "S1", "S2", "S3", "S4"};
  for (int k = 0; k < 9; ++k) {
    const QByteArray name = "Label" + QByteArray::number(1 + k);
    label(this, name.constData(), QString::fromLatin1(names[k]), QPoint(16 + 32 * k, 216), false, bigFont);
  }
  for (int k = 0; k < 4; ++k) {
    const QByteArray name = "Label" + QByteArray::number(12 + k);
    classDigits[k] = label(this, name.constData(), QStringLiteral("0"), QPoint(176 + 32 * k, 192), false, bigFont);
  }
  label(this, "Label10", QStringLiteral("Click"), QPoint(216, 8), false, bigFont);
  label(this, "Label11", QStringLiteral("to change"), QPoint(216, 32), false, bigFont);
  for (auto [name, caption, y, handler] : {std::tuple{"Button1", "Show  kR[][][]", 88, &TForm4::Button1Click},
                                           std::tuple{"Button2", "Clear", 120, &TForm4::Button2Click}}) {
    QPushButton* b = button(this, name, QString::fromLatin1(caption), QRect(248, y, 75, 25));
    b->hide();
    connect(b, &QPushButton::clicked, this, handler);
  }
}

void TForm4::showEvent(QShowEvent* event) {
  SecondaryWindow::showEvent(event);
  FormShow();
}

void TForm4::FormShow() { update(); }

// The grid is drawn by the paint handler, which clears it first: both
// hidden commands come down to painting it again.
void TForm4::Button1Click() { update(0, 0, gridSide + 1, gridSide + 1); }

void TForm4::Button2Click() { Button1Click(); }

void TForm4::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(0, 0, gridSide + 1, gridSide + 1, buttonFace());
  painter.setPen(QPen(QColor(128, 128, 0), 2));
  painter.setBrush(buttonFace());
  for (int entry = 0; entry < 81; ++entry) {
    if (ruleTable_[static_cast<std::size_t>(entry)] == 0) continue;
    const GridPlace at = squareOfEntry(entry);
    painter.drawEllipse(QRect(at.x + 1, at.y + 1, gridSquare - 2, gridSquare - 2));
  }
}

void TForm4::mousePressEvent(QMouseEvent* event) { FormMouseDown(event->button(), event->position().toPoint()); }

void TForm4::FormMouseDown(Qt::MouseButton, QPoint at) {
  const auto pressed = toggleRuleEntryAt(ruleTable_, at.x(), at.y());
  if (!pressed) return;
  Button1Click();
  for (int k = 0; k < 4; ++k) setLabelText(classDigits[k], QString::number(pressed->s[k]));
}

}  // namespace ondrix::ui
