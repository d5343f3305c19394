#include "tool/figure.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <cmath>
#include <functional>

#include "ondrix/solitons/shipdata.h"
#include "tool/inputs.h"
#include "tool/outputs.h"

namespace ondrix::tool {

namespace {

// Fonts need an application; without a display, the offscreen platform.
// It lives while the figure is drawn and is gone before the tool ends.
std::unique_ptr<QGuiApplication> needApplication() {
  if (QGuiApplication::instance()) return nullptr;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's notes on its own set-up (no runtime folder, say) are not the
  // tool's to print.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) std::fprintf(stderr, "ondrix-tool: %s\n", qPrintable(message));
  });
  static int argc = 1;
  static char name[] = "ondrix-tool";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

// A step between ticks of 1, 2 or 5 times a power of ten that leaves at
// most `most` ticks over `span`.
std::int64_t tickStep(std::int64_t span, int most) {
  std::int64_t step = 1;
  for (;;) {
    for (std::int64_t m : {1, 2, 5}) {
      if (span / (m * step) < most) return m * step;
    }
    step *= 10;
  }
}

QFont figureFont(int pixels) {
  QFont font("DejaVu Sans");
  font.setPixelSize(pixels);
  return font;
}

QImage paletteImage(const std::vector<std::uint8_t>& pixels, std::size_t width, std::size_t height,
                    const std::vector<Rgb>& palette) {
  QImage picture(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
  for (std::size_t y = 0; y < height; ++y) {
    auto* out = reinterpret_cast<QRgb*>(picture.scanLine(static_cast<int>(y)));
    for (std::size_t x = 0; x < width; ++x) {
      const Rgb c = palette[pixels[y * width + x]];
      out[x] = qRgb(c.r, c.g, c.b);
    }
  }
  return picture;
}

void drawLegend(QPainter& p, const std::vector<std::pair<Rgb, std::string>>& legend, int x, int y, const QFontMetrics& metrics) {
  const int line = metrics.height();
  for (const auto& [colour, label] : legend) {
    p.fillRect(x, y + (line - 12) / 2, 12, 12, QColor(colour.r, colour.g, colour.b));
    p.drawRect(x, y + (line - 12) / 2, 12, 12);
    p.drawText(QPointF(x + 18, y + metrics.ascent()), QString::fromStdString(label));
    y += line + 4;
  }
}

// Draws once, into an SVG (frame and text as vectors, pictures as images,
// sized in pixels) or a PNG, with the text kept in the file, and writes it
// to `path` whole.
void writeDrawing(const std::string& path, bool svg, int width, int height, const std::string& title,
                  const std::vector<std::pair<std::string, std::string>>& text, const std::function<void(QPainter&)>& draw) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (svg) {
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(width, height));
    generator.setViewBox(QRect(0, 0, width, height));
    generator.setResolution(96);
    generator.setTitle(QString::fromStdString(title));
    QString description;
    for (const auto& [key, value] : text) description += QString::fromStdString(key + ": " + value + "\n");
    generator.setDescription(description);
    {
      QPainter p(&generator);
      draw(p);
    }
    // Its size in pixels, as drawn, rather than in millimetres at a
    // resolution each reader assumes for itself.
    const qsizetype from = bytes.indexOf("<svg width=\"");
    const qsizetype to = from < 0 ? -1 : bytes.indexOf("\n", bytes.indexOf("height=\"", from));
    if (from >= 0 && to > from) {
      bytes.replace(from, to - from,
                    "<svg width=\"" + QByteArray::number(width) + "px\" height=\"" + QByteArray::number(height) + "px\"");
    }
  } else {
    QImage image(width, height, QImage::Format_RGB32);
    {
      QPainter p(&image);
      draw(p);
    }
    for (const auto& [key, value] : text) image.setText(QString::fromStdString(key), QString::fromStdString(value));
    image.save(&buffer, "PNG");
  }
  writeOutput(path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())));
}

