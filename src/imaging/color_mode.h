#pragma once
#include <cstdint>

namespace pagewell {

// Classification of a bitmap's colour content. The numbers are part of the
// interface: pages and the encoder choice use them.
enum TColorMode : std::uint8_t {
  cmTrueColor = 0,   // 24 bits, RGB
  cmPalette256 = 1,  // 8 bits, palette not all gray
  cmGray256 = 2,     // 8 bits, every entry red = green = blue
  cmPalette16 = 3,   // 4 bits, palette not all gray
  cmGray16 = 4,      // 4 bits, all-gray palette
  cmTwoColor = 5,    // 1 bit, two arbitrary colours
  cmBlackWhite = 6,  // 1 bit, palette exactly black (0) and white (1)
  cmUnknown = 7,     // not classified; also "no change" for SetColorMode
};

}  // namespace pagewell
