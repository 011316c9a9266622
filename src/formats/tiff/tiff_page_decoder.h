#pragma once
// Decoding one page of a TIFF file into a raster, by its
// PhotometricInterpretation and sample layout.
#include <cstdint>
#include <vector>

#include "formats/tiff/tiff_file_bytes.h"
#include "formats/tiff/tiff_page_layout.h"
#include "imaging/raster.h"

namespace pagewell {

// Raises EInvalidGraphic with the reader's messages for layouts it does not
// support and data it cannot decode, and for pages far larger than the file
// could describe.
TRaster DecodeTiffPage(const TTiffPageLayout& page, TTiffFileBytes file, bool lzwEnabled);

}  // namespace pagewell
