#include "formats/metadata/exif_tags.h"

#include <cstring>
#include <iterator>

namespace pagewell {
namespace {

constexpr TExifTagInfo kTags[] = {
    // IFD0: the resolution tags the page keeps in step with its DPI, and
    // the descriptive texts.
    {"ImageDescription", 0x010E, TExifType::Ascii, false},
    {"Make", 0x010F, TExifType::Ascii, false},
    {"Model", 0x0110, TExifType::Ascii, false},
    {"Orientation", 0x0112, TExifType::Short, false},
    {"XResolution", 0x011A, TExifType::Rational, false},
    {"YResolution", 0x011B, TExifType::Rational, false},
    {"ResolutionUnit", 0x0128, TExifType::Short, false},
    {"Software", 0x0131, TExifType::Ascii, false},
    {"DateTime", 0x0132, TExifType::Ascii, false},
    {"Artist", 0x013B, TExifType::Ascii, false},
    {"Copyright", 0x8298, TExifType::Ascii, false},
    // The Exif directory.
    {"ExposureTime", 0x829A, TExifType::Rational, true},
    {"FNumber", 0x829D, TExifType::Rational, true},
    {"ISOSpeedRatings", 0x8827, TExifType::Short, true},
    {"ExifVersion", 0x9000, TExifType::Undefined, true},
    {"DateTimeOriginal", 0x9003, TExifType::Ascii, true},
    {"DateTimeDigitized", 0x9004, TExifType::Ascii, true},
    {"Flash", 0x9209, TExifType::Short, true},
    {"FocalLength", 0x920A, TExifType::Rational, true},
    {"ColorSpace", 0xA001, TExifType::Short, true},
    {"PixelXDimension", 0xA002, TExifType::Long, true},
    {"PixelYDimension", 0xA003, TExifType::Long, true},
    {"ImageUniqueID", 0xA420, TExifType::Ascii, true},
};

}  // namespace

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
