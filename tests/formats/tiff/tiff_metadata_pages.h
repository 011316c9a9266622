#pragma once
// Pages carrying every kind of metadata record, for the TIFF metadata tests.
#include <string>
#include <utility>
#include <vector>

#include "support/icc_test_profile.h"
#include "formats/tiff/tif_image.h"
#include "tiff_test_support.h"

namespace pagewell::tifftest {

using TTagValues = std::vector<std::pair<std::string, std::string>>;

// Valid values for every tag the Exif record writes into a page's own
// directory (the resolution aside: the page writes its own) and into its
// Exif directory, told apart by `page` where the tag is a text.
inline TTagValues EveryExifTag(int page = 1) {
  const std::string n = std::to_string(page);
  return {{"ImageDescription", "Invoice 42, page " + n},
          {"Make", "Pagewell"},
          {"Model", "Virtual scanner " + n},
          {"Orientation", "1"},
          {"PlanarConfiguration", "1"},
          {"Software", "Pagewell 1.3"},
          {"DateTime", "2024:01:02 03:04:0" + n},
          {"Artist", "Ann Example"},
          {"WhitePoint", "313/1000, 329/1000"},
          {"PrimaryChromaticities", "64/100, 33/100, 30/100, 60/100, 15/100, 6/100"},
          {"YCbCrCoefficients", "299/1000, 587/1000, 114/1000"},
          {"YCbCrSubSampling", "2, 2"},
          {"YCbCrPositioning", "1"},
          {"ReferenceBlackWhite", "0/1, 255/1, 128/1, 255/1, 128/1, 255/1"},
          {"Copyright", "(c) 2024 Example"},
          {"ExposureTime", "1/60"},
          {"FNumber", "28/10"},
          {"ISOSpeedRatings", "100"},
          {"ExifVersion", "0230"},
          {"DateTimeOriginal", "2024:05:06 07:08:0" + n},
          {"DateTimeDigitized", "2024:05:06 07:08:10"},
          {"Flash", "0"},
          {"FocalLength", "50/1"},
          {"FlashpixVersion", "0100"},
          {"ColorSpace", "1"},
          {"ImageUniqueID", "0123456789abcdef0123456789abcde" + n}};
}

inline std::vector<std::pair<std::string, std::string>> EveryFileInfoField(int page = 1) {
  return {{"Object Name", "Page " + std::to_string(page)},
          {"Caption", "A scanned page"},
          {"Keywords", "invoice"},
          {"Keywords", "2024"},
          {"Byline", "Ann"},
          {"Image URL", "https://example.com/page/" + std::to_string(page)}};
}

// A 24-bit page at 300 dpi with every record set.
inline TTIFImage PageWithEveryRecord(int page = 1, std::uint16_t compression = 1) {
  TTIFImage tif;
  tif.Compression = compression;
  tif.Assign(RandomRaster(23, 11, TPixelFormat::pf24bit, {}, static_cast<unsigned>(page)));
  tif.XDpi = 300;
  tif.YDpi = 300;
  for (const auto& [name, value] : EveryExifTag(page)) tif.Exif.SetValue(name, value);
  tif.FileInfo.Fields = EveryFileInfoField(page);
  tif.IccProfile.Data = testing::TestIccProfile(400 + static_cast<std::size_t>(page));
  return tif;
}

}  // namespace pagewell::tifftest
