#include "solitons/threesolitons.h"

#include "mainwindow/ondrixstate.h"
#include "mainwindow/picture.h"
#include "mainwindow/runcontrol.h"
#include "mainwindow/statistics.h"
#include "solitons/placement.h"

namespace ondrix {

namespace {

void placeType(OndrixState& st, RingDisplay& display, std::int16_t type, std::int32_t start, bool swapped) {
  if (type < 0 || type >= catalogueCapacity) return;
  AutomatonState& ring = st.ring;
  ring.currentSoliton = st.catalogue.solitonCode[static_cast<std::size_t>(type)];
  ring.insertPos = start;
  placePatternInRing(ring, swapped);
  redrawUnlessDontShow(st, display);
}

}  // namespace

void makeThreeSolitons(OndrixState& st, RingDisplay& display) {
  AutomatonState& ring = st.ring;
  const ThreeSolitonTypes& three = st.three;
  resetHistory(ring);
  clearCommand(st, display);
  placeType(st, display, three.threeLeftType, threeLeftStart, false);
  placeType(st, display, three.threeRightType, ring.ringLength - threeRightFromEnd, true);
  placeType(st, display, three.threeMiddleType, ring.ringLength / 2, false);
  stepGeneration(ring);
  redrawUnlessDontShow(st, display);
  ring.sampleCount = 0;
}

void makeRandomThreeSolitons(OndrixState& st, RingDisplay& display) {
  randomSolitonSet(st, display, RandomSet::four);
  constexpr int types = 12;
  st.three.threeLeftType = static_cast<std::int16_t>(st.random.next() % types);
  st.three.threeRightType = static_cast<std::int16_t>(st.random.next() % types);
  st.three.threeMiddleType = static_cast<std::int16_t>(st.random.next() % types);
  makeThreeSolitons(st, display);
}

}  // namespace ondrix
