#pragma once
// TAlpha: the transparency record a page carries to the PNG writer.
#include <array>
#include <cstdint>

#include "imaging/color.h"
#include "imaging/raster.h"

namespace pagewell {

enum class TAlphaMode : std::uint8_t {
  amKeyIndex = 0,      // one palette entry is transparent
  amPaletteAlpha = 1,  // an alpha value per palette entry
  amKeyGray = 2,       // one gray level is transparent
  amKeyColor = 3,      // one RGB colour is transparent
  amAlphaPlane = 4,    // a full alpha channel
  amNone = 5,          // no transparency
};

struct TAlpha {
  TAlphaMode Mode = TAlphaMode::amNone;
  TColor KeyColor = clBlack;  // modes 0, 2 and 3
  std::uint8_t KeyIndex = 0;  // mode 0
  std::array<std::uint8_t, 256> PaletteAlpha = FullyOpaque();  // mode 1
  // Mode 4: 8-bit alpha values with a 256-level gray palette, the image's size.
  TRaster AlphaPlane;

  std::uint8_t KeyRed() const { return RedOf(KeyColor); }
  std::uint8_t KeyGreen() const { return GreenOf(KeyColor); }
  std::uint8_t KeyBlue() const { return BlueOf(KeyColor); }

  void Reset() { *this = TAlpha(); }

  static std::array<std::uint8_t, 256> FullyOpaque() {
    std::array<std::uint8_t, 256> alpha{};
    alpha.fill(255);
    return alpha;
  }
};

}  // namespace pagewell
