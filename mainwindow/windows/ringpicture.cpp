#include "ondrix/mainwindow/windows/ringpicture.h"

#include <algorithm>

#include "ondrix/mainwindow/picture.h"

namespace ondrix::ui {

RingPicture::RingPicture(QColor buttonFace)
    : image_(width, height, QImage::Format_RGB32), face_(buttonFace.rgb()) {
  image_.fill(face_);
}

void RingPicture::paint(const AutomatonState& ring, bool threeRows) {
  uchar* const bits = image_.bits();
  const qsizetype stride = image_.bytesPerLine();
  auto row = [&](int y) { return reinterpret_cast<QRgb*>(bits + y * stride); };
  // Rows y0 + from .. y0 + to (inclusive) of the cell's 3-pixel column.
  auto fill = [&](int x, int y0, int from, int to, QRgb colour) {
    for (int y = y0 + from; y <= y0 + to; ++y) {
      QRgb* p = row(y) + x - 1;
      p[0] = p[1] = p[2] = colour;
    }
  };

  // One row leaves nothing below it: the bars of rows 2 and 3 go once.
  if (threeRows) {
    lowerRowsBlank_ = false;
  } else if (!lowerRowsBlank_) {
    for (int y = lowerRowsTop; y <= lowerRowsBottom; ++y) std::fill_n(row(y), width, face_);
    lowerRowsBlank_ = true;
  }

  const std::int32_t count = picturedCells(ring, threeRows);
  for (std::int32_t i = 0; i < count && i < ringCapacity; ++i) {
    const CellPlace at = cellPlace(i, threeRows);
    if (at.x + 1 >= width) continue;
    const Rgb c = markColour(ring.stepMarks[i]);
    const QRgb colour = qRgb(c.r, c.g, c.b);
    switch (ring.cells[i]) {
      case stateB:
        fill(at.x, at.y0, 1, 11, colour);
        fill(at.x, at.y0, -11, 0, face_);
        break;
      case stateC:
        fill(at.x, at.y0, -11, -1, colour);
        fill(at.x, at.y0, 0, 11, face_);
        break;
      default:
        fill(at.x, at.y0, -12, 11, face_);
        row(at.y0)[at.x] = qRgb(0, 0, 0);
        break;
    }
  }
}

void RingPicture::paintPlainRow(const AutomatonState& ring) {
  const QRgb navy = qRgb(0, 0, 128), red = qRgb(255, 0, 0);
  const int y0 = AutomatonState::originY;
  for (std::int32_t i = 0; i < ring.ringLength; ++i) {
    const int x = AutomatonState::originX + 2 * i;
    if (x >= width) break;
    // A 2-pixel pen covers columns x - 1 and x.
    const std::uint8_t c = ring.cells[i];
    const bool live = c == stateB || c == stateC;
    const QRgb upper = c == stateC ? red : face_;
    const QRgb lower = c == stateB ? navy : face_;
    // B and C leave the top row; the second line of each erases the centre.
    for (int y = live ? y0 - 11 : y0 - 12; y <= y0 + 11; ++y) {
      QRgb* p = reinterpret_cast<QRgb*>(image_.scanLine(y)) + x - 1;
      p[0] = p[1] = y < y0 ? upper : y > y0 ? lower : face_;
    }
  }
}

}  // namespace ondrix::ui
