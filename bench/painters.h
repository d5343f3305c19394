// Displays for the benchmarks: the picture painted the plain way or the
// project's way, the labels ignored.
#pragma once

#include <QColor>
#include <QImage>

#include "mainwindow/picture.h"
#include "mainwindow/ringpicture.h"

namespace ondrix::bench {

inline const QColor face(239, 239, 239);

// A display that shows nothing; the painters below paint the ring.
class QuietDisplay : public RingDisplay {
 public:
  void paintRing(const AutomatonState&) override {}
  void showTime(std::int32_t) override {}
  void showPercent(std::int32_t) override {}
  void showStatus(const std::string&) override {}
  void showGhostParameters(const Statistics&) override {}
  void showSampleCount(std::int32_t) override {}
  void showSearchCounts(std::int32_t, std::int32_t) override {}
};

// The lines of a redraw exactly as they are described: pen width 3, one
// line per half column, one pixel for the dot.
class PlainPainter : public QuietDisplay {
 public:
  PlainPainter();
  void paintRing(const AutomatonState& ring) override;

 private:
  QImage image_;
};

class ProjectPainter : public QuietDisplay {
 public:
  ProjectPainter() : picture_(face) {}
  void paintRing(const AutomatonState& ring) override { picture_.paint(ring, true); }

 private:
  ui::RingPicture picture_;
};

}  // namespace ondrix::bench
