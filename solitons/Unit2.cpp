#include "solitons/Unit2.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "automaton/textnumber.h"
#include "mainwindow/controls.h"
#include "mainwindow/ondrixstate.h"
#include "mainwindow/picture.h"

namespace ondrix::ui {

namespace {

// The columns: first label number, x.
struct Column {
  int firstLabel, x;
};
constexpr Column codeColumn{41, 40}, periodColumn{1, 120}, shiftColumn{21, 168}, speedColumn{61, 224};

QLabel* columnLabel(QWidget* parent, Column c, int row) {
  const QByteArray name = "Label" + QByteArray::number(c.firstLabel + row);
  return label(parent, name.constData(), QStringLiteral("0"), QPoint(c.x, 40 + 16 * row));
}

}  // namespace

TForm2::TForm2(QWidget* parent, OndrixState& state, RingDisplay& display)
    : SecondaryWindow(parent, "Form2", QStringLiteral("Show Soliton"), QRect(590, 183, 406, 271)),
      state_(state),
      display_(display) {
  for (auto [name, caption, x] : {std::tuple{"Label81", "N", 48}, std::tuple{"Label82", "T", 120},
                                  std::tuple{"Label83", "dX", 160}, std::tuple{"Label84", "V", 224}}) {
    label(this, name, QString::fromLatin1(caption), QPoint(x, 16), true, 16);
  }
  for (int k = 0; k < rows; ++k) {
    if (k < 12) {
      const QByteArray name = "Label" + QByteArray::number(97 + k);
      label(this, name.constData(), QString::number(k), QPoint(16, 40 + 16 * k));
      speedLabels[k] = columnLabel(this, speedColumn, k);
    }
    codeLabels[k] = columnLabel(this, codeColumn, k);
    periodLabels[k] = columnLabel(this, periodColumn, k);
    shiftLabels[k] = columnLabel(this, shiftColumn, k);
    if (k >= 12) {
      for (QLabel* l : {codeLabels[k], periodLabels[k], shiftLabels[k]}) l->hide();
    }
  }
  for (int k = 0; k < 8; ++k) {
    const QByteArray name = "Label" + QByteArray::number(89 + k);
    tagCodeLabels[k] = label(this, name.constData(), QStringLiteral("0"), QPoint(k < 4 ? 280 : 352, 40 + 16 * (k % 4)));
    tagCodeLabels[k]->hide();
  }
  Button1 = button(this, "Button1", QStringLiteral("Save solitons"), QRect(280, 96, 105, 33));
  Edit1 = edit(this, "Edit1", QStringLiteral("0"), QRect(280, 136, 33, 21));
  Edit2 = edit(this, "Edit2", QStringLiteral("1"), QRect(320, 136, 33, 21));
  Button2 = button(this, "Button2", QStringLiteral("Change"), QRect(288, 160, 65, 25));
  connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
  connect(Edit1, &QLineEdit::textChanged, this, &TForm2::Edit1Change);
  connect(Edit2, &QLineEdit::textChanged, this, &TForm2::Edit2Change);
}

void TForm2::showEvent(QShowEvent* event) {
  SecondaryWindow::showEvent(event);
  FormShow();
}

void TForm2::fillTable() {
  const Catalogue& c = state_.catalogue;
  for (auto [labels, column] : {std::pair{&periodLabels, &c.solitonPeriod}, std::pair{&shiftLabels, &c.solitonShift},
                                std::pair{&codeLabels, &c.solitonCode}}) {
    for (int k = 0; k < rows; ++k) setLabelText((*labels)[k], QString::number((*column)[k]));
  }
  for (int k = 0; k < 12; ++k) {
    setLabelText(speedLabels[k], QString::number(solitonSpeed(c.solitonShift[k], c.solitonPeriod[k])));
  }
}

void TForm2::FormShow() {
  fillTable();
  for (int k = 0; k < 8; ++k) setLabelText(tagCodeLabels[k], QString::number(state_.phases.tagCode[0][k]));
}

void TForm2::Button1Click() { saveSolitons(state_.catalogue, display_); }

void TForm2::Button2Click() {
  swapCatalogueRows(state_.catalogue, state_.swapFirst, state_.swapSecond);
  fillTable();
}

void TForm2::Edit1Change() { state_.swapFirst = lowBits16(parseIntegerText(Edit1->text().toStdString())); }

void TForm2::Edit2Change() { state_.swapSecond = lowBits16(parseIntegerText(Edit2->text().toStdString())); }

}  // namespace ondrix::ui
