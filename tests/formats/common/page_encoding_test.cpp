// Several pages into one TIFF or PDF file: what each page becomes, checked
// with our reader and with libtiff and poppler; the progress calls; and a
// stop before a page leaving the stream untouched.
#include "formats/page_encoding.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "formats/tiff/tiff_pages.h"
#include "imaging/page_fixtures.h"
#include "support/external_tools.h"

namespace pagewell {
namespace {

using test::MakePage;
using test::RandomPage;
using test::Value;

TluBitmap GrayPage(int width, int height, unsigned seed) {
  TluBitmap page = RandomPage(TPixelFormat::pf8bit, width, height, seed);
  std::vector<TColor> ramp;
  for (int i = 0; i < 256; ++i) ramp.push_back(RGBColor(i, i, i));
  page.SetPaletteKeepingIndices(ramp);
  page.DetectColorMode();
  return page;
}

// A black-and-white page, a gray page and a colour page at distinct
// resolutions.
std::vector<TluBitmap> MixedPages() {
  std::vector<TluBitmap> pages;
  pages.push_back(RandomPage(TPixelFormat::pf1bit, 97, 61, 1));
  pages.push_back(GrayPage(40, 30, 2));
  pages.push_back(RandomPage(TPixelFormat::pf24bit, 33, 21, 3));
  const int dpi[] = {300, 200, 150};
  for (std::size_t i = 0; i < pages.size(); ++i) {
    pages[i].SetXDpi(dpi[i]);
    pages[i].SetYDpi(dpi[i]);
  }
  return pages;
}

class RecordingProgress : public TPageEncodingProgress {
 public:
  explicit RecordingProgress(int stopBefore = 0) : stopBefore_(stopBefore) {}
  bool BeforePage(int page, int count) override {
    calls.push_back(std::to_string(page) + "/" + std::to_string(count));
    return page != stopBefore_;
  }
  void PagesDone() override { calls.push_back("done"); }
  std::vector<std::string> calls;

