#include "ondrix/datafiles/examples.h"

#include "ondrix/datafiles/rowfiles.h"
#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/picture.h"

namespace ondrix {

std::string exampleFileName(int number) { return "Exp" + std::to_string(number) + ".dat"; }

void loadExample(OndrixState& st, RingDisplay& display, int number) {
  loadRowFile(exampleFileName(number), st.ring, display);
  if (number >= alwaysDrawnExample) drawRing(st, display);
  else redrawUnlessDontShow(st, display);
  st.ring.timeStep = 0;
}

}  // namespace ondrix
