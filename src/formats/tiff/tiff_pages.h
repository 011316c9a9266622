#pragma once
// Whole TIFF files for callers outside the control (command-line tools):
// counting and reading pages into page bitmaps, and making the pages of a
// multi-page file (collected with TTIFList) from page bitmaps.
#include <cstdint>
#include <memory>
#include <vector>

#include "formats/tiff/tif_image.h"
#include "formats/tiff/tif_list.h"
#include "formats/tiff/tiff_directory_reader.h"
#include "formats/tiff/tiff_file_bytes.h"
#include "imaging/lu_bitmap.h"

namespace pagewell {

// Page `page` (1-based) of a TIFF file as a bitmap with the file's
// resolution and its colour mode detected. Raises EInvalidGraphic.
TluBitmap ReadTiffPage(TTiffFileBytes file, int page);

// The compression the control chooses for a page of a multi-page file:
// CCITT Group 4 for black-and-white pages, none for all others.
std::uint16_t MultiPageCompressionFor(const TluBitmap& page);

// A TIFF page encoded from the bitmap with the given compression and the
// bitmap's resolution, ready for TTIFList::Add.
std::unique_ptr<TTIFImage> MakeTiffPage(const TluBitmap& page, std::uint16_t compression);

}  // namespace pagewell
