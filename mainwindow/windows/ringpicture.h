// The picture strip of the main window: one image that the redraw paints
// the ring into, pixel by pixel, and that the window blits when it paints.
#pragma once

#include <QColor>
#include <QImage>

#include "ondrix/automaton/automaton.h"

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
  // In one row the picture's rows 2 and 3 are blank, so no bar of a cell
  // outside the ring stays there.
  void paint(const AutomatonState& ring, bool threeRows);

  // "dosol + ris (2)": the ring in one row at 2 pixels a cell, without
  // tagging: B a navy bar below the centre line, C a red bar above it, A
  // erased. Cells beyond the image are cut.
  void paintPlainRow(const AutomatonState& ring);

  // Back to the empty strip of button face.
  void erase() {
    image_.fill(face_);
    lowerRowsBlank_ = true;
  }

  const QImage& image() const { return image_; }

 private:
  // Rows 2 and 3 of the three-row picture: y 36 to 95.
  static constexpr int lowerRowsTop = AutomatonState::originY + 36 - 12;
  static constexpr int lowerRowsBottom = AutomatonState::originY + 2 * 36 + 11;

  QImage image_;
  QRgb face_;
  bool lowerRowsBlank_ = true;
};

}  // namespace ondrix::ui
