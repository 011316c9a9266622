// TIFF metadata as real readers see it: libtiff's tiffinfo, tiffdump and
// tiffcp, exiftool (with its structure validation) and ImageMagick; and the
// metadata exiftool writes, as our reader sees it.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "formats/tiff/tif_image.h"
#include "formats/tiff/tif_list.h"
#include "tiff_metadata_pages.h"
#include "tiff_test_support.h"

namespace pagewell {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace tifftest;

bool HaveTools() {
  return HaveTool("tiffinfo") && HaveTool("tiffdump") && HaveTool("tiffcp") && HaveTool("convert") &&
         HaveTool("identify") && HaveTool("exiftool");
}

// The output with every run of spaces made one, so that lines of exiftool's
// aligned columns can be looked for as "[IFD0] Make : Pagewell".
std::string Squeezed(const std::string& text) { return std::regex_replace(text, std::regex(" +"), " "); }

void ExpectLines(const std::string& output, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) EXPECT_NE(output.find(line), std::string::npos) << line << "\n" << output;
}

class TIFMetadataWithTools : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveTools()) GTEST_SKIP() << "libtiff tools, ImageMagick or exiftool missing";
  }
  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = dir_.File(name);
    WriteFileBytes(path, bytes);
    return path;
  }
  std::string Run(const std::string& command) {
    std::string output;
    EXPECT_EQ(RunCommand(command, &output), 0) << command << "\n" << output;
    return output;
  }

  TTempDir dir_;
};

TEST_F(TIFMetadataWithTools, LibtiffSeesEveryEntryAndTheExifDirectory) {
  const std::string path = Write("page.tif", PageWithEveryRecord().SaveToBytes());
  const std::string info = Run("tiffinfo -D '" + path + "'");
  EXPECT_EQ(info.find("rror"), std::string::npos) << info;
  EXPECT_EQ(info.find("arning"), std::string::npos) << info;
  ExpectLines(info, {"Resolution: 300, 300 pixels/inch", "ImageDescription: Invoice 42, page 1", "Make: Pagewell",
                     "Model: Virtual scanner 1", "Orientation: row 0 top, col 0 lhs",
                     "Planar Configuration: single image plane", "Software: Pagewell 1.3",
                     "DateTime: 2024:01:02 03:04:01", "Artist: Ann Example", "White Point: 0.313-0.329",
                     "PrimaryChromaticities: 0.640000,0.330000,0.300000,0.600000,0.150000,0.060000",
                     "YCbCrCoefficients: 0.299000,0.587000,0.114000", "YCbCr Subsampling: 2, 2",
                     "YCbCr Positioning: centered", "Reference Black/White:", "Copyright: (c) 2024 Example",
                     "RichTIFFIPTC Data: <present>, 68 bytes", "Photoshop Data: <present>, 38 bytes",
                     "ICC Profile: <present>, 401 bytes", "--- EXIF directory within directory 0",
                     "ExposureTime: 0.016667", "FNumber: 2.800000", "ISOSpeedRatings: 100",
                     "ExifVersion: 0x30,0x32,0x33,0x30", "DateTimeOriginal: 2024:05:06 07:08:01",
                     "DateTimeDigitized: 2024:05:06 07:08:10", "FocalLength: 50.000000", "ColorSpace: 1",
                     "ImageUniqueID: 0123456789abcdef0123456789abcde1"});
  // The types other readers expect: IPTC as LONGs, Photoshop as BYTEs, the
  // Exif directory as a LONG offset, the profile UNDEFINED.
  ExpectLines(Run("tiffdump '" + path + "'"), {"33723 (0x83bb) LONG (4) 17<", "34377 (0x8649) BYTE (1) 38<",
                                               "34665 (0x8769) LONG (4) 1<", "ICC Profile (34675) UNDEFINED (7) 401<"});
}

