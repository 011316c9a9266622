// Writing JPEG files: the library's data, the density patch, the gray and
// colour paths and the metadata segments.
#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>

#include "formats/jpeg/jpeg_errors.h"
#include "formats/jpeg/jpeg_image_extra.h"
#include "formats/jpeg/jpeg_pages.h"

namespace pagewell {
namespace {

using testing::BlackWhitePage;
using testing::GradientPage;
using testing::MarkerCodes;
using testing::MarkersToFirstScan;
using testing::PlainPage;
using testing::SaveJpeg;

// The frame header's component count (SOF0 or SOF2).
int ComponentCount(const std::vector<std::uint8_t>& file) {
  for (const auto& m : MarkersToFirstScan(file)) {
    if (m.Code == 0xC0 || m.Code == 0xC2) return m.Payload[5];
  }
  return -1;
}

// The same image compressed by the library called directly, the way a
// program without our codec would: RGB rows, the library's defaults, the
// float DCT, quality with baseline tables.
std::vector<std::uint8_t> LibraryReference(const TRaster& page, int quality) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(page.Width());
  info.image_height = static_cast<JDIMENSION>(page.Height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  info.dct_method = JDCT_FLOAT;
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(page.Width()) * 3);
  for (int y = 0; y < page.Height(); ++y) {
    page.DecodeRowBGR(y, row.data());
    for (std::size_t x = 0; x < row.size(); x += 3) std::swap(row[x], row[x + 2]);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<std::uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  free(buffer);
  return out;
}

TEST(JpegWriter, PageFileIsTheLibraryDataWithTheDensityInApp0) {
  const TluBitmap page = GradientPage(97, 61, 300);
  auto expected = LibraryReference(page, 90);
  ASSERT_GT(expected.size(), 20u);
  ASSERT_EQ(expected[13], 0);  // the library writes no unit
  const std::uint8_t density[] = {1, 0x01, 0x2C, 0x01, 0x2C};
  std::copy(density, density + 5, expected.begin() + 13);

  EXPECT_EQ(SaveJpeg(page), expected);
}

TEST(JpegWriter, RawCompressedDataHasNoDensityAndNoMetadata) {
  TluBitmap page = GradientPage(40, 30, 300);
  page.Exif.SetValue("Make", "Scanner");
  TJPEGImageExtra jpeg;
  jpeg.Exif = page.Exif;
  jpeg.SetXDensity(300);
  jpeg.CompressFrom(page);
  EXPECT_EQ(jpeg.CompressedData(), LibraryReference(page, 90));
}

struct TDensityCase {
  int XDpi, YDpi;
  std::vector<std::uint8_t> Bytes13To17;
};

TEST(JpegWriter, DensityBytesFollowThePageResolution) {
  const TDensityCase cases[] = {
      {300, 300, {0x01, 0x01, 0x2C, 0x01, 0x2C}},
      {200, 100, {0x01, 0x00, 0xC8, 0x00, 0x64}},
      {0, 0, {0x01, 0x00, 0x00, 0x00, 0x00}},
      // Above 65535 dots per inch the density is cut to 16 bits.
      {70000, 72, {0x01, 0x11, 0x70, 0x00, 0x48}},
  };
  for (const auto& c : cases) {
    TluBitmap page = GradientPage(16, 16);
    page.SetXDpi(c.XDpi);
    page.SetYDpi(c.YDpi);
    const auto file = SaveJpeg(page);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 13, file.begin() + 18), c.Bytes13To17) << c.XDpi << "x" << c.YDpi;
  }
}

TEST(JpegWriter, GrayPalettesGiveOneComponentAnythingElseThree) {
  struct TCase {
    const char* Name;
    TluBitmap Page;
    int Components;
  };
  TluBitmap gray256(20, 10, TPixelFormat::pf8bit);
  gray256.SetPaletteKeepingIndices(std::vector<TColor>{RGBColor(0, 0, 0), RGBColor(1, 1, 1), RGBColor(2, 2, 2)});  // the rest black: still all gray
  gray256.DetectColorMode();
  TluBitmap colour16(20, 10, TPixelFormat::pf4bit);
  colour16.DetectColorMode();
  const TCase cases[] = {
      {"black-and-white 1 bit", BlackWhitePage(33, 17), 1},
      {"gray 8 bit", gray256, 1},
      {"24 bit whose pixels are gray", PlainPage(20, 10, RGBColor(90, 90, 90)), 3},
      {"colour 4 bit", colour16, 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ComponentCount(SaveJpeg(c.Page)), c.Components) << c.Name;
  }
}

