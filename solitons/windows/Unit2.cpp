#include "ondrix/solitons/windows/Unit2.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ondrix/automaton/textnumber.h"
#include "ondrix/mainwindow/windows/controls.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/picture.h"
#include "ondrix/mainwindow/windows/uifont.h"

namespace ondrix::ui {

namespace {

// The table's columns N, T, dX and V: right-aligned, each as wide as the
// widest number a catalogue entry can hold, so no value runs into the next
// column or into the buttons. The buttons stand to their right.
constexpr int firstColumnX = 40, columnGap = 10, rowY = 40, rowHeight = 16;

int columnWidth() { return QFontMetrics(ondrixFont()).horizontalAdvance(QStringLiteral("-2147483648")) + 4; }
int columnX(int column) { return firstColumnX + column * (columnWidth() + columnGap); }
int buttonsX() { return columnX(4) + 6; }

// The first label number of each column, in the order N, T, dX, V.
constexpr int firstLabel[4] = {41, 1, 21, 61};

QLabel* columnLabel(QWidget* parent, int column, int row) {
  const QByteArray name = "Label" + QByteArray::number(firstLabel[column] + row);
  QLabel* l = label(parent, name.constData(), QStringLiteral("0"), QPoint());
  l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  l->setGeometry(columnX(column), rowY + rowHeight * row, columnWidth(), rowHeight);
  return l;
}

}  // namespace

TForm2::TForm2(QWidget* parent, OndrixState& state, RingDisplay& display)
    : SecondaryWindow(parent, "Form2", QStringLiteral("Show Soliton"), QRect(590, 183, buttonsX() + 126, 271)),
      state_(state),
      display_(display) {
  constexpr const char* headers[4][2] = {{"Label81", "N"}, {"Label82", "T"}, {"Label83", "dX"}, {"Label84", "V"}};
  for (int column = 0; column < 4; ++column) {
    QLabel* h = label(this, headers[column][0], QString::fromLatin1(headers[column][1]), QPoint(), true, 16);
    h->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    h->setGeometry(columnX(column), 12, columnWidth(), 22);
  }
  for (int k = 0; k < rows; ++k) {
    if (k < 12) {
      const QByteArray name = "Label" + QByteArray::number(97 + k);
      label(this, name.constData(), QString::number(k), QPoint(16, rowY + rowHeight * k));
      speedLabels[k] = columnLabel(this, 3, k);
    }
    codeLabels[k] = columnLabel(this, 0, k);
    periodLabels[k] = columnLabel(this, 1, k);
    shiftLabels[k] = columnLabel(this, 2, k);
    if (k >= 12) {
      for (QLabel* l : {codeLabels[k], periodLabels[k], shiftLabels[k]}) l->hide();
    }
  }
  const int x = buttonsX();
  for (int k = 0; k < 8; ++k) {
    const QByteArray name = "Label" + QByteArray::number(89 + k);
    tagCodeLabels[k] = label(this, name.constData(), QStringLiteral("0"), QPoint(x + (k < 4 ? 0 : 72), 40 + 16 * (k % 4)));
    tagCodeLabels[k]->hide();
  }
  Button1 = button(this, "Button1", QStringLiteral("Save solitons"), QRect(x, 96, 105, 33));
  Edit1 = edit(this, "Edit1", QStringLiteral("0"), QRect(x, 136, 33, 21));
  Edit2 = edit(this, "Edit2", QStringLiteral("1"), QRect(x + 40, 136, 33, 21));
  Button2 = button(this, "Button2", QStringLiteral("Change"), QRect(x + 8, 160, 65, 25));
  Button1->setToolTip(QStringLiteral("Saves the twelve rows to Sol.dat: the next start places and colours the types in "
                                     "this order"));
  Edit1->setToolTip(QStringLiteral("The first of the two rows that \"Change\" exchanges"));
  Edit2->setToolTip(QStringLiteral("The second of the two rows that \"Change\" exchanges"));
  Button2->setToolTip(QStringLiteral("Exchanges the two rows in the table (saved only by \"Save solitons\")"));
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
    for (int k = 0; k < rows; ++k) (*labels)[k]->setText(QString::number((*column)[k]));
  }
  for (int k = 0; k < 12; ++k) {
    speedLabels[k]->setText(QString::number(solitonSpeed(c.solitonShift[k], c.solitonPeriod[k])));
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