TEST_F(TIFMetadataWithTools, ExiftoolValidatesTheStructureAndShowsEveryRecord) {
  const std::string path = Write("page.tif", PageWithEveryRecord().SaveToBytes());
  // Offsets, alignment, tag order, types and counts of every directory.
  EXPECT_NE(Run("exiftool -validate -warning -a '" + path + "'").find("Validate                        : OK"),
            std::string::npos);
  ExpectLines(Squeezed(Run("exiftool -s -a -G1 '" + path + "'")),
              {"[IFD0] ImageDescription : Invoice 42, page 1", "[IFD0] Make : Pagewell",
               "[IFD0] Model : Virtual scanner 1", "[IFD0] Orientation : Horizontal (normal)",
               "[IFD0] XResolution : 300", "[IFD0] PlanarConfiguration : Chunky", "[IFD0] Software : Pagewell 1.3",
               "[IFD0] ModifyDate : 2024:01:02 03:04:01", "[IFD0] Artist : Ann Example",
               "[IFD0] WhitePoint : 0.313 0.329", "[IFD0] PrimaryChromaticities : 0.64 0.33 0.3 0.6 0.15 0.06",
               "[IFD0] YCbCrCoefficients : 0.299 0.587 0.114", "[IFD0] YCbCrSubSampling : YCbCr4:2:0 (2 2)",
               "[IFD0] YCbCrPositioning : Centered", "[IFD0] ReferenceBlackWhite : 0 255 128 255 128 255",
               "[IFD0] Copyright : (c) 2024 Example", "[ExifIFD] ExposureTime : 1/60", "[ExifIFD] FNumber : 2.8",
               "[ExifIFD] ISO : 100", "[ExifIFD] ExifVersion : 0230", "[ExifIFD] DateTimeOriginal : 2024:05:06 07:08:01",
               "[ExifIFD] CreateDate : 2024:05:06 07:08:10", "[ExifIFD] Flash : No Flash",
               "[ExifIFD] FocalLength : 50.0 mm", "[ExifIFD] FlashpixVersion : 0100", "[ExifIFD] ColorSpace : sRGB",
               "[ExifIFD] ImageUniqueID : 0123456789abcdef0123456789abcde1", "[IPTC] ObjectName : Page 1",
               "[IPTC] Caption-Abstract : A scanned page", "[IPTC] Keywords : invoice, 2024", "[IPTC] By-line : Ann",
               "[Photoshop] URL : https://example.com/page/1", "[ICC_Profile] ProfileDescription : Pagewell test"});
}

TEST_F(TIFMetadataWithTools, ImageMagickShowsTheProfilesAndDecodesThePixels) {
  const std::string path = Write("page.tif", PageWithEveryRecord().SaveToBytes());
  ExpectLines(Run("identify -verbose '" + path + "'"),
              {"Profile-icc: 401 bytes", "Profile-iptc: 68 bytes", "Caption[2,120]: A scanned page",
               "Keyword[2,25]: invoice", "Keyword[2,25]: 2024", "Profile-8bim: 38 bytes",
               "exif:DateTimeOriginal: 2024:05:06 07:08:01", "exif:ExposureTime: 0.0166667",
               "tiff:artist: Ann Example", "tiff:copyright: (c) 2024 Example", "tiff:model: Virtual scanner 1",
               "tiff:timestamp: 2024:01:02 03:04:01", "icc:description: Pagewell test"});
  EXPECT_EQ(DecodeWithImageMagick(path), RGBPixels(RandomRaster(23, 11, TPixelFormat::pf24bit, {}, 1)));
}

