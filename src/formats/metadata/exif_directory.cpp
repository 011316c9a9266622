// TExif tags written into and read from TIFF directories.
#include "formats/metadata/exif_directory.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "formats/metadata/exif_errors.h"
#include "formats/metadata/exif_tags.h"
#include "formats/tiff/tiff_tags.h"

namespace pagewell {
namespace {

// --- writing -----------------------------------------------------------------

std::optional<std::uint64_t> ParseUnsigned(const std::string& text) {
  std::uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  if (text.empty() || result.ec != std::errc() || result.ptr != end) return std::nullopt;
  return value;
}

// "n/d", "n" (n/1) or a decimal "0.3127" (3127/10000), both parts in 32 bits.
std::optional<std::pair<std::uint32_t, std::uint32_t>> ParseRational(const std::string& text) {
  std::optional<std::uint64_t> numerator, denominator;
  if (const auto slash = text.find('/'); slash != std::string::npos) {
    numerator = ParseUnsigned(text.substr(0, slash));
    denominator = ParseUnsigned(text.substr(slash + 1));
  } else if (const auto point = text.find('.'); point != std::string::npos) {
    const std::string whole = text.substr(0, point), fraction = text.substr(point + 1);
    if (fraction.size() > 9) return std::nullopt;
    const auto w = whole.empty() ? std::optional<std::uint64_t>(0) : ParseUnsigned(whole);
    const auto f = fraction.empty() ? std::optional<std::uint64_t>(0) : ParseUnsigned(fraction);
    if (!w || !f || *w > 0xFFFFFFFFu) return std::nullopt;
    std::uint64_t scale = 1;
    for (std::size_t i = 0; i < fraction.size(); ++i) scale *= 10;
    numerator = *w * scale + *f;
    denominator = scale;
  } else {
    numerator = ParseUnsigned(text);
    denominator = 1;
  }
  if (!numerator || !denominator || *numerator > 0xFFFFFFFFu || *denominator > 0xFFFFFFFFu) return std::nullopt;
  return std::make_pair(static_cast<std::uint32_t>(*numerator), static_cast<std::uint32_t>(*denominator));
}

// The numbers of a value, separated by commas or spaces.
std::vector<std::string> Items(const std::string& text) {
  std::vector<std::string> items;
  std::string item;
  for (char c : text + ' ') {
    if (c == ',' || c == ' ' || c == '\t') {
      if (!item.empty()) items.push_back(item);
      item.clear();
    } else {
      item += c;
    }
  }
  return items;
}

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

struct TEncoded {
  std::uint32_t count;
  std::vector<std::uint8_t> bytes;  // least significant byte first
};

std::optional<TEncoded> Encode(const TExifTagInfo& tag, const std::string& text) {
  TEncoded value;
  if (tag.Type == tiff::ftAscii) {
    value.bytes.assign(text.begin(), text.end());
    value.bytes.push_back(0);
    if (tag.Count > 0) {
      // Fixed-length texts such as "YYYY:MM:DD HH:MM:SS" are padded or cut.
      value.bytes.resize(tag.Count, 0);
      value.bytes.back() = 0;
    }
    value.count = static_cast<std::uint32_t>(value.bytes.size());
    return value;
  }
  if (tag.Type == tiff::ftUndefined) {
    if (tag.Count > 0 && text.size() != tag.Count) return std::nullopt;
    value.bytes.assign(text.begin(), text.end());
    value.count = static_cast<std::uint32_t>(value.bytes.size());
    return value;
  }
  const std::vector<std::string> items = Items(text);
  if (items.empty() || (tag.Count > 0 && items.size() != tag.Count)) return std::nullopt;
  for (const std::string& item : items) {
    if (tag.Type == tiff::ftRational) {
      const auto r = ParseRational(item);
      if (!r) return std::nullopt;
      PutU32(value.bytes, r->first);
      PutU32(value.bytes, r->second);
    } else {
      const auto n = ParseUnsigned(item);
      const std::uint64_t limit = tag.Type == tiff::ftShort ? 0xFFFF : 0xFFFFFFFF;
      if (!n || *n > limit) return std::nullopt;
      if (tag.Type == tiff::ftShort) {
        PutU16(value.bytes, static_cast<std::uint32_t>(*n));
      } else {
        PutU32(value.bytes, static_cast<std::uint32_t>(*n));
      }
    }
  }
  value.count = static_cast<std::uint32_t>(items.size());
  return value;
}

// The tags of one directory, in ascending tag order, that `directory` lacks.
void AddEntries(const TExif& exif, bool exifDirectory, TTiffDirectoryWriter& directory, TExifValueErrors errors) {
  for (const TExifTagInfo* tag = ExifTagsBegin(); tag != ExifTagsEnd(); ++tag) {
    if (tag->InExifIfd != exifDirectory || directory.Has(tag->Id)) continue;
    if (!exif.Has(tag->Name)) continue;
    auto value = Encode(*tag, exif.Value(tag->Name));
    if (!value) {
      if (errors == TExifValueErrors::Raise) throw EExifError();
      continue;
    }
    directory.AddValues(tag->Id, tag->Type, value->count, std::move(value->bytes));
  }
}

// --- reading -----------------------------------------------------------------

void Need(const TTiffByteReader& tiff, std::uint64_t offset, std::uint64_t count) {
  if (!tiff.Holds(offset, count)) throw EExifError();
}

bool TypeFits(const TExifTagInfo& tag, std::uint16_t type) {
  switch (tag.Type) {
    case tiff::ftShort:
    case tiff::ftLong: return type == tiff::ftByte || type == tiff::ftShort || type == tiff::ftLong;
    case tiff::ftUndefined: return type == tiff::ftUndefined || type == tiff::ftByte;
    default: return type == tag.Type;
  }
}

// The value as TExif keeps it; nothing for numbers the tag cannot hold.
std::optional<std::string> Decode(const TTiffByteReader& tiff, const TExifTagInfo& tag, std::uint16_t type,
                                  std::uint32_t count, std::size_t at) {
  const char* bytes = reinterpret_cast<const char*>(tiff.Data() + at);
  if (tag.Type == tiff::ftAscii) return std::string(bytes, std::find(bytes, bytes + count, '\0'));
  if (tag.Type == tiff::ftUndefined) return std::string(bytes, count);
  if (tag.Count > 0 && count != tag.Count) return std::nullopt;
  std::string text;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (i > 0) text += ", ";
    if (type == tiff::ftRational) {
      text += std::to_string(tiff.U32(at + 8ull * i)) + "/" + std::to_string(tiff.U32(at + 8ull * i + 4));
      continue;
    }
    const std::uint32_t n = type == tiff::ftByte    ? static_cast<std::uint8_t>(bytes[i])
                            : type == tiff::ftShort ? tiff.U16(at + 2ull * i)
                                                    : tiff.U32(at + 4ull * i);
    if (tag.Type == tiff::ftShort && n > 0xFFFF) return std::nullopt;
    text += std::to_string(n);
  }
  return text;
}

}  // namespace

