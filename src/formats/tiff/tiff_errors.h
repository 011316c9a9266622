#pragma once
// Errors of the TIFF reader. Every reading failure is an EInvalidGraphic
// carrying one of the fixed messages below.
#include "imaging/errors.h"

namespace pagewell {

// Group 4 data that ends before every row of its strip is decoded. The
// bilevel decoder catches exactly this error, keeps the rows decoded so far
// and goes on with the next strip.
class EOverrunStream : public EInvalidGraphic {
 public:
  EOverrunStream() : EInvalidGraphic("Abort Group4 read") {}
};

namespace tiffmsg {
inline constexpr const char* kNotTiff = "File is not TIFF format";
inline constexpr const char* kNoPage = "TIFF file error - cannot find requested page";
inline constexpr const char* kMissingSize = "TIFF file has missing image Width/Height";
inline constexpr const char* kMissingPhotometric = "TIFF file has missing PhotometricInterpretation data";
inline constexpr const char* kMissingStripOffsets = "TIFF file has missing StripOffsets data";
inline constexpr const char* kMissingStripByteCounts = "TIFF file has missing StripByteCounts data";
inline constexpr const char* kStripCounts = "TIFF file has errors in strip counts";
inline constexpr const char* kJPEG = "JPEG Compression not supported";
inline constexpr const char* kUnknownCompression = "Unknown or unsupported Compression method";
inline constexpr const char* kLZWDisabled = "Reading of LZW-compressed files not supported";
inline constexpr const char* kCorrupted = "TIFF file image data corrupted";
inline constexpr const char* kBilevel = "TIFF file error in bilevel image data";
inline constexpr const char* kGrayscale = "TIFF file error in grayscale image data";
inline constexpr const char* kColourDepth = "TIFF file colour depth not supported";
inline constexpr const char* kRGB = "TIFF file error in RGB image data";
inline constexpr const char* kPalette = "TIFF file error in palette image data";
inline constexpr const char* kSeparated = "TIFF file Separated image format not supported";
inline constexpr const char* kYCbCr = "TIFF file YCbCr format not supported";
inline constexpr const char* kPhotometricValue = "TIFF file PhotometricInterpretation value not supported";
inline constexpr const char* kUnknownFormat = "TIFF file has unknown or unsupported format";
inline constexpr const char* kChecksum = "TIFF file checksum error";
// A decoded page larger than the file can plausibly describe.
inline constexpr const char* kTooLarge = "TIFF file image is too large";
}  // namespace tiffmsg

}  // namespace pagewell