 private:
  int stopBefore_;
};

TPageEncoding Encode(const std::vector<TluBitmap>& pages, int code, TMemoryStream& stream,
                     TPageEncodingProgress* progress = nullptr) {
  return EncodeSeveralPages(static_cast<int>(pages.size()), [&](int i) -> const TluBitmap& { return pages[i]; }, code,
                            90, stream, progress);
}

TEST(SeveralPagesTest, TiffPagesKeepTheirPixelsWithGroup4ForBlackAndWhiteOnly) {
  const std::vector<TluBitmap> pages = MixedPages();
  TMemoryStream stream;
  ASSERT_EQ(Encode(pages, fcTIFF, stream), TPageEncoding::Written);

  for (std::size_t i = 0; i < pages.size(); ++i) {
    SCOPED_TRACE("page " + std::to_string(i + 1));
    const TluBitmap read = ReadTiffPage(stream.Bytes(), static_cast<int>(i) + 1);
    ASSERT_EQ(read.Width(), pages[i].Width());
    ASSERT_EQ(read.Height(), pages[i].Height());
    EXPECT_EQ(read.XDpi(), pages[i].XDpi());
    for (int y = 0; y < read.Height(); ++y)
      for (int x = 0; x < read.Width(); ++x) ASSERT_EQ(read.PixelColor(x, y), pages[i].PixelColor(x, y)) << x << "," << y;
  }

  if (!testing::HaveTool("tiffinfo")) GTEST_SKIP() << "libtiff's tools exist only in the native build";
  testing::TTempDir dir;
  const std::string file = dir.File("pages.tif");
  testing::WriteFileBytes(file, stream.Bytes());
  const auto info = testing::RunCommand("tiffinfo " + file);
  ASSERT_EQ(info.exitCode, 0) << info.output;
  const std::string expected[][2] = {{"Image Width: 97 Image Length: 61", "CCITT Group 4"},
                                     {"Image Width: 40 Image Length: 30", "Compression Scheme: None"},
                                     {"Image Width: 33 Image Length: 21", "Compression Scheme: None"}};
  std::size_t at = 0;
  for (const auto& [size, compression] : expected) {
    at = info.output.find(size, at);
    ASSERT_NE(at, std::string::npos) << size << "\n" << info.output;
    const std::size_t next = info.output.find("TIFF Directory", at);
    EXPECT_NE(info.output.substr(at, next - at).find(compression), std::string::npos) << info.output;
  }
  EXPECT_EQ(testing::RunCommand("tiffcp " + file + " " + dir.File("copy.tif")).exitCode, 0);
}

TEST(SeveralPagesTest, PdfHasOnePagePerBitmapGroup4ForBlackAndWhiteJpegOtherwise) {
  const std::vector<TluBitmap> pages = MixedPages();
  TMemoryStream stream;
  ASSERT_EQ(Encode(pages, fcPDF, stream), TPageEncoding::Written);
  if (!testing::HaveTool("pdfinfo") || !testing::HaveTool("qpdf") || !testing::HaveTool("pdfimages"))
    GTEST_SKIP() << "poppler and qpdf exist only in the native build";
  testing::TTempDir dir;
  const std::string file = dir.File("pages.pdf");
  testing::WriteFileBytes(file, stream.Bytes());
  EXPECT_EQ(testing::RunCommand("qpdf --check " + file).exitCode, 0);
  const auto info = testing::RunCommand("pdfinfo " + file);
  EXPECT_TRUE(std::regex_search(info.output, std::regex("Pages: +3\n"))) << info.output;
  const auto images = testing::RunCommand("pdfimages -list " + file);
  ASSERT_EQ(images.exitCode, 0) << images.output;
  // page, width, height, colour space and encoding of every image in order.
  const std::string expected[] = {"97    61  gray    1   1  ccitt", "40    30  gray    1   8  jpeg",
                                  "33    21  rgb     3   8  jpeg"};
  std::size_t at = 0;
  for (const std::string& image : expected) {
    at = images.output.find(image, at);
    EXPECT_NE(at, std::string::npos) << image << "\n" << images.output;
  }
}

// The caller's answer before each page decides; a stop leaves whatever the
// stream held untouched and does not report the pages as done.
TEST(SeveralPagesTest, ProgressIsAskedBeforeEachPageAndAStopWritesNothing) {
  const std::vector<TluBitmap> pages = MixedPages();
  const struct {
    int code;
    int stopBefore;
    TPageEncoding result;
    std::vector<std::string> calls;
  } cases[] = {
      {fcTIFF, 0, TPageEncoding::Written, {"1/3", "2/3", "3/3", "done"}},
      {fcPDF, 0, TPageEncoding::Written, {"1/3", "2/3", "3/3", "done"}},
      {fcTIFF, 1, TPageEncoding::Aborted, {"1/3"}},
      {fcPDF, 3, TPageEncoding::Aborted, {"1/3", "2/3", "3/3"}},
      {fcJPEG, 0, TPageEncoding::Unsupported, {}},
      {fcPNG, 0, TPageEncoding::Unsupported, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("format " + std::to_string(c.code) + ", stop before " + std::to_string(c.stopBefore));
    TMemoryStream stream;
    stream.WriteString("kept");
    RecordingProgress progress(c.stopBefore);
    EXPECT_EQ(Encode(pages, c.code, stream, &progress), c.result);
    EXPECT_EQ(progress.calls, c.calls);
    if (c.result == TPageEncoding::Written) {
      EXPECT_GT(stream.Size(), 4u);
    } else {
      EXPECT_EQ(stream.Bytes(), std::vector<std::uint8_t>({'k', 'e', 'p', 't'}));
    }
  }
}

// Output copies carry the picture and the resolution and nothing of the
// page's own settings, and find the colour mode afresh.
TEST(OutputCopyTest, PictureAndResolutionOnlyWithTheColourModeFound) {
  TluBitmap whiteFirst = RandomPage(TPixelFormat::pf1bit, 19, 7, 5);
  whiteFirst.SetPaletteKeepingIndices({clWhite, clBlack});
  whiteFirst.ColorMode = cmTwoColor;  // stale, as a page's recorded mode may be
  whiteFirst.TiffCompression = 2;
  whiteFirst.Transparent = true;
  whiteFirst.SetXDpi(300);
  whiteFirst.SetYDpi(150);
  TluBitmap wide = RandomPage(TPixelFormat::pf24bit, 5, 4, 6);
  wide.SetPixelFormat(TPixelFormat::pf32bit);

  const struct {
    const char* name;
    const TluBitmap& page;
    TPixelFormat format;
    TColorMode mode;
  } cases[] = {
      {"1 bit, white first", whiteFirst, TPixelFormat::pf1bit, cmBlackWhite},
      {"32 bits", wide, TPixelFormat::pf24bit, cmTrueColor},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TluBitmap before = c.page;
    const TluBitmap copy = OutputCopyOf(c.page);
    EXPECT_EQ(copy.PixelFormat(), c.format);
    EXPECT_EQ(copy.ColorMode, c.mode);
    EXPECT_EQ(copy.TiffCompression, 0);
    EXPECT_FALSE(copy.Transparent);
    EXPECT_EQ(copy.XPelsPerMeter, c.page.XPelsPerMeter);
    EXPECT_EQ(copy.YPelsPerMeter, c.page.YPelsPerMeter);
    for (int y = 0; y < copy.Height(); ++y)
      for (int x = 0; x < copy.Width(); ++x) ASSERT_EQ(copy.PixelColor(x, y), c.page.PixelColor(x, y));
    EXPECT_EQ(c.page.PixelFormat(), before.PixelFormat());
    EXPECT_EQ(c.page.Palette(), before.Palette());
  }
  EXPECT_EQ(OutputCopyOf(whiteFirst).Palette()[0], clBlack);
}

}  // namespace
}  // namespace pagewell