struct Layout {
  int left = 0, top = 0, legendX = 0, width = 0, height = 0;
};

Layout layout(const Figure& f, const QFontMetrics& metrics) {
  Layout l;
  const int line = metrics.height();
  int legendWidth = 0;
  for (const auto& [colour, label] : f.legend) {
    legendWidth = std::max(legendWidth, 18 + metrics.horizontalAdvance(QString::fromStdString(label)));
  }
  const int legendHeight = static_cast<int>(f.legend.size()) * (line + 4);
  const std::int64_t lastGeneration = f.firstGeneration + static_cast<std::int64_t>(f.height) - 1;
  l.left = 14 + line + metrics.horizontalAdvance(QString::number(lastGeneration)) + 8;
  l.top = f.title.empty() ? 12 : 16 + line;
  l.legendX = l.left + static_cast<int>(f.width) + 16;
  l.width = l.legendX + (legendWidth ? legendWidth + 12 : -4);
  l.height = l.top + std::max(static_cast<int>(f.height), legendHeight) + 12 + 2 * line + 8;
  return l;
}

void draw(QPainter& p, const Figure& f, const Layout& l, const QFont& font) {
  p.setFont(font);
  const QFontMetrics metrics(font);
  const int line = metrics.height();
  p.fillRect(0, 0, l.width, l.height, Qt::white);

  p.drawImage(l.left, l.top, paletteImage(f.pixels, f.width, f.height, f.palette));
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(l.left - 0.5, l.top - 0.5, static_cast<double>(f.width) + 1, static_cast<double>(f.height) + 1));

  // Cells across: a tick at the middle of each labelled cell.
  const std::int64_t cells = static_cast<std::int64_t>(f.width) / f.cellScale;
  const int bottom = l.top + static_cast<int>(f.height);
  for (std::int64_t c = 0, step = tickStep(cells, 8); c < cells; c += step) {
    const double x = l.left + (static_cast<double>(c) + 0.5) * f.cellScale;
    p.drawLine(QPointF(x, bottom + 1), QPointF(x, bottom + 5));
    const QString label = QString::number(c);
    p.drawText(QPointF(x - metrics.horizontalAdvance(label) / 2.0, bottom + 6 + metrics.ascent()), label);
  }
  const QString across = "cell";
  p.drawText(QPointF(l.left + f.width / 2.0 - metrics.horizontalAdvance(across) / 2.0, bottom + 10 + line + metrics.ascent()),
             across);
  // Generations down: one row each.
  const auto rows = static_cast<std::int64_t>(f.height);
  for (std::int64_t r = 0, step = tickStep(rows, 10); r < rows; r += step) {
    const double y = l.top + static_cast<double>(r) + 0.5;
    p.drawLine(QPointF(l.left - 5, y), QPointF(l.left - 1, y));
    const QString label = QString::number(f.firstGeneration + r);
    p.drawText(QPointF(l.left - 7 - metrics.horizontalAdvance(label), y + metrics.ascent() / 2.0 - 1), label);
  }
  p.save();
  p.translate(10 + metrics.ascent(), l.top + f.height / 2.0);
  p.rotate(-90);
  const QString down = "generation";
  p.drawText(QPointF(-metrics.horizontalAdvance(down) / 2.0, 0), down);
  p.restore();
  if (!f.title.empty()) {
    const QString title = QString::fromStdString(f.title);
    p.drawText(QPointF(l.left + f.width / 2.0 - metrics.horizontalAdvance(title) / 2.0, 8 + metrics.ascent()), title);
  }
  drawLegend(p, f.legend, l.legendX, l.top, metrics);
}

std::string typeName(int k, const Catalogue* c) {
  std::string name = "type " + std::to_string(k);
  if (c) {
    name += ": " + codeLetters(c->solitonCode[k]) + " (period " + std::to_string(c->solitonPeriod[k]) + ", shift " +
            std::to_string(c->solitonShift[k]) + ")";
  }
  return name;
}

}  // namespace