void AddExifImageEntries(const TExif& exif, TTiffDirectoryWriter& directory, TExifValueErrors errors) {
  AddEntries(exif, false, directory, errors);
}

void AddExifSubDirectory(const TExif& exif, TTiffDirectoryWriter& directory, TExifValueErrors errors) {
  TTiffDirectoryWriter exifDirectory;
  AddEntries(exif, true, exifDirectory, errors);
  if (!exifDirectory.Empty()) directory.AddSubDirectory(tiff::tagExifIfd, std::move(exifDirectory));
}

std::uint32_t ReadExifDirectory(const TTiffByteReader& tiff, std::uint32_t offset, TExifDirectory which,
                                TExif& exif) {
  Need(tiff, offset, 2);
  const std::uint32_t count = tiff.U16(offset);
  Need(tiff, offset + 2ull, 12ull * count);
  std::uint32_t exifDirectory = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t entry = offset + 2 + 12 * static_cast<std::size_t>(i);
    const std::uint16_t id = tiff.U16(entry), type = tiff.U16(entry + 2);
    const std::uint32_t valueCount = tiff.U32(entry + 4);
    if (which == TExifDirectory::Image && id == tiff::tagExifIfd) {
      if ((type == tiff::ftLong || type == tiff::ftIfd) && valueCount == 1) exifDirectory = tiff.U32(entry + 8);
      continue;
    }
    const TExifTagInfo* tag = FindExifTag(id, which == TExifDirectory::Exif);
    if (tag == nullptr || valueCount == 0 || !TypeFits(*tag, type)) continue;
    const std::uint64_t size = std::uint64_t{tiff::FieldTypeSize(type)} * valueCount;
    const std::uint64_t at = size <= 4 ? entry + 8 : tiff.U32(entry + 8);
    Need(tiff, at, size);
    if (auto text = Decode(tiff, *tag, type, valueCount, static_cast<std::size_t>(at))) exif.SetValue(tag->Name, *text);
  }
  return exifDirectory;
}

}  // namespace pagewell
