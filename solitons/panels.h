// How the twelve soliton types are presented in the "Choose soliton" box.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "ondrix/automaton/rgb.h"

namespace ondrix {

inline constexpr int solitonTypeCount = 12;

// Fixed captions beside the panels; the program never recomputes them.
inline constexpr std::array<std::string_view, solitonTypeCount> solitonPanelCaption = {
    "0*    100", "1**   100", "2***  100", "3**** 100", "4**** 100",  "5****   88",
    "6***    50", "7***    43", "8***    40", "9****   30", "10***  13", "11****  5"};

// Panel colour of each type; types 0..10 are also drawn in it when tagged.
inline constexpr std::array<Rgb, solitonTypeCount> solitonPanelColour = {{
    {128, 0, 0},    // maroon
    {0, 128, 0},    // green
    {128, 128, 0},  // olive
    {0, 0, 128},    // navy
    {128, 0, 128},  // purple
    {0, 128, 128},  // teal
    {255, 0, 0},    // red
    {0, 255, 0},    // lime
    {0, 0, 255},    // blue
    {0, 255, 255},  // aqua
    {255, 0, 255},  // fuchsia
    {255, 255, 0},  // yellow
}};

}  // namespace ondrix
