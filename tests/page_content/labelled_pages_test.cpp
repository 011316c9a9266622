// Blank-page detection and automatic colour measured on the labelled set:
// no page with content may be discarded, at least 97 % of the blank pages
// must be caught, automatic colour (level 2) must agree with the labels on
// at least 98 % of the pages and never drop the colour of a stamp, a
// coloured signature, a logo or a photograph. The confusion tables are
// printed for the record.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "drawn_elsewhere_pages.h"
#include "imaging/auto_color.h"
#include "imaging/page_content.h"
#include "labelled_pages.h"

namespace pagewell::testing {
namespace {

// The mode automatic colour level 2 should keep a page in, from its labels.
TColorMode ExpectedAutoColour(const TLabelledPage& page) {
  const TPixelFormat format = page.Page.PixelFormat();
  if (format == TPixelFormat::pf1bit || page.Label.Colour) return cmUnknown;
  if (!page.Label.Photograph && !page.Label.Shaded) return cmBlackWhite;
  const bool gray = IsPaletteFormat(format) && page.Page.IsGrayPalette();
  return gray ? cmUnknown : cmGray256;
}

const char* ModeName(TColorMode mode) {
  switch (mode) {
    case cmUnknown: return "as scanned";
    case cmGray256: return "gray";
    case cmBlackWhite: return "black and white";
    default: return "other";
  }
}

struct TVerdict {
  std::string Name;
  TContentLabel Label;
  bool Blank;
  bool HasColour;
  TColorMode Expected, Decided;
};

std::vector<TLabelledPage> LabelledSet(const TTempDir& dir) {
  const std::vector<TPageRecipe> recipes = GeneratedRecipes();
  std::vector<TLabelledPage> pages;
  for (const TPageRecipe& recipe : recipes) pages.push_back(MakeLabelledPage(recipe));
  for (TLabelledPage& page : ImageMagickPages(dir)) pages.push_back(std::move(page));
  std::vector<TPageRecipe> everySeventh;
  for (std::size_t i = 0; i < recipes.size(); i += 7) everySeventh.push_back(recipes[i]);
  for (TLabelledPage& page : JpegRoundTripPages(dir, everySeventh)) pages.push_back(std::move(page));
  return pages;
}

const std::vector<TVerdict>& Verdicts() {
  static const std::vector<TVerdict> verdicts = [] {
    TTempDir dir;
    std::vector<TVerdict> all;
    for (const TLabelledPage& page : LabelledSet(dir)) {
      const TContentAnalysis content = AnalysePageContent(page.Page);
      all.push_back({page.Name, page.Label, content.Blank, content.HasColour, ExpectedAutoColour(page),
                     AutoColorModeFor(page.Page, content, acBlackWhiteWhenTextOnly)});
    }
    return all;
  }();
  return verdicts;
}

TEST(LabelledPages, TheSetIsLargeAndMixed) {
  int blank = 0, content = 0, drawnElsewhere = 0;
  for (const TVerdict& v : Verdicts()) {
    (v.Label.Content ? content : blank) += 1;
    drawnElsewhere += v.Name.rfind("ImageMagick", 0) == 0 || v.Name.rfind("djpeg", 0) == 0;
  }
  std::printf("labelled pages: %d blank, %d with content, %d of them drawn or decoded by other tools\n", blank,
              content, drawnElsewhere);
  EXPECT_GE(blank + content, 200);
}

TEST(LabelledPages, NoContentPageIsDiscardedAndBlanksAreCaught) {
  int keptContent = 0, lostContent = 0, caughtBlank = 0, keptBlank = 0;
  for (const TVerdict& v : Verdicts()) {
    if (v.Label.Content) {
      v.Blank ? ++lostContent : ++keptContent;
      EXPECT_FALSE(v.Blank) << "content page discarded: " << v.Name;
    } else {
      v.Blank ? ++caughtBlank : ++keptBlank;
      if (!v.Blank) std::printf("  blank page kept: %s\n", v.Name.c_str());
    }
  }
  std::printf("\n                 kept  discarded\n");
  std::printf("content pages   %5d  %9d\n", keptContent, lostContent);
  std::printf("blank pages     %5d  %9d\n\n", keptBlank, caughtBlank);
  EXPECT_EQ(lostContent, 0);
  EXPECT_GE(caughtBlank * 100, 97 * (caughtBlank + keptBlank));
}

TEST(LabelledPages, AutomaticColourAgreesWithTheLabels) {
  const std::vector<TColorMode> modes = {cmUnknown, cmGray256, cmBlackWhite};
  std::map<std::pair<TColorMode, TColorMode>, int> table;
  int agreed = 0, total = 0;
  for (const TVerdict& v : Verdicts()) {
    ++table[{v.Expected, v.Decided}], ++total;
    if (v.Expected == v.Decided) {
      ++agreed;
    } else {
      std::printf("  automatic colour: %s: expected %s, decided %s\n", v.Name.c_str(), ModeName(v.Expected),
                  ModeName(v.Decided));
    }
    if (v.Label.Colour) {
      EXPECT_TRUE(v.HasColour) << "colour dropped: " << v.Name;
    }
    if (v.Label.Photograph) {
      EXPECT_NE(v.Decided, cmBlackWhite) << "photograph made black and white: " << v.Name;
    }
  }
  std::printf("\nautomatic colour 2   decided: as scanned      gray  black and white\n");
  for (TColorMode expected : modes) {
    std::printf("expected %-16s %14d %9d %16d\n", ModeName(expected), table[{expected, cmUnknown}],
                table[{expected, cmGray256}], table[{expected, cmBlackWhite}]);
  }
  std::printf("agreement: %d of %d\n\n", agreed, total);
  EXPECT_GE(agreed * 100, 98 * total);
}

}  // namespace
}  // namespace pagewell::testing
