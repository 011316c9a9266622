// The virtual scanner's configuration file and page sizes: what a test
// author writes is taken exactly, and anything malformed is refused whole.
#include <gtest/gtest.h>

#include <algorithm>

#include "page_renderer.h"
#include "scanner_config.h"

namespace pagewell::testing {
namespace {

using namespace virtual_scanner;

TEST(VirtualScannerConfig, ReadsDevicesAndTheirSettings) {
  const TScannerConfig config = ParseScannerConfig(R"(
# two devices
[device]
name = First   # trailing comment
pixel_types = 0 2
pixel_type = 0
pixel_type_container = onevalue
querysupport_type = uint16
resolution_range = 50 600 50
frame = 1 2 3 4
micr_texts = a | b c |
page = blank
page2 = text skew=-2.5 specks=3 photo
enableds = cancel
[device]
name = Second
)");
  ASSERT_EQ(config.Error, "");
  ASSERT_EQ(config.Devices.size(), 2u);
  const TDeviceConfig& d = config.Devices[0];
  EXPECT_EQ(d.Name, "First");
  EXPECT_EQ(d.PixelTypes, (std::vector<int>{0, 2}));
  EXPECT_EQ(d.PixelType, 0);
  EXPECT_TRUE(d.PixelTypeAsOneValue);
  EXPECT_TRUE(d.QuerySupportUInt16);
  EXPECT_TRUE(d.ResolutionRange);
  EXPECT_EQ(d.Resolutions, (std::vector<double>{50, 600, 50}));
  EXPECT_EQ(d.Frame[3], 4.0);
  EXPECT_EQ(d.MicrTexts, (std::vector<std::string>{"a", "b c"}));
  EXPECT_TRUE(d.ContentOf(1).Blank);
  EXPECT_EQ(d.ContentOf(2).SkewDegrees, -2.5);
  EXPECT_EQ(d.ContentOf(2).Specks, 3);
  EXPECT_TRUE(d.ContentOf(2).Photo);
  EXPECT_EQ(d.Enable, "cancel");
  EXPECT_EQ(config.Devices[1].Name, "Second");
}

TEST(VirtualScannerConfig, RefusesMalformedFilesWhole) {
  const std::vector<std::string> bad = {
      "name = outside a device",
      "[device]\ncolour = red",
      "[device]\npixel_type = 17",
      "[device]\npixel_types =",
      "[device]\nname = " + std::string(33, 'n'),
      "[device]\nframe = 2 0 1 1",
      "[device]\nresolution_range = 600 50 50",
      "[device]\nresolution_range = 50 600 0",
      "[device]\npages = 10001",
      "[device]\npage = text skew=90",
      "[device]\npage = shiny",
      "[device]\npage0 = text",
      "[device]\nduplex = yes",
      "[device]\nmicr = maybe",
      "[device]\njust words",
      "",
  };
  for (const std::string& text : bad) {
    SCOPED_TRACE(text);
    const TScannerConfig config = ParseScannerConfig(text);
    EXPECT_TRUE(config.Devices.empty());
    EXPECT_NE(config.Error, "");
  }
}

TEST(VirtualScannerConfig, TheBuiltInSetListsThreeDevices) {
  const TScannerConfig config = DefaultScannerConfig();
  ASSERT_EQ(config.Devices.size(), 3u);
  EXPECT_EQ(config.Devices[2].Name, "Pagewell Virtual Cheque");
  EXPECT_TRUE(config.Devices[2].ContentOf(1).Cheque);
  EXPECT_FALSE(config.Devices[2].ContentOf(1).Text);
  EXPECT_FALSE(config.Devices[0].ContentOf(1).Cheque);
}

// What a page shows, read back from its pixels.
struct TPageSummary {
  int Ink = 0;      // luminance below 100
  int Colored = 0;  // red, green and blue apart by more than 40
  int White = 0;
};

TPageSummary Summarise(const TRenderedPage& page, int left, int top, int right, int bottom) {
  TPageSummary summary;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      const std::uint32_t c = page.Colors[static_cast<std::size_t>(y) * page.Width + x];
      const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
      summary.Ink += (r * 30 + g * 59 + b * 11) / 100 < 100;
      summary.Colored += std::max({r, g, b}) - std::min({r, g, b}) > 40;
      summary.White += c == 0xFFFFFF;
    }
  return summary;
}

TEST(VirtualScannerPages, TheSamePageIsTheSameEveryTimeAndPagesDiffer) {
  TPageContent content;
  content.SkewDegrees = 1.5;
  content.Specks = 25;
  TScanSettings settings;
  settings.XDpi = settings.YDpi = 50;
  const TRenderedPage first = RenderPage(content, settings);
  EXPECT_EQ(RenderPage(content, settings).Dib, first.Dib);
  settings.PageNumber = 2;
  EXPECT_NE(RenderPage(content, settings).Colors, first.Colors);
}

// A letter at 50 dpi (425 x 550): the letterhead's logo and the photograph
// are in colour on colour pages; black and white pages are of ink and white
// alone and leave the photograph out.
TEST(VirtualScannerPages, ALetterHasItsPartsInEachPixelType) {
  struct Case {
    int pixelType;
    bool colour, photo;
  };
  for (const Case& c : {Case{0, false, false}, Case{1, false, true}, Case{2, true, true}, Case{3, true, true}}) {
    SCOPED_TRACE(c.pixelType);
    TScanSettings settings;
    settings.PixelType = c.pixelType;
    settings.XDpi = settings.YDpi = 50;
    const TRenderedPage page = RenderPage(TPageContent{}, settings);
    ASSERT_EQ(page.Width, 425);
    const TPageSummary whole = Summarise(page, 0, 0, page.Width, page.Height);
    EXPECT_GT(whole.Ink, 2000) << "text, rules and signature";
    EXPECT_GT(whole.White, page.Width * page.Height / 2) << "white paper";
    EXPECT_EQ(whole.Colored > 500, c.colour);
    // The photograph sits left below the first paragraph; its sky is light
    // but not white.
    const TPageSummary photo = Summarise(page, 55, 200, 175, 230);
    EXPECT_EQ(photo.White < 100, c.photo) << photo.White;
  }
}

// A sheet turned on the glass leaves the glass bare at its corners: the
// lid shows there, gray, with the sheet's shadow along its edge; a straight
// sheet covers the glass, and a cheque covers only its corner of it.
TEST(VirtualScannerPages, BareGlassShowsWhereTheSheetDoesNotCoverIt) {
  TScanSettings settings;
  settings.PixelType = 1;
  settings.XDpi = settings.YDpi = 50;
  auto gray = [](const TRenderedPage& page, int x, int y) {
    return static_cast<int>(page.Colors[static_cast<std::size_t>(y) * page.Width + x] & 0xFF);
  };
  TPageContent letter;
  TRenderedPage page = RenderPage(letter, settings);
  EXPECT_EQ(gray(page, 0, 0), 255);
  EXPECT_EQ(gray(page, page.Width - 1, page.Height - 1), 255);

  letter.SkewDegrees = 3;  // clockwise: the top-left corner of the glass is bare
  page = RenderPage(letter, settings);
  EXPECT_EQ(gray(page, 0, 0), 214) << "the lid";
  EXPECT_EQ(gray(page, page.Width - 1, page.Height - 1), 214);
  EXPECT_EQ(gray(page, page.Width / 2, page.Height / 2), gray(page, page.Width / 2 + 1, page.Height / 2 + 1))
      << "paper in the middle";
  int shadow = 255;
  for (int x = 0; x < 20; ++x) shadow = std::min(shadow, gray(page, x, 1));
  EXPECT_LT(shadow, 150) << "the sheet's shadow and edge along the top";

  TPageContent cheque;
  cheque.Text = false;
  cheque.Cheque = true;
  settings.Right = 7;
  settings.Bottom = 3;
  page = RenderPage(cheque, settings);
  EXPECT_EQ(gray(page, 340, 140), 214) << "right of the 6-inch cheque";
  EXPECT_EQ(gray(page, 100, 145), 214) << "below the cheque";
  EXPECT_GT(Summarise(page, 0, 110, 300, 137).Ink, 100) << "the MICR line";
}

TEST(VirtualScannerPages, DustFallsOnTheGlassAsSpecksAndHairs) {
  TPageContent blank;
  blank.Blank = true;
  TScanSettings settings;
  settings.PixelType = 0;
  settings.XDpi = settings.YDpi = 100;
  for (int specks : {0, 10, 19, 40}) {
    SCOPED_TRACE(specks);
    blank.Specks = specks;
    const TRenderedPage page = RenderPage(blank, settings);
    const int ink = Summarise(page, 0, 0, page.Width, page.Height).Ink;
    // Specks of one to five pixels (some may overlap); each hair is at
    // least a third of an inch long.
    const int hairs = specks / 20;
    EXPECT_GE(ink, specks / 2 + hairs * 25);
    EXPECT_LE(ink, specks * 5 + hairs * 220);
  }
}

TEST(VirtualScannerPages, SizesFollowFrameAndResolutionWithinBounds) {
  TScanSettings settings;
  settings.XDpi = 200;
  settings.YDpi = 100;
  settings.Left = 1, settings.Right = 2.5, settings.Top = 0, settings.Bottom = 1;
  TRenderedPage page = RenderPage(TPageContent{}, settings);
  EXPECT_EQ(page.Width, 300);
  EXPECT_EQ(page.Height, 100);
  EXPECT_EQ(page.Colors.size(), 30000u);

  settings.PixelType = 0;
  settings.XDpi = settings.YDpi = 4800;
  settings.Right = 100, settings.Bottom = 0.001;
  page = RenderPage(TPageContent{}, settings);
  EXPECT_EQ(page.Width, kMaxSide);
  EXPECT_EQ(page.Height, 5);
}

}  // namespace
}  // namespace pagewell::testing
