#include "formats/metadata/exif_tags.h"

#include <cstring>
#include <iterator>

#include "formats/tiff/tiff_tags.h"

namespace pagewell {
namespace {

using namespace tiff;

// Types and counts as the Exif standard gives them (Exif 2.32, section 4.6).
constexpr TExifTagInfo kTags[] = {
    // IFD0: the descriptive texts, the resolution tags the page keeps in step
    // with its DPI, and the tags that describe the colours of the image.
    {"ImageDescription", tagImageDescription, ftAscii, 0, false},
    {"Make", tagMake, ftAscii, 0, false},
    {"Model", tagModel, ftAscii, 0, false},
    {"Orientation", tagOrientation, ftShort, 1, false},
    {"XResolution", tagXResolution, ftRational, 1, false},
    {"YResolution", tagYResolution, ftRational, 1, false},
    {"PlanarConfiguration", tagPlanarConfiguration, ftShort, 1, false},
    {"ResolutionUnit", tagResolutionUnit, ftShort, 1, false},
    {"Software", tagSoftware, ftAscii, 0, false},
    {"DateTime", tagDateTime, ftAscii, 20, false},
    {"Artist", tagArtist, ftAscii, 0, false},
    {"WhitePoint", tagWhitePoint, ftRational, 2, false},
    {"PrimaryChromaticities", tagPrimaryChromaticities, ftRational, 6, false},
    {"YCbCrCoefficients", tagYCbCrCoefficients, ftRational, 3, false},
    {"YCbCrSubSampling", tagYCbCrSubSampling, ftShort, 2, false},
    {"YCbCrPositioning", tagYCbCrPositioning, ftShort, 1, false},
    {"ReferenceBlackWhite", tagReferenceBlackWhite, ftRational, 6, false},
    {"Copyright", tagCopyright, ftAscii, 0, false},
    // The Exif directory.
    {"ExposureTime", 0x829A, ftRational, 1, true},
    {"FNumber", 0x829D, ftRational, 1, true},
    {"ISOSpeedRatings", 0x8827, ftShort, 0, true},
    {"ExifVersion", 0x9000, ftUndefined, 4, true},
    {"DateTimeOriginal", 0x9003, ftAscii, 20, true},
    {"DateTimeDigitized", 0x9004, ftAscii, 20, true},
    {"Flash", 0x9209, ftShort, 1, true},
    {"FocalLength", 0x920A, ftRational, 1, true},
    {"FlashpixVersion", 0xA000, ftUndefined, 4, true},
    {"ColorSpace", 0xA001, ftShort, 1, true},
    {"PixelXDimension", 0xA002, ftLong, 1, true},
    {"PixelYDimension", 0xA003, ftLong, 1, true},
    {"ImageUniqueID", 0xA420, ftAscii, 33, true},
};

}  // namespace

const TExifTagInfo* ExifTagsBegin() { return std::begin(kTags); }
const TExifTagInfo* ExifTagsEnd() { return std::end(kTags); }

const TExifTagInfo* FindExifTag(const char* name) {
  for (const auto& tag : kTags) {
    if (std::strcmp(tag.Name, name) == 0) return &tag;
  }
  return nullptr;
}

const TExifTagInfo* FindExifTag(std::uint16_t id, bool inExifIfd) {
  for (const auto& tag : kTags) {
    if (tag.Id == id && tag.InExifIfd == inExifIfd) return &tag;
  }
  return nullptr;
}

}  // namespace pagewell
