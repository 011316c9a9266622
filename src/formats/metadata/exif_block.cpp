// Serialisation of TExif: the TIFF-structured Exif block of an APP1 segment.
#include <algorithm>
#include <charconv>
#include <cstring>

#include "formats/metadata/exif.h"
#include "formats/metadata/exif_tags.h"
#include "formats/jpeg/jpeg_errors.h"

namespace pagewell {
namespace {

constexpr char kExifIdentifier[6] = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::size_t kIdentifierSize = sizeof kExifIdentifier;
constexpr std::uint32_t kFirstIfdOffset = 8;

unsigned TypeSize(std::uint16_t type) {
  switch (static_cast<TExifType>(type)) {
    case TExifType::Byte:
    case TExifType::Ascii:
    case TExifType::SByte:
    case TExifType::Undefined: return 1;
    case TExifType::Short:
    case TExifType::SShort: return 2;
    case TExifType::Long:
    case TExifType::SLong: return 4;
    case TExifType::Rational:
    case TExifType::SRational: return 8;
  }
  return 0;  // a type we do not read (float, double, or unknown)
}

// --- writing -----------------------------------------------------------------

struct TEntry {
  std::uint16_t Id;
  TExifType Type;
  std::uint32_t Count;
  std::vector<std::uint8_t> Value;
};

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

template <class T>
T ParseNumber(const std::string& text) {
  T value{};
  const auto end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  if (text.empty() || result.ec != std::errc() || result.ptr != end) throw EExifError();
  return value;
}

// "n/d", or "n" for n/1.
template <class T>
std::pair<T, T> ParseRational(const std::string& text) {
  const auto slash = text.find('/');
  if (slash == std::string::npos) return {ParseNumber<T>(text), 1};
  return {ParseNumber<T>(text.substr(0, slash)), ParseNumber<T>(text.substr(slash + 1))};
}

TEntry EncodeTag(const TExifTagInfo& tag, const std::string& text) {
  TEntry entry{tag.Id, tag.Type, 1, {}};
  switch (tag.Type) {
    case TExifType::Ascii:
      entry.Value.assign(text.begin(), text.end());
      entry.Value.push_back(0);
      break;
    case TExifType::Undefined:
      entry.Value.assign(text.begin(), text.end());
      break;
    case TExifType::Short:
      PutU16(entry.Value, ParseNumber<std::uint16_t>(text));
      break;
    case TExifType::Long:
      PutU32(entry.Value, ParseNumber<std::uint32_t>(text));
      break;
    case TExifType::Rational: {
      const auto r = ParseRational<std::uint32_t>(text);
      PutU32(entry.Value, r.first);
      PutU32(entry.Value, r.second);
      break;
    }
    default:
      throw EExifError();
  }
  if (tag.Type == TExifType::Ascii || tag.Type == TExifType::Undefined) {
    entry.Count = static_cast<std::uint32_t>(entry.Value.size());
  }
  return entry;
}

std::size_t IfdSize(const std::vector<TEntry>& entries) {
  std::size_t size = 2 + 12 * entries.size() + 4;
  for (const auto& e : entries) {
    if (e.Value.size() > 4) size += (e.Value.size() + 1) & ~std::size_t{1};
  }
  return size;
}

// One directory at `offset` from the TIFF header: entry count, entries in
// ascending tag order, a zero next-directory offset, then the values that
// do not fit in 4 bytes, each starting on a word boundary.
void LayOutIfd(std::vector<TEntry> entries, std::uint32_t offset, std::vector<std::uint8_t>& out) {
  std::sort(entries.begin(), entries.end(), [](const TEntry& a, const TEntry& b) { return a.Id < b.Id; });
  std::uint32_t dataOffset = offset + static_cast<std::uint32_t>(2 + 12 * entries.size() + 4);
  std::vector<std::uint8_t> data;
  PutU16(out, static_cast<std::uint32_t>(entries.size()));
  for (const auto& e : entries) {
    PutU16(out, e.Id);
    PutU16(out, static_cast<std::uint32_t>(e.Type));
    PutU32(out, e.Count);
    if (e.Value.size() <= 4) {
      std::vector<std::uint8_t> field = e.Value;
      field.resize(4, 0);
      out.insert(out.end(), field.begin(), field.end());
    } else {
      PutU32(out, dataOffset + static_cast<std::uint32_t>(data.size()));
      data.insert(data.end(), e.Value.begin(), e.Value.end());
      if (data.size() % 2) data.push_back(0);
    }
  }
  PutU32(out, 0);
  out.insert(out.end(), data.begin(), data.end());
}

// --- reading -----------------------------------------------------------------

// The TIFF structure inside the block; every read is checked against its end.
class TTiffView {
 public:
  TTiffView(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {
    if (size < 8) throw EExifError();
    if (data[0] == 'I' && data[1] == 'I') {
      bigEndian_ = false;
    } else if (data[0] == 'M' && data[1] == 'M') {
      bigEndian_ = true;
    } else {
      throw EExifError();
    }
    if (U16(2) != 42) throw EExifError();
  }

  std::size_t Size() const { return size_; }
  const std::uint8_t* At(std::uint64_t offset, std::uint64_t count) const {
    if (offset > size_ || count > size_ - offset) throw EExifError();
    return data_ + offset;
  }
  std::uint32_t U16(std::uint64_t offset) const {
    const std::uint8_t* p = At(offset, 2);
    return bigEndian_ ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]);
  }
  std::uint32_t U32(std::uint64_t offset) const {
    const std::uint32_t a = U16(offset), b = U16(offset + 2);
    return bigEndian_ ? (a << 16 | b) : (b << 16 | a);
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  bool bigEndian_ = false;
};

std::string ValueText(const TTiffView& tiff, std::uint16_t type, std::uint32_t count, std::uint64_t at) {
  switch (static_cast<TExifType>(type)) {
    case TExifType::Ascii: {
      const char* p = reinterpret_cast<const char*>(tiff.At(at, count));
      return std::string(p, std::find(p, p + count, 0));
    }
    case TExifType::Undefined: {
      const char* p = reinterpret_cast<const char*>(tiff.At(at, count));
      return std::string(p, count);
    }
    case TExifType::Byte: return std::to_string(*tiff.At(at, 1));
    case TExifType::SByte: return std::to_string(static_cast<std::int8_t>(*tiff.At(at, 1)));
    case TExifType::Short: return std::to_string(tiff.U16(at));
    case TExifType::SShort: return std::to_string(static_cast<std::int16_t>(tiff.U16(at)));
    case TExifType::Long: return std::to_string(tiff.U32(at));
    case TExifType::SLong: return std::to_string(static_cast<std::int32_t>(tiff.U32(at)));
    case TExifType::Rational: return std::to_string(tiff.U32(at)) + "/" + std::to_string(tiff.U32(at + 4));
    case TExifType::SRational:
      return std::to_string(static_cast<std::int32_t>(tiff.U32(at))) + "/" +
             std::to_string(static_cast<std::int32_t>(tiff.U32(at + 4)));
  }
  return std::string();
}

// Reads the known tags of one directory into `exif`; answers the offset of
// the Exif directory when this one points to it, else 0.
std::uint32_t ReadIfd(const TTiffView& tiff, std::uint32_t offset, bool isExifIfd, TExif& exif) {
  const std::uint32_t count = tiff.U16(offset);
  tiff.At(offset + 2, 12ull * count);
  std::uint32_t exifIfd = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t entry = offset + 2 + 12ull * i;
    const auto id = static_cast<std::uint16_t>(tiff.U16(entry));
    const auto type = static_cast<std::uint16_t>(tiff.U16(entry + 2));
    const std::uint32_t valueCount = tiff.U32(entry + 4);
    if (!isExifIfd && id == kExifIfdPointerTag) {
      exifIfd = tiff.U32(entry + 8);
      continue;
    }
    const TExifTagInfo* tag = FindExifTag(id, isExifIfd);
    const unsigned size = TypeSize(type);
    if (tag == nullptr || size == 0 || valueCount == 0) continue;
    const std::uint64_t bytes = std::uint64_t{size} * valueCount;
    const std::uint64_t at = bytes <= 4 ? entry + 8 : tiff.U32(entry + 8);
    tiff.At(at, bytes);
    exif.SetValue(tag->Name, ValueText(tiff, type, valueCount, at));
  }
  return exifIfd;
}

}  // namespace

