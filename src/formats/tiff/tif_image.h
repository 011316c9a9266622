#pragma once
// TTIFImage: one TIFF page. Assigning a bitmap encodes it into the page's
// pixel data (compressed, in TIFF sample order); SaveToStream lays out the
// header, the image file directory and the data as a one-page file. Pages of
// a multi-page file are collected by TTIFList.
#include <cstdint>
#include <vector>

#include "formats/metadata/exif.h"
#include "formats/metadata/file_info.h"
#include "formats/metadata/icc_profile.h"
#include "formats/memory_stream.h"
#include "formats/tiff/tiff_page_layout.h"
#include "formats/tiff/tiff_tags.h"
#include "imaging/raster.h"

namespace pagewell {

class TTiffDirectoryWriter;

// What a page holds, decided by the bitmap's depth and palette.
enum class TTIFKind : std::uint16_t { BlackWhite = 0, Gray = 1, Palette = 2, RGB = 3 };

class TTIFImage {
 public:
  // TIFF Compression: 1 none, 4 CCITT Group 4, 32773 PackBits when writing.
  // Set it before Assign.
  std::uint16_t Compression = tiff::compNone;
  TTIFKind Kind = TTIFKind::BlackWhite;
  std::uint16_t Photometric = tiff::phWhiteIsZero;
  std::uint16_t SamplesPerPixel = 1;
  std::vector<std::uint16_t> BitsPerSample{1};  // one value per sample
  std::uint16_t FillOrder = 1;
  std::uint32_t ImageWidth = 0;
  std::uint32_t ImageLength = 0;
  std::uint32_t RowsPerStrip = 0;
  // Dots per inch, written as XDpi × 1000 / 1000; set them before saving.
  std::int32_t XDpi = 0;
  std::int32_t YDpi = 0;
  // Reading: the 1-based page that LoadFromStream selects, and whether LZW
  // data may be decoded.
  std::uint32_t PageToRead = 1;
  bool LzwReadingEnabled = true;
  // The page's metadata, written as optional entries when they hold
  // anything: the IFD0 tags of Exif in the page's directory and its other
  // tags in an Exif directory, FileInfo as the IPTC and Photoshop entries,
  // and the ICC profile. Loading fills them from the file; assigning a
  // bitmap does not touch them.
  TFileInfo FileInfo;
  TExif Exif;
  TICCProfile IccProfile;

  // Encodes a bitmap of 1, 4, 8 or 24 bits (other depths are written from a
  // 24-bit copy) with the current Compression.
  void Assign(const TRaster& bitmap);

  // A complete one-page file, written at the stream's position.
  void SaveToStream(TMemoryStream& stream) const;
  std::vector<std::uint8_t> SaveToBytes() const;
  // Appends this page's directory and data to a file under construction
  // (whose length is even) and answers the position of its next-IFD field,
  // so that a multi-page writer can link the following page there.
  std::uint32_t AppendDirectory(TMemoryStream& file) const;
  // The same for a file written piece by piece: `block` holds the piece
  // that starts at position `at` (even) of the file; answers the position
  // of the next-IFD field in `block`.
  std::uint32_t AppendDirectory(TMemoryStream& block, std::uint32_t at) const;

  // Reads the whole rest of the stream and keeps the selected page: its
  // fields, resolution and metadata here, its strips for decoding. Raises
  // EInvalidGraphic and keeps nothing of the file when it cannot be read.
  void LoadFromStream(TMemoryStream& stream);
  void LoadFromBytes(std::vector<std::uint8_t> file);
  // Decodes the loaded page into `raster` (1, 4, 8 or 24 bits with its
  // palette). Raises EInvalidGraphic, leaving `raster` as it was, for data
  // that cannot be decoded.
  void AssignTo(TRaster& raster) const;

  // The colour map (palette pages: all reds, all greens, all blues, each
  // component × 257) and the one strip of pixel data.
  const std::vector<std::uint16_t>& ColorMap() const { return colorMap_; }
  const std::vector<std::uint8_t>& StripData() const { return strip_; }

  // A TIFF page cannot go through the clipboard; both raise EInvalidGraphic.
  void SaveToClipboardFormat() const;
  void LoadFromClipboardFormat();

 private:
  void EncodeBlackWhite(const TRaster& bitmap);
  void EncodeGray(const TRaster& bitmap);
  void EncodePalette(const TRaster& bitmap);
  void EncodeRGB(const TRaster& bitmap);
  void AppendRow(const std::uint8_t* row, std::size_t count);
  void AddMetadataEntries(TTiffDirectoryWriter& directory) const;

  std::vector<std::uint16_t> colorMap_;
  std::vector<std::uint8_t> strip_;
  // A loaded file and the layout of its selected page.
  std::vector<std::uint8_t> file_;
  TTiffPageLayout layout_;
};

}  // namespace pagewell
