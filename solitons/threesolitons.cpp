#include "ondrix/solitons/threesolitons.h"

#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/picture.h"
#include "ondrix/mainwindow/runcontrol.h"
#include "ondrix/solitons/placement.h"

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

ThreeStarts threeSolitonStarts(std::int32_t ringLength) {
  constexpr std::int32_t widest = 19;  // cells a pattern code holds exactly
  const std::int32_t centre = ringLength / 2;
  if (ringLength - threeRightFromEnd >= threeLeftStart + widest) {
    return {threeLeftStart, centre, ringLength - threeRightFromEnd};
  }
  const std::int32_t fixedCentre = startupRingLength / 2;  // where the scene stands on 768 cells
  return {centre - (fixedCentre - threeLeftStart), centre, centre + (startupRingLength - threeRightFromEnd - fixedCentre)};
}

void makeThreeSolitons(OndrixState& st, RingDisplay& display) {
  AutomatonState& ring = st.ring;
  const ThreeSolitonTypes& three = st.three;
  clearCommand(st, display);  // empties the population history too
  const ThreeStarts at = threeSolitonStarts(ring.ringLength);
  placeType(st, display, three.threeLeftType, at.left, false);
  placeType(st, display, three.threeRightType, at.right, true);
  placeType(st, display, three.threeMiddleType, at.middle, false);
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
