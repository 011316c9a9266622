#include "formats/tiff/tiff_strip_decoder.h"

#include <cstring>

#include "formats/tiff/lzw_decoder.h"
#include "formats/tiff/packbits.h"
#include "formats/tiff/tiff_errors.h"
#include "formats/tiff/tiff_tags.h"

namespace pagewell {
namespace {

bool IsBilevel(const TTiffPageLayout& page) {
  return (page.photometric == tiff::phWhiteIsZero || page.photometric == tiff::phBlackIsZero) &&
         page.bitsPerSample[0] == 1 && page.samplesPerPixel == 1;
}

bool IsCCITT(std::uint16_t compression) {
  return compression == tiff::compCCITTHuffman || compression == tiff::compCCITTGroup3 ||
         compression == tiff::compCCITTGroup4;
}

TCCITTScheme SchemeOf(std::uint16_t compression) {
  switch (compression) {
    case tiff::compCCITTHuffman: return TCCITTScheme::ModifiedHuffman;
    case tiff::compCCITTGroup3: return TCCITTScheme::Group3;
    default: return TCCITTScheme::Group4;
  }
}

void CheckCompression(const TTiffPageLayout& page, bool lzwEnabled) {
  switch (page.compression) {
    case tiff::compNone:
    case tiff::compPackBits: return;
    case tiff::compLZW:
      if (!lzwEnabled) throw EInvalidGraphic(tiffmsg::kLZWDisabled);
      return;
    case tiff::compOldJPEG:
    case 7:  // JPEG as TIFF 6.0's technote defines it
      throw EInvalidGraphic(tiffmsg::kJPEG);
    default:
      if (IsCCITT(page.compression) && IsBilevel(page)) return;
      throw EInvalidGraphic(tiffmsg::kUnknownCompression);
  }
}

std::uint8_t ReverseBits(std::uint8_t b) {
  b = static_cast<std::uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
  b = static_cast<std::uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
  return static_cast<std::uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

}  // namespace

TTiffStripDecoder::TTiffStripDecoder(const TTiffPageLayout& page, std::size_t rowBytes, bool lzwEnabled)
    : page_(page), rowBytes_(rowBytes), ccitt_(SchemeOf(page.compression), page.t4Options, static_cast<int>(page.width)) {
  CheckCompression(page, lzwEnabled);
}

void TTiffStripDecoder::Decode(const std::uint8_t* file, const TTiffStrip& strip, int rows, std::uint8_t* out) {
  const std::uint8_t* data = file + strip.offset;
  if (page_.fillOrder != 1) {
    // FillOrder 2: the lowest bit of each byte comes first.
    reversed_.resize(strip.size);
    for (std::size_t i = 0; i < strip.size; ++i) reversed_[i] = ReverseBits(data[i]);
    data = reversed_.data();
  }
  const std::size_t needed = static_cast<std::size_t>(rows) * rowBytes_;
  if (IsCCITT(page_.compression)) {
    // Rows that the data never reaches stay white, whichever bit shows white.
    std::memset(out, page_.photometric == tiff::phBlackIsZero ? 0xFF : 0x00, needed);
    try {
      ccitt_.DecodeStrip(data, strip.size, rows, out, rowBytes_);
    } catch (const EOverrunStream&) {
      // Group 4 data that ends early: keep the rows decoded so far and go on
      // with the next strip. Every other error passes on.
    }
    return;
  }
  DecompressBytes(data, strip.size, needed, out);
  if (page_.predictor == 2) UndoPredictor(out, rows);
}

bool TTiffStripDecoder::StoresRowsAsTheyAre() const {
  return page_.compression == tiff::compNone && page_.fillOrder == 1 && page_.predictor == 1;
}

const std::uint8_t* TTiffStripDecoder::StoredRows(const std::uint8_t* file, const TTiffStrip& strip, int rows) const {
  if (strip.size != static_cast<std::size_t>(rows) * rowBytes_) throw EInvalidGraphic(tiffmsg::kChecksum);
  return file + strip.offset;
}

void TTiffStripDecoder::DecompressBytes(const std::uint8_t* data, std::size_t size, std::size_t needed,
                                        std::uint8_t* out) const {
  switch (page_.compression) {
    case tiff::compNone:
      // The stored bytes must be exactly the strip's rows.
      if (size != needed) throw EInvalidGraphic(tiffmsg::kChecksum);
      std::memcpy(out, data, needed);
      return;
    case tiff::compPackBits:
      if (PackBitsDecode(data, size, out, needed) != needed) throw EInvalidGraphic(tiffmsg::kCorrupted);
      return;
    case tiff::compLZW:
      if (LzwDecode(data, size, out, needed) != needed) throw EInvalidGraphic(tiffmsg::kCorrupted);
      return;
    default: throw EInvalidGraphic(tiffmsg::kUnknownCompression);
  }
}

// Predictor 2: each 8-bit sample was stored as the difference to the
// previous sample of the same channel in its row.
void TTiffStripDecoder::UndoPredictor(std::uint8_t* rows, int count) const {
  const std::size_t channels = page_.samplesPerPixel;
  for (int y = 0; y < count; ++y) {
    std::uint8_t* row = rows + static_cast<std::size_t>(y) * rowBytes_;
    for (std::size_t i = channels; i < rowBytes_; ++i) row[i] = static_cast<std::uint8_t>(row[i] + row[i - channels]);
  }
}

}  // namespace pagewell
