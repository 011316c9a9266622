// The viewer's image operations: what they answer without an image, the
// exchange through bitmap handles in every colour mode, the editing
// commands, and that none of it ever creates a TWAIN session.
#include <cmath>
#include <limits>

#include "viewer_test_support.h"

namespace pagewell::testing {
namespace {

// This program never scans: nothing in it loads a TWAIN manager.
TEST_F(ViewerTest, APageViewerThatNeverScansNeverCreatesASessionNorLoadsTheManager) {
  TPWImage& v = MakeViewer(120, 120);
  v.SetAutoZoom(true);
  LoadPage(v, PatternPage(300, 200));
  v.FitToSize(100, 100);
  v.Rotate(90);
  v.Despeckle();
  v.SetColorMode(cmGray256);
  HBITMAP handle = v.ImageHandle();
  DeleteObject(handle);
  // Settings only kept, and reads of kept values.
  v.SetShowUI(false);
  v.SetMultiImage(true);
  v.SetKeepSourceEnabled(true);
  v.SetUnits(1);
  v.SetPixelType(0);
  v.SetResolution(300);
  v.SetFrame(0, 1, 0, 1);
  v.SetDuplex(true);
  v.SetAutoPageSize(true);
  v.SetMICREnabled(true);
  v.SetTwainAppName("Brindlet");
  EXPECT_FALSE(v.ShowUI());
  EXPECT_TRUE(v.MultiImage());
  EXPECT_TRUE(v.KeepSourceEnabled());
  EXPECT_EQ(v.DeviceIndex(), -1);
  EXPECT_EQ(v.TwainAppName(), "Brindlet");
  EXPECT_TRUE(v.MICRText().empty());
  EXPECT_FALSE(v.TwainCreated());
  EXPECT_EQ(GetModuleHandleA("twain_32.dll"), nullptr);
  EXPECT_EQ(GetModuleHandleA("twaindsm.dll"), nullptr);
}

TEST_F(ViewerTest, PublishedDefaults) {
  TPWImage& v = MakeViewer(100, 100);
  EXPECT_EQ(v.ImageWidth(), 0);
  EXPECT_EQ(v.ImageHeight(), 0);
  EXPECT_FALSE(v.ImageLoaded());
  EXPECT_DOUBLE_EQ(v.Zoom(), 100);
  EXPECT_FALSE(v.AutoZoom());
  EXPECT_TRUE(v.ShowScrollBars());
  EXPECT_EQ(v.TwainAppName(), "Pagewell");
  EXPECT_FALSE(v.ScaleToGray());
  EXPECT_EQ(v.ScrollSpeed(), 1);
  EXPECT_TRUE(v.ShowUI());
  EXPECT_FALSE(v.KeepSourceEnabled());
  EXPECT_FALSE(v.MultiImage());
  EXPECT_EQ(v.DeskewRange(), 15);
  EXPECT_EQ(v.PageNumber(), 0);
}

TEST_F(ViewerTest, WithoutAnImageOperationsDoNothingAndAnswerNeutralValues) {
  TPWImage& v = MakeViewer(100, 100);
  EXPECT_EQ(v.ColorMode(), cmUnknown);
  EXPECT_EQ(v.ImageHandle(), nullptr);
  EXPECT_EQ(v.XDpi(), 0);
  EXPECT_EQ(v.YDpi(), 0);
  EXPECT_EQ(v.Image(), nullptr);
  v.SetXDpi(300);
  v.SetColorMode(cmGray256);
  v.Rotate(90);
  v.Deskew();
  v.Despeckle();
  v.StampText(L"nothing");
  v.SetAutoZoom(true);
  v.FitToSize(50, 40);
  EXPECT_EQ(v.Width(), 100);
  TMemoryStream stream;
  v.SaveImage(stream, 0);
  EXPECT_EQ(stream.Size(), 0u);
  EXPECT_FALSE(v.ImageLoaded());
}

// A page in `mode` whose pixels use the mode's colours all over.
TluBitmap PageInMode(TColorMode mode) {
  TluBitmap page = PatternPage(67, 45);
  if (mode == cmTwoColor) {
    page.SetColorMode(cmBlackWhite);
    page.SetPalette({RGBColor(200, 20, 20), RGBColor(20, 20, 200)});
    page.DetectColorMode();
  } else {
    page.SetColorMode(mode);
  }
  return page;
}

TEST_F(ViewerTest, BitmapHandlesCarryThePageInItsOwnFormatAndPalette) {
  const struct {
    TColorMode mode;
    TPixelFormat format;
  } cases[] = {{cmTrueColor, TPixelFormat::pf24bit}, {cmPalette256, TPixelFormat::pf8bit},
               {cmGray256, TPixelFormat::pf8bit},    {cmPalette16, TPixelFormat::pf4bit},
               {cmGray16, TPixelFormat::pf4bit},     {cmTwoColor, TPixelFormat::pf1bit},
               {cmBlackWhite, TPixelFormat::pf1bit}};
  TPWImage& source = MakeViewer(100, 100);
  TPWImage target(host, 100, 0, 100, 100);
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    const TluBitmap page = PageInMode(c.mode);
    ASSERT_EQ(page.ColorMode, c.mode);
    LoadPage(source, page);
    EXPECT_EQ(source.ColorMode(), c.mode);
    HBITMAP handle = source.ImageHandle();
    ASSERT_NE(handle, nullptr);
    target.LoadFromHandle(handle);
    DeleteObject(handle);
    ASSERT_TRUE(target.ImageLoaded());
    EXPECT_EQ(target.ColorMode(), c.mode);
    EXPECT_EQ(target.Image()->PixelFormat(), c.format);
    ASSERT_EQ(target.ImageWidth(), page.Width());
    ASSERT_EQ(target.ImageHeight(), page.Height());
    int wrong = 0;
    for (int y = 0; y < page.Height(); ++y) {
      for (int x = 0; x < page.Width(); ++x) wrong += target.Image()->PixelColor(x, y) != page.PixelColor(x, y);
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(ViewerTest, LoadFromHandleTakesDeepBitmapsAsTrueColourAndRefusesWhatIsNoBitmap) {
  TPWImage& v = MakeViewer(100, 100);
  HDC screen = GetDC(nullptr);
  HBITMAP deep = CreateCompatibleBitmap(screen, 30, 20);
  ReleaseDC(nullptr, screen);
  v.LoadFromHandle(deep);
  DeleteObject(deep);
  ASSERT_TRUE(v.ImageLoaded());
  EXPECT_EQ(v.Image()->PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(v.ColorMode(), cmTrueColor);
  EXPECT_EQ(v.ImageWidth(), 30);
  v.LoadFromHandle(nullptr);  // no handle: the image stays
  EXPECT_EQ(v.ImageWidth(), 30);
  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  v.LoadFromHandle(reinterpret_cast<HBITMAP>(pen));
  DeleteObject(pen);
  EXPECT_FALSE(v.ImageLoaded());
  EXPECT_EQ(v.ContentWidth(), 0);
}

TEST_F(ViewerTest, EditingCommandsChangeThePageAndTheLayoutFollows) {
  TPWImage& v = MakeViewer(500, 500);
  LoadPage(v, PatternPage(300, 200));
  v.Rotate(90);
  EXPECT_EQ(v.ImageWidth(), 200);
  EXPECT_EQ(v.ContentWidth(), 200);
  EXPECT_EQ(v.ContentHeight(), 300);
  v.Rotate(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(v.ImageWidth(), 200);
  v.Rotate(-90);
  EXPECT_EQ(v.ImageWidth(), 300);
  v.Deskew();  // the size before stays
  EXPECT_EQ(v.ImageWidth(), 300);
  EXPECT_EQ(v.ImageHeight(), 200);

  v.SetColorMode(cmBlackWhite);
  EXPECT_EQ(v.ColorMode(), cmBlackWhite);
  v.SetColorMode(42);
  v.SetColorMode(-1);
  EXPECT_EQ(v.ColorMode(), cmBlackWhite);

  // A white page with one dark speck: despeckled away.
  TluBitmap white(60, 60, TPixelFormat::pf24bit);
  white.FillRect(0, 0, 60, 60, clWhite);
  white.SetPixelColor(30, 30, clBlack);
  white.DetectColorMode();
  LoadPage(v, white);
  v.Despeckle();
  EXPECT_EQ(v.Image()->PixelColor(30, 30), clWhite);

  // The stamp's white box sits a fortieth in from the left and the top.
  TluBitmap gray(400, 400, TPixelFormat::pf24bit);
  gray.FillRect(0, 0, 400, 400, RGBColor(90, 90, 90));
  gray.DetectColorMode();
  LoadPage(v, gray);
  v.StampText(L"Stamp");
  EXPECT_EQ(v.Image()->PixelColor(9, 9), RGBColor(90, 90, 90));
  EXPECT_EQ(v.Image()->PixelColor(10, 10), clWhite);
}

TEST_F(ViewerTest, ResolutionAndSavingGoToThePage) {
  TPWImage& v = MakeViewer(100, 100);
  LoadPage(v, PatternPage(20, 10));
  v.SetXDpi(300);
  v.SetYDpi(200);
  EXPECT_EQ(v.XDpi(), 300);
  EXPECT_EQ(v.YDpi(), 200);
  EXPECT_EQ(v.Image()->XPelsPerMeter, 11811);
  v.SetXDpi(-5);
  v.SetYDpi(std::numeric_limits<int>::max());
  EXPECT_EQ(v.XDpi(), 300);
  EXPECT_EQ(v.YDpi(), 200);

  TMemoryStream bmp;
  v.SaveImage(bmp, 0);
  ASSERT_GT(bmp.Size(), 2u);
  EXPECT_EQ(bmp.Bytes()[0], 'B');
  EXPECT_EQ(bmp.Bytes()[1], 'M');
  TMemoryStream none;
  v.SaveImage(none, 9);
  EXPECT_EQ(none.Size(), 0u);
}

}  // namespace
}  // namespace pagewell::testing
