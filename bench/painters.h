// Displays for the benchmarks: the picture painted the plain way or the
// project's way, the labels ignored.
#pragma once

#include <QColor>
#include <QImage>

#include "ondrix/mainwindow/picture.h"
#include "ondrix/mainwindow/windows/ringpicture.h"

namespace ondrix::bench {

inline const QColor face(239, 239, 239);

// The painters below paint the ring and show nothing else.
using QuietDisplay = NullDisplay;

// The lines of a redraw exactly as they are described: pen width 3, one
// line per half column, one pixel for the dot.
class PlainPainter : public NullDisplay {
 public:
  PlainPainter();
  void paintRing(const AutomatonState& ring) override;

 private:
  QImage image_;
};

class ProjectPainter : public NullDisplay {
 public:
  ProjectPainter() : picture_(face) {}
  void paintRing(const AutomatonState& ring) override { picture_.paint(ring, true); }
  const std::uint32_t* pictureRow(int y) override {
    return reinterpret_cast<const std::uint32_t*>(picture_.image().constScanLine(y));
  }
  const QImage& image() const { return picture_.image(); }

 private:
  ui::RingPicture picture_;
};

}  // namespace ondrix::bench
