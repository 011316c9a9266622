// Our PDF documents as real readers see them: qpdf, pdfinfo, pdfimages and
// pdftoppm (poppler).
#include <gtest/gtest.h>

#include <regex>

#include "support/external_tools.h"
#include "formats/pdf/lu_pdf.h"
#include "formats/pdf/pdf_pages.h"
#include "formats/tiff/ccitt_group4_encoder.h"

namespace pagewell {
namespace {

using namespace pagewell::testing;

class PdfTools : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "the peer tools exist only in the native build";
#endif
  }

  std::string Save(const TluPDF& pdf, const std::string& name) {
    TMemoryStream stream;
    pdf.SaveToStream(stream);
    const std::string path = dir_.File(name);
    WriteFileBytes(path, stream.Bytes());
    return path;
  }

  TTempDir dir_;
};

#ifndef _WIN32

// Three kinds of page with awkward document texts.
TluPDF MixedDocument() {
  TluPDF pdf;
  pdf.Title = "Report (draft) \\ v2";
  pdf.Subject = "Scans";
  pdf.Author = "Ann";
  pdf.Keywords = "a) b(";
  pdf.AddJpegPage(ColourPage(2550, 3300, 300), 0, 90);
  pdf.AddBilevelPage(PatternPage(1700, 2200, 200), 0);
  pdf.AddJpegPage(GrayPage(300, 200, 0), 0, 90);
  return pdf;
}

TEST_F(PdfTools, QpdfFindsNoErrors) {
  const auto check = RunCommand("qpdf --check " + Save(MixedDocument(), "mixed.pdf"));
  EXPECT_EQ(check.exitCode, 0) << check.output;
  EXPECT_NE(check.output.find("No syntax or stream encoding errors found"), std::string::npos) << check.output;
  EXPECT_EQ(check.output.find("WARNING"), std::string::npos) << check.output;
}

TEST_F(PdfTools, PdfinfoShowsPageSizesAndTexts) {
  const auto info = RunCommand("pdfinfo -f 1 -l 3 " + Save(MixedDocument(), "mixed.pdf"));
  ASSERT_EQ(info.exitCode, 0) << info.output;
  for (const char* line : {"Title:           Report (draft) \\ v2", "Subject:         Scans", "Author:          Ann",
                           "Keywords:        a) b(", "Pages:           3", "Page    1 size:  612 x 792 pts (letter)",
                           "Page    2 size:  612 x 792 pts (letter)", "Page    3 size:  300 x 200 pts",
                           "PDF version:     1.2"}) {
    EXPECT_NE(info.output.find(line), std::string::npos) << line << "\n" << info.output;
  }
}

TEST_F(PdfTools, PdfimagesListsFiltersColourSpacesAndSizes) {
  const auto list = RunCommand("pdfimages -list " + Save(MixedDocument(), "mixed.pdf"));
  ASSERT_EQ(list.exitCode, 0) << list.output;
  // page num type width height color comp bpc enc interp object ID ...
  const std::regex rows[] = {
      std::regex("\n +1 +0 image +2550 +3300 +rgb +3 +8 +jpeg +no +4 +0 +300 +300 "),
      std::regex("\n +2 +1 image +1700 +2200 +gray +1 +1 +ccitt +no +8 +0 +200 +200 "),
      std::regex("\n +3 +2 image +300 +200 +gray +1 +8 +jpeg +no +12 +0 +72 +72 "),
  };
  for (const auto& row : rows) EXPECT_TRUE(std::regex_search(list.output, row)) << list.output;
}

// The rendered page as rows of 0 (black) and 255 (white) from a binary PGM.
std::vector<std::uint8_t> PgmPixels(const std::vector<std::uint8_t>& pgm, int& width, int& height) {
  std::string header(pgm.begin(), pgm.begin() + std::min<std::size_t>(pgm.size(), 64));
  int maxValue = 0, consumed = 0;
  std::sscanf(header.c_str(), "P5 %d %d %d%n", &width, &height, &maxValue, &consumed);
  return std::vector<std::uint8_t>(pgm.begin() + consumed + 1, pgm.end());
}

