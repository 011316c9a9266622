// TTIFImage::SaveToStream: the one-page file and the directory of a page.
#include <algorithm>

#include "formats/metadata/bim_segment.h"
#include "formats/metadata/exif_directory.h"
#include "formats/tiff/tif_image.h"
#include "formats/tiff/tiff_directory_writer.h"
#include "imaging/errors.h"

namespace pagewell {
namespace {

std::uint32_t Resolution(std::int32_t dpi) { return static_cast<std::uint32_t>(dpi) * 1000u; }

// The IPTC-NAA record goes in as its bytes, padded with zeros to whole LONGs:
// the type Photoshop writes and libtiff expects for this tag.
void AddIptc(TTiffDirectoryWriter& directory, std::vector<std::uint8_t> record) {
  record.resize((record.size() + 3) / 4 * 4, 0);
  const auto count = static_cast<std::uint32_t>(record.size() / 4);
  directory.AddValues(tiff::tagIPTC, tiff::ftLong, count, std::move(record));
}

}  // namespace

// The entries of the page's metadata records, their data after the baseline
// data: the descriptive IFD0 tags, IPTC, the Photoshop resources, the ICC
// profile, and last the Exif directory. The directory sorts the entries by tag.
void TTIFImage::AddMetadataEntries(TTiffDirectoryWriter& directory) const {
  // The strip is always stored chunky, whatever the file the record came from had.
  if (Exif.Has("PlanarConfiguration")) directory.AddShort(tiff::tagPlanarConfiguration, 1);
  // The page's own entries (size, resolution, ...) are in the directory
  // already, so Exif tags of the same numbers are left out.
  AddExifImageEntries(Exif, directory, TExifValueErrors::Skip);
  // The IPTC fields go in their own entry, where TIFF readers look for them;
  // the Photoshop entry carries the other resources (the URL), so that no
  // reader meets the fields twice.
  TBIMList resources = FileInfo.ToResources();
  const auto iptc = std::find_if(resources.begin(), resources.end(),
                                 [](const TBIMSegment& r) { return r.Id == kIptcResourceId; });
  if (iptc != resources.end()) {
    AddIptc(directory, iptc->Data);
    resources.erase(iptc);
  }
  if (!resources.empty()) {
    std::vector<std::uint8_t> block = SavePhotoshopResources(resources);
    const auto count = static_cast<std::uint32_t>(block.size());
    directory.AddValues(tiff::tagPhotoshop, tiff::ftByte, count, std::move(block));
  }
  if (!IccProfile.Empty()) directory.AddUndefined(tiff::tagICCProfile, IccProfile.Data);
  AddExifSubDirectory(Exif, directory, TExifValueErrors::Skip);
}

std::uint32_t TTIFImage::AppendDirectory(TMemoryStream& file) const {
  return AppendDirectory(file, static_cast<std::uint32_t>(file.Size()));
}

std::uint32_t TTIFImage::AppendDirectory(TMemoryStream& block, std::uint32_t at) const {
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
  return directory.WriteTo(block, at);
}

void TTIFImage::SaveToStream(TMemoryStream& stream) const {
  // The offsets in a TIFF file count from its first byte; a fresh stream is
  // that file, and the page goes straight into it. Anywhere else the file is
  // built apart and then copied in.
  if (stream.Size() == 0 && stream.Position() == 0) {
    WriteTiffHeader(stream);
    AppendDirectory(stream);
    return;
  }
  const std::vector<std::uint8_t> bytes = SaveToBytes();
  stream.Write(bytes.data(), bytes.size());
}

std::vector<std::uint8_t> TTIFImage::SaveToBytes() const {
  TMemoryStream file;
  SaveToStream(file);
  return file.TakeBytes();
}

void TTIFImage::SaveToClipboardFormat() const { throw EInvalidGraphic("Clipboard functions not supported"); }

void TTIFImage::LoadFromClipboardFormat() { throw EInvalidGraphic("Clipboard functions not supported"); }

}  // namespace pagewell
