#pragma once
// Drawing the content of a labelled page in inches on a sheet of colours
// (0x00BBGGRR, top row first), at any resolution: text made of glyph-like
// strokes, a pen signature, a page number, a stamp, a logo and a
// photograph. The shapes only need to look to the analysis like what they
// stand for, so they are simple strokes, not fonts.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace pagewell::testing {

constexpr std::uint32_t kInk = 0x181818;
constexpr std::uint32_t kBluePen = 0xA83018;   // r 24, g 48, b 168
constexpr std::uint32_t kStampRed = 0x2820C8;  // r 200, g 32, b 40

struct TSheet {
  int Width = 0, Height = 0;
  double Dpi = 100;
  std::vector<std::uint32_t> Colors;

  TSheet(double widthInches, double heightInches, double dpi)
      : Width(static_cast<int>(widthInches * dpi + 0.5)),
        Height(static_cast<int>(heightInches * dpi + 0.5)),
        Dpi(dpi),
        Colors(static_cast<std::size_t>(Width) * Height, 0xFFFFFF) {}

  double WidthInches() const { return Width / Dpi; }
  double HeightInches() const { return Height / Dpi; }

  // Fills [left, right) × [top, bottom) inches; at least one pixel each way.
  void Fill(double left, double top, double right, double bottom, std::uint32_t color) {
    const int x0 = std::max(0, static_cast<int>(left * Dpi)), y0 = std::max(0, static_cast<int>(top * Dpi));
    const int x1 = std::min(Width, std::max(x0 + 1, static_cast<int>(right * Dpi)));
    const int y1 = std::min(Height, std::max(y0 + 1, static_cast<int>(bottom * Dpi)));
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) Colors[static_cast<std::size_t>(y) * Width + x] = color;
  }

  // A round pen of the given width moved along a polyline.
  void Pen(const std::vector<std::pair<double, double>>& points, double width, std::uint32_t color) {
    const double step = 0.5 / Dpi;
    for (std::size_t i = 1; i < points.size(); ++i) {
      const double dx = points[i].first - points[i - 1].first, dy = points[i].second - points[i - 1].second;
      const int steps = std::max(1, static_cast<int>(std::hypot(dx, dy) / step));
      for (int s = 0; s <= steps; ++s) {
        const double x = points[i - 1].first + dx * s / steps, y = points[i - 1].second + dy * s / steps;
        Fill(x - width / 2, y - width / 2, x + width / 2, y + width / 2, color);
      }
    }
  }
};

// One glyph of height `size` at (x, baseline): a stem and some of a foot,
// bar, right stem and middle, chosen by `code`.
inline void Glyph(TSheet& sheet, double x, double baseline, double size, std::uint32_t code, std::uint32_t color) {
  const double w = size * 0.6, t = std::max(size * 0.1, 1.0 / sheet.Dpi), top = baseline - size;
  sheet.Fill(x, top + ((code & 1) ? 0 : size * 0.35), x + t, baseline, color);
  if (code & 2) sheet.Fill(x, baseline - t, x + w, baseline, color);
  if (code & 4) sheet.Fill(x, top + size * 0.35, x + w, top + size * 0.35 + t, color);
  if (code & 8) sheet.Fill(x + w - t, top + size * 0.35, x + w, baseline, color);
  if (code & 16) sheet.Fill(x, top + size * 0.68, x + w, top + size * 0.68 + t, color);
}

inline std::uint32_t NextCode(std::uint32_t& state) { return state = state * 1664525u + 1013904223u, state >> 9; }

// One line of words from `left` to `right` inches.
inline void TextLine(TSheet& sheet, double left, double right, double baseline, double size, std::uint32_t seed,
                     std::uint32_t color = kInk) {
  std::uint32_t state = seed;
  double x = left;
  while (x < right - size) {
    const int letters = 2 + static_cast<int>(NextCode(state) % 7);
    for (int i = 0; i < letters && x < right - size; ++i, x += size * 0.8) Glyph(sheet, x, baseline, size, NextCode(state), color);
    x += size * 0.7;
  }
}

// A page of text: 1-inch margins, lines every 1.9 × size.
inline void TextPage(TSheet& sheet, double size, std::uint32_t seed) {
  for (double y = 1.2; y < sheet.HeightInches() - 1; y += size * 1.9)
    TextLine(sheet, 1.0, sheet.WidthInches() - 1.0, y, size, seed + static_cast<std::uint32_t>(y * 100));
}

// A handwritten name: loops along a wavy baseline, 2 inches long.
inline void Signature(TSheet& sheet, double left, double baseline, std::uint32_t color, std::uint32_t seed) {
  std::vector<std::pair<double, double>> points;
  const double phase = (seed % 7) * 0.4;
  for (int i = 0; i <= 400; ++i) {
    const double t = i / 400.0;
    const double x = left + 2.0 * t + 0.06 * std::sin(t * 60 + phase);
    const double y = baseline - 0.12 * std::fabs(std::sin(t * 30 + phase)) - 0.05 * std::sin(t * 7);
    points.emplace_back(x, y);
  }
  sheet.Pen(points, 0.02, color);
}

