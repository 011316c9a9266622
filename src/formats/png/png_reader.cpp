// The PNG reader: signature, chunks with their CRCs, IHDR first, the image
// data inflated and unfiltered (all five filter types, Adam7 interlace, 1 to
// 16 bits per sample), palette, transparency, resolution and background.
//
// Every length comes from the file, so nothing is allocated before the bytes
// that justify it are present: chunk data is checked against the stream, and
// the inflated data grows only as fast as zlib actually produces it.
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "formats/png/png_chunk.h"
#include "formats/png/png_filters.h"
#include "formats/png/png_image.h"
#include "imaging/default_palettes.h"
#include "imaging/errors.h"

namespace pagewell {
namespace {

const char* const kBadSignature = "Image does not have a valid PNG signature.";
const char* const kInvalidPng = "Image is not a valid PNG.";
const char* const kBadCrc = "Invalid CRC in PNG image.";
const char* const kNoImageData = "Image is not a valid PNG - no image data.";

[[noreturn]] void Fail(const char* message) { throw EInvalidGraphic(message); }

std::uint32_t U32BE(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}
unsigned U16BE(const std::uint8_t* p) { return static_cast<unsigned>(p[0] << 8 | p[1]); }

struct THeader {
  std::uint32_t width = 0, height = 0;
  std::uint8_t bitDepth = 0, colorType = 0, interlace = 0;

