#pragma once
// The numbers that name the nine output formats. Pages, the output naming and
// the bitmap's SaveToStreamAs share them; 9 means "not recognised".
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

}  // namespace pagewell