std::vector<std::uint8_t> TExif::SaveToBytes() const {
  std::vector<TEntry> imageEntries, exifEntries;
  for (const auto& text : tags_) {
    const auto equals = text.find('=');
    const TExifTagInfo* tag = FindExifTag(text.substr(0, equals).c_str());
    if (tag == nullptr) continue;
    (tag->InExifIfd ? exifEntries : imageEntries).push_back(EncodeTag(*tag, text.substr(equals + 1)));
  }
  if (imageEntries.empty() && exifEntries.empty()) return {};

  if (!exifEntries.empty()) {
    imageEntries.push_back({kExifIfdPointerTag, TExifType::Long, 1, {}});
    const auto exifOffset = static_cast<std::uint32_t>(kFirstIfdOffset + IfdSize(imageEntries));
    PutU32(imageEntries.back().Value, exifOffset);
  }
  std::vector<std::uint8_t> out(kExifIdentifier, kExifIdentifier + kIdentifierSize);
  out.insert(out.end(), {'I', 'I', 42, 0});
  PutU32(out, kFirstIfdOffset);
  LayOutIfd(imageEntries, kFirstIfdOffset, out);
  if (!exifEntries.empty()) {
    LayOutIfd(exifEntries, static_cast<std::uint32_t>(out.size() - kIdentifierSize), out);
  }
  return out;
}

void TExif::LoadFromBytes(const std::uint8_t* data, std::size_t size) {
  if (size < kIdentifierSize || std::memcmp(data, kExifIdentifier, kIdentifierSize) != 0) throw EExifError();
  const TTiffView tiff(data + kIdentifierSize, size - kIdentifierSize);
  TExif loaded;
  const std::uint32_t exifIfd = ReadIfd(tiff, tiff.U32(4), false, loaded);
  if (exifIfd != 0) ReadIfd(tiff, exifIfd, true, loaded);
  tags_ = std::move(loaded.tags_);
}

double ExifRationalValue(const std::string& text) {
  const auto r = ParseRational<std::int64_t>(text);
  if (r.second == 0) throw ExifDivisionByZero();
  return static_cast<double>(r.first) / static_cast<double>(r.second);
}

}  // namespace pagewell
