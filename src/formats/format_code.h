#pragma once
// The numbers that name the nine output formats. Pages, the output naming and
// the bitmap's SaveToStreamAs share them; 9 means "not recognised".
#include <string_view>

namespace pagewell {

enum TFormatCode : int {
  fcBMP = 0,
  fcGIF = 1,
  fcJPEG = 2,
  fcPCX = 3,
  fcTIFF = 4,
  fcPNG = 5,
  fcPSD = 6,
  fcWBMP = 7,
  fcPDF = 8,
  fcNone = 9,
};

// The format an upper-case extension selects (".TIF" and ".TIFF" give
// fcTIFF, ".JPG", ".JPEG" and ".JPE" fcJPEG, ...); fcNone for any other text.
// The comparison is exact: callers upper-case the extension themselves.
TFormatCode FormatForExtension(std::string_view upperCaseExtension);

// Only TIFF and PDF files hold several pages.
inline bool FormatHoldsSeveralPages(int code) { return code == fcTIFF || code == fcPDF; }

}  // namespace pagewell
