#pragma once
// Dust on the scanner's glass: small dark dots and, now and then, a hair.
// It lies on the glass, not on the sheet, so it stays put however the sheet
// is turned; where it falls depends only on the page number.
#include <cstdint>
#include <vector>

namespace virtual_scanner {

// Adds `specks` dots of one to five pixels, each within a 3 × 3 block, and a
// hair-line for every 20 of them, to the page's colours (0x00BBGGRR, top
// row first).
void AddGlassDust(std::vector<std::uint32_t>& colors, int width, int height, double dpi, int specks, int page);

}  // namespace virtual_scanner
