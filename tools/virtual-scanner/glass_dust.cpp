#include "glass_dust.h"

#include <cmath>

#include "page_hash.h"

namespace virtual_scanner {

namespace {

constexpr int kSpecksPerHair = 20;

// The shapes a speck takes: one to five pixels within a 3 × 3 block, given
// as rows of three bits.
constexpr std::uint8_t kSpeckShapes[][3] = {
    {0b100, 0, 0}, {0b110, 0, 0}, {0b110, 0b110, 0}, {0b010, 0b111, 0b010}, {0b100, 0b110, 0}, {0b011, 0b110, 0},
};

std::uint32_t DustGray(std::uint32_t hash) {
  const std::uint32_t v = 24 + hash % 56;
  return v | (v << 8) | (v << 16);
}

class TDustPainter {
 public:
  TDustPainter(std::vector<std::uint32_t>& colors, int width, int height)
      : colors_(colors), width_(width), height_(height) {}
  void Put(int x, int y, std::uint32_t color) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) colors_[static_cast<std::size_t>(y) * width_ + x] = color;
  }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  std::vector<std::uint32_t>& colors_;
  int width_, height_;
};

void AddSpeck(TDustPainter& dust, std::uint32_t hash, std::uint32_t where) {
  const int x = static_cast<int>(where % static_cast<std::uint32_t>(dust.Width()));
  const int y = static_cast<int>((where / static_cast<std::uint32_t>(dust.Width())) % static_cast<std::uint32_t>(dust.Height()));
  const std::uint8_t* shape = kSpeckShapes[hash % (sizeof kSpeckShapes / sizeof kSpeckShapes[0])];
  const std::uint32_t color = DustGray(hash >> 8);
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      if (shape[row] & (4 >> column)) dust.Put(x + column, y + row, color);
}

// A hair: a one-pixel line a third of an inch to an inch long that bends
// gently as it goes.
void AddHair(TDustPainter& dust, double dpi, std::uint32_t hash, std::uint32_t where) {
  double x = where % static_cast<std::uint32_t>(dust.Width());
  double y = (where / static_cast<std::uint32_t>(dust.Width())) % static_cast<std::uint32_t>(dust.Height());
  double heading = (hash % 628) / 100.0;
  const double bend = (static_cast<int>((hash >> 10) % 41) - 20) / 1000.0;
  const int steps = static_cast<int>((0.33 + ((hash >> 16) % 67) / 100.0) * dpi * 2);
  const std::uint32_t color = DustGray(hash >> 20);
  for (int i = 0; i < steps; ++i) {
    dust.Put(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)), color);
    x += 0.5 * std::cos(heading);
    y += 0.5 * std::sin(heading);
    heading += bend;
  }
}

}  // namespace

void AddGlassDust(std::vector<std::uint32_t>& colors, int width, int height, double dpi, int specks, int page) {
  if (width <= 0 || height <= 0 || colors.size() < static_cast<std::size_t>(width) * height) return;
  TDustPainter dust(colors, width, height);
  const std::uint32_t seed = static_cast<std::uint32_t>(page) * 2 + 1;
  for (int i = 0; i < specks; ++i) AddSpeck(dust, PageHash(i, seed), PageHash(i, seed + 1) ^ (PageHash(i, seed + 2) << 11));
  for (int i = 0; i < specks / kSpecksPerHair; ++i) AddHair(dust, dpi, PageHash(i, seed + 3), PageHash(i, seed + 4));
}

}  // namespace virtual_scanner
