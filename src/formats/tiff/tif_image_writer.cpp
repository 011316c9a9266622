// TTIFImage::SaveToStream: the one-page file and the directory of a page.
#include <cctype>
#include <cmath>
#include <sstream>

#include "formats/tiff/tif_image.h"
#include "formats/tiff/tiff_directory_writer.h"
#include "imaging/errors.h"

namespace pagewell {
namespace {

std::uint32_t Resolution(std::int32_t dpi) { return static_cast<std::uint32_t>(dpi) * 1000u; }

// Rationals from an Exif text such as "1/3, 2/3" or "0.3127 0.329".
std::vector<std::uint32_t> ParseRationals(const std::string& text) {
  std::vector<std::uint32_t> values;
  std::string item;
  std::istringstream in(text);
  while (in >> item) {
    while (!item.empty() && item.back() == ',') item.pop_back();
    if (item.empty()) continue;
    const auto slash = item.find('/');
    try {
      if (slash != std::string::npos) {
        values.push_back(static_cast<std::uint32_t>(std::stoul(item.substr(0, slash))));
        values.push_back(static_cast<std::uint32_t>(std::stoul(item.substr(slash + 1))));
      } else {
        const double v = std::stod(item);
        values.push_back(static_cast<std::uint32_t>(std::lround(std::fabs(v) * 10000)));
        values.push_back(10000);
      }
    } catch (const std::exception&) {
      return {};  // not numbers: the entry is left out
    }
  }
  return values;
}

std::vector<std::uint16_t> ParseShorts(const std::string& text) {
  std::vector<std::uint16_t> values;
  std::string item;
  std::istringstream in(text);
  while (in >> item) {
    while (!item.empty() && item.back() == ',') item.pop_back();
    if (item.empty()) continue;
    try {
      values.push_back(static_cast<std::uint16_t>(std::stoul(item)));
    } catch (const std::exception&) {
      return {};
    }
  }
  return values;
}

enum class TValueKind { Ascii, Short, Rational };

struct TMetadataTag {
  std::uint16_t tag;
  const char* exifName;
  TValueKind kind;
};

// The descriptive entries a page may carry, in tag order.
constexpr TMetadataTag kMetadataTags[] = {
    {tiff::tagImageDescription, "ImageDescription", TValueKind::Ascii},
    {tiff::tagMake, "Make", TValueKind::Ascii},
    {tiff::tagModel, "Model", TValueKind::Ascii},
    {tiff::tagOrientation, "Orientation", TValueKind::Short},
    {tiff::tagPlanarConfiguration, "PlanarConfiguration", TValueKind::Short},
    {tiff::tagSoftware, "Software", TValueKind::Ascii},
    {tiff::tagDateTime, "DateTime", TValueKind::Ascii},
    {tiff::tagArtist, "Artist", TValueKind::Ascii},
    {tiff::tagWhitePoint, "WhitePoint", TValueKind::Rational},
    {tiff::tagPrimaryChromaticities, "PrimaryChromaticities", TValueKind::Rational},
    {tiff::tagYCbCrCoefficients, "YCbCrCoefficients", TValueKind::Rational},
    {tiff::tagYCbCrSubSampling, "YCbCrSubSampling", TValueKind::Short},
    {tiff::tagYCbCrPositioning, "YCbCrPositioning", TValueKind::Short},
    {tiff::tagReferenceBlackWhite, "ReferenceBlackWhite", TValueKind::Rational},
    {tiff::tagCopyright, "Copyright", TValueKind::Ascii},
};

constexpr std::size_t kDateTimeLength = 20;  // "YYYY:MM:DD HH:MM:SS" and NUL

}  // namespace

void WriteTiffHeader(TMemoryStream& file) {
  file.WriteByte('I');
  file.WriteByte('I');
  file.WriteU16LE(42);
  file.WriteU32LE(8);
}

void TTIFImage::AddMetadataEntries(TTiffDirectoryWriter& directory) const {
  for (const TMetadataTag& m : kMetadataTags) {
    const std::string value = Exif.Value(m.exifName);
    if (value.empty()) continue;
    if (m.tag == tiff::tagPlanarConfiguration) {
      // The strip is always stored chunky, whatever the source file had.
      directory.AddShort(m.tag, 1);
      continue;
    }
    switch (m.kind) {
      case TValueKind::Ascii:
        directory.AddAscii(m.tag, value, m.tag == tiff::tagDateTime ? kDateTimeLength : 0);
        break;
      case TValueKind::Short: {
        const auto shorts = ParseShorts(value);
        if (!shorts.empty()) directory.AddShorts(m.tag, shorts);
        break;
      }
      case TValueKind::Rational: {
        const auto rationals = ParseRationals(value);
        if (!rationals.empty()) directory.AddRationals(m.tag, rationals);
        break;
      }
    }
  }
  if (!IccProfile.Empty()) directory.AddUndefined(tiff::tagICCProfile, IccProfile.Data);
}

std::uint32_t TTIFImage::AppendDirectory(TMemoryStream& file) const {
  TTiffDirectoryWriter directory;
  // Added in the order their data follows the directory: BitsPerSample (RGB),
  // the strip, XResolution, YResolution, the colour map.
  directory.AddLong(tiff::tagImageWidth, ImageWidth);
  directory.AddLong(tiff::tagImageLength, ImageLength);
  directory.AddShorts(tiff::tagBitsPerSample, BitsPerSample);
  directory.AddShort(tiff::tagCompression, Compression);
  directory.AddShort(tiff::tagPhotometric, Photometric);
  directory.AddShort(tiff::tagFillOrder, FillOrder);
  directory.AddDataOffset(tiff::tagStripOffsets, strip_);
  directory.AddShort(tiff::tagSamplesPerPixel, SamplesPerPixel);
  directory.AddLong(tiff::tagRowsPerStrip, RowsPerStrip);
  directory.AddLong(tiff::tagStripByteCounts, static_cast<std::uint32_t>(strip_.size()));
  directory.AddRationals(tiff::tagXResolution, {Resolution(XDpi), 1000});
  directory.AddRationals(tiff::tagYResolution, {Resolution(YDpi), 1000});
  directory.AddShort(tiff::tagResolutionUnit, 2);
  if (Kind == TTIFKind::Palette) directory.AddShorts(tiff::tagColorMap, colorMap_);
  AddMetadataEntries(directory);
  return directory.WriteTo(file);
}

void TTIFImage::SaveToStream(TMemoryStream& stream) const {
  const std::vector<std::uint8_t> bytes = SaveToBytes();
  stream.Write(bytes.data(), bytes.size());
}

std::vector<std::uint8_t> TTIFImage::SaveToBytes() const {
  TMemoryStream file;
  WriteTiffHeader(file);
  AppendDirectory(file);
  return file.Bytes();
}

void TTIFImage::SaveToClipboardFormat() const { throw EInvalidGraphic("Clipboard functions not supported"); }

void TTIFImage::LoadFromClipboardFormat() { throw EInvalidGraphic("Clipboard functions not supported"); }

}  // namespace pagewell
