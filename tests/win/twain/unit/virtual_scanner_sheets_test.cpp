// The virtual scanner's sheets for blank-page removal: empty back sides on
// white, tinted and recycled paper with show-through, punch holes, dust and
// a shadow, and nearly empty fronts; each page as the source renders it,
// judged by the imaging core's blank-page detection.
#include <gtest/gtest.h>

#include "imaging/page_content.h"
#include "page_renderer.h"

namespace pagewell::testing {
namespace {

using namespace virtual_scanner;

TluBitmap AsBitmap(const TRenderedPage& rendered, int dpi) {
  TluBitmap page(rendered.Width, rendered.Height, TPixelFormat::pf24bit);
  for (int y = 0; y < rendered.Height; ++y) {
    std::uint8_t* row = page.ScanLine(y);
    for (int x = 0; x < rendered.Width; ++x, row += 3) {
      const std::uint32_t c = rendered.Colors[static_cast<std::size_t>(y) * rendered.Width + x];
      row[0] = static_cast<std::uint8_t>(c >> 16), row[1] = static_cast<std::uint8_t>(c >> 8), row[2] = static_cast<std::uint8_t>(c);
    }
  }
  page.SetXDpi(dpi), page.SetYDpi(dpi);
  page.DetectColorMode();
  return page;
}

TEST(VirtualScannerSheets, PageWordsNameTheSheetAndItsPaper) {
  TPageContent content;
  ASSERT_TRUE(ParsePageContent("blank paper=recycled show-through holes shadow specks=5", content));
  EXPECT_TRUE(content.Blank);
  EXPECT_GT(content.Paper.Flecks, 0);
  EXPECT_GT(content.Paper.ShowThrough, 0);
  EXPECT_EQ(content.Paper.PunchHoles, 2);
  EXPECT_EQ(content.Paper.Shadow, TShadowEdge::Left);
  ASSERT_TRUE(ParsePageContent("signature page-number one-line stamp paper=tinted", content));
  EXPECT_TRUE(content.Marks.Signature && content.Marks.PageNumber && content.Marks.OneLine && content.Marks.Stamp);
  EXPECT_FALSE(content.Text);
  ASSERT_TRUE(ParsePageContent("duplex-mix", content));
  EXPECT_TRUE(content.DuplexMix);
  for (const char* wrong : {"paper=pink", "holes=3", "stamp=red"}) EXPECT_FALSE(ParsePageContent(wrong, content)) << wrong;
}

TEST(VirtualScannerSheets, ADuplexMixHasEmptyBacksAndNearlyEmptyFronts) {
  TScanSettings settings;
  settings.XDpi = settings.YDpi = 100;
  TPageContent mix;
  ASSERT_TRUE(ParsePageContent("duplex-mix", mix));
  for (int page = 1; page <= 12; ++page) {
    settings.PageNumber = page;
    const TPageContent sheet = DuplexMixPage(page);
    const bool blankBack = sheet.Blank;
    EXPECT_EQ(blankBack, page % 2 == 0 && page != 10) << "page " << page;
    const TluBitmap scanned = AsBitmap(RenderPage(mix, settings), 100);
    EXPECT_EQ(IsBlankPage(scanned), blankBack) << "page " << page;
  }
}

TEST(VirtualScannerSheets, NearlyEmptyPagesKeepTheirMarkInEveryPixelType) {
  TScanSettings settings;
  settings.XDpi = settings.YDpi = 150;
  for (const char* words : {"signature paper=recycled show-through", "page-number paper=tinted holes",
                            "one-line shadow", "stamp paper=recycled"}) {
    TPageContent content;
    ASSERT_TRUE(ParsePageContent(words, content)) << words;
    for (int pixelType : {0, 1, 2}) {
      settings.PixelType = pixelType;
      EXPECT_FALSE(IsBlankPage(AsBitmap(RenderPage(content, settings), 150))) << words << ", pixel type " << pixelType;
    }
  }
}

}  // namespace
}  // namespace pagewell::testing
