#pragma once
// CCITT Group 4 (T.6) coding of a bilevel image: the page data of
// black-and-white TIFF pages and of the PDF writer's CCITTFax streams.
#include <cstdint>
#include <vector>

#include "formats/memory_stream.h"
#include "imaging/raster.h"

namespace pagewell {

// Codes every row of `bitmap` against the row above (the first against an
// all-white row), then the end-of-facsimile block, the last byte padded with
// zero bits. White is the brighter of the two palette entries (index 1 of a
// black-and-white bitmap); a bitmap of another depth is coded from a 1-bit
// copy. Writes at the stream's position.
void EncodeGroup4(const TRaster& bitmap, TMemoryStream& stream);
std::vector<std::uint8_t> EncodeGroup4(const TRaster& bitmap);

}  // namespace pagewell
