// Reading JPEG files: header, density rules, Exif density, quality
// estimate, colour space, and malformed input.
#include <gtest/gtest.h>

#include <chrono>

#include "formats/jpeg/jpeg_compression.h"
#include "formats/jpeg/jpeg_errors.h"
#include "formats/jpeg/jpeg_image_extra.h"
#include "formats/jpeg/jpeg_library.h"
#include "formats/jpeg/jpeg_pages.h"
#include "formats/jpeg/jpeg_segments.h"

namespace pagewell {
namespace {

using testing::GradientPage;

std::vector<std::uint8_t> LibraryFile(int quality = 90, bool gray = false, bool progressive = false) {
  TJpegCompressionSettings settings;
  settings.Quality = quality;
  settings.Grayscale = gray;
  settings.Progressive = progressive;
  return CompressRaster(GradientPage(48, 32), settings);
}

// The library's file with its APP0 density fields replaced.
std::vector<std::uint8_t> WithDensity(std::uint8_t unit, std::uint16_t x, std::uint16_t y) {
  auto file = LibraryFile();
  file[13] = unit;
  file[14] = static_cast<std::uint8_t>(x >> 8), file[15] = static_cast<std::uint8_t>(x);
  file[16] = static_cast<std::uint8_t>(y >> 8), file[17] = static_cast<std::uint8_t>(y);
  return file;
}

// The file with an APP1 segment inserted after APP0.
std::vector<std::uint8_t> WithApp1(std::vector<std::uint8_t> file, const std::vector<std::uint8_t>& payload) {
  const auto segment = MarkerSegment(kMarkerAPP1, payload.data(), payload.size());
  file.insert(file.begin() + 20, segment.begin(), segment.end());
  return file;
}

TJPEGImageExtra Load(const std::vector<std::uint8_t>& file) {
  TJPEGImageExtra jpeg;
  TMemoryStream stream(file);
  jpeg.LoadFromStream(stream);
  return jpeg;
}

struct TDensityCase {
  const char* Name;
  std::vector<std::uint8_t> File;
  int XDensity, YDensity;
};

TEST(JpegReader, DensityRules) {
  TExif centimetres;
  centimetres.SetValue("XResolution", "118/1");
  centimetres.SetValue("YResolution", "59/1");
  centimetres.SetValue("ResolutionUnit", "3");
  TExif inches;
  inches.SetValue("XResolution", "300/1");
  inches.SetValue("YResolution", "150/1");
  const TDensityCase cases[] = {
      {"dots per inch as they stand", WithDensity(1, 300, 200), 300, 200},
      {"dots per centimetre times 2.54, rounded", WithDensity(2, 118, 40), 300, 102},
      {"no unit: none", WithDensity(0, 72, 72), 0, 0},
      {"unknown unit: none", WithDensity(7, 300, 300), 0, 0},
      {"no real density: Exif in inches", WithApp1(WithDensity(0, 1, 1), inches.SaveToBytes()), 300, 150},
      {"no real density: Exif in centimetres", WithApp1(WithDensity(0, 1, 1), centimetres.SaveToBytes()), 300, 150},
      {"a real density wins over Exif", WithApp1(WithDensity(1, 96, 96), inches.SaveToBytes()), 96, 96},
  };
  for (const auto& c : cases) {
    const auto jpeg = Load(c.File);
    EXPECT_EQ(jpeg.XDensity(), c.XDensity) << c.Name;
    EXPECT_EQ(jpeg.YDensity(), c.YDensity) << c.Name;
  }
}

TEST(JpegReader, ExifDensityWithZeroDenominatorIsAConversionError) {
  TExif exif;
  exif.SetValue("XResolution", "300/0");
  try {
    Load(WithApp1(WithDensity(0, 1, 1), exif.SaveToBytes()));
    FAIL() << "no error";
  } catch (const EExifError& e) {
    EXPECT_EQ(std::string(e.what()), "Conversion error - division by zero.");
  }
}

TEST(JpegReader, MalformedExifRaisesExifError) {
  TExif exif;
  exif.SetValue("Make", "Scanner");
  auto block = exif.SaveToBytes();
  block[10] = 0x7F;  // the first directory's offset now points far outside
  try {
    Load(WithApp1(LibraryFile(), block));
    FAIL() << "no error";
  } catch (const EExifError& e) {
    EXPECT_EQ(std::string(e.what()), "Error in Exif data");
  }
}

TEST(JpegReader, EstimatesTheQualityFromTheQuantisationTables) {
  for (int quality : {25, 50, 75, 90, 95, 100}) {
    EXPECT_EQ(Load(LibraryFile(quality)).EstimatedQuality, quality) << quality;
  }
  EXPECT_EQ(Load(LibraryFile(75, true)).EstimatedQuality, 75);
}

TEST(JpegReader, HeaderFields) {
  const auto colour = Load(LibraryFile());
  EXPECT_EQ(colour.Width(), 48);
  EXPECT_EQ(colour.Height(), 32);
  EXPECT_FALSE(colour.Grayscale);
  EXPECT_EQ(colour.ColorSpaceCode, jcYCbCr);
  EXPECT_FALSE(colour.ProgressiveEncoding);

  const auto gray = Load(LibraryFile(90, true, true));
  EXPECT_TRUE(gray.Grayscale);
  EXPECT_EQ(gray.ColorSpaceCode, jcGray);
  EXPECT_TRUE(gray.ProgressiveEncoding);
}

TEST(JpegReader, ReadsFromTheStreamPositionToTheEnd) {
  const auto file = LibraryFile();
  TMemoryStream stream;
  stream.WriteString("head");
  stream.Write(file.data(), file.size());
  stream.Seek(4);
  TJPEGImageExtra jpeg;
  jpeg.LoadFromStream(stream);
  EXPECT_EQ(jpeg.CompressedData(), file);
}

int LoadErrorCode(const std::vector<std::uint8_t>& file) {
  try {
    Load(file);
  } catch (const EJPEG& e) {
    EXPECT_EQ(std::string(e.what()), "JPEG error #" + std::to_string(e.Code()));
    return e.Code();
  }
  return 0;
}

TEST(JpegReader, DataTheLibraryRefusesRaisesJpegError) {
  EXPECT_EQ(LoadErrorCode({}), JERR_NO_SOI);
  EXPECT_EQ(LoadErrorCode({'G', 'I', 'F', '8', '9', 'a'}), JERR_NO_SOI);
  EXPECT_NE(LoadErrorCode({0xFF, 0xD8, 0xFF, 0xD9}), 0);
  // Every cut inside the headers is refused cleanly.
  const auto file = LibraryFile();
  const std::size_t headerEnd = 20 + 2 * 69 + 19 + 4 * 30;
  for (std::size_t cut = 2; cut < std::min(headerEnd, file.size()); cut += 7) {
    try {
      Load(std::vector<std::uint8_t>(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut)));
    } catch (const EJPEG&) {
    }
  }
}

TEST(JpegReader, TruncatedScanDecodesWithoutFailing) {
  auto file = LibraryFile();
  const auto markers = testing::MarkersToFirstScan(file);
  ASSERT_EQ(markers.back().Code, kMarkerSOS);
  std::size_t scanStart = 2;
  for (const auto& m : markers) scanStart += 4 + m.Payload.size();
  file.resize(scanStart + (file.size() - scanStart) / 2);
  const auto jpeg = Load(file);
  TluBitmap decoded;
  jpeg.DecodeTo(decoded);
  EXPECT_EQ(decoded.Width(), 48);
  EXPECT_EQ(decoded.Height(), 32);
}

TEST(JpegReader, HugeDeclaredSizeIsRefusedBeforeDecoding) {
  auto file = LibraryFile();
  for (std::size_t at = 2; at + 8 < file.size(); ++at) {
    if (file[at] == 0xFF && file[at + 1] == 0xC0) {
      file[at + 5] = 0xFD, file[at + 6] = 0xE8;  // height 65000
      file[at + 7] = 0xFD, file[at + 8] = 0xE8;  // width 65000
      break;
    }
  }
  const auto jpeg = Load(file);
  EXPECT_EQ(jpeg.Width(), 65000);
  TluBitmap decoded;
  try {
    jpeg.DecodeTo(decoded);
    FAIL() << "no error";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(std::string(e.what()), "JPEG image too large");
  }
}

TEST(JpegReader, ProgressiveFileWithThousandsOfScansIsRefused) {
  // The first scan of a progressive file (DC, first pass) repeated: the
  // library accepts each repetition with a warning, so only the scan limit
  // stops a small file from costing a pass over the image per scan.
  const auto file = LibraryFile(90, false, true);
  std::size_t sos = 0;
  for (std::size_t at = 2; at + 1 < file.size(); ++at) {
    if (file[at] == 0xFF && file[at + 1] == kMarkerSOS) {
      sos = at;
      break;
    }
  }
  auto isMarker = [&](std::size_t at) {
    const std::uint8_t code = file[at + 1];
    return file[at] == 0xFF && code != 0 && !(code >= 0xD0 && code <= 0xD7);
  };
  std::size_t next = sos + 2 + static_cast<std::size_t>(file[sos + 2] << 8 | file[sos + 3]);
  while (next + 1 < file.size() && !isMarker(next)) ++next;
  std::vector<std::uint8_t> many(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(sos));
  for (int i = 0; i < jpeg::TDecompression::kMaxScans + 10; ++i) {
    many.insert(many.end(), file.begin() + static_cast<std::ptrdiff_t>(sos), file.begin() + static_cast<std::ptrdiff_t>(next));
  }
  many.push_back(0xFF);
  many.push_back(kMarkerEOI);
  const auto jpeg = Load(many);
  TluBitmap decoded;
  try {
    jpeg.DecodeTo(decoded);
    FAIL() << "no error";
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.Code(), jpeg::TDecompression::kTooManyScans);
  }
}

