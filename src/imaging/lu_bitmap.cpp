#include "imaging/lu_bitmap.h"

#include <algorithm>
#include <limits>
#include <string>

#include "imaging/color_index_hash.h"
#include "imaging/nearest_color.h"

namespace pagewell {
namespace {

std::int32_t DpiToPelsPerMeter(int dpi) {
  const std::int64_t ppm = (static_cast<std::int64_t>(dpi) * 10000 + 127) / 254;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(ppm, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

int PelsPerMeterToDpi(std::int32_t ppm) {
  return static_cast<int>((static_cast<std::int64_t>(ppm) * 254 + 5000) / 10000);
}

// (channel × a + background × (255 − a)) / 255, rounded; 255 is odd, so the
// exact quotient never ends in one half and adding 127 rounds it.
inline std::uint8_t Blend(unsigned channel, unsigned background, unsigned alpha) {
  return static_cast<std::uint8_t>((channel * alpha + background * (255 - alpha) + 127) / 255);
}

}  // namespace

void TluBitmap::Assign(const TRaster& source) {
  if (&source == this) return;
  static_cast<TRaster&>(*this) = source;
  if (SelectionMask.size() != static_cast<std::size_t>(Width()) * static_cast<std::size_t>(Height())) {
    // A selection of another size would no longer describe this picture.
    SelectionMask.clear();
    if (SelectionKind == 2) SelectionKind = 0;
  }
  if (const auto* bmp = dynamic_cast<const TBMPImage*>(&source)) {
    XPelsPerMeter = bmp->XPelsPerMeter;
    YPelsPerMeter = bmp->YPelsPerMeter;
    DetectColorMode();
  }
  if (const auto* page = dynamic_cast<const TluBitmap*>(&source)) {
    Transparent = page->Transparent;
    SetBackgroundColor(page->BackgroundColor);
    SetColorMode(page->ColorMode);  // a copy keeps the source's mode
    FileInfo = page->FileInfo;
    TiffCompression = page->TiffCompression;
    Exif = page->Exif;
    Progressive = page->Progressive;
    IccProfile = page->IccProfile;
    EmbedIcc = page->EmbedIcc;
    Alpha = page->Alpha;
    AlphaBackground = page->AlphaBackground;
    BackgroundIndex = page->BackgroundIndex;
  }
}

int TluBitmap::XDpi() const { return PelsPerMeterToDpi(XPelsPerMeter); }
int TluBitmap::YDpi() const { return PelsPerMeterToDpi(YPelsPerMeter); }

void TluBitmap::SetXDpi(int dpi) {
  XPelsPerMeter = DpiToPelsPerMeter(dpi);
  UpdateExifResolution();
}

void TluBitmap::SetYDpi(int dpi) {
  YPelsPerMeter = DpiToPelsPerMeter(dpi);
  UpdateExifResolution();
}

// Only tags the page already carries are updated: a page without Exif data
// gets none from a resolution change.
void TluBitmap::UpdateExifResolution() {
  if (Exif.Empty()) return;
  if (!Exif.Value("XResolution").empty()) Exif.SetValue("XResolution", std::to_string(XDpi()) + "/1");
  if (!Exif.Value("YResolution").empty()) Exif.SetValue("YResolution", std::to_string(YDpi()) + "/1");
  if (!Exif.Value("ResolutionUnit").empty()) Exif.SetValue("ResolutionUnit", "2");
}

bool TluBitmap::IsGrayPalette() const {
  if (!IsPaletteFormat(PixelFormat())) return false;
  return std::all_of(Palette().begin(), Palette().end(), IsGrayColor);
}

int TluBitmap::FindPaletteIndex(TColor color) const {
  const auto& palette = Palette();
  const auto it = std::find(palette.begin(), palette.end(), color & 0xFFFFFF);
  return it == palette.end() ? -1 : static_cast<int>(it - palette.begin());
}

int TluBitmap::FindUnusedPaletteIndex(int start) const {
  const int size = PaletteSize();
  start = std::max(start, 0);
  if (size == 0 || start >= size) return -1;
  if (Empty()) return start;
  std::vector<bool> used(static_cast<std::size_t>(size), false);
  for (int y = 0; y < Height(); ++y) {
    const std::uint8_t* row = ScanLine(y);
    switch (PixelFormat()) {
      case TPixelFormat::pf8bit:
        for (int x = 0; x < Width(); ++x) used[row[x]] = true;
        break;
      case TPixelFormat::pf4bit:
        for (int x = 0; x < Width(); ++x) used[(x & 1) ? (row[x >> 1] & 15) : (row[x >> 1] >> 4)] = true;
        break;
      default:
        for (int x = 0; x < Width(); ++x) used[(row[x >> 3] >> (7 - (x & 7))) & 1] = true;
        break;
    }
  }
  for (int i = start; i < size; ++i) {
    if (!used[static_cast<std::size_t>(i)]) return i;
  }
  return -1;
}

void TluBitmap::SetPaletteEntry(int index, TColor color) {
  if (index < 0 || index >= PaletteSize()) return;
  std::vector<TColor> palette = Palette();
  palette[static_cast<std::size_t>(index)] = color & 0xFFFFFF;
  SetPaletteKeepingIndices(palette);
  DetectColorMode();
}

bool TluBitmap::CopyPaletteFrom(const TluBitmap& other) {
  if (ColorMode == cmTrueColor || ColorMode == cmUnknown || PixelFormat() != other.PixelFormat()) return false;
  const std::size_t count = ColorMode <= cmGray256 ? 256 : ColorMode <= cmGray16 ? 16 : 2;
  const auto& source = other.Palette();
  SetPalette(std::vector<TColor>(source.begin(), source.begin() + std::min(count, source.size())));
  return true;
}

void TluBitmap::RemapToPalette(const TRaster& source, const std::vector<TColor>& table, int bits, int count) {
  const bool handled = BitsPerPixel() == bits && source.Width() == Width() && source.Height() == Height() &&
                       ((source.PixelFormat() == TPixelFormat::pf8bit && bits == 4) ||
                        (source.PixelFormat() == TPixelFormat::pf24bit && (bits == 4 || bits == 8)));
  if (!handled) return;
  TColorIndexHash hash;
  count = std::clamp(count, 0, static_cast<int>(table.size()));
  for (int i = 0; i < count; ++i) {
    const TColor c = table[static_cast<std::size_t>(i)];
    hash.Add(RGBKey(RedOf(c), GreenOf(c), BlueOf(c)), i);
  }
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(Width()) * 3);
  for (int y = 0; y < Height(); ++y) {
    const std::uint8_t* p = source.PixelFormat() == TPixelFormat::pf24bit ? source.ScanLine(y) : bgr.data();
    if (p == bgr.data()) source.DecodeRowBGR(y, bgr.data());
    std::uint8_t* row = ScanLine(y);
    for (int x = 0; x < Width(); ++x, p += 3) {
      const int index = hash.Find(RGBKey(p[2], p[1], p[0]));
      if (index < 0) continue;
      if (bits == 8) {
        row[x] = static_cast<std::uint8_t>(index);
      } else {
        std::uint8_t& b = row[x >> 1];
        b = static_cast<std::uint8_t>((x & 1) ? ((b & 0xF0) | index) : ((b & 0x0F) | (index << 4)));
      }
    }
  }
}

void TluBitmap::SetBackgroundColor(TColor color) {
  BackgroundColor = color;
  const int found = FindPaletteIndex(color);
  if (found >= 0) {
    BackgroundIndex = static_cast<std::uint8_t>(found);
    return;
  }
  const int unused = FindUnusedPaletteIndex(0);
  if (unused < 0) return;
  BackgroundIndex = static_cast<std::uint8_t>(unused);
  SetPaletteEntry(unused, color);
}

bool TluBitmap::HasAlpha() const {
  return Alpha.Mode == TAlphaMode::amAlphaPlane || Alpha.Mode == TAlphaMode::amPaletteAlpha;
}

void TluBitmap::FlattenAlpha() {
  if (Alpha.Mode == TAlphaMode::amPaletteAlpha) {
    Alpha.Reset();
    return;
  }
  if (Alpha.Mode != TAlphaMode::amAlphaPlane) return;
  const TRaster& plane = Alpha.AlphaPlane;
  const bool sameSize = plane.Width() == Width() && plane.Height() == Height() &&
                        plane.PixelFormat() == TPixelFormat::pf8bit && !Empty();
  if (sameSize && PixelFormat() == TPixelFormat::pf24bit) {
    const std::uint8_t bb = BlueOf(AlphaBackground), bg = GreenOf(AlphaBackground), br = RedOf(AlphaBackground);
    for (int y = 0; y < Height(); ++y) {
      const std::uint8_t* a = plane.ScanLine(y);
      std::uint8_t* p = ScanLine(y);
      for (int x = 0; x < Width(); ++x, p += 3) {
        p[0] = Blend(p[0], bb, a[x]), p[1] = Blend(p[1], bg, a[x]), p[2] = Blend(p[2], br, a[x]);
      }
    }
  } else if (sameSize && PixelFormat() == TPixelFormat::pf8bit && IsGrayPalette() && IsGrayColor(AlphaBackground)) {
    TNearestColorMap nearest(Palette());
    const unsigned background = RedOf(AlphaBackground);
    for (int y = 0; y < Height(); ++y) {
      const std::uint8_t* a = plane.ScanLine(y);
      std::uint8_t* p = ScanLine(y);
      for (int x = 0; x < Width(); ++x) {
        const std::uint8_t gray = Blend(RedOf(Palette()[p[x]]), background, a[x]);
        p[x] = static_cast<std::uint8_t>(nearest.IndexOf(gray, gray, gray));
      }
    }
  }
  Alpha.Reset();
}

}  // namespace pagewell
