#pragma once
// Pages of every pixel format, a page file in memory that fails when told
// to, and a bit-for-bit comparison of two pages.
#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "imaging/lu_bitmap.h"
#include "page_store/page_file.h"

namespace pagewell::page_store_test {

// The picture: "text" is white with dark strokes, "noise" a pseudo-random
// value in every pixel byte, "rough" (1 bit only, otherwise text) stripes
// whose edges wander by a pixel from row to row, as on a rough scan (where
// Group 4 is the better coder).
enum class TPicture { Text, Noise, Rough };

inline std::uint32_t NextRandom(std::uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}

// Every pixel byte of every row set; the bits after the last pixel and the
// padding stay 0, as in every raster.
inline TluBitmap MakePage(TPixelFormat format, int width, int height, TPicture picture, std::uint32_t seed = 7) {
  TluBitmap page(width, height, format);
  std::uint32_t random = seed;
  const std::size_t rowBytes = page.RowBytes();
  const int usedBits = width * page.BitsPerPixel() % 8;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = page.ScanLine(y);
    for (std::size_t i = 0; i < rowBytes; ++i) {
      const std::uint32_t r = NextRandom(random);
      if (picture == TPicture::Noise) {
        row[i] = static_cast<std::uint8_t>(r);
      } else {
        // Mostly 0xFF (white in 8/24 bits, index 1 in 1 bit), a few strokes.
        const bool stroke = (y % 12) < 3 && (i * 5 + static_cast<std::size_t>(y)) % 17 < 3;
        row[i] = stroke ? static_cast<std::uint8_t>(r & 0x3F) : 0xFF;
      }
    }
    if (usedBits != 0) row[rowBytes - 1] &= static_cast<std::uint8_t>(0xFF << (8 - usedBits));
  }
  if (picture == TPicture::Rough && format == TPixelFormat::pf1bit) {
    std::vector<int> edges;
    for (int x = 3; x < width; x += 8 + static_cast<int>(NextRandom(random) % 20)) edges.push_back(x);
    for (int y = 0; y < height; ++y) {
      for (int& edge : edges) edge = std::max(0, std::min(width, edge + static_cast<int>(NextRandom(random) % 3) - 1));
      bool black = false;
      std::size_t next = 0;
      for (int x = 0; x < width; ++x) {
        while (next < edges.size() && edges[next] <= x) black = !black, ++next;
        page.SetPixelIndex(x, y, black ? 0 : 1);
      }
    }
  }
  if (IsPaletteFormat(format)) {
    // A palette of its own, not the default one.
    std::vector<TColor> palette(static_cast<std::size_t>(PaletteEntryCount(format)));
    for (auto& entry : palette) entry = NextRandom(random) & 0xFFFFFF;
    page.SetPaletteKeepingIndices(palette);
  }
  page.XPelsPerMeter = 11811;  // 300 dpi
  page.YPelsPerMeter = 7874;   // 200 dpi
  return page;
}

// Every field of the bitmap set away from its default.
inline void SetEveryField(TluBitmap& page) {
  page.XPelsPerMeter = 3937;
  page.YPelsPerMeter = 5906;
  page.ColorMode = cmPalette256;
  page.Transparent = true;
  page.BackgroundColor = RGBColor(1, 2, 3);
  page.SelectionMask.assign(static_cast<std::size_t>(page.Width()) * page.Height(), 0);
  page.SelectionMask[page.SelectionMask.size() / 2] = 1;
  page.SelectionKind = 2;
  page.FileInfo.Fields = {{"Caption", "MICR \xE2\x91\x86 0123 \xE2\x91\x88"}, {"Keywords", "cheque"}};
  page.FileInfo.Changed = true;
  page.GifLzw = true;
  page.TiffCompression = 2;
  page.Exif.SetValue("Make", "Pagewell");
  page.Exif.SetValue("XResolution", "300/1");
  page.Progressive = true;
  page.IccProfile.Data = {0, 1, 2, 3, 250, 251};
  page.EmbedIcc = true;
  page.Alpha.Mode = TAlphaMode::amAlphaPlane;
  page.Alpha.KeyColor = RGBColor(9, 8, 7);
  page.Alpha.KeyIndex = 3;
  page.Alpha.PaletteAlpha[5] = 17;
  page.Alpha.AlphaPlane = TRaster(page.Width(), page.Height(), TPixelFormat::pf8bit);
  page.Alpha.AlphaPlane.SetPixelIndex(0, 0, 99);
  page.AlphaBackground = RGBColor(4, 5, 6);
  page.AlphaFillValue = 200;
  page.BackgroundIndex = 9;
  page.SelectionLeft = 1;
  page.SelectionRight = 2;
  page.SelectionTop = 3;
  page.SelectionBottom = 4;
  page.Canvas.Font.Name = "Arial";
  page.Canvas.Font.Size = 11;
  page.Canvas.Font.Escapement = 900;
  page.Canvas.Font.Color = RGBColor(10, 20, 30);
  page.Canvas.PenColor = RGBColor(40, 50, 60);
  page.Canvas.BrushColor = RGBColor(70, 80, 90);
  page.Canvas.BrushSolid = false;
}

// The raster's whole pixel buffer, padding included.
inline std::vector<std::uint8_t> PixelBytes(const TRaster& raster) {
  std::vector<std::uint8_t> bytes;
  for (int y = 0; y < raster.Height(); ++y) {
    bytes.insert(bytes.end(), raster.ScanLine(y), raster.ScanLine(y) + raster.RowStride());
  }
  return bytes;
}

