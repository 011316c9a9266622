#include "formats/tiff/tiff_directory_reader.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

#include "formats/metadata/exif_directory.h"
#include "formats/metadata/exif_errors.h"
#include "formats/tiff/tiff_byte_reader.h"
#include "formats/tiff/tiff_errors.h"
#include "formats/tiff/tiff_tags.h"

namespace pagewell {
namespace {

constexpr std::size_t kEntrySize = 12;

[[noreturn]] void Fail(const char* message) { throw EInvalidGraphic(message); }

// "II" or "MM", then 42; answers the reader and the first directory's offset.
TTiffByteReader OpenFile(TTiffFileBytes file, std::uint32_t& firstDirectory) {
  const auto reader = OpenTiffHeader(file.data, file.size, firstDirectory);
  if (!reader) Fail(tiffmsg::kNotTiff);
  return *reader;
}

bool DirectoryFits(const TTiffByteReader& reader, std::uint32_t offset) {
  return reader.Holds(offset, 2) && reader.Holds(offset + 2ull, reader.U16(offset) * kEntrySize);
}

// The next-IFD link of a directory; 0 when the file ends before it.
std::uint32_t NextDirectory(const TTiffByteReader& reader, std::uint32_t offset) {
  const std::uint64_t at = offset + 2ull + reader.U16(offset) * kEntrySize;
  return reader.Holds(at, 4) ? reader.U32(static_cast<std::size_t>(at)) : 0;
}

// Follows the links to the directory of `page`. A link that is zero, points
// outside the file or back to a directory already seen ends the search.
std::uint32_t FindDirectory(const TTiffByteReader& reader, std::uint32_t first, std::uint32_t page) {
  if (!DirectoryFits(reader, first)) Fail(tiffmsg::kNotTiff);
  std::set<std::uint32_t> seen{first};
  std::uint32_t offset = first;
  for (std::uint32_t i = 1; i < page; ++i) {
    offset = NextDirectory(reader, offset);
    if (offset == 0 || !seen.insert(offset).second || !DirectoryFits(reader, offset)) Fail(tiffmsg::kNoPage);
  }
  return offset;
}

// One directory entry and the place of its values.
struct TEntry {
  std::uint16_t tag;
  std::uint16_t type;
  std::uint32_t count;
  std::size_t valueAt;  // where the values start, checked to lie in the file
  bool valid;           // known type and values inside the file
};

TEntry ReadEntry(const TTiffByteReader& reader, std::size_t at) {
  TEntry e{reader.U16(at), reader.U16(at + 2), reader.U32(at + 4), at + 8, false};
  const std::uint64_t bytes = static_cast<std::uint64_t>(e.count) * tiff::FieldTypeSize(e.type);
  if (tiff::FieldTypeSize(e.type) == 0) return e;
  if (bytes > 4) e.valueAt = reader.U32(at + 8);
  e.valid = reader.Holds(e.valueAt, bytes);
  return e;
}

bool IsInteger(const TEntry& e) { return e.valid && (e.type == tiff::ftShort || e.type == tiff::ftLong); }

std::uint32_t IntegerAt(const TTiffByteReader& reader, const TEntry& e, std::uint32_t index) {
  return e.type == tiff::ftShort ? reader.U16(e.valueAt + 2ull * index) : reader.U32(e.valueAt + 4ull * index);
}

// A SHORT or LONG with count 1, or the tag's error.
std::uint32_t SingleInteger(const TTiffByteReader& reader, const TEntry& e, const char* message) {
  if (!IsInteger(e) || e.count != 1) throw EInvalidGraphic(message);
  return IntegerAt(reader, e, 0);
}

std::vector<std::uint32_t> Integers(const TTiffByteReader& reader, const TEntry& e, const char* message) {
  if (!IsInteger(e) || e.count == 0) throw EInvalidGraphic(message);
  std::vector<std::uint32_t> values(e.count);
  for (std::uint32_t i = 0; i < e.count; ++i) values[i] = IntegerAt(reader, e, i);
  return values;
}

double Rational(const TTiffByteReader& reader, const TEntry& e, const char* message) {
  if (!e.valid || e.type != tiff::ftRational || e.count != 1) throw EInvalidGraphic(message);
  const std::uint32_t denominator = reader.U32(e.valueAt + 4);
  return denominator == 0 ? 0.0 : static_cast<double>(reader.U32(e.valueAt)) / denominator;
}

std::vector<std::uint8_t> RawBytes(const TTiffByteReader& reader, const TEntry& e) {
  const std::size_t n = static_cast<std::size_t>(e.count) * tiff::FieldTypeSize(e.type);
  return {reader.Data() + e.valueAt, reader.Data() + e.valueAt + n};
}

// Which entries the directory held, to apply the defaults and checks after.
struct TPresence {
  bool width = false, length = false, bitsPerSample = false, photometric = false;
  bool stripOffsets = false, stripByteCounts = false;
};

struct TStripEntries {
  std::vector<std::uint32_t> offsets, counts;
};

// The bytes of the IPTC and Photoshop entries, whatever their type: both
// are byte streams, which writers declare as BYTE, UNDEFINED or LONG.
struct TFileInfoEntries {
  std::vector<std::uint8_t> iptc, photoshop;
};

void ReadEntryInto(const TTiffByteReader& reader, const TEntry& e, TTiffPageLayout& page, TPresence& has,
                   TStripEntries& strips, TFileInfoEntries& fileInfo, TTiffMetadata& metadata) {
  switch (e.tag) {
    case tiff::tagImageWidth:
      page.width = SingleInteger(reader, e, "Error in TIFF file ImageWidth data");
      has.width = true;
      break;
    case tiff::tagImageLength:
      page.length = SingleInteger(reader, e, "Error in TIFF file ImageLength data");
      has.length = true;
      break;
    case tiff::tagBitsPerSample: {
      const auto bits = Integers(reader, e, "Error in TIFF file BitsPerSample data");
      page.bitsPerSample.assign(bits.begin(), bits.end());
      has.bitsPerSample = true;
      break;
    }
    case tiff::tagCompression:
      page.compression = static_cast<std::uint16_t>(SingleInteger(reader, e, "Error in TIFF file Compression data"));
      break;
    case tiff::tagPhotometric:
      page.photometric = static_cast<std::uint16_t>(
          SingleInteger(reader, e, "Error in TIFF file PhotometricInterpretation data"));
      has.photometric = true;
      break;
    case tiff::tagFillOrder:
      page.fillOrder = static_cast<std::uint16_t>(SingleInteger(reader, e, "Error in TIFF file FillOrder data"));
      break;
    case tiff::tagStripOffsets:
      strips.offsets = Integers(reader, e, "Error in TIFF file StripOffsets data");
      has.stripOffsets = true;
      break;
    case tiff::tagSamplesPerPixel:
      page.samplesPerPixel =
          static_cast<std::uint16_t>(SingleInteger(reader, e, "Error in TIFF file SamplesPerPixel data"));
      break;
    case tiff::tagRowsPerStrip:
      page.rowsPerStrip = SingleInteger(reader, e, "Error in TIFF file RowsPerStrip data");
      if (page.rowsPerStrip == 0) throw EInvalidGraphic("Error in TIFF file RowsPerStrip data");
      break;
    case tiff::tagStripByteCounts:
      strips.counts = Integers(reader, e, "Error in TIFF file StripByteCounts data");
      has.stripByteCounts = true;
      break;
    case tiff::tagXResolution: page.xResolution = Rational(reader, e, "Error in TIFF file XResolution data"); break;
    case tiff::tagYResolution: page.yResolution = Rational(reader, e, "Error in TIFF file YResolution data"); break;
    case tiff::tagPlanarConfiguration:
      page.planarConfiguration =
          static_cast<std::uint16_t>(SingleInteger(reader, e, "Error in TIFF file PlanarConfiguration data"));
      break;
    case tiff::tagResolutionUnit:
      page.resolutionUnit =
          static_cast<std::uint16_t>(SingleInteger(reader, e, "Error in TIFF file ResolutionUnit data"));
      break;
    case tiff::tagPredictor:
      page.predictor = static_cast<std::uint16_t>(SingleInteger(reader, e, "Error in TIFF file Predictor data"));
      break;
    case tiff::tagColorMap: {
      if (!e.valid || e.type != tiff::ftShort || e.count == 0) throw EInvalidGraphic("Error in TIFF file ColorMap data");
      const auto values = Integers(reader, e, "Error in TIFF file ColorMap data");
      page.colorMap.assign(values.begin(), values.end());
      break;
    }
    case tiff::tagInkSet:
      page.inkSet = static_cast<std::uint16_t>(SingleInteger(reader, e, "Error in TIFF file InkSet data"));
      break;
    case tiff::tagNumberOfInks:
      page.numberOfInks = static_cast<std::uint16_t>(SingleInteger(reader, e, "Error in TIFF file NumberOfInks data"));
      break;
    case tiff::tagT4Options:
      // Needed to decode Group 3; a malformed entry leaves one-dimensional coding.
      if (IsInteger(e) && e.count == 1) page.t4Options = IntegerAt(reader, e, 0);
      break;
    case tiff::tagIPTC:
      if (e.valid) fileInfo.iptc = RawBytes(reader, e);
      break;
    case tiff::tagPhotoshop:
      if (e.valid) fileInfo.photoshop = RawBytes(reader, e);
      break;
    case tiff::tagICCProfile:
      if (e.valid && e.type == tiff::ftUndefined) metadata.iccProfile.Data = RawBytes(reader, e);
      break;
    default: break;  // the Exif tags are read from the whole directory afterwards
  }
}

// Strip places, each limited to what the file holds after its offset.
// Strips may share bytes, but strips that together claim many times the
// file are not a page: decoding them would re-read the file over and over.
std::vector<TTiffStrip> Strips(const TStripEntries& entries, std::size_t fileSize, std::uint32_t expected) {
  if (entries.offsets.size() != expected || entries.counts.size() != expected) Fail(tiffmsg::kStripCounts);
  std::vector<TTiffStrip> strips(expected);
  std::uint64_t total = 0;
  for (std::uint32_t i = 0; i < expected; ++i) {
    const std::size_t offset = entries.offsets[i];
    strips[i].offset = offset < fileSize ? offset : fileSize;
    strips[i].size = std::min<std::size_t>(entries.counts[i], fileSize - strips[i].offset);
    total += strips[i].size;
  }
  if (total > 16ull * fileSize + (1u << 20)) Fail(tiffmsg::kStripCounts);
  return strips;
}

// The Photoshop resources hold the file information, IPTC included; the
// IPTC entry counts when they have no IPTC resource of their own.
TFileInfo FileInfoOf(const TFileInfoEntries& entries) {
  TBIMList resources = LoadPhotoshopResources(entries.photoshop.data(), entries.photoshop.size());
  const bool hasIptc = std::any_of(resources.begin(), resources.end(),
                                   [](const TBIMSegment& r) { return r.Id == kIptcResourceId; });
  if (!hasIptc && !entries.iptc.empty()) resources.insert(resources.begin(), {kIptcResourceId, "", entries.iptc});
  TFileInfo info;
  info.LoadFromResources(resources);
  return info;
}

// The Exif record of a page: the known tags of its directory, except the
// resolution, which the page keeps itself, and those of the Exif directory it
// points to. Metadata never makes a page unreadable: a directory with a
// value outside the file gives no tags, and a broken Exif directory is left
// out while the page's own tags stay.
TExif ExifOf(const TTiffByteReader& reader, std::uint32_t directory) {
  TExif exif;
  std::uint32_t exifDirectory = 0;
  try {
    exifDirectory = ReadExifDirectory(reader, directory, TExifDirectory::Image, exif);
  } catch (const EExifError&) {
    return TExif();
  }
  for (const char* name : {"XResolution", "YResolution", "ResolutionUnit"}) exif.Remove(name);
  if (exifDirectory == 0) return exif;
  TExif withExifDirectory = exif;
  try {
    ReadExifDirectory(reader, exifDirectory, TExifDirectory::Exif, withExifDirectory);
  } catch (const EExifError&) {
    return exif;
  }
  return withExifDirectory;
}

void ApplyChecksAndDefaults(TTiffPageLayout& page, const TPresence& has, const TStripEntries& strips,
                            std::size_t fileSize) {
  if (!has.width || !has.length || page.width == 0 || page.length == 0) Fail(tiffmsg::kMissingSize);
  if (!has.photometric) {
    if (has.bitsPerSample && page.bitsPerSample[0] != 1) Fail(tiffmsg::kMissingPhotometric);
    page.photometric = tiff::phWhiteIsZero;
  }
  if (!has.stripOffsets) Fail(tiffmsg::kMissingStripOffsets);
  if (!has.stripByteCounts) Fail(tiffmsg::kMissingStripByteCounts);
  const std::uint32_t stripCount =
      static_cast<std::uint32_t>((static_cast<std::uint64_t>(page.length) + page.rowsPerStrip - 1) / page.rowsPerStrip);
  page.strips = Strips(strips, fileSize, stripCount);
  // One value given for several samples stands for all of them.
  if (page.bitsPerSample.size() != page.samplesPerPixel && page.samplesPerPixel > 0) {
    page.bitsPerSample.assign(page.samplesPerPixel, page.bitsPerSample[0]);
  }
}

}  // namespace

TTiffPageLayout ReadTiffPageLayout(TTiffFileBytes file, std::uint32_t page, TTiffMetadata& metadata) {
  std::uint32_t first = 0;
  const TTiffByteReader reader = OpenFile(file, first);
  const std::uint32_t directory = FindDirectory(reader, first, page < 1 ? 1 : page);

  TTiffPageLayout layout;
  layout.bigEndian = reader.BigEndian();
  TPresence has;
  TStripEntries strips;
  TFileInfoEntries fileInfo;
  TTiffMetadata read;
  const int count = reader.U16(directory);
  for (int i = 0; i < count; ++i) {
    ReadEntryInto(reader, ReadEntry(reader, directory + 2 + i * kEntrySize), layout, has, strips, fileInfo, read);
  }
  ApplyChecksAndDefaults(layout, has, strips, file.size);
  read.fileInfo = FileInfoOf(fileInfo);
  read.exif = ExifOf(reader, directory);
  metadata = std::move(read);
  return layout;
}

int CountTiffPages(TTiffFileBytes file) {
  std::uint32_t first = 0;
  const TTiffByteReader reader = OpenFile(file, first);
  if (!DirectoryFits(reader, first)) Fail(tiffmsg::kNotTiff);
  std::set<std::uint32_t> seen{first};
  int pages = 1;
  for (std::uint32_t offset = NextDirectory(reader, first);
       offset != 0 && seen.insert(offset).second && DirectoryFits(reader, offset);
       offset = NextDirectory(reader, offset)) {
    ++pages;
  }
  return pages;
}

}  // namespace pagewell
