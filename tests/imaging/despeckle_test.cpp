#include <gtest/gtest.h>

#include <algorithm>

#include "imaging/lu_bitmap.h"
#include "page_fixtures.h"

namespace pagewell::test {
namespace {

// The window procedure written out plainly, pixel by pixel, as the
// reference that the implementation (which skips plain background) must
// match exactly.
void ReferenceDespeckle(TRaster& page, int n) {
  n = std::clamp(n, 1, 9);
  for (int y = 0; y + 4 < page.Height(); ++y) {
    int k = 0;
    std::uint32_t previous = 0;
    for (int x = 0; x <= page.Width() - 2; ++x) {
      const std::uint32_t top = Value(page, x, y), bottom = Value(page, x, y + 4);
      if (top == bottom) {
        k = (k > 0 && top == previous) ? std::min(k + 1, 5) : 1;
      } else {
        k = 0;
      }
      previous = top;
      if (k != 5) continue;
      bool border = true;
      for (int r = y + 1; r <= y + 3; ++r) border = border && Value(page, x, r) == top && Value(page, x - 4, r) == top;
      if (!border) continue;
      int differing = 0;
      for (int r = y + 1; r <= y + 3; ++r) {
        for (int c = x - 3; c <= x - 1; ++c) differing += Value(page, c, r) != top;
      }
      if (differing > n) continue;
      for (int r = y + 1; r <= y + 3; ++r) {
        for (int c = x - 3; c <= x - 1; ++c) SetValue(page, c, r, top);
      }
    }
  }
}

// White pages with specks: `specks` lists the top-left corner and size.
struct TSpeck {
  int x, y, width, height;
};

// Black (value 0) specks on a white page (value 1, or white for 24 bits).
TluBitmap PageWithSpecks(TPixelFormat format, std::initializer_list<TSpeck> specks) {
  const bool palette = IsPaletteFormat(format);
  TluBitmap page = UniformPage(format, 16, 12, palette ? 1 : 0xFFFFFF);
  if (palette) {
    std::vector<TColor> blackWhite(static_cast<std::size_t>(PaletteEntryCount(format)), clBlack);
    blackWhite[1] = clWhite;
    page.SetPaletteKeepingIndices(blackWhite);
  }
  for (const auto& s : specks) {
    for (int y = s.y; y < s.y + s.height; ++y) {
      for (int x = s.x; x < s.x + s.width; ++x) SetValue(page, x, y, 0);
    }
  }
  return page;
}

int BlackPixels(const TRaster& page) {
  int count = 0;
  for (int y = 0; y < page.Height(); ++y) {
    for (int x = 0; x < page.Width(); ++x) count += page.PixelColor(x, y) == clBlack;
  }
  return count;
}

struct TSpeckCase {
  const char* name;
  TSpeck speck;
  int strength;
  bool removed;
};

TEST(Despeckle, RemovesEnclosedSpecksUpToTheStrength) {
  const TSpeckCase cases[] = {
      {"single pixel, strength 1", {5, 5, 1, 1}, 1, true},
      {"2 x 1 speck, strength 1", {5, 5, 2, 1}, 1, false},
      {"2 x 1 speck, strength 2", {5, 5, 2, 1}, 2, true},
      {"2 x 1 speck, strength 9", {5, 5, 2, 1}, 9, true},
      {"3 x 3 speck, strength 9", {5, 5, 3, 3}, 9, true},
      {"3 x 3 speck, strength 8", {5, 5, 3, 3}, 8, false},
      {"4 x 1 speck is wider than the window", {5, 5, 4, 1}, 9, false},
      {"strength 0 counts as 1", {5, 5, 1, 1}, 0, true},
      {"strength 50 counts as 9", {5, 5, 3, 3}, 50, true},
      {"speck touching the top edge has no border", {5, 0, 1, 1}, 9, false},
  };
  for (TPixelFormat format : EditableFormats()) {
    for (const auto& c : cases) {
      SCOPED_TRACE(FormatName(format) + ", " + c.name);
      TluBitmap page = PageWithSpecks(format, {c.speck});
      const int before = BlackPixels(page);
      page.Despeckle(c.strength);
      EXPECT_EQ(BlackPixels(page), c.removed ? 0 : before);
    }
  }
}

TEST(Despeckle, PagesUnderFiveRowsAreUnchanged) {
  const TluBitmap original = RandomPage(TPixelFormat::pf8bit, 20, 4, 1);
  TluBitmap page = original;
  page.Despeckle(9);
  EXPECT_TRUE(SamePixels(page, original));
}

// Sparse noise on plain background exercises both the skipped background
// and the windows next to it; the result must be exactly the plain
// procedure's, changes of one window seen by the next included. The wider
// page has stretches of background long enough for the widest skips.
TEST(Despeckle, MatchesThePlainWindowProcedureOnNoisyPages) {
  struct TNoise {
    int width, height;
    unsigned oneIn;  // pixels per speck pixel
  };
  for (const TNoise noise : {TNoise{53, 29, 23}, TNoise{300, 40, 400}}) {
    for (TPixelFormat format : EditableFormats()) {
      for (int n : {1, 3, 9}) {
        SCOPED_TRACE(FormatName(format) + ", strength " + std::to_string(n) + ", width " + std::to_string(noise.width));
        std::mt19937 random(static_cast<unsigned>(n) * 7 + static_cast<unsigned>(format));
        const int width = noise.width, height = noise.height;
        std::vector<std::uint32_t> values(static_cast<std::size_t>(width) * height);
        for (auto& v : values) v = (random() % noise.oneIn == 0) ? random() % 3 + 1 : 0;
        const TluBitmap original =
            MakePage(format, width, height, [&](int x, int y) { return values[static_cast<std::size_t>(y) * width + x]; });
        TluBitmap page = original;
        TRaster expected = original;
        page.Despeckle(n);
        ReferenceDespeckle(expected, n);
        EXPECT_TRUE(SamePixels(page, expected));
        EXPECT_FALSE(SamePixels(page, original));
      }
    }
  }
}

TEST(Despeckle, DropsTheAlphaPlane) {
  TluBitmap page = PageWithSpecks(TPixelFormat::pf24bit, {});
  page.Alpha.Mode = TAlphaMode::amAlphaPlane;
  page.Alpha.AlphaPlane = UniformPage(TPixelFormat::pf8bit, 16, 12, 255);
  page.Despeckle(9);
  EXPECT_EQ(page.Alpha.Mode, TAlphaMode::amNone);
}

}  // namespace
}  // namespace pagewell::test
