#include "formats/jpeg/jpeg_image_extra.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "formats/jpeg/jpeg_compression.h"
#include "formats/jpeg/icc_chunks.h"
#include "formats/jpeg/jpeg_errors.h"
#include "formats/jpeg/jpeg_library.h"
#include "formats/jpeg/jpeg_quality_estimate.h"
#include "formats/jpeg/jpeg_segments.h"

namespace pagewell {
namespace {

// SOI and the library's 18-byte JFIF APP0 segment: metadata goes after them.
constexpr std::size_t kJfifEnd = 20;
// The density unit in the APP0 segment; the two densities follow it.
constexpr std::size_t kDensityUnitOffset = 13;
constexpr std::uint8_t kDotsPerInch = 1;
constexpr std::uint8_t kDotsPerCentimetre = 2;

constexpr char kPhotoshopIdentifier[] = "Photoshop 3.0";  // with its zero byte: 14 bytes
constexpr std::size_t kPhotoshopIdentifierSize = sizeof kPhotoshopIdentifier;

// Data that starts as the library writes it: SOI, then a JFIF APP0 segment
// whose length field says 16. Loaded files may start otherwise; they keep
// their own density and get the metadata right after SOI.
bool StartsWithLibraryApp0(const std::vector<std::uint8_t>& data) {
  static const std::uint8_t kStart[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0};
  return data.size() >= kJfifEnd && std::equal(kStart, kStart + sizeof kStart, data.begin());
}

std::uint16_t ClampDensity(double dpi) {
  return static_cast<std::uint16_t>(std::clamp(std::lround(dpi), 0L, 65535L));
}

std::vector<std::uint8_t> PhotoshopSegment(const TFileInfo& info) {
  std::vector<std::uint8_t> payload(kPhotoshopIdentifier, kPhotoshopIdentifier + kPhotoshopIdentifierSize);
  const auto resources = SavePhotoshopResources(info.ToResources());
  payload.insert(payload.end(), resources.begin(), resources.end());
  if (payload.size() > kMaxSegmentPayload) throw EInvalidGraphic("File information too large for a JPEG segment");
  return MarkerSegment(kMarkerAPP13, payload.data(), payload.size());
}

std::vector<std::uint8_t> ExifSegment(const TExif& exif) {
  const auto block = exif.SaveToBytes();
  if (block.empty()) return block;
  if (block.size() > kMaxSegmentPayload) throw EExifError();
  return MarkerSegment(kMarkerAPP1, block.data(), block.size());
}

TJPEGColorSpaceCode ColorSpaceCodeOf(J_COLOR_SPACE space) {
  switch (space) {
    case JCS_RGB: return jcRGB;
    case JCS_CMYK:
    case JCS_YCCK: return jcCMYK;
    case JCS_GRAYSCALE: return jcGray;
    case JCS_YCbCr: return jcYCbCr;
    default: return jcOther;
  }
}

int ScaleDenominator(TJPEGScale scale) {
  switch (scale) {
    case TJPEGScale::jsHalf: return 2;
    case TJPEGScale::jsQuarter: return 4;
    case TJPEGScale::jsEighth: return 8;
    default: return 1;
  }
}

std::int32_t PelsPerMeter(int dpi) { return (dpi * 10000 + 127) / 254; }

}  // namespace

void TJPEGImageExtra::SetWidth(int) { throw EInvalidGraphic("Cannot change the size of a JPEG image"); }
void TJPEGImageExtra::SetHeight(int) { throw EInvalidGraphic("Cannot change the size of a JPEG image"); }

// --- writing -------------------------------------------------------------------

void TJPEGImageExtra::Assign(const TRaster& bitmap) {
  bitmap_ = bitmap;
  image_.Data.clear();
  image_.Width = bitmap.Width();
  image_.Height = bitmap.Height();
}

void TJPEGImageExtra::Compress() {
  if (!image_.Data.empty() || !bitmap_) return;
  CompressFrom(*bitmap_);
}

void TJPEGImageExtra::CompressFrom(const TRaster& bitmap) {
  TJpegCompressionSettings settings;
  settings.Quality = CompressionQuality;
  settings.Grayscale = Grayscale;
  settings.Progressive = ProgressiveEncoding;
  image_.Data = CompressRaster(bitmap, settings);
  image_.Width = bitmap.Width();
  image_.Height = bitmap.Height();
  image_.Grayscale = Grayscale;
}

bool TJPEGImageExtra::HasMetadataToWrite() const {
  return FileInfo.Changed || (EmbedIccProfile && !IccProfile.Empty()) || !Exif.Empty();
}

// "Each one is inserted directly after the first 20 bytes, so a segment
// inserted later ends up before those inserted earlier": APP13, then the
// APP2 chunks, then APP1 give SOI, APP0, APP1, APP2..., APP13.
std::vector<std::uint8_t> TJPEGImageExtra::WithMetadataSegments() const {
  const auto& data = image_.Data;
  std::vector<std::uint8_t> photoshop, icc, exif;
  if (FileInfo.Changed) photoshop = PhotoshopSegment(FileInfo);
  if (EmbedIccProfile) icc = IccJpegSegments(IccProfile);
  if (!Exif.Empty()) exif = ExifSegment(Exif);
  const std::size_t insertAt = StartsWithLibraryApp0(data) ? kJfifEnd : std::min<std::size_t>(2, data.size());
  std::vector<std::uint8_t> file;
  file.reserve(data.size() + photoshop.size() + icc.size() + exif.size());
  file.insert(file.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(insertAt));
  file.insert(file.end(), exif.begin(), exif.end());
  file.insert(file.end(), icc.begin(), icc.end());
  file.insert(file.end(), photoshop.begin(), photoshop.end());
  file.insert(file.end(), data.begin() + static_cast<std::ptrdiff_t>(insertAt), data.end());
  return file;
}

void TJPEGImageExtra::SaveToStream(TMemoryStream& stream) {
  Compress();
  if (image_.Data.empty()) return;
  const std::size_t start = stream.Position();
  if (HasMetadataToWrite()) {
    const auto file = WithMetadataSegments();
    stream.Write(file.data(), file.size());
  } else {
    stream.Write(image_.Data.data(), image_.Data.size());
  }
  // The library wrote density unit 0 and 1 by 1; the page's resolution goes
  // in its place, in dots per inch.
  if (StartsWithLibraryApp0(image_.Data)) {
    stream.Seek(start + kDensityUnitOffset);
    stream.WriteByte(kDotsPerInch);
    stream.WriteU16BE(image_.XDensity);
    stream.WriteU16BE(image_.YDensity);
  }
  stream.Seek(start);
}

void SaveBitmapAsJpeg(const TluBitmap& page, int quality, TMemoryStream& stream) {
  TJPEGImageExtra jpeg;
  jpeg.CompressionQuality = quality;
  jpeg.SetXDensity(page.XDpi());
  jpeg.SetYDensity(page.YDpi());
  jpeg.ProgressiveEncoding = page.Progressive;
  jpeg.Grayscale = page.IsGrayPalette();
  jpeg.IccProfile = page.IccProfile;
  jpeg.EmbedIccProfile = page.EmbedIcc;
  jpeg.CompressFrom(page);
  jpeg.SaveToStream(stream);
}

// --- reading -------------------------------------------------------------------

void TJPEGImageExtra::LoadFromStream(TMemoryStream& stream) {
  const std::size_t available = stream.Size() > stream.Position() ? stream.Size() - stream.Position() : 0;
  std::vector<std::uint8_t> data(available);
  stream.Read(data.data(), available);
  bitmap_.reset();
  image_ = TJPEGExtraData{};
  image_.Data = std::move(data);
  FileInfo.Clear();
  Exif.Clear();
  IccProfile.Clear();
  BIMList.clear();
  EstimatedQuality = 0;
  QualityVariance = 0;
  ReadHeader();
}

void TJPEGImageExtra::ReadHeader() {
  jpeg::TDecompression decompression(image_.Data.data(), image_.Data.size());
  decompression.ReadHeader();
  const auto& info = decompression.Info();
  image_.Width = static_cast<int>(info.image_width);
  image_.Height = static_cast<int>(info.image_height);
  image_.Grayscale = info.jpeg_color_space == JCS_GRAYSCALE;
  Grayscale = image_.Grayscale;
  ProgressiveEncoding = info.progressive_mode != 0;
  ColorSpaceCode = ColorSpaceCodeOf(info.jpeg_color_space);
  // "Unit 1 as it stands, unit 2 times 2.54 rounded, any other unit 0 by 0."
  if (info.density_unit == kDotsPerInch) {
    image_.XDensity = info.X_density;
    image_.YDensity = info.Y_density;
  } else if (info.density_unit == kDotsPerCentimetre) {
    image_.XDensity = ClampDensity(info.X_density * 2.54);
    image_.YDensity = ClampDensity(info.Y_density * 2.54);
  }
  // Without a JFIF segment the library reports 1 by 1 as well.
  const bool noRealDensity = info.X_density == 1 && info.Y_density == 1;
  ReadSegments(noRealDensity);
}

void TJPEGImageExtra::ReadSegments(bool densityFromExif) {
  TJpegQualityEstimate quality;
  TICCChunkCollector icc;
  for (const auto& segment : SegmentsBeforeScan(image_.Data.data(), image_.Data.size())) {
    switch (segment.Marker) {
      case kMarkerAPP13:
        if (segment.Size >= kPhotoshopIdentifierSize &&
            std::memcmp(segment.Payload, kPhotoshopIdentifier, kPhotoshopIdentifierSize) == 0) {
          BIMList = LoadPhotoshopResources(segment.Payload + kPhotoshopIdentifierSize,
                                           segment.Size - kPhotoshopIdentifierSize);
          FileInfo.LoadFromResources(BIMList);
        }
        break;
      case kMarkerAPP1:
        if (segment.Size >= 6 && std::memcmp(segment.Payload, "Exif\0\0", 6) == 0) {
          Exif.LoadFromBytes(segment.Payload, segment.Size);
          if (densityFromExif) TakeExifDensity();
        }
        break;
      case kMarkerAPP2:
        if (EmbedIccProfile) icc.Add(segment.Payload, segment.Size);
        break;
      case kMarkerDQT:
        quality.AddTables(segment.Payload, segment.Size);
        break;
      default:
        break;
    }
  }
  IccProfile.Data = icc.Profile();
  EstimatedQuality = quality.Quality();
  QualityVariance = quality.Variance();
}

// The Exif resolution, in dots per inch unless the unit says centimetres.
void TJPEGImageExtra::TakeExifDensity() {
  const double perUnit = Exif.Value("ResolutionUnit") == "3" ? 0.3937007874 : 1.0;
  const std::string x = Exif.Value("XResolution"), y = Exif.Value("YResolution");
  if (!x.empty()) image_.XDensity = ClampDensity(ExifRationalValue(x) / perUnit);
  if (!y.empty()) image_.YDensity = ClampDensity(ExifRationalValue(y) / perUnit);
}

// --- decoding ------------------------------------------------------------------

void TJPEGImageExtra::DecodeTo(TluBitmap& bitmap) const {
  jpeg::TDecompression decompression(image_.Data.data(), image_.Data.size());
  decompression.ReadHeader();
  auto& info = decompression.Info();
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  const bool gray = info.jpeg_color_space == JCS_GRAYSCALE;
  const bool quantise = PixelFormat == TJPEGPixelFormat::jf8Bit && !gray && !cmyk;
  info.scale_num = 1;
  info.scale_denom = static_cast<unsigned>(ScaleDenominator(Scale));
  info.dct_method = Performance == TJPEGPerformance::jpBestSpeed ? JDCT_IFAST : JDCT_ISLOW;
  info.do_fancy_upsampling = Smoothing ? TRUE : FALSE;
  if (gray) {
    info.out_color_space = JCS_GRAYSCALE;
  } else if (cmyk) {
    info.out_color_space = JCS_CMYK;
  } else {
    info.out_color_space = JCS_RGB;
  }
  if (quantise) {
    info.quantize_colors = TRUE;
    info.desired_number_of_colors = 256;
  }
  decompression.CalcOutputDimensions();
  if (std::uint64_t{info.output_width} * info.output_height > kMaxDecodedPixels) {
    throw EInvalidGraphic("JPEG image too large");
  }
  decompression.Start();

  const int width = static_cast<int>(info.output_width), height = static_cast<int>(info.output_height);
  TluBitmap result;
  result.SetPixelFormat(gray || quantise ? TPixelFormat::pf8bit : TPixelFormat::pf24bit);
  result.SetSize(width, height);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * static_cast<std::size_t>(info.output_components));
  const bool invertedInk = info.saw_Adobe_marker != 0;
  for (int y = 0; y < height; ++y) {
    JSAMPROW rows[1] = {row.data()};
    if (decompression.ReadRows(rows, 1) != 1) break;
    std::uint8_t* out = result.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* p = row.data() + static_cast<std::size_t>(x) * static_cast<std::size_t>(info.output_components);
      if (gray || quantise) {
        out[x] = p[0];
      } else if (cmyk) {
        // Adobe writes the inks inverted: a stored 255 is no ink.
        const int c = invertedInk ? p[0] : 255 - p[0], m = invertedInk ? p[1] : 255 - p[1];
        const int ye = invertedInk ? p[2] : 255 - p[2], k = invertedInk ? p[3] : 255 - p[3];
        out[3 * x] = static_cast<std::uint8_t>(ye * k / 255);
        out[3 * x + 1] = static_cast<std::uint8_t>(m * k / 255);
        out[3 * x + 2] = static_cast<std::uint8_t>(c * k / 255);
      } else {
        out[3 * x] = p[2];
        out[3 * x + 1] = p[1];
        out[3 * x + 2] = p[0];
      }
    }
  }
  if (gray) {
    std::vector<TColor> palette(256);
    for (unsigned i = 0; i < 256; ++i) palette[i] = RGBColor(i, i, i);
    result.SetPaletteKeepingIndices(palette);
  } else if (quantise) {
    std::vector<TColor> palette(256, clBlack);
    for (int i = 0; i < info.actual_number_of_colors && i < 256; ++i) {
      palette[static_cast<std::size_t>(i)] = RGBColor(info.colormap[0][i], info.colormap[1][i], info.colormap[2][i]);
    }
    result.SetPaletteKeepingIndices(palette);
  }
  decompression.Finish();
  result.XPelsPerMeter = PelsPerMeter(image_.XDensity);
  result.YPelsPerMeter = PelsPerMeter(image_.YDensity);
  result.DetectColorMode();
  bitmap = std::move(result);
}

}  // namespace pagewell
