#include "bench/painters.h"

#include <QPainter>

namespace ondrix::bench {

PlainPainter::PlainPainter() : image_(ui::RingPicture::width, ui::RingPicture::height, QImage::Format_RGB32) {
  image_.fill(face);
}

void PlainPainter::paintRing(const AutomatonState& ring) {
  QPainter p(&image_);
  QPen pen(Qt::black, 3, Qt::SolidLine, Qt::FlatCap);
  for (std::int32_t i = 0; i < threeRowCells; ++i) {
    const CellPlace c = cellPlace(i, true);
    const Rgb m = markColour(ring.stepMarks[i]);
    const QColor colour(m.r, m.g, m.b);
    auto line = [&](const QColor& col, int y1, int y2) {
      pen.setColor(col);
      p.setPen(pen);
      p.drawLine(c.x, y1, c.x, y2);
    };
    if (ring.cells[i] == stateB) {
      line(colour, c.y0, c.y0 + 12);
      line(face, c.y0, c.y0 - 12);
    } else if (ring.cells[i] == stateC) {
      line(colour, c.y0, c.y0 - 12);
      line(face, c.y0, c.y0 + 12);
    } else {
      line(face, c.y0 - 12, c.y0 + 12);
      image_.setPixelColor(c.x, c.y0, Qt::black);
    }
  }
}

}  // namespace ondrix::bench