TEST_F(TIFMetadataWithTools, MultiPageFileWithMetadataStaysValid) {
  // Group 4 and palette pages with their own records around an RGB page without.
  std::vector<TColor> palette(256);
  for (int i = 0; i < 256; ++i) palette[i] = RGBColor(i, 255 - i, i / 2);
  const std::vector<TRaster> pixels = {BlackWhitePage(64, 20, 1), RandomRaster(23, 11, TPixelFormat::pf24bit, {}, 2),
                                       RandomRaster(9, 7, TPixelFormat::pf8bit, palette, 3)};
  TTIFList list;
  for (int page = 1; page <= 3; ++page) {
    auto tif = std::make_unique<TTIFImage>(PageWithEveryRecord(page));
    tif->Compression = page == 1 ? tiff::compCCITTGroup4 : tiff::compNone;
    tif->Assign(pixels[static_cast<std::size_t>(page - 1)]);
    if (page == 2) {
      tif->Exif.Clear();
      tif->FileInfo.Clear();
      tif->IccProfile.Clear();
    }
    list.Add(std::move(tif));
  }
  const std::string path = Write("pages.tif", list.SaveToBytes());
  const std::string info = Run("tiffinfo -D '" + path + "'");
  EXPECT_EQ(info.find("rror"), std::string::npos) << info;
  EXPECT_EQ(info.find("arning"), std::string::npos) << info;
  EXPECT_EQ(Run("tiffinfo '" + path + "' | grep -c '=== TIFF directory'"), "3\n");
  EXPECT_EQ(Run("tiffinfo '" + path + "' | grep -c 'EXIF directory within directory'"), "2\n");
  Run("tiffdump '" + path + "'");
  const std::string copy = dir_.File("copy.tif");
  Run("tiffcp '" + path + "' '" + copy + "'");
  EXPECT_EQ(Run("tiffinfo '" + copy + "' | grep -c '=== TIFF directory'"), "3\n");
  for (int page = 0; page < 3; ++page) {
    SCOPED_TRACE("page " + std::to_string(page + 1));
    EXPECT_EQ(DecodeWithImageMagick(path, page), RGBPixels(pixels[static_cast<std::size_t>(page)]));
    EXPECT_EQ(DecodeWithImageMagick(copy, page), RGBPixels(pixels[static_cast<std::size_t>(page)]));
  }
  const std::string tags = Squeezed(Run("exiftool -s -a -G1 '" + path + "'"));
  ExpectLines(tags, {"[IFD0] Model : Virtual scanner 1", "[IFD2] Model : Virtual scanner 3",
                     "[ExifIFD] DateTimeOriginal : 2024:05:06 07:08:01",
                     "[ExifIFD] DateTimeOriginal : 2024:05:06 07:08:03", "[IPTC] ObjectName : Page 1",
                     "[IPTC2] ObjectName : Page 3"});
  EXPECT_EQ(tags.find("[IFD1] Model"), std::string::npos) << tags;
  // Metadata beyond the first page is unusual, which exiftool notes as
  // minor, and Group 4 is not baseline TIFF; nothing else is found.
  const std::string validation = Run("exiftool -validate -warning -a '" + path + "'");
  const std::regex expected("Warning +: (\\[minor\\] Non-standard (IPTC|Photoshop|ICC_Profile) at TIFF-IFD2-.*"
                            "|Invalid value for IFD0 tag 0x0103 Compression)");
  std::istringstream lines(validation);
  int warnings = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("Warning", 0) != 0) continue;
    ++warnings;
    EXPECT_TRUE(std::regex_match(line, expected)) << line;
  }
  EXPECT_GT(warnings, 0) << validation;  // the check did see the warnings
}

// What exiftool writes into files of libtiff (through ImageMagick), in both
// byte orders, reaches the page's records.
TEST_F(TIFMetadataWithTools, ReadsTheMetadataExiftoolWrites) {
  const std::string profile = Write("profile.icc", testing::TestIccProfile(600));
  for (const char* endian : {"lsb", "msb"}) {
    SCOPED_TRACE(endian);
    const std::string path = dir_.File(std::string(endian) + ".tif");
    Run("convert -size 16x8 gradient: -depth 8 -define tiff:endian=" + std::string(endian) + " -compress none '" +
        path + "'");
    Run("exiftool -overwrite_original -Artist='Bob' -ImageDescription='From exiftool' -Orientation#=6"
        " -ExifIFD:DateTimeOriginal='2023:01:02 03:04:05' -ExifIFD:ExposureTime=1/125"
        " -IPTC:Caption-Abstract='Caption by exiftool' -IPTC:Keywords=one -IPTC:Keywords=two"
        " -Photoshop:URL='https://example.com/x' '-ICC_Profile<=" + profile + "' '" + path + "'");
    TTIFImage tif;
    tif.LoadFromBytes(ReadFileBytes(path));
    EXPECT_EQ(tif.Exif.Value("Artist"), "Bob");
    EXPECT_EQ(tif.Exif.Value("ImageDescription"), "From exiftool");
    EXPECT_EQ(tif.Exif.Value("Orientation"), "6");
    EXPECT_EQ(tif.Exif.Value("DateTimeOriginal"), "2023:01:02 03:04:05");
    EXPECT_EQ(tif.Exif.Value("ExposureTime"), "1/125");
    const std::vector<std::pair<std::string, std::string>> fields = {
        {"Caption", "Caption by exiftool"}, {"Keywords", "one"}, {"Keywords", "two"}, {"Image URL", "https://example.com/x"}};
    for (const auto& field : fields) {
      EXPECT_NE(std::find(tif.FileInfo.Fields.begin(), tif.FileInfo.Fields.end(), field), tif.FileInfo.Fields.end())
          << field.first;
    }
    EXPECT_EQ(tif.IccProfile.Data, ReadFileBytes(profile));
    // And written again, the records come out as exiftool wrote them.
    const std::string again = Write(std::string(endian) + "-again.tif", tif.SaveToBytes());
    ExpectLines(Squeezed(Run("exiftool -s -a -G1 '" + again + "'")),
                {"[IFD0] Artist : Bob", "[IFD0] Orientation : Rotate 90 CW", "[ExifIFD] ExposureTime : 1/125",
                 "[IPTC] Keywords : one, two", "[Photoshop] URL : https://example.com/x"});
  }
}

}  // namespace
}  // namespace pagewell
