#pragma once
// TJPEGImageExtra: the JPEG graphic. It compresses a bitmap into baseline
// (or progressive) JPEG data through the JPEG library, reads JPEG data
// back, and carries a page's metadata beside the compressed bytes: Exif
// tags, Photoshop/IPTC file information and an ICC colour profile.
//
// Writing: assign a bitmap (or hand one to CompressFrom), set quality,
// density, grayscale, progressive and the ICC profile, then SaveToStream.
// Reading: LoadFromStream fills the size, density, colour space, metadata
// and estimated quality; DecodeTo gives the pixels.
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "formats/metadata/bim_segment.h"
#include "formats/metadata/exif.h"
#include "formats/metadata/file_info.h"
#include "formats/metadata/icc_profile.h"
#include "formats/memory_stream.h"
#include "imaging/lu_bitmap.h"
#include "imaging/raster.h"

namespace pagewell {

enum class TJPEGPixelFormat : std::uint8_t { jf24Bit, jf8Bit };
enum class TJPEGPerformance : std::uint8_t { jpBestQuality, jpBestSpeed };
enum class TJPEGScale : std::uint8_t { jsFullSize, jsHalf, jsQuarter, jsEighth };

// Colour-space codes set by reading.
enum TJPEGColorSpaceCode : std::uint8_t {
  jcRGB = 0,
  jcCMYK = 1,  // CMYK or YCCK
  jcGray = 2,
  jcYCbCr = 3,
  jcOther = 4,
};

// The settings every new image starts with.
struct TJPEGDefaults {
  int CompressionQuality = 90;
  bool Grayscale = false;
  TJPEGPixelFormat PixelFormat = TJPEGPixelFormat::jf24Bit;
  bool ProgressiveEncoding = false;
  bool ProgressiveDisplay = false;
  TJPEGPerformance Performance = TJPEGPerformance::jpBestQuality;
  TJPEGScale Scale = TJPEGScale::jsFullSize;
  bool Smoothing = true;
};
inline constexpr TJPEGDefaults JPEGDefaults{};

// The compressed image: its bytes (empty until compressed or loaded), size,
// gray flag and density in dots per inch.
struct TJPEGExtraData {
  std::vector<std::uint8_t> Data;
  int Width = 0;
  int Height = 0;
  bool Grayscale = false;
  std::uint16_t XDensity = 0;
  std::uint16_t YDensity = 0;
};

class TJPEGImageExtra {
 public:
  static constexpr const char* kDescription = "JPEG Image File";
  static constexpr const char* kExtensions[] = {"jpeg", "jpg"};

  TJPEGImageExtra() = default;

  // Writing settings (the defaults of JPEGDefaults).
  int CompressionQuality = JPEGDefaults.CompressionQuality;  // 1..100, baseline tables
  bool Grayscale = JPEGDefaults.Grayscale;
  bool ProgressiveEncoding = JPEGDefaults.ProgressiveEncoding;
  bool EmbedIccProfile = false;  // write the profile, and read it
  // Decoding settings.
  TJPEGPixelFormat PixelFormat = JPEGDefaults.PixelFormat;
  bool ProgressiveDisplay = JPEGDefaults.ProgressiveDisplay;
  TJPEGPerformance Performance = JPEGDefaults.Performance;
  TJPEGScale Scale = JPEGDefaults.Scale;
  bool Smoothing = JPEGDefaults.Smoothing;
  // Set by reading.
  TJPEGColorSpaceCode ColorSpaceCode = jcOther;
  int EstimatedQuality = 0;
  double QualityVariance = 0;

  // Metadata.
  TFileInfo FileInfo;
  TExif Exif;
  TICCProfile IccProfile;
  TBIMList BIMList;  // the Photoshop resources of the last file read

  int Width() const { return image_.Width; }
  int Height() const { return image_.Height; }
  // A JPEG's size follows its bitmap: raises EInvalidGraphic
  // "Cannot change the size of a JPEG image".
  void SetWidth(int width);
  void SetHeight(int height);

  // Density in dots per inch, cut to 16 bits.
  std::uint16_t XDensity() const { return image_.XDensity; }
  std::uint16_t YDensity() const { return image_.YDensity; }
  void SetXDensity(int dpi) { image_.XDensity = static_cast<std::uint16_t>(dpi); }
  void SetYDensity(int dpi) { image_.YDensity = static_cast<std::uint16_t>(dpi); }

  // Keeps a copy of the bitmap for Compress and drops compressed data.
  void Assign(const TRaster& bitmap);
  // Builds the compressed bytes from the assigned bitmap if there are none yet.
  void Compress();
  // Compresses the bitmap now with the current settings, keeping no copy.
  void CompressFrom(const TRaster& bitmap);
  // The compressed bytes exactly as the library produced them (no density,
  // no metadata segments).
  const std::vector<std::uint8_t>& CompressedData() const { return image_.Data; }
  // Hands the compressed bytes over without a copy; none are left here.
  std::vector<std::uint8_t> TakeCompressedData() { return std::exchange(image_.Data, {}); }

  // Compresses if needed and writes the file at the stream's position:
  // the library's data with the metadata segments after the APP0 segment
  // and the density in APP0; the position then goes back to where the file
  // starts. A bitmap without pixels writes nothing.
  void SaveToStream(TMemoryStream& stream);
  // Reads a JPEG from the stream's position to its end. Raises EJPEG for
  // data the library refuses and EExifError for malformed Exif data.
  void LoadFromStream(TMemoryStream& stream);
  // The pixels of the loaded image: 24 bits, or 8 bits with a gray palette
  // for gray files (or a quantised palette with PixelFormat jf8Bit), at
  // the file's density. Images above kMaxDecodedPixels are refused.
  void DecodeTo(TluBitmap& bitmap) const;

  static constexpr std::uint64_t kMaxDecodedPixels = std::uint64_t{1} << 27;

 private:
  bool HasMetadataToWrite() const;
  std::vector<std::uint8_t> WithMetadataSegments() const;
  void ReadHeader();
  void ReadSegments(bool densityFromExif);
  void TakeExifDensity();

  TJPEGExtraData image_;
  std::optional<TRaster> bitmap_;
};

// How a page is saved as a JPEG file: the page's DPI as density, its
// Progressive flag, gray output for a gray palette, its ICC profile with
// its EmbedIcc flag. The stream should be fresh (the file is patched at
// offsets from where it starts).
void SaveBitmapAsJpeg(const TluBitmap& page, int quality, TMemoryStream& stream);

}  // namespace pagewell
