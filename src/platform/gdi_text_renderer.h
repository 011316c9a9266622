#pragma once
// Text output with GDI for the Windows build: fonts by face name and point
// size at the screen's resolution, measured and drawn like a drawing
// canvas's TextOut (an opaque background box when the brush is solid).
#include "imaging/text_renderer.h"

namespace pagewell {

class TGdiTextRenderer : public ITextRenderer {
 public:
  TTextExtent MeasureLine(const TCanvasStyle& style, const std::wstring& line) override;
  int LineHeight(const TCanvasStyle& style) override;
  void DrawLines(TRaster& target, const TCanvasStyle& style, const std::vector<TTextLine>& lines) override;
};

}  // namespace pagewell
