#pragma once
// The documents the virtual scanner's sheets carry, laid out in inches on
// a sheet of the given size. The page number picks the wording and the
// figures, so that the pages of a batch differ and every page is the same
// each time it is scanned.
#include <cstdint>
#include <string>

#include "sheet_canvas.h"
#include "sparse_marks.h"

namespace virtual_scanner {

struct TLetterParts {
  bool Text = true;   // letterhead, heading, paragraphs, table, signature
  bool Photo = false; // the photograph
};

// A business letter on a sheet of width × height inches.
void DrawLetter(TSheetCanvas& canvas, int page, const TLetterParts& parts, double width, double height);

// A hand-written signature in a ballpoint's blue whose top-left is about
// (x, y): loops of a pen moving right, a little different on every page,
// and a stroke under them; about 1.3 by 0.45 inch.
void DrawSignature(TSheetCanvas& canvas, double x, double y, int page);

void DrawSparseMarks(TSheetCanvas& canvas, int page, const TSparseMarks& marks, double width, double height);

// A cheque filling the sheet, its MICR line printed along the bottom (the
// E-13B symbols written as the letters a transit, b amount, c on-us, d dash).
void DrawCheque(TSheetCanvas& canvas, int page, const std::string& micr, double width, double height);

}  // namespace virtual_scanner
