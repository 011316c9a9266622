#pragma once
// Reading the image file directories of a TIFF file: finding a page by
// following the next-IFD links, and turning its entries into a page layout
// and the page's metadata.
#include <cstdint>
#include <vector>

#include "formats/metadata/exif.h"
#include "formats/metadata/file_info.h"
#include "formats/metadata/icc_profile.h"
#include "formats/tiff/tiff_file_bytes.h"
#include "formats/tiff/tiff_page_layout.h"

namespace pagewell {

struct TTiffMetadata {
  TFileInfo fileInfo;
  TExif exif;
  TICCProfile iccProfile;
};

// Reads the directory of `page` (1-based). Raises EInvalidGraphic with the
// reader's messages for a file that is not TIFF, a missing page, a bad entry
// or missing required entries.
TTiffPageLayout ReadTiffPageLayout(TTiffFileBytes file, std::uint32_t page, TTiffMetadata& metadata);

// Number of pages (directories) of a TIFF file; raises for a file that is not TIFF.
int CountTiffPages(TTiffFileBytes file);

}  // namespace pagewell
