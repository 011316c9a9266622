#pragma once
#include <vector>

#include "imaging/color.h"
#include "imaging/pixel_format.h"

namespace pagewell {

// The palette a raster gets when it changes to a palette format:
// 1 bit: black, white.
// 4 bits: the 16 VGA colours in the order of the Windows system palette
//   (black, maroon, green, olive, navy, purple, teal, silver, gray, red,
//   lime, yellow, blue, fuchsia, aqua, white).
// 8 bits: the 6 × 6 × 6 colour cube (levels 0, 51, ..., 255; index
//   r × 36 + g × 6 + b) followed by 40 grays that fall between the cube's
//   six gray levels, so gray pages lose little.
std::vector<TColor> DefaultPalette(TPixelFormat format);

// Gray ramps: entry i = (i, i, i) for 256 entries.
std::vector<TColor> GrayRamp256();

}  // namespace pagewell
