// The virtual scanner's configuration file and page sizes: what a test
// author writes is taken exactly, and anything malformed is refused whole.
#include <gtest/gtest.h>

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