// Two digits centred at the bottom, 0.6 inch above the edge.
inline void PageNumber(TSheet& sheet, std::uint32_t seed) {
  const double size = 0.11, x = sheet.WidthInches() / 2 - size * 0.6;
  Glyph(sheet, x, sheet.HeightInches() - 0.6, size, 1 | ((seed % 3) << 2), kInk);
  Glyph(sheet, x + size * 0.8, sheet.HeightInches() - 0.6, size, 9 | ((seed % 2) << 4), kInk);
}

// A rubber stamp: a frame of 1.4 × 0.55 inch holding two short lines.
inline void Stamp(TSheet& sheet, double left, double top, std::uint32_t color, std::uint32_t seed) {
  const double w = 1.4, h = 0.55, t = 0.025;
  sheet.Fill(left, top, left + w, top + t, color);
  sheet.Fill(left, top + h - t, left + w, top + h, color);
  sheet.Fill(left, top, left + t, top + h, color);
  sheet.Fill(left + w - t, top, left + w, top + h, color);
  TextLine(sheet, left + 0.12, left + w - 0.1, top + 0.24, 0.12, seed, color);
  TextLine(sheet, left + 0.2, left + w - 0.3, top + 0.45, 0.12, seed + 1, color);
}

// A logo: a filled disc and a square in two colours.
inline void Logo(TSheet& sheet, double left, double top, std::uint32_t first, std::uint32_t second) {
  const double r = 0.3;
  for (double y = -r; y <= r; y += 0.5 / sheet.Dpi) {
    const double half = std::sqrt(std::max(0.0, r * r - y * y));
    sheet.Fill(left + r - half, top + r + y, left + r + half, top + r + y + 1.0 / sheet.Dpi, first);
  }
  sheet.Fill(left + 0.7, top + 0.1, left + 1.2, top + 0.6, second);
}

// A photograph of smooth tones and texture; gray when `colour` is false.
inline void Photograph(TSheet& sheet, double left, double top, double right, double bottom, bool colour) {
  const int x0 = std::max(0, static_cast<int>(left * sheet.Dpi)), x1 = std::min(sheet.Width, static_cast<int>(right * sheet.Dpi));
  const int y0 = std::max(0, static_cast<int>(top * sheet.Dpi)), y1 = std::min(sheet.Height, static_cast<int>(bottom * sheet.Dpi));
  std::vector<double> across(static_cast<std::size_t>(std::max(0, x1 - x0))), waves(across.size());
  for (std::size_t i = 0; i < across.size(); ++i) {
    across[i] = static_cast<double>(i) / across.size();
    waves[i] = 18 * std::sin(across[i] * 40);
  }
  const auto c = [](double value) { return static_cast<std::uint32_t>(std::clamp(static_cast<int>(value), 0, 255)); };
  for (int y = y0; y < y1; ++y) {
    const double v = static_cast<double>(y - y0) / (y1 - y0), down = std::cos(v * 33), green = 120 + 50 * std::sin(v * 4);
    for (int x = x0; x < x1; ++x) {
      const std::size_t i = static_cast<std::size_t>(x - x0);
      const double texture = waves[i] * down;
      const double r = 90 + 80 * across[i] + texture, g = green + texture, b = 150 - 70 * v + texture;
      sheet.Colors[static_cast<std::size_t>(y) * sheet.Width + x] =
          colour ? c(r) | c(g) << 8 | c(b) << 16 : c((r + g + b) / 3) * 0x010101u;
    }
  }
}

// Scanner noise: each channel moves by up to ± amplitude, taken from a
// table of random steps so that large pages stay quick to make.
inline void AddNoise(TSheet& sheet, int amplitude, std::uint32_t seed) {
  std::vector<int> steps(4093);
  std::uint32_t state = seed | 1;
  for (int& step : steps) {
    state ^= state << 13, state ^= state >> 17, state ^= state << 5;
    step = static_cast<int>(state % static_cast<std::uint32_t>(2 * amplitude + 1)) - amplitude;
  }
  const auto moved = [](std::uint32_t c, int shift, int step) {
    return static_cast<std::uint32_t>(std::clamp(static_cast<int>((c >> shift) & 0xFF) + step, 0, 255)) << shift;
  };
  std::size_t at = 0;
  for (std::uint32_t& c : sheet.Colors) {
    c = moved(c, 0, steps[at]) | moved(c, 8, steps[(at + 1) % steps.size()]) | moved(c, 16, steps[(at + 2) % steps.size()]);
    at = (at + 3) % steps.size();
  }
}

}  // namespace pagewell::testing
