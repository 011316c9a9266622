// What the viewer's window shows, read back pixel by pixel: the page itself
// at zoom 100 and its nearest pixels at other zooms, from the view's origin.
#include <cmath>

#include "viewer_test_support.h"

namespace pagewell::testing {
namespace {

struct TPaintCase {
  double zoom;
  int horizontal, vertical;  // bar positions
};

// Every pixel of the paint area against the page pixel the nearest-pixel
// rule names; answers the number of pixels that differ.
int WrongPixels(const TRaster& shown, const TluBitmap& page, const TPaintCase& c, int width, int height) {
  const double s = c.zoom / 100.0;
  int wrong = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int sx = static_cast<int>(std::trunc((c.horizontal + x) / s));
      const int sy = static_cast<int>(std::trunc((c.vertical + y) / s));
      if (shown.PixelColor(x, y) != page.PixelColor(sx, sy)) ++wrong;
    }
  }
  return wrong;
}

TEST_F(ViewerTest, ShowsThePageAtItsZoomFromTheViewsOrigin) {
  const TluBitmap page = PatternPage(600, 500);
  const TPaintCase cases[] = {{100, 0, 0}, {100, 37, 51}, {50, 0, 0}, {50, 13, 9},
                              {200, 0, 0}, {200, 301, 77}, {150, 5, 3}, {37.5, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE("zoom " + std::to_string(c.zoom) + " at " + std::to_string(c.horizontal) + ", " +
                 std::to_string(c.vertical));
    TPWImage& v = MakeViewer(250, 200);
    LoadPage(v, page);
    v.SetZoom(c.zoom);
    v.HorzScrollBar().SetPosition(c.horizontal);
    v.VertScrollBar().SetPosition(c.vertical);
    ASSERT_EQ(v.HorzScrollBar().Position(), c.horizontal);
    ASSERT_EQ(v.VertScrollBar().Position(), c.vertical);
    RECT paint{};
    GetClientRect(v.PaintAreaHandle(), &paint);
    ASSERT_GT(paint.right, 0);
    const TRaster shown = CaptureClient(v.PaintAreaHandle());
    EXPECT_EQ(WrongPixels(shown, page, c, paint.right, paint.bottom), 0);
  }
}

TEST_F(ViewerTest, PalettePagesShowTheirColoursAtEveryZoom) {
  TluBitmap page = PatternPage(120, 90);
  page.SetColorMode(cmPalette16);
  for (double zoom : {100.0, 50.0, 300.0}) {
    SCOPED_TRACE(zoom);
    TPWImage& v = MakeViewer(300, 300);
    LoadPage(v, page);
    ASSERT_EQ(v.ColorMode(), cmPalette16);
    v.SetZoom(zoom);
    if (zoom != 100.0) {
      EXPECT_EQ(v.DisplayBitmap().PixelFormat(), TPixelFormat::pf4bit);
    }
    RECT paint{};
    GetClientRect(v.PaintAreaHandle(), &paint);
    const TRaster shown = CaptureClient(v.PaintAreaHandle());
    EXPECT_EQ(WrongPixels(shown, page, {zoom, 0, 0}, paint.right, paint.bottom), 0);
  }
}

// Outside the picture the viewer shows the bars' colour.
TEST_F(ViewerTest, FillsTheControlBesideThePictureWithTheBarColour) {
  TPWImage& v = MakeViewer(300, 200);
  LoadPage(v, PatternPage(100, 80));
  const TRaster shown = CaptureClient(v.Handle());
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const TColor expected = RGBColor(GetRValue(face), GetGValue(face), GetBValue(face));
  EXPECT_EQ(shown.PixelColor(150, 40), expected);
  EXPECT_EQ(shown.PixelColor(50, 150), expected);
  EXPECT_EQ(shown.PixelColor(50, 40), PatternColor(50, 40));
}

TluBitmap StripedBlackAndWhitePage(int width, int height) {
  TluBitmap page(width, height, TPixelFormat::pf1bit);
  page.SetPaletteKeepingIndices({clBlack, clWhite});
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) page.SetPixelIndex(x, y, x % 2);
  }
  page.DetectColorMode();
  return page;
}

// A reduced black-and-white page with ScaleToGray is drawn through a
// 256-gray view; without it, or enlarged, the view stays black and white.
TEST_F(ViewerTest, ScaleToGrayDrawsReducedBlackAndWhitePagesInGray) {
  const TluBitmap page = StripedBlackAndWhitePage(400, 300);
  struct {
    bool scaleToGray;
    double zoom;
    TPixelFormat format;
  } cases[] = {{true, 50, TPixelFormat::pf8bit}, {false, 50, TPixelFormat::pf1bit}, {true, 200, TPixelFormat::pf1bit}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.scaleToGray) + " " + std::to_string(c.zoom));
    TPWImage& v = MakeViewer(300, 300);
    v.SetScaleToGray(c.scaleToGray);
    LoadPage(v, page);
    ASSERT_EQ(v.ColorMode(), cmBlackWhite);
    v.SetZoom(c.zoom);
    const TRaster shown = CaptureClient(v.PaintAreaHandle());
    EXPECT_EQ(v.DisplayBitmap().PixelFormat(), c.format);
    if (c.format == TPixelFormat::pf8bit) {
      EXPECT_EQ(v.DisplayBitmap().ColorMode, cmGray256);
      // Columns of alternating black and white halved: each shown pixel
      // averages one black and one white column.
      int notMidGray = 0;
      for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 200; ++x) notMidGray += shown.PixelColor(x, y) != RGBColor(128, 128, 128);
      }
      EXPECT_EQ(notMidGray, 0);
    } else {
      RECT paint{};
      GetClientRect(v.PaintAreaHandle(), &paint);
      // Zooming in kept the view's centre: the view starts where the bars are.
      const TPaintCase at{c.zoom, v.HorzScrollBar().Position(), v.VertScrollBar().Position()};
      EXPECT_EQ(WrongPixels(shown, page, at, paint.right, paint.bottom), 0);
    }
  }
}

}  // namespace
}  // namespace pagewell::testing
