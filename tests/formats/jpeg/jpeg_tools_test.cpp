// Our JPEG files as real decoders see them: djpeg, ImageMagick's
// identify -verbose and exiftool.
#include <gtest/gtest.h>

#include "support/external_tools.h"
#include "formats/jpeg/jpeg_image_extra.h"
#include "formats/jpeg/jpeg_pages.h"

namespace pagewell {
namespace {

using namespace pagewell::testing;

class JpegTools : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "the peer tools exist only in the native build";
#endif
  }

  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = dir_.File(name);
    WriteFileBytes(path, bytes);
    return path;
  }

  TTempDir dir_;
};

#ifndef _WIN32

TEST_F(JpegTools, DjpegDecodesColourAndGrayPagesWithTheirColours) {
  const std::string colour = Write("colour.jpg", SaveJpeg(PlainPage(40, 30, RGBColor(200, 40, 30))));
  const auto ppm = RunCommand("djpeg -pnm " + colour);
  ASSERT_EQ(ppm.exitCode, 0) << ppm.output;
  ASSERT_EQ(ppm.output.substr(0, 2), "P6");
  const std::size_t pixels = ppm.output.size() - 40 * 30 * 3;  // the header ends here
  const auto red = static_cast<std::uint8_t>(ppm.output[pixels]), blue = static_cast<std::uint8_t>(ppm.output[pixels + 2]);
  EXPECT_NEAR(red, 200, 4);
  EXPECT_NEAR(blue, 30, 4);

  const std::string gray = Write("gray.jpg", SaveJpeg(BlackWhitePage(40, 30)));
  const auto pgm = RunCommand("djpeg -pnm " + gray);
  ASSERT_EQ(pgm.exitCode, 0) << pgm.output;
  EXPECT_EQ(pgm.output.substr(0, 2), "P5");
}

TEST_F(JpegTools, IdentifyShowsResolutionQualityAndColourspace) {
  TluBitmap page = GradientPage(80, 60);
  page.SetXDpi(200);
  page.SetYDpi(100);
  const auto colour = RunCommand("identify -verbose " + Write("colour.jpg", SaveJpeg(page, 75)));
  ASSERT_EQ(colour.exitCode, 0) << colour.output;
  EXPECT_NE(colour.output.find("Resolution: 200x100"), std::string::npos) << colour.output;
  EXPECT_NE(colour.output.find("Units: PixelsPerInch"), std::string::npos);
  EXPECT_NE(colour.output.find("Quality: 75"), std::string::npos);
  EXPECT_NE(colour.output.find("Colorspace: sRGB"), std::string::npos);
  EXPECT_NE(colour.output.find("Geometry: 80x60+0+0"), std::string::npos);

  const auto gray = RunCommand("identify -verbose " + Write("gray.jpg", SaveJpeg(BlackWhitePage(50, 20))));
  EXPECT_NE(gray.output.find("Colorspace: Gray"), std::string::npos) << gray.output;

  TluBitmap progressive = GradientPage(64, 64);
  progressive.Progressive = true;
  const auto plane = RunCommand("identify -verbose " + Write("progressive.jpg", SaveJpeg(progressive)));
  EXPECT_NE(plane.output.find("Interlace: JPEG"), std::string::npos) << plane.output;
}

TJPEGImageExtra WithMetadata() {
  TJPEGImageExtra jpeg;
  jpeg.Exif.SetValue("Make", "Pagewell");
  jpeg.Exif.SetValue("Artist", "Ann Example");
  jpeg.Exif.SetValue("XResolution", "300/1");
  jpeg.Exif.SetValue("YResolution", "300/1");
  jpeg.Exif.SetValue("ResolutionUnit", "2");
  jpeg.Exif.SetValue("DateTimeOriginal", "2024:05:06 07:08:09");
  jpeg.FileInfo.Fields = {{"Caption", "A scanned page"}, {"Keywords", "invoice"}, {"Keywords", "2024"},
                          {"Image URL", "https://example.com/page"}};
  jpeg.FileInfo.Changed = true;
  jpeg.IccProfile.Data = TestIccProfile(70000);  // two chunks
  jpeg.EmbedIccProfile = true;
  jpeg.CompressFrom(GradientPage(64, 48));
  return jpeg;
}

TEST_F(JpegTools, IdentifyShowsTheMetadataProfiles) {
  auto jpeg = WithMetadata();
  TMemoryStream stream;
  jpeg.SaveToStream(stream);
  const auto out = RunCommand("identify -verbose " + Write("meta.jpg", stream.Bytes()));
  ASSERT_EQ(out.exitCode, 0) << out.output;
  EXPECT_NE(out.output.find("Profile-exif:"), std::string::npos) << out.output;
  EXPECT_NE(out.output.find("Profile-icc: 70000 bytes"), std::string::npos);
  EXPECT_NE(out.output.find("Profile-8bim:"), std::string::npos);
  EXPECT_NE(out.output.find("Caption[2,120]: A scanned page"), std::string::npos);
  EXPECT_NE(out.output.find("Keyword[2,25]: invoice"), std::string::npos);
}

TEST_F(JpegTools, ExiftoolReadsExifIptcAndIcc) {
  if (!HaveTool("exiftool")) GTEST_SKIP() << "exiftool (libimage-exiftool-perl) is not installed";
  auto jpeg = WithMetadata();
  TMemoryStream stream;
  jpeg.SaveToStream(stream);
  const auto out = RunCommand("exiftool -s -a -G1 " + Write("meta.jpg", stream.Bytes()));
  ASSERT_EQ(out.exitCode, 0) << out.output;
  for (const char* line : {"[IFD0]          Make                            : Pagewell",
                           "[IFD0]          Artist                          : Ann Example",
                           "[IFD0]          XResolution                     : 300",
                           "[IFD0]          ResolutionUnit                  : inches",
                           "[ExifIFD]       DateTimeOriginal                : 2024:05:06 07:08:09",
                           "[IPTC]          Caption-Abstract                : A scanned page",
                           "[IPTC]          Keywords                        : invoice, 2024",
                           "[Photoshop]     URL                             : https://example.com/page",
                           "[ICC-header]    ProfileClass                    : Display Device Profile",
                           "[ICC_Profile]   ProfileDescription              : Pagewell test"}) {
    EXPECT_NE(out.output.find(line), std::string::npos) << line << "\n" << out.output;
  }
  EXPECT_EQ(out.output.find("Warning"), std::string::npos) << out.output;
}

TEST_F(JpegTools, ReaderEstimatesTheQualityOfCjpegFiles) {
  const std::string ppm = dir_.File("page.ppm"), jpg = dir_.File("page.jpg");
  const auto made = RunCommand("convert -size 64x48 gradient:red-blue " + ppm + " && cjpeg -quality 60 -outfile " + jpg +
                            " " + ppm);
  ASSERT_EQ(made.exitCode, 0) << made.output;
  TMemoryStream stream(ReadFileBytes(jpg));
  TJPEGImageExtra jpeg;
  jpeg.LoadFromStream(stream);
  EXPECT_EQ(jpeg.EstimatedQuality, 60);
  EXPECT_EQ(jpeg.Width(), 64);
}

#endif

}  // namespace
}  // namespace pagewell