  int Channels() const {
    switch (colorType) {
      case ctRGB: return 3;
      case ctGrayAlpha: return 2;
      case ctRGBAlpha: return 4;
      default: return 1;
    }
  }
  std::size_t BitsPerPixel() const { return static_cast<std::size_t>(Channels()) * bitDepth; }
  std::size_t FilterDistance() const { return std::max<std::size_t>(1, BitsPerPixel() / 8); }
  std::uint64_t RowBytes(std::uint32_t pixels) const { return (static_cast<std::uint64_t>(pixels) * BitsPerPixel() + 7) / 8; }
};

bool ValidDepth(std::uint8_t type, std::uint8_t depth) {
  switch (type) {
    case ctGray: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case ctPalette: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case ctRGB:
    case ctGrayAlpha:
    case ctRGBAlpha: return depth == 8 || depth == 16;
    default: return false;
  }
}

THeader ParseHeader(const std::uint8_t* data, std::size_t length) {
  if (length != 13) Fail(kInvalidPng);
  THeader h;
  h.width = U32BE(data);
  h.height = U32BE(data + 4);
  h.bitDepth = data[8];
  h.colorType = data[9];
  h.interlace = data[12];
  const bool sizeOk = h.width >= 1 && h.height >= 1 && h.width <= 0x7FFFFFFFu && h.height <= 0x7FFFFFFFu;
  if (!sizeOk || !ValidDepth(h.colorType, h.bitDepth) || data[10] != 0 || data[11] != 0 || h.interlace > 1) {
    Fail(kInvalidPng);
  }
  return h;
}

// One reduced image of the Adam7 scheme (or the whole image, uninterlaced).
struct TPass {
  std::uint32_t x0, y0, dx, dy;
  std::uint32_t Columns(std::uint32_t width) const { return width > x0 ? (width - x0 + dx - 1) / dx : 0; }
  std::uint32_t Rows(std::uint32_t height) const { return height > y0 ? (height - y0 + dy - 1) / dy : 0; }
};

constexpr TPass kWholeImage = {0, 0, 1, 1};
constexpr TPass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                             {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

std::vector<TPass> PassesOf(const THeader& h) {
  if (h.interlace == 0) return {kWholeImage};
  return std::vector<TPass>(std::begin(kAdam7), std::end(kAdam7));
}

// Bytes of filtered data the header promises, or 0 past the limit we accept.
std::uint64_t ExpectedDataSize(const THeader& h) {
  std::uint64_t total = 0;
  for (const TPass& pass : PassesOf(h)) {
    const std::uint32_t columns = pass.Columns(h.width), rows = pass.Rows(h.height);
    if (columns == 0 || rows == 0) continue;
    total += (h.RowBytes(columns) + 1) * rows;
  }
  return total;
}

// A picture whose filtered data passes 2 GiB cannot become a raster anyway.
constexpr std::uint64_t kMaxDataSize = 0x7FFFFFFFu;

std::vector<std::uint8_t> Inflate(const std::vector<std::uint8_t>& compressed, std::uint64_t expected) {
  if (compressed.size() > 0xFFFFFFFFu) Fail(kInvalidPng);
  z_stream z{};
  if (inflateInit(&z) != Z_OK) Fail(kInvalidPng);
  z.next_in = const_cast<Bytef*>(compressed.data());
  z.avail_in = static_cast<uInt>(compressed.size());
  std::vector<std::uint8_t> out;
  constexpr std::uint64_t kStep = 1 << 20;
  int result = Z_OK;
  while (out.size() < expected) {
    const std::size_t used = out.size();
    out.resize(static_cast<std::size_t>(std::min(expected, used + kStep)));
    z.next_out = out.data() + used;
    z.avail_out = static_cast<uInt>(out.size() - used);
    result = inflate(&z, Z_NO_FLUSH);
    out.resize(out.size() - z.avail_out);
    if (result != Z_OK) break;  // the end of the stream, truncated input or corrupt data
  }
  inflateEnd(&z);
  const bool usable = result == Z_OK || result == Z_STREAM_END || result == Z_BUF_ERROR;
  if (!usable) Fail(kInvalidPng);
  if (out.size() < expected) Fail(kNoImageData);
  return out;
}

// 0..65535 onto 0..255, rounded to the nearest.
std::uint8_t Round16To8(unsigned value) { return static_cast<std::uint8_t>((value * 255 + 32767) / 65535); }

// Sample `index` of a row of samples of `depth` bits, scaled to 8 bits.
class TSampleReader {
 public:
  explicit TSampleReader(std::uint8_t depth) : depth_(depth) {}
  unsigned Raw(const std::uint8_t* row, std::size_t index) const {
    switch (depth_) {
      case 16: return static_cast<unsigned>(row[2 * index] << 8 | row[2 * index + 1]);
      case 8: return row[index];
      default: {
        const std::size_t bit = index * depth_;
        return (row[bit / 8] >> (8 - depth_ - bit % 8)) & ((1u << depth_) - 1);
      }
    }
  }
  // Gray and colour samples spread over 0..255.
  std::uint8_t Scaled(const std::uint8_t* row, std::size_t index) const {
    const unsigned raw = Raw(row, index);
    switch (depth_) {
      case 1: return static_cast<std::uint8_t>(raw * 255);
      case 2: return static_cast<std::uint8_t>(raw * 85);
      case 4: return static_cast<std::uint8_t>(raw * 17);
      case 16: return Round16To8(raw);
      default: return static_cast<std::uint8_t>(raw);
    }
  }

 private:
  std::uint8_t depth_;
};

// 16-bit and sub-byte values of bKGD and tRNS, scaled to 8 bits.
std::uint8_t ScaleValue(unsigned value, std::uint8_t depth) {
  switch (depth) {
    case 16: return Round16To8(value);
    case 1: return static_cast<std::uint8_t>((value & 1) * 255);
    case 2: return static_cast<std::uint8_t>((value & 3) * 85);
    case 4: return static_cast<std::uint8_t>((value & 15) * 17);
    default: return static_cast<std::uint8_t>(value);
  }
}

struct TChunks {
  THeader header;
  std::vector<TColor> palette;
  std::vector<std::uint8_t> idat, trns, bkgd;
  bool hasPalette = false, hasPhys = false;
  std::int32_t xPpm = 0, yPpm = 0;
};

bool IsCritical(const std::uint8_t* type) { return (type[0] & 0x20) == 0; }

TChunks ReadChunks(const std::uint8_t* data, std::size_t size) {
  if (size < 8 || std::memcmp(data, kPngSignature, 8) != 0) Fail(kBadSignature);
  TChunks chunks;
  std::size_t offset = 8;
  bool first = true, sawIdat = false, idatEnded = false;
  for (;;) {
    if (size - offset < 12) Fail(kInvalidPng);  // no IEND
    const std::uint32_t length = U32BE(data + offset);
    const std::uint8_t* type = data + offset + 4;
    if (length > 0x7FFFFFFFu || length > size - offset - 12) Fail(kInvalidPng);
    const std::uint8_t* body = type + 4;
    if (PngChunkCrc(reinterpret_cast<const char*>(type), body, length) != U32BE(body + length)) Fail(kBadCrc);
    offset += 12 + length;
    const std::string name(reinterpret_cast<const char*>(type), 4);
    if (first != (name == "IHDR")) Fail(kInvalidPng);
    if (sawIdat && name != "IDAT") idatEnded = true;
    if (name == "IHDR") {
      chunks.header = ParseHeader(body, length);
      first = false;
    } else if (name == "PLTE") {
      if (length % 3 != 0 || length == 0 || length > 768 || chunks.hasPalette || sawIdat) Fail(kInvalidPng);
      for (std::uint32_t i = 0; i < length; i += 3) chunks.palette.push_back(RGBColor(body[i], body[i + 1], body[i + 2]));
      chunks.hasPalette = true;
    } else if (name == "IDAT") {
      if (idatEnded) Fail(kInvalidPng);  // image data must be consecutive
      sawIdat = true;
      chunks.idat.insert(chunks.idat.end(), body, body + length);
    } else if (name == "IEND") {
      break;
    } else if (name == "tRNS") {
      chunks.trns.assign(body, body + length);
    } else if (name == "bKGD") {
      chunks.bkgd.assign(body, body + length);
    } else if (name == "pHYs") {
      if (length == 9 && body[8] == 1) {
        chunks.hasPhys = true;
        chunks.xPpm = static_cast<std::int32_t>(U32BE(body) & 0x7FFFFFFFu);
        chunks.yPpm = static_cast<std::int32_t>(U32BE(body + 4) & 0x7FFFFFFFu);
      }
    } else if (IsCritical(type)) {
      Fail(kInvalidPng);  // a critical chunk we do not understand
    }
  }
  if (!sawIdat) Fail(kNoImageData);
  if (chunks.header.colorType == ctPalette && !chunks.hasPalette) Fail(kInvalidPng);
  return chunks;
}

TPixelFormat TargetFormat(const THeader& h) {
  if (h.colorType == ctPalette) {
    return h.bitDepth == 1 ? TPixelFormat::pf1bit : h.bitDepth == 8 ? TPixelFormat::pf8bit : TPixelFormat::pf4bit;
  }
  if (h.colorType == ctGray && h.bitDepth == 1) return TPixelFormat::pf1bit;
  if (h.colorType == ctGray || h.colorType == ctGrayAlpha) return TPixelFormat::pf8bit;
  return TPixelFormat::pf24bit;
}

std::vector<TColor> TargetPalette(const THeader& h, const std::vector<TColor>& filePalette) {
  if (h.colorType == ctPalette) return filePalette;  // SetPaletteKeepingIndices pads with black
  if (h.colorType == ctGray && h.bitDepth == 1) return {clBlack, clWhite};
  if (h.colorType == ctGray || h.colorType == ctGrayAlpha) return GrayRamp256();
  return {};
}

// Writes the pixels of one unfiltered row of a pass into the raster (and the
// alpha plane, when the file has an alpha channel).
void StoreRow(const THeader& h, const TPass& pass, std::uint32_t passRow, const std::uint8_t* row, TRaster& raster,
              TRaster* alpha) {
  const TSampleReader samples(h.bitDepth);
  const int channels = h.Channels();
  const int y = static_cast<int>(pass.y0 + passRow * pass.dy);
  std::uint8_t* target = raster.ScanLine(y);
  std::uint8_t* alphaRow = alpha ? alpha->ScanLine(y) : nullptr;
  const std::uint32_t columns = pass.Columns(h.width);
  const TPixelFormat format = raster.PixelFormat();
  for (std::uint32_t i = 0; i < columns; ++i) {
    const int x = static_cast<int>(pass.x0 + i * pass.dx);
    const std::size_t s = static_cast<std::size_t>(i) * channels;
    if (format == TPixelFormat::pf24bit) {
      std::uint8_t* p = target + 3 * static_cast<std::size_t>(x);
      p[2] = samples.Scaled(row, s), p[1] = samples.Scaled(row, s + 1), p[0] = samples.Scaled(row, s + 2);
      if (alphaRow) alphaRow[x] = samples.Scaled(row, s + 3);
    } else if (h.colorType == ctPalette || format == TPixelFormat::pf1bit) {
      raster.SetPixelIndex(x, y, static_cast<int>(samples.Raw(row, s)));
    } else {
      target[x] = samples.Scaled(row, s);
      if (alphaRow) alphaRow[x] = samples.Scaled(row, s + 1);
    }
  }
}

void DecodePixels(const THeader& h, std::vector<std::uint8_t>& data, TRaster& raster, TRaster* alpha) {
  const std::size_t distance = h.FilterDistance();
  std::size_t offset = 0;
  for (const TPass& pass : PassesOf(h)) {
    const std::uint32_t columns = pass.Columns(h.width), rows = pass.Rows(h.height);
    if (columns == 0 || rows == 0) continue;
    const std::size_t rowBytes = static_cast<std::size_t>(h.RowBytes(columns));
    std::vector<std::uint8_t> zeros(rowBytes, 0);
    const std::uint8_t* prior = zeros.data();
    for (std::uint32_t r = 0; r < rows; ++r) {
      std::uint8_t* row = data.data() + offset + 1;
      if (!UnfilterRow(data[offset], row, prior, rowBytes, distance)) Fail(kInvalidPng);
      StoreRow(h, pass, r, row, raster, alpha);
      prior = row;
      offset += rowBytes + 1;
    }
  }
}

void ReadTransparency(const TChunks& chunks, const TRaster& raster, TAlpha& alpha) {
  const THeader& h = chunks.header;
  const std::vector<std::uint8_t>& t = chunks.trns;
  if (t.empty()) return;
  if (h.colorType == ctPalette) {
    const std::size_t count = std::min(t.size(), chunks.palette.size());
    const std::size_t zeros = static_cast<std::size_t>(std::count(t.begin(), t.begin() + count, 0));
    const std::size_t opaque = static_cast<std::size_t>(std::count(t.begin(), t.begin() + count, 255));
    if (zeros == 1 && zeros + opaque == count) {
      alpha.Mode = TAlphaMode::amKeyIndex;
      alpha.KeyIndex = static_cast<std::uint8_t>(std::find(t.begin(), t.end(), 0) - t.begin());
      alpha.KeyColor = raster.Palette()[alpha.KeyIndex];
    } else {
      alpha.Mode = TAlphaMode::amPaletteAlpha;
      std::copy(t.begin(), t.begin() + count, alpha.PaletteAlpha.begin());
    }
  } else if (h.colorType == ctGray && t.size() >= 2) {
    const std::uint8_t level = ScaleValue(U16BE(t.data()), h.bitDepth);
    alpha.Mode = TAlphaMode::amKeyGray;
    alpha.KeyColor = RGBColor(level, level, level);
  } else if (h.colorType == ctRGB && t.size() >= 6) {
    alpha.Mode = TAlphaMode::amKeyColor;
    alpha.KeyColor = RGBColor(ScaleValue(U16BE(t.data()), h.bitDepth), ScaleValue(U16BE(t.data() + 2), h.bitDepth),
                              ScaleValue(U16BE(t.data() + 4), h.bitDepth));
  }
}

bool ReadBackground(const TChunks& chunks, TColor& color) {
  const THeader& h = chunks.header;
  const std::vector<std::uint8_t>& b = chunks.bkgd;
  if (h.colorType == ctPalette && b.size() >= 1 && b[0] < chunks.palette.size()) {
    color = chunks.palette[b[0]];
    return true;
  }
  if ((h.colorType == ctGray || h.colorType == ctGrayAlpha) && b.size() >= 2) {
    const std::uint8_t level = ScaleValue(U16BE(b.data()), h.bitDepth);
    color = RGBColor(level, level, level);
    return true;
  }
  if ((h.colorType == ctRGB || h.colorType == ctRGBAlpha) && b.size() >= 6) {
    color = RGBColor(ScaleValue(U16BE(b.data()), h.bitDepth), ScaleValue(U16BE(b.data() + 2), h.bitDepth),
                     ScaleValue(U16BE(b.data() + 4), h.bitDepth));
    return true;
  }
  return false;
}

}  // namespace

void ToxPNGImage::LoadFromStream(TMemoryStream& stream) {
  const std::size_t start = stream.Position();
  const std::size_t size = start < stream.Size() ? stream.Size() - start : 0;
  const TChunks chunks = ReadChunks(stream.Data() + start, size);
  const THeader& h = chunks.header;

  const std::uint64_t expected = ExpectedDataSize(h);
  if (expected > kMaxDataSize) Fail(kInvalidPng);
  std::vector<std::uint8_t> data = Inflate(chunks.idat, expected);

  TRaster raster(static_cast<int>(h.width), static_cast<int>(h.height), TargetFormat(h));
  const std::vector<TColor> palette = TargetPalette(h, chunks.palette);
  if (!palette.empty()) raster.SetPaletteKeepingIndices(palette);
  const bool hasAlphaChannel = h.colorType == ctGrayAlpha || h.colorType == ctRGBAlpha;
  TAlpha alpha;
  if (hasAlphaChannel) {
    alpha.Mode = TAlphaMode::amAlphaPlane;
    alpha.AlphaPlane = TRaster(raster.Width(), raster.Height(), TPixelFormat::pf8bit);
    alpha.AlphaPlane.SetPaletteKeepingIndices(GrayRamp256());
  }
  DecodePixels(h, data, raster, hasAlphaChannel ? &alpha.AlphaPlane : nullptr);
  ReadTransparency(chunks, raster, alpha);

  Bitmap = std::move(raster);
  Alpha = std::move(alpha);
  BitDepth = h.bitDepth;
  ColorType = h.colorType;
  XPelsPerMeter = chunks.hasPhys ? chunks.xPpm : 0;
  YPelsPerMeter = chunks.hasPhys ? chunks.yPpm : 0;
  TColor background = clWhite;
  HasBackground = ReadBackground(chunks, background);
  Background = background;
  stream.Seek(stream.Size());
}

}  // namespace pagewell
