// Figures for papers: a space-time picture framed with its axes, ticks,
// title and legend, as PNG or as SVG (the frame and the text as vectors,
// the picture inside as an image), from the same drawing.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ondrix/automaton/rgb.h"
#include "ondrix/mainwindow/spacetime.h"
#include "ondrix/solitons/catalogue.h"

namespace ondrix::tool {

struct Figure {
  std::size_t width = 0, height = 0;  // of the picture, in pixels
  std::vector<std::uint8_t> pixels;   // palette entries, row by row
  std::vector<Rgb> palette;
  std::int64_t firstGeneration = 0;  // of the first row
  int cellScale = 1;                 // pixels across a cell
  std::string title;
  std::vector<std::pair<Rgb, std::string>> legend;
  std::vector<std::pair<std::string, std::string>> text;  // keyword and text, kept in the file
};

// The largest picture a figure takes.
inline constexpr std::size_t figureLimit = 8192;

// The legend of a picture: an entry for each colour it holds, named by
// what it stands for (the catalogue's types by their cells, period and
// shift when given).
std::vector<std::pair<Rgb, std::string>> spaceTimeLegend(const std::vector<std::uint8_t>& pixels, SpaceTimePalette palette,
                                                         const Catalogue* catalogue);

// Writes the figure to `path`, SVG when the name ends in .svg, PNG
// otherwise, whole or not at all; a ToolError says why it could not.
void writeFigure(const Figure& f, const std::string& path);

// A grid of small pictures on one scale: a row label beside each row, a
// column label above each column, a caption under each tile, the time scale
// as a ruler beside the top row, the legend under it and notes beneath.
struct GridFigure {
  std::size_t tileWidth = 0, tileHeight = 0;  // pixels
  int rows = 0, columns = 0;
  std::vector<std::vector<std::uint8_t>> tiles;  // row by row, palette entries
  std::vector<std::string> captions;             // one a tile, or none
  std::vector<int> marks;                        // a row of each tile to tick on its right, or -1
  std::vector<std::string> rowLabels, columnLabels;
  std::string rowHeading, columnHeading;
  std::int32_t generationsPerRow = 1;  // a row of pixels every so many generations, from 0
  std::vector<Rgb> palette;
  std::string title;
  std::vector<std::string> notes;
  std::vector<std::pair<Rgb, std::string>> legend;
  std::vector<std::pair<std::string, std::string>> text;
};

// Writes the grid to `path` as SVG or PNG, whole or not at all.
void writeGridFigure(const GridFigure& f, const std::string& path, bool svg);

}  // namespace ondrix::tool