TEST(JpegReader, DecodedPagesKeepPixelsAndResolution) {
  const TluBitmap page = GradientPage(64, 40, 200);
  auto jpeg = Load(testing::SaveJpeg(page, 95));
  TluBitmap decoded;
  jpeg.DecodeTo(decoded);
  ASSERT_EQ(decoded.ColorMode, cmTrueColor);
  EXPECT_EQ(decoded.XDpi(), 200);
  int worst = 0;
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x) {
      const TColor a = page.PixelColor(x, y), b = decoded.PixelColor(x, y);
      worst = std::max({worst, std::abs(RedOf(a) - RedOf(b)), std::abs(GreenOf(a) - GreenOf(b)),
                        std::abs(BlueOf(a) - BlueOf(b))});
    }
  EXPECT_LE(worst, 12);

  jpeg.Scale = TJPEGScale::jsQuarter;
  jpeg.DecodeTo(decoded);
  EXPECT_EQ(decoded.Width(), 16);
  EXPECT_EQ(decoded.Height(), 10);

  jpeg.Scale = TJPEGScale::jsFullSize;
  jpeg.PixelFormat = TJPEGPixelFormat::jf8Bit;
  jpeg.DecodeTo(decoded);
  EXPECT_EQ(decoded.BitsPerPixel(), 8);
}

}  // namespace
}  // namespace pagewell
