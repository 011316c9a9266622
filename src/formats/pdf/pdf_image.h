#pragma once
// TPDFImage: one page of a PDF document, a full-page image already encoded
// as the document stores it.
#include <cstdint>

#include "formats/memory_stream.h"

namespace pagewell {

enum TPDFImageKind : std::uint8_t {
  pkCCITTGroup4 = 0,  // black-and-white, CCITT Group 4 bit stream
  pkJpegColor = 1,    // a JPEG file with three components
  pkJpegGray = 2,     // a JPEG file with one gray component
};

struct TPDFImage {
  TMemoryStream Data;  // the JPEG file or the Group 4 bit stream
  std::int32_t PageWidth = 0;    // points (1/72 inch)
  std::int32_t PageHeight = 0;   // points
  std::int32_t PixelWidth = 0;
  std::int32_t PixelHeight = 0;
  TPDFImageKind Kind = pkJpegColor;
};

}  // namespace pagewell