inline void ExpectSameRaster(const TRaster& a, const TRaster& b) {
  EXPECT_EQ(a.Width(), b.Width());
  EXPECT_EQ(a.Height(), b.Height());
  EXPECT_EQ(a.PixelFormat(), b.PixelFormat());
  EXPECT_EQ(a.RowStride(), b.RowStride());
  EXPECT_EQ(a.Palette(), b.Palette());
  EXPECT_TRUE(PixelBytes(a) == PixelBytes(b)) << "the pixel bytes differ";
}

inline void ExpectSamePage(const TluBitmap& a, const TluBitmap& b) {
  ExpectSameRaster(a, b);
  EXPECT_EQ(a.XPelsPerMeter, b.XPelsPerMeter);
  EXPECT_EQ(a.YPelsPerMeter, b.YPelsPerMeter);
  EXPECT_EQ(a.ColorMode, b.ColorMode);
  EXPECT_EQ(a.Transparent, b.Transparent);
  EXPECT_EQ(a.BackgroundColor, b.BackgroundColor);
  EXPECT_EQ(a.SelectionMask, b.SelectionMask);
  EXPECT_EQ(a.SelectionKind, b.SelectionKind);
  EXPECT_EQ(a.FileInfo, b.FileInfo);
  EXPECT_EQ(a.GifLzw, b.GifLzw);
  EXPECT_EQ(a.TiffCompression, b.TiffCompression);
  EXPECT_EQ(a.Exif, b.Exif);
  EXPECT_EQ(a.Progressive, b.Progressive);
  EXPECT_EQ(a.IccProfile, b.IccProfile);
  EXPECT_EQ(a.EmbedIcc, b.EmbedIcc);
  EXPECT_EQ(a.Alpha.Mode, b.Alpha.Mode);
  EXPECT_EQ(a.Alpha.KeyColor, b.Alpha.KeyColor);
  EXPECT_EQ(a.Alpha.KeyIndex, b.Alpha.KeyIndex);
  EXPECT_EQ(a.Alpha.PaletteAlpha, b.Alpha.PaletteAlpha);
  ExpectSameRaster(a.Alpha.AlphaPlane, b.Alpha.AlphaPlane);
  EXPECT_EQ(a.AlphaBackground, b.AlphaBackground);
  EXPECT_EQ(a.AlphaFillValue, b.AlphaFillValue);
  EXPECT_EQ(a.BackgroundIndex, b.BackgroundIndex);
  EXPECT_EQ(a.SelectionLeft, b.SelectionLeft);
  EXPECT_EQ(a.SelectionRight, b.SelectionRight);
  EXPECT_EQ(a.SelectionTop, b.SelectionTop);
  EXPECT_EQ(a.SelectionBottom, b.SelectionBottom);
  EXPECT_EQ(a.Canvas.Font.Name, b.Canvas.Font.Name);
  EXPECT_EQ(a.Canvas.Font.Size, b.Canvas.Font.Size);
  EXPECT_EQ(a.Canvas.Font.Escapement, b.Canvas.Font.Escapement);
  EXPECT_EQ(a.Canvas.Font.Color, b.Canvas.Font.Color);
  EXPECT_EQ(a.Canvas.PenColor, b.Canvas.PenColor);
  EXPECT_EQ(a.Canvas.BrushColor, b.Canvas.BrushColor);
  EXPECT_EQ(a.Canvas.BrushSolid, b.Canvas.BrushSolid);
}

// What the test does to the page file, shared with the file the store owns
// (the store drops its file on Clear).
struct TFakeFileState {
  std::vector<std::uint8_t> bytes;
  TPageStoreError failWrites = TPageStoreError::None;  // WriteFailed or DiskFull
  std::uint64_t diskSize = UINT64_MAX;                 // writes past this are DiskFull
  bool failReads = false;
  int opened = 0;
  int open = 0;  // files alive
  std::uint64_t writes = 0;
  std::uint64_t bytesWritten = 0;
};

class TFakePageFile : public IPageFile {
 public:
  explicit TFakePageFile(std::shared_ptr<TFakeFileState> state) : state_(std::move(state)) { ++state_->open; }
  ~TFakePageFile() override { --state_->open; }

  TPageStoreError Write(std::uint64_t offset, const std::uint8_t* bytes, std::size_t count) override {
    if (state_->failWrites != TPageStoreError::None) return state_->failWrites;
    if (offset + count > state_->diskSize) {
      // A disk that fills up part way: what fits is written.
      if (offset < state_->diskSize) Store(offset, bytes, static_cast<std::size_t>(state_->diskSize - offset));
      return TPageStoreError::DiskFull;
    }
    Store(offset, bytes, count);
    ++state_->writes;
    state_->bytesWritten += count;
    return TPageStoreError::None;
  }
  void Truncate(std::uint64_t size) override {
    if (size < state_->bytes.size()) state_->bytes.resize(static_cast<std::size_t>(size));
  }
  TPageStoreError Read(std::uint64_t offset, std::uint8_t* bytes, std::size_t count) override {
    if (state_->failReads || offset + count > state_->bytes.size()) return TPageStoreError::ReadFailed;
    std::memcpy(bytes, state_->bytes.data() + offset, count);
    return TPageStoreError::None;
  }

 private:
  void Store(std::uint64_t offset, const std::uint8_t* bytes, std::size_t count) {
    if (state_->bytes.size() < offset + count) state_->bytes.resize(static_cast<std::size_t>(offset + count));
    std::memcpy(state_->bytes.data() + offset, bytes, count);
  }
  std::shared_ptr<TFakeFileState> state_;
};

inline TPageFileOpener FakeOpener(const std::shared_ptr<TFakeFileState>& state) {
  return [state]() -> std::unique_ptr<IPageFile> {
    ++state->opened;
    return std::make_unique<TFakePageFile>(state);
  };
}

}  // namespace pagewell::page_store_test