std::vector<std::pair<Rgb, std::string>> spaceTimeLegend(const std::vector<std::uint8_t>& pixels, SpaceTimePalette palette,
                                                         const Catalogue* catalogue) {
  const auto colours = spaceTimePalette(palette);
  std::vector<bool> held(colours.size(), false);
  for (std::uint8_t p : pixels) held[p] = true;
  std::vector<std::pair<Rgb, std::string>> out;
  const auto add = [&](std::size_t entry, const std::string& label) {
    if (held[entry]) out.emplace_back(colours[entry], label);
  };
  if (palette == SpaceTimePalette::research) {
    for (int k = 0; k < 12; ++k) add(static_cast<std::size_t>(k), typeName(k, catalogue));
    add(13, "B");
    add(14, "C");
    return out;
  }
  // The window's colours: tagged type k takes entry k + 1 (type 11 entry 0),
  // and the step marks N, O and P entries 1, 2 and 3.
  const char* marks[] = {"C became B (N)", "the table gave 0 (O)", "the table gave 1 (P)"};
  for (int e = 1; e <= 12; ++e) {
    const std::size_t entry = static_cast<std::size_t>(e % 12);
    std::string label = catalogue ? typeName(e - 1, catalogue) : "";
    if (e <= 3) label += (label.empty() ? "" : " or ") + std::string(marks[e - 1]);
    if (!label.empty()) add(entry, label);
  }
  return out;
}

void writeFigure(const Figure& f, const std::string& path) {
  if (f.width == 0 || f.height == 0 || f.width > figureLimit || f.height > figureLimit) {
    throw ToolError(exitUsage, "a figure holds 1 to " + std::to_string(figureLimit) + " pixels each way, this one " +
                                   std::to_string(f.width) + " x " + std::to_string(f.height) + " (fewer steps, --png for more)");
  }
  const auto application = needApplication();
  const QFont font = figureFont(12);
  const Layout l = layout(f, QFontMetrics(font));
  writeDrawing(path, svgName(path), l.width, l.height, f.title, f.text, [&](QPainter& p) { draw(p, f, l, font); });
}

