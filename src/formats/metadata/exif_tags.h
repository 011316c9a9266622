#pragma once
// The Exif tags a page keeps, under their standard names, with the TIFF
// field type they are written with and the directory they belong to.
#include <cstdint>

namespace pagewell {

// TIFF field types used by Exif.
enum class TExifType : std::uint16_t {
  Byte = 1,
  Ascii = 2,
  Short = 3,
  Long = 4,
  Rational = 5,
  SByte = 6,
  Undefined = 7,
  SShort = 8,
  SLong = 9,
  SRational = 10,
};

struct TExifTagInfo {
  const char* Name;
  std::uint16_t Id;
  TExifType Type;
  bool InExifIfd;  // false: the primary image directory (IFD0)
};

// The known tags, in ascending tag order within each directory; nullptr
// when the name or the id is not one of them.
const TExifTagInfo* FindExifTag(const char* name);
const TExifTagInfo* FindExifTag(std::uint16_t id, bool inExifIfd);

// The tag in IFD0 that points to the Exif directory.
constexpr std::uint16_t kExifIfdPointerTag = 0x8769;

}  // namespace pagewell