TEST(JpegWriter, GrayOutputIsTheMeanOfBlueGreenRed) {
  // A colour image asked for gray output: (10 + 20 + 61) div 3 = 30.
  TJPEGImageExtra jpeg;
  jpeg.Grayscale = true;
  jpeg.CompressionQuality = 100;
  jpeg.CompressFrom(PlainPage(16, 16, RGBColor(10, 20, 61)));
  TMemoryStream stream(jpeg.CompressedData());
  TJPEGImageExtra reader;
  reader.LoadFromStream(stream);
  TluBitmap decoded;
  reader.DecodeTo(decoded);
  ASSERT_EQ(decoded.ColorMode, cmGray256);
  EXPECT_NEAR(static_cast<int>(RedOf(decoded.PixelColor(8, 8))), 30, 1);
}

TEST(JpegWriter, ColoursKeepTheirChannels) {
  // Blue-green-red rows must reach the library as red-green-blue.
  const TColor colours[] = {RGBColor(220, 30, 20), RGBColor(20, 200, 30), RGBColor(30, 20, 210)};
  for (TColor colour : colours) {
    TMemoryStream stream(SaveJpeg(PlainPage(24, 24, colour)));
    TJPEGImageExtra reader;
    reader.LoadFromStream(stream);
    TluBitmap decoded;
    reader.DecodeTo(decoded);
    const TColor got = decoded.PixelColor(12, 12);
    EXPECT_NEAR(RedOf(got), RedOf(colour), 4) << std::hex << colour;
    EXPECT_NEAR(GreenOf(got), GreenOf(colour), 4) << std::hex << colour;
    EXPECT_NEAR(BlueOf(got), BlueOf(colour), 4) << std::hex << colour;
  }
}

TEST(JpegWriter, ProgressiveOptionWritesSof2AndSeveralScans) {
  TluBitmap page = GradientPage(64, 48);
  page.Progressive = true;
  const auto file = SaveJpeg(page);
  const auto codes = MarkerCodes(file);
  EXPECT_NE(std::find(codes.begin(), codes.end(), 0xC2), codes.end());
  EXPECT_EQ(std::find(codes.begin(), codes.end(), 0xC0), codes.end());
  TMemoryStream stream(file);
  TJPEGImageExtra reader;
  reader.LoadFromStream(stream);
  EXPECT_TRUE(reader.ProgressiveEncoding);
}

TEST(JpegWriter, PageWithoutPixelsWritesNothing) {
  TMemoryStream stream;
  SaveBitmapAsJpeg(TluBitmap(), 90, stream);
  EXPECT_EQ(stream.Size(), 0u);
}

TEST(JpegWriter, FileAfterOtherBytesIsPatchedWhereItStarts) {
  TMemoryStream stream;
  stream.WriteString("prefix!");
  SaveBitmapAsJpeg(GradientPage(16, 16, 300), 90, stream);
  EXPECT_EQ(stream.Position(), 7u);
  const auto& bytes = stream.Bytes();
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 7), "prefix!");
  EXPECT_EQ(bytes[7], 0xFF);
  EXPECT_EQ(bytes[8], 0xD8);
  EXPECT_EQ(bytes[7 + 13], 1);
  EXPECT_EQ(bytes[7 + 15], 0x2C);
}

TEST(JpegWriter, QualityOutOfRangeIsClampedByTheLibrary) {
  const TluBitmap page = GradientPage(16, 16);
  EXPECT_EQ(SaveJpeg(page, 0), SaveJpeg(page, 1));
  EXPECT_EQ(SaveJpeg(page, 250), SaveJpeg(page, 100));
}

TEST(JpegWriter, ImageTooLargeForJpegRaisesJpegError) {
  TluBitmap page(70000, 1, TPixelFormat::pf8bit);
  page.DetectColorMode();
  try {
    SaveJpeg(page);
    FAIL() << "no error";
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.Code(), JERR_IMAGE_TOO_BIG);
    EXPECT_EQ(std::string(e.what()), "JPEG error #" + std::to_string(JERR_IMAGE_TOO_BIG));
  }
}

TEST(JpegWriter, SizeOfAJpegCannotBeChanged) {
  TJPEGImageExtra jpeg;
  for (auto set : {&TJPEGImageExtra::SetWidth, &TJPEGImageExtra::SetHeight}) {
    try {
      (jpeg.*set)(10);
      FAIL() << "no error";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(std::string(e.what()), "Cannot change the size of a JPEG image");
    }
  }
}

TEST(JpegWriter, AssignedBitmapIsCompressedOnSave) {
  TJPEGImageExtra jpeg;
  jpeg.Assign(GradientPage(30, 20));
  EXPECT_TRUE(jpeg.CompressedData().empty());
  EXPECT_EQ(jpeg.Width(), 30);
  TMemoryStream stream;
  jpeg.SaveToStream(stream);
  EXPECT_EQ(stream.Position(), 0u);
  EXPECT_EQ(jpeg.CompressedData().size() , stream.Size());
}

}  // namespace
}  // namespace pagewell
