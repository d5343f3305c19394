// The picture strip of the main window: one image that the redraw paints
// the ring into, pixel by pixel, and that the window blits when it paints.
#pragma once

#include <QColor>
#include <QImage>

#include "automaton/automaton.h"

namespace ondrix::ui {

class RingPicture {
 public:
  static constexpr int width = 806;
  static constexpr int height = 103;  // y 0 to 102

  explicit RingPicture(QColor buttonFace);

  // Draws the cells of the ring in place over the previous picture: state B
  // a bar below the centre line, state C a bar above it, both in the colour
  // of the cell's mark, state A a black dot on the centre line; each cell
  // erases the other half of its column. Columns outside the image are cut.
  void paint(const AutomatonState& ring, bool threeRows);

  // "dosol + ris (2)": the ring in one row at 2 pixels a cell, without
  // tagging: B a navy bar below the centre line, C a red bar above it, A
  // erased. Cells beyond the image are cut.
  void paintPlainRow(const AutomatonState& ring);

  // Back to the empty strip of button face.
  void erase() { image_.fill(face_); }

  const QImage& image() const { return image_; }

 private:
  QImage image_;
  QRgb face_;
};

}  // namespace ondrix::ui
