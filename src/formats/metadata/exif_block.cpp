// Serialisation of TExif: the TIFF-structured Exif block of an APP1 segment.
#include <charconv>
#include <cstring>

#include "formats/metadata/exif.h"
#include "formats/metadata/exif_directory.h"
#include "formats/metadata/exif_errors.h"

namespace pagewell {
namespace {

constexpr char kExifIdentifier[6] = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::size_t kIdentifierSize = sizeof kExifIdentifier;

}  // namespace

std::vector<std::uint8_t> TExif::SaveToBytes() const {
  TTiffDirectoryWriter ifd0;
  AddExifImageEntries(*this, ifd0, TExifValueErrors::Raise);
  AddExifSubDirectory(*this, ifd0, TExifValueErrors::Raise);
  if (ifd0.Empty()) return {};
  TMemoryStream tiff;
  WriteTiffHeader(tiff);
  ifd0.WriteTo(tiff);
  std::vector<std::uint8_t> out(kExifIdentifier, kExifIdentifier + kIdentifierSize);
  out.insert(out.end(), tiff.Bytes().begin(), tiff.Bytes().end());
  return out;
}

void TExif::LoadFromBytes(const std::uint8_t* data, std::size_t size) {
  if (size < kIdentifierSize || std::memcmp(data, kExifIdentifier, kIdentifierSize) != 0) throw EExifError();
  std::uint32_t first = 0;
  const auto header = OpenTiffHeader(data + kIdentifierSize, size - kIdentifierSize, first);
  if (!header) throw EExifError();
  const TTiffByteReader& tiff = *header;
  TExif loaded;
  const std::uint32_t exifDirectory = ReadExifDirectory(tiff, first, TExifDirectory::Image, loaded);
  if (exifDirectory != 0) ReadExifDirectory(tiff, exifDirectory, TExifDirectory::Exif, loaded);
  tags_ = std::move(loaded.tags_);
}

double ExifRationalValue(const std::string& text) {
  const auto slash = text.find('/');
  const std::string numerator = text.substr(0, slash);
  const std::string denominator = slash == std::string::npos ? "1" : text.substr(slash + 1);
  std::int64_t n = 0, d = 0;
  const auto parse = [](const std::string& part, std::int64_t& value) {
    const char* end = part.data() + part.size();
    const auto result = std::from_chars(part.data(), end, value);
    if (part.empty() || result.ec != std::errc() || result.ptr != end) throw EExifError();
  };
  parse(numerator, n);
  parse(denominator, d);
  if (d == 0) throw ExifDivisionByZero();
  return static_cast<double>(n) / static_cast<double>(d);
}

}  // namespace pagewell
