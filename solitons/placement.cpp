#include "ondrix/solitons/placement.h"

#include <algorithm>
#include <cstring>

#include "ondrix/mainwindow/ondrixstate.h"
#include "ondrix/mainwindow/picture.h"
#include "ondrix/rules/ghosts.h"

namespace ondrix {

namespace {

// The panels' final redraw skips Dont show from this type on.
constexpr int alwaysDrawnFromType = 3;

// One soliton of a random set at insertPos: type, then phase.
void drawSoliton(OndrixState& st, RingDisplay& display) {
  const PhaseTables& tables = st.phases;
  AutomatonState& ring = st.ring;
  const std::int32_t type = st.random.next() % tagTypes;
  const std::int32_t draw = st.random.next();
  const std::int32_t count = std::min(tables.tagCodeCount[type], 2 * maxPhases);
  if (count > 0) {
    ring.currentSoliton = tables.tagCode[type][draw % count];
    placePattern(ring);
  }
  redrawUnlessDontShow(st, display);
}

}  // namespace

void clearThird(OndrixState& st, RingDisplay& display, Third third) {
  AutomatonState& ring = st.ring;
  if (!st.withoutClear) {
    const std::int32_t n = ring.ringLength;
    const std::int32_t from = third == Third::first ? 0 : third == Third::middle ? n / 3 : 2 * n / 3;
    const std::int32_t to = third == Third::first ? n / 3 : third == Third::middle ? 2 * n / 3 : n;
    std::memset(ring.cells.data() + from, stateA, static_cast<std::size_t>(to - from));
  }
  redrawUnlessDontShow(st, display);
}

void solitonPanelPress(OndrixState& st, RingDisplay& display, int type, PressButton button) {
  if (button != PressButton::left && button != PressButton::right) return;
  AutomatonState& ring = st.ring;
  const bool left = button == PressButton::left;
  clearThird(st, display, left ? Third::first : Third::last);
  ring.currentSoliton = st.catalogue.solitonCode[static_cast<std::size_t>(type)];
  ring.insertPos = left ? 10 : ring.ringLength - 16;
  left ? placePattern(ring) : placePatternSwapped(ring);
  redrawUnlessDontShow(st, display);
  if (type >= alwaysDrawnFromType) drawRing(st, display);
  else redrawUnlessDontShow(st, display);
}

void clearPanelPress(OndrixState& st, RingDisplay& display, PressButton button) {
  if (button != PressButton::left && button != PressButton::right) return;
  clearThird(st, display, button == PressButton::left ? Third::first : Third::last);
  redrawUnlessDontShow(st, display);
}

std::int32_t randomSetStart(RandomSet set, std::int32_t length, int i) {
  if (set == RandomSet::five) {
    const std::int32_t s = length / 6;
    return i * s + s / 2;
  }
  return (i + 1) * (length / 5);
}

void randomSolitonSet(OndrixState& st, RingDisplay& display, RandomSet set) {
  AutomatonState& ring = st.ring;
  clearRing(ring);
  const int count = set == RandomSet::five ? 5 : 4;
  for (int i = 0; i < count; ++i) {
    ring.insertPos = randomSetStart(set, ring.ringLength, i);
    drawSoliton(st, display);
  }
  if (set == RandomSet::fourWithGhosts) testGhosts(st, display);
  redrawUnlessDontShow(st, display);
  ring.timeStep = 0;
}

}  // namespace ondrix
