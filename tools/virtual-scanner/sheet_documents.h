#pragma once
// The documents the virtual scanner's sheets carry, laid out in inches on
// a sheet of the given size. The page number picks the wording and the
// figures, so that the pages of a batch differ and every page is the same
// each time it is scanned.
#include <cstdint>
#include <string>

#include "sheet_canvas.h"

namespace virtual_scanner {

struct TLetterParts {
  bool Text = true;   // letterhead, heading, paragraphs, table, signature
  bool Photo = false; // the photograph
};

// A business letter on a sheet of width × height inches.
void DrawLetter(TSheetCanvas& canvas, int page, const TLetterParts& parts, double width, double height);

// A cheque filling the sheet, its MICR line printed along the bottom (the
// E-13B symbols written as the letters a transit, b amount, c on-us, d dash).
void DrawCheque(TSheetCanvas& canvas, int page, const std::string& micr, double width, double height);

}  // namespace virtual_scanner
