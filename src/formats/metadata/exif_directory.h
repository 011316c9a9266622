#pragma once
// The tags of a TExif record as entries of TIFF directories. A TIFF page and
// the Exif segment of a JPEG file carry them the same way: the image tags in
// the primary directory (IFD0), the others in an Exif directory that IFD0
// points to with tag 34665. In a TIFF page IFD0 is the page's own directory
// and every offset counts from the start of the file; in a JPEG file they
// count from the TIFF header inside the segment.
#include <cstdint>

#include "formats/metadata/exif.h"
#include "formats/tiff/tiff_byte_reader.h"
#include "formats/tiff/tiff_directory_writer.h"

namespace pagewell {

// What writing does with a value its tag cannot hold ("three hundred" for
// XResolution, 70000 for Orientation, five values for WhitePoint): raise
// EExifError, or leave the tag out.
enum class TExifValueErrors { Raise, Skip };

// Adds the IFD0 tags of `exif` that `directory` does not hold yet, in
// ascending tag order (their data follows in that order). A page that
// writes a tag itself, such as its resolution, keeps its own entry.
void AddExifImageEntries(const TExif& exif, TTiffDirectoryWriter& directory, TExifValueErrors errors);
// When `exif` holds tags of the Exif directory: adds the pointer entry
// 34665 and, among the data at this point, the Exif directory with them.
void AddExifSubDirectory(const TExif& exif, TTiffDirectoryWriter& directory, TExifValueErrors errors);

enum class TExifDirectory { Image, Exif };

// Adds the known tags of the directory at `offset` of a TIFF structure to
// `exif` and answers the offset the directory gives for the Exif directory
// (0: none; only IFD0 has one). Entries of a type or count their tag does not
// have are skipped. Raises EExifError when the directory or a value of a tag
// it takes lies outside the data; `exif` may then hold some of its tags.
std::uint32_t ReadExifDirectory(const TTiffByteReader& tiff, std::uint32_t offset, TExifDirectory which,
                                TExif& exif);

}  // namespace pagewell