// A white page whose top row ends in two black pixels: its Group 4 data
// begins with the byte 0x0A, which a reader would take for the end of the
// "stream" line if that line ended with a lone carriage return.
TluBitmap LineFeedFirstPage() {
  TluBitmap page = PatternPage(40, 8, 72);
  page.FillRect(0, 0, 40, 8, clWhite);
  page.SetPixelIndex(38, 0, 0);
  page.SetPixelIndex(39, 0, 0);
  page.SetPixelIndex(5, 4, 0);
  return page;
}

TEST_F(PdfTools, BilevelPagesRenderToExactlyTheBitmapPixels) {
  const TluBitmap pages[] = {PatternPage(203, 157, 72), LineFeedFirstPage()};
  ASSERT_EQ(EncodeGroup4(pages[1])[0], 0x0A);
  for (const TluBitmap& page : pages) {
    TluPDF pdf;
    pdf.AddBilevelPage(page, 1);
    const std::string path = Save(pdf, "bilevel.pdf"), base = dir_.File("render");
    const auto check = RunCommand("qpdf --check " + path);
    EXPECT_EQ(check.exitCode, 0) << check.output;
    // At 72 dpi a page point is an image pixel; at 4 times that poppler
    // draws each pixel as a 4 x 4 block without smoothing.
    constexpr int kScale = 4;
    const auto render = RunCommand("pdftoppm -r 288 -gray -singlefile " + path + " " + base);
    ASSERT_EQ(render.exitCode, 0) << render.output;
    int width = 0, height = 0;
    const auto pixels = PgmPixels(ReadFileBytes(base + ".pgm"), width, height);
    ASSERT_EQ(width, page.Width() * kScale);
    ASSERT_EQ(height, page.Height() * kScale);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    int wrong = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const int expected = page.PixelIndex(x / kScale, y / kScale) == 0 ? 0 : 255;
        wrong += pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] != expected;
      }
    EXPECT_EQ(wrong, 0) << page.Width() << "x" << page.Height();
  }
}

TEST_F(PdfTools, PdftoppmRendersEveryPage) {
  const std::string base = dir_.File("page");
  const auto render = RunCommand("pdftoppm -r 20 " + Save(MixedDocument(), "mixed.pdf") + " " + base);
  ASSERT_EQ(render.exitCode, 0) << render.output;
  EXPECT_EQ(render.output, "");
  for (const char* page : {"-1.ppm", "-2.ppm", "-3.ppm"}) {
    EXPECT_FALSE(ReadFileBytes(base + page).empty()) << page;
  }
  // The colour page keeps its colours: red grows to the right.
  int width = 0, height = 0, maxValue = 0, consumed = 0;
  const auto ppm = ReadFileBytes(base + "-1.ppm");
  std::sscanf(std::string(ppm.begin(), ppm.begin() + 32).c_str(), "P6 %d %d %d%n", &width, &height, &maxValue, &consumed);
  const std::size_t row = static_cast<std::size_t>(consumed + 1) + static_cast<std::size_t>(height / 2 * width * 3);
  EXPECT_LT(ppm[row + 3], 40);
  EXPECT_GT(ppm[row + static_cast<std::size_t>(width - 2) * 3], 215);
  EXPECT_NEAR(ppm[row + static_cast<std::size_t>(width / 2) * 3 + 2], 90, 8);
}

TEST_F(PdfTools, OnePageEntryPointMakesAValidDocument) {
  TMemoryStream stream;
  SaveBitmapAsPdf(PatternPage(2550, 3300, 300), 90, "T", "S", "A", "K", stream);
  const std::string path = dir_.File("one.pdf");
  WriteFileBytes(path, stream.Bytes());
  EXPECT_EQ(RunCommand("qpdf --check " + path).exitCode, 0);
  const auto list = RunCommand("pdfimages -list " + path);
  EXPECT_NE(list.output.find("ccitt"), std::string::npos) << list.output;

  TMemoryStream colour;
  SaveBitmapAsPdf(ColourPage(100, 100, 150), 75, "", "", "", "", colour);
  WriteFileBytes(path, colour.Bytes());
  EXPECT_EQ(RunCommand("qpdf --check " + path).exitCode, 0);
  EXPECT_NE(RunCommand("pdfimages -list " + path).output.find("jpeg"), std::string::npos);
}

#endif

}  // namespace
}  // namespace pagewell
