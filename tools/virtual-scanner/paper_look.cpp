#include "paper_look.h"

#include <algorithm>
#include <cmath>

#include "page_hash.h"

namespace virtual_scanner {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct TPage {
  std::vector<std::uint32_t>& Colors;
  int Width, Height;
  double XDpi, YDpi;

  std::uint32_t& At(int x, int y) { return Colors[static_cast<std::size_t>(y) * Width + x]; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }
};

int Channel(std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

std::uint32_t Pack(int r, int g, int b) {
  const auto clamp = [](int v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); };
  return clamp(r) | (clamp(g) << 8) | (clamp(b) << 16);
}

// Paper and ink take the tint as light passes through the sheet: each
// channel is scaled by the tint's.
std::uint32_t Multiply(std::uint32_t c, std::uint32_t tint) {
  return Pack(Channel(c, 0) * Channel(tint, 0) / 255, Channel(c, 8) * Channel(tint, 8) / 255,
              Channel(c, 16) * Channel(tint, 16) / 255);
}

std::uint32_t Darken(std::uint32_t c, int amount) {
  return Pack(Channel(c, 0) - amount, Channel(c, 8) - amount, Channel(c, 16) - amount);
}

void Tint(TPage& page, std::uint32_t tint) {
  if (tint == 0xFFFFFF) return;
  for (std::uint32_t& c : page.Colors) c = Multiply(c, tint);
}

// The other side's lines of text, mirrored and blurred by the paper: word
// shapes of soft vertical strokes, one line every quarter inch.
void ShowThrough(TPage& page, int strength, int seed) {
  if (strength <= 0) return;
  const double lineSpacing = 0.25, lineHeight = 0.1, wordPitch = 0.7, wordLength = 0.55;
  // How dark each column's stroke pattern is, and which word it belongs to.
  std::vector<double> stroke(static_cast<std::size_t>(page.Width), 0.0);
  std::vector<int> word(static_cast<std::size_t>(page.Width), -1);
  for (int x = 0; x < page.Width; ++x) {
    const double inchX = (page.Width - 1 - x) / page.XDpi;  // mirrored
    const int w = static_cast<int>(inchX / wordPitch);
    if (inchX < 1.0 || inchX > page.Width / page.XDpi - 1.0 || inchX - w * wordPitch > wordLength) continue;
    word[static_cast<std::size_t>(x)] = w;
    stroke[static_cast<std::size_t>(x)] = 0.5 + 0.5 * std::cos(2 * kPi * inchX * 16);
  }
  for (int y = 0; y < page.Height; ++y) {
    const double inchY = y / page.YDpi;
    const int line = static_cast<int>(inchY / lineSpacing);
    const double inLine = inchY - line * lineSpacing;
    if (inchY < 1.0 || inchY > page.Height / page.YDpi - 1.0 || inLine > lineHeight) continue;
    const double rowStrength = strength * std::sin(kPi * inLine / lineHeight);
    for (int x = 0; x < page.Width; ++x) {
      const int w = word[static_cast<std::size_t>(x)];
      if (w < 0 || PageHash(static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(line * 131 + w)) % 5 == 0) continue;
      page.At(x, y) = Darken(page.At(x, y), static_cast<int>(rowStrength * stroke[static_cast<std::size_t>(x)] + 0.5));
    }
  }
}

void Flecks(TPage& page, int count, int seed) {
  for (int i = 0; i < count; ++i) {
    const std::uint32_t h = PageHash(static_cast<std::uint32_t>(seed) + 7u, static_cast<std::uint32_t>(i));
    const int x = static_cast<int>(h % static_cast<std::uint32_t>(page.Width));
    const int y = static_cast<int>((h >> 8) % static_cast<std::uint32_t>(page.Height));
    const double inches = 0.008 + ((h >> 20) % 16) / 1000.0;  // 0.2 to 0.6 mm
    const int w = std::max(1, static_cast<int>(inches * page.XDpi)), hgt = std::max(1, static_cast<int>(inches * page.YDpi / 2));
    const int darkness = 60 + static_cast<int>((h >> 4) % 90);
    for (int dy = 0; dy < hgt; ++dy)
      for (int dx = 0; dx < w; ++dx)
        if (page.Inside(x + dx, y + dy)) page.At(x + dx, y + dy) = Darken(page.At(x + dx, y + dy), darkness);
  }
}

// Holes of 6 mm, centred 12 mm from the left edge, 80 mm apart (two) or
// 108 mm apart (three), around the middle of the sheet's height.
void PunchHoles(TPage& page, int holes) {
  if (holes != 2 && holes != 3) return;
  const double radius = 0.118, centreX = 0.47, middle = page.Height / page.YDpi / 2;
  const double spacing = holes == 2 ? 3.15 : 4.25;
  for (int i = 0; i < holes; ++i) {
    const double centreY = middle + (i - (holes - 1) / 2.0) * spacing;
    const std::uint32_t lid = 0x282828;
    for (int y = static_cast<int>((centreY - radius) * page.YDpi); y <= (centreY + radius) * page.YDpi; ++y) {
      for (int x = static_cast<int>((centreX - radius) * page.XDpi); x <= (centreX + radius) * page.XDpi; ++x) {
        const double dx = (x + 0.5) / page.XDpi - centreX, dy = (y + 0.5) / page.YDpi - centreY;
        if (dx * dx + dy * dy <= radius * radius && page.Inside(x, y)) page.At(x, y) = lid;
      }
    }
  }
}

// A shadow that is dark at the edge and fades out within a quarter inch.
void Shadow(TPage& page, TShadowEdge edge) {
  if (edge == TShadowEdge::None) return;
  const double reach = 0.25;
  const bool across = edge == TShadowEdge::Left || edge == TShadowEdge::Right;
  const double dpi = across ? page.XDpi : page.YDpi;
  const int depthPixels = std::min(static_cast<int>(reach * dpi), across ? page.Width : page.Height);
  for (int d = 0; d < depthPixels; ++d) {
    const double fade = 1 - (d + 0.5) / dpi / reach;
    const int amount = static_cast<int>(170 * fade * fade);
    const int at = (edge == TShadowEdge::Left || edge == TShadowEdge::Top) ? d : (across ? page.Width : page.Height) - 1 - d;
    if (across) {
      for (int y = 0; y < page.Height; ++y) page.At(at, y) = Darken(page.At(at, y), amount);
    } else {
      for (int x = 0; x < page.Width; ++x) page.At(x, at) = Darken(page.At(x, at), amount);
    }
  }
}

}  // namespace

void ApplyPaperLook(std::vector<std::uint32_t>& colors, int width, int height, double xDpi, double yDpi,
                    const TPaperLook& look, int page) {
  if (width <= 0 || height <= 0 || colors.size() < static_cast<std::size_t>(width) * height || xDpi <= 0 || yDpi <= 0)
    return;
  TPage sheet{colors, width, height, xDpi, yDpi};
  ShowThrough(sheet, std::clamp(look.ShowThrough, 0, 60), page);
  Flecks(sheet, std::clamp(look.Flecks, 0, 100000), page);
  Tint(sheet, look.Tint);
  PunchHoles(sheet, look.PunchHoles);
  Shadow(sheet, look.Shadow);
}

}  // namespace virtual_scanner
