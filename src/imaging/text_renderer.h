#pragma once
// Text output onto a raster is a platform service: glyph shapes and font
// metrics come from the system's font engine (GDI in the Windows build).
// The portable core lays out text blocks and asks an ITextRenderer to
// measure and write single lines.
#include <string>
#include <vector>

#include "imaging/color.h"
#include "imaging/raster.h"

namespace pagewell {

struct TFontStyle {
  std::string Name = "MS Sans Serif";
  int Size = 8;        // points, at the screen's 96 pixels per inch
  int Escapement = 0;  // text angle in tenths of a degree, counter-clockwise
  TColor Color = clBlack;
};

// What a drawing canvas holds for text output: the font, the pen and the
// brush. A solid brush gives each line an opaque box in the brush colour; a
// clear one leaves the background as it is.
struct TCanvasStyle {
  TFontStyle Font;
  TColor PenColor = clBlack;
  TColor BrushColor = clWhite;
  bool BrushSolid = true;
};

struct TTextExtent {
  int Width = 0;
  int Height = 0;
};

struct TTextBlockSize {
  int Width = 0;
  int Height = 0;
};

// One line of text with the position of its top-left corner.
struct TTextLine {
  int X = 0;
  int Y = 0;
  std::wstring Text;
};

class ITextRenderer {
 public:
  virtual ~ITextRenderer() = default;
  // Width and height of one line in the style's font.
  virtual TTextExtent MeasureLine(const TCanvasStyle& style, const std::wstring& line) = 0;
  // Distance from one line to the next: the font's height.
  virtual int LineHeight(const TCanvasStyle& style) = 0;
  // Writes the lines onto the raster in the font colour, each on an opaque
  // box of the brush colour when the brush is solid. Palette rasters get the
  // nearest entries.
  virtual void DrawLines(TRaster& target, const TCanvasStyle& style, const std::vector<TTextLine>& lines) = 0;
};

}  // namespace pagewell
