#pragma once
// The Exif tags a page keeps, under their standard names, with the TIFF
// field type and number of values they are written with and the directory
// they belong to.
#include <cstdint>

namespace pagewell {

struct TExifTagInfo {
  const char* Name;
  std::uint16_t Id;
  std::uint16_t Type;   // a tiff::TFieldType: ASCII, UNDEFINED, SHORT, LONG or RATIONAL
  std::uint16_t Count;  // the number of values; 0 for any. A text's count includes its NUL.
  bool InExifIfd;       // false: the primary image directory (IFD0)
};

// The known tags, in ascending tag order within each directory; nullptr
// when the name or the id is not one of them.
const TExifTagInfo* FindExifTag(const char* name);
const TExifTagInfo* FindExifTag(std::uint16_t id, bool inExifIfd);

// Every known tag, IFD0's first, each directory's in ascending tag order.
const TExifTagInfo* ExifTagsBegin();
const TExifTagInfo* ExifTagsEnd();

}  // namespace pagewell
