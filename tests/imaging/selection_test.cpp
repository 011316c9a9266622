#include <gtest/gtest.h>

#include "imaging/lu_bitmap.h"
#include "page_fixtures.h"

namespace pagewell::test {
namespace {

std::vector<std::uint8_t> MaskOf(int width, int height, int left, int top, int right, int bottom) {
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(width) * height, 0);
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) mask[static_cast<std::size_t>(y) * width + x] = 1;
  }
  return mask;
}

TEST(Selection, RectangleIsClippedToThePageAndMasked) {
  TluBitmap page = RandomPage(TPixelFormat::pf8bit, 10, 6, 1);
  page.SetSelection(-3, 2, 20, 4);
  EXPECT_EQ(page.SelectionKind, 1);
  EXPECT_EQ(page.SelectionLeft, 0);
  EXPECT_EQ(page.SelectionTop, 2);
  EXPECT_EQ(page.SelectionRight, 9);
  EXPECT_EQ(page.SelectionBottom, 4);
  EXPECT_EQ(page.SelectionMask, MaskOf(10, 6, 0, 2, 9, 4));
}

TEST(Selection, InvertedRectangleIsIgnored) {
  TluBitmap page = RandomPage(TPixelFormat::pf8bit, 10, 6, 2);
  page.SetSelection(1, 1, 3, 3);
  page.SetSelection(5, 1, 4, 3);
  page.SetSelection(1, 4, 3, 3);
  EXPECT_EQ(page.SelectionRight, 3);
  EXPECT_EQ(page.SelectionMask, MaskOf(10, 6, 1, 1, 3, 3));
}

TEST(Selection, ClearKeepsTheRectangleForCropToSelection) {
  const TluBitmap original = RandomPage(TPixelFormat::pf24bit, 10, 6, 3);
  TluBitmap page = original;
  page.SetSelection(2, 1, 6, 4);
  page.ClearSelection();
  EXPECT_EQ(page.SelectionKind, 0);
  EXPECT_TRUE(page.SelectionMask.empty());
  page.CropToSelection();
  ASSERT_EQ(page.Width(), 5);
  ASSERT_EQ(page.Height(), 4);
  EXPECT_EQ(Value(page, 0, 0), Value(original, 2, 1));
  EXPECT_EQ(Value(page, 4, 3), Value(original, 6, 4));
}

TEST(Selection, CropToSelectionOnAPageThatNeverHadOneChangesNothing) {
  const TluBitmap original = RandomPage(TPixelFormat::pf1bit, 10, 6, 4);
  TluBitmap page = original;
  page.CropToSelection();
  EXPECT_TRUE(SamePixels(page, original));
}

TEST(Selection, ShapedSelectionBlanksWhatLiesOutsideTheShape) {
  for (TPixelFormat format : EditableFormats()) {
    SCOPED_TRACE(FormatName(format));
    const TluBitmap original = UniformPage(format, 8, 8, 0);  // black
    TluBitmap page = original;
    page.BackgroundColor = clWhite;
    page.SetSelection(1, 1, 6, 6);
    // A diagonal shape inside the rectangle.
    page.SelectionKind = 2;
    page.SelectionMask.assign(64, 0);
    for (int i = 1; i <= 6; ++i) page.SelectionMask[static_cast<std::size_t>(i) * 8 + i] = 1;
    page.CropToSelection();
    ASSERT_EQ(page.Width(), 6);
    EXPECT_EQ(page.SelectionKind, 0);
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 6; ++x) {
        ASSERT_EQ(page.PixelColor(x, y), x == y ? clBlack : clWhite) << x << "," << y;
      }
    }
  }
}

TEST(Selection, ShapedSelectionWithAMaskOfAnotherSizeIsCroppedAsARectangle) {
  TluBitmap page = UniformPage(TPixelFormat::pf8bit, 8, 8, 0);
  page.SetSelection(0, 0, 3, 3);
  page.SelectionKind = 2;
  page.SelectionMask.assign(5, 0);
  page.CropToSelection();
  EXPECT_EQ(page.Width(), 4);
  EXPECT_EQ(Value(page, 1, 1), 0u);
}

}  // namespace
}  // namespace pagewell::test