void writeGridFigure(const GridFigure& f, const std::string& path, bool svg) {
  const auto application = needApplication();
  const QFont font = figureFont(12), small = figureFont(11);
  const QFontMetrics metrics(font), smallMetrics(small);
  const int line = metrics.height(), tileW = static_cast<int>(f.tileWidth), tileH = static_cast<int>(f.tileHeight);
  const int gapX = 10, captionH = f.captions.empty() ? 0 : smallMetrics.height() + 2, gapY = captionH + 8;
  int labelW = 0;
  for (const std::string& label : f.rowLabels) labelW = std::max(labelW, metrics.horizontalAdvance(QString::fromStdString(label)));
  const int left = 12 + line + 8 + labelW + 8, top = 12 + 3 * line + 8;
  const int gridW = f.columns * (tileW + gapX) - gapX, gridH = f.rows * (tileH + gapY) - gapY + captionH;
  // The time scale beside the top row, then the legend under it.
  const std::int64_t lastGeneration = std::int64_t{f.generationsPerRow} * (tileH - 1);
  const int rulerX = left + gridW + 16;
  int sideW = 8 + metrics.horizontalAdvance(QString::number(lastGeneration));
  for (const auto& [colour, label] : f.legend) {
    sideW = std::max(sideW, 18 + metrics.horizontalAdvance(QString::fromStdString(label)));
  }
  int notesW = 0;
  for (const std::string& note : f.notes) notesW = std::max(notesW, metrics.horizontalAdvance(QString::fromStdString(note)));
  const int legendTop = top + tileH + 2 * line + 8;
  const int sideH = legendTop + static_cast<int>(f.legend.size()) * (line + 4) - top;
  const int notesTop = top + std::max(gridH, sideH) + 10;
  const int width = std::max(rulerX + sideW, left + notesW) + 12;
  const int height = notesTop + static_cast<int>(f.notes.size()) * line + 12;
  if (width > static_cast<int>(figureLimit) || height > static_cast<int>(figureLimit)) {
    throw ToolError(exitUsage, "a figure holds at most " + std::to_string(figureLimit) + " pixels each way, this one " +
                                   std::to_string(width) + " x " + std::to_string(height));
  }
  const auto centred = [](QPainter& p, const QFontMetrics& m, double x, double y, const std::string& text) {
    const QString t = QString::fromStdString(text);
    p.drawText(QPointF(x - m.horizontalAdvance(t) / 2.0, y + m.ascent()), t);
  };
  writeDrawing(path, svg, width, height, f.title, f.text, [&](QPainter& p) {
    p.setFont(font);
    p.fillRect(0, 0, width, height, Qt::white);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    QFont bold = font;
    bold.setBold(true);
    p.setFont(bold);
    centred(p, QFontMetrics(bold), left + gridW / 2.0, 8, f.title);
    p.setFont(font);
    centred(p, metrics, left + gridW / 2.0, 8 + line + 4, f.columnHeading);
    p.save();
    p.translate(12 + metrics.ascent(), top + gridH / 2.0);
    p.rotate(-90);
    p.drawText(QPointF(-metrics.horizontalAdvance(QString::fromStdString(f.rowHeading)) / 2.0, 0),
               QString::fromStdString(f.rowHeading));
    p.restore();
    for (int r = 0; r < f.rows; ++r) {
      const int y = top + r * (tileH + gapY);
      if (r < std::ssize(f.rowLabels)) {
        const QString label = QString::fromStdString(f.rowLabels[r]);
        p.drawText(QPointF(left - 8 - metrics.horizontalAdvance(label), y + tileH / 2.0 + metrics.ascent() / 2.0), label);
      }
      for (int c = 0; c < f.columns; ++c) {
        const int x = left + c * (tileW + gapX);
        if (r == 0 && c < std::ssize(f.columnLabels)) centred(p, metrics, x + tileW / 2.0, top - line - 4, f.columnLabels[c]);
        const std::size_t k = static_cast<std::size_t>(r * f.columns + c);
        p.drawImage(x, y, paletteImage(f.tiles[k], f.tileWidth, f.tileHeight, f.palette));
        p.drawRect(QRectF(x - 0.5, y - 0.5, tileW + 1.0, tileH + 1.0));
        if (k < f.marks.size() && f.marks[k] >= 0) {
          const double at = y + f.marks[k] + 0.5;
          p.drawLine(QPointF(x + tileW + 1, at), QPointF(x + tileW + 6, at));
        }
        p.setFont(small);
        if (k < f.captions.size()) centred(p, smallMetrics, x + tileW / 2.0, y + tileH + 2, f.captions[k]);
        p.setFont(font);
      }
    }
    // Generations down the top row's tiles: one row of pixels every generationsPerRow.
    p.drawLine(QPointF(rulerX + 0.5, top), QPointF(rulerX + 0.5, top + tileH));
    for (std::int64_t g = 0, step = tickStep(lastGeneration, 5) ; g <= lastGeneration; g += step) {
      const double y = top + static_cast<double>(g) / f.generationsPerRow + 0.5;
      p.drawLine(QPointF(rulerX, y), QPointF(rulerX + 5, y));
      p.drawText(QPointF(rulerX + 8, y + metrics.ascent() / 2.0 - 1), QString::number(g));
    }
    p.drawText(QPointF(rulerX, top + tileH + 4 + metrics.ascent()), "generation");
    drawLegend(p, f.legend, rulerX, legendTop, metrics);
    int noteY = notesTop;
    for (const std::string& note : f.notes) {
      p.drawText(QPointF(left, noteY + metrics.ascent()), QString::fromStdString(note));
      noteY += line;
    }
  });
}

}  // namespace ondrix::tool
