#pragma once
// What the sheet itself adds to a scan, apart from what is printed on it:
// the paper's tint, the flecks of recycled paper, the print of the other
// side showing through faintly, the holes of a punched sheet (the dark lid
// seen through them) and the shadow the scanner casts along one edge. Pages
// get it after drawing, like the dust on the glass; it is portable, so the
// tests build their labelled pages with the very same paper.
#include <cstdint>
#include <vector>

namespace virtual_scanner {

enum class TShadowEdge { None, Left, Top, Right, Bottom };

struct TPaperLook {
  std::uint32_t Tint = 0xFFFFFF;  // 0x00BBGGRR; white paper is 0xFFFFFF
  int Flecks = 0;                 // dark fibres of recycled paper, about 0.2 to 0.6 mm
  int ShowThrough = 0;            // how much the other side's text darkens the paper, 0 to 60
  int PunchHoles = 0;             // 0, 2 or 3 holes along the left edge
  TShadowEdge Shadow = TShadowEdge::None;
};

// Applies the look to a page of width × height colours (0x00BBGGRR, top row
// first) scanned at the given resolution; `page` varies where things fall.
void ApplyPaperLook(std::vector<std::uint32_t>& colors, int width, int height, double xDpi, double yDpi,
                    const TPaperLook& look, int page);

}  // namespace virtual_scanner
