#include "viewer/viewer_layout.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace pagewell {

int ScaledSize(int size, double zoom) {
  const double scaled = std::trunc(size * zoom / 100.0 + 0.5);
  // A zoom the viewer accepts keeps every page well inside 32 bits; the
  // limit only guards the conversion.
  return scaled >= INT_MAX / 2 ? INT_MAX / 2 : static_cast<int>(scaled);
}

double FittingZoom(int controlWidth, int controlHeight, int imageWidth, int imageHeight) {
  if (imageWidth <= controlWidth && imageHeight <= controlHeight) return 100.0;
  return std::min(controlWidth * 100.0 / imageWidth, controlHeight * 100.0 / imageHeight);
}

namespace {

// Which bars the zoomed image needs. With the bars shown, one bar takes room
// from the other direction and may make the other bar needed too.
void DecideNeededBars(const TLayoutRequest& r, TViewerLayout& layout) {
  bool horizontal = layout.ScaledWidth > r.ControlWidth;
  bool vertical = layout.ScaledHeight > r.ControlHeight;
  if (r.ShowScrollBars) {
    if (vertical && r.ControlWidth - r.BarThickness < layout.ScaledWidth) horizontal = true;
    if (horizontal && r.ControlHeight - r.BarThickness < layout.ScaledHeight) vertical = true;
  }
  layout.Horizontal.Needed = horizontal;
  layout.Vertical.Needed = vertical;
}

// A needed bar lies along the picture's edge, or along the control's edge
// when it would stick out; it gives up the corner to the other shown bar.
void PlaceBars(const TLayoutRequest& r, TViewerLayout& layout) {
  TBarLayout& h = layout.Horizontal;
  TBarLayout& v = layout.Vertical;
  if (h.Needed) {
    h.Visible = r.ShowScrollBars;
    h.Left = 0;
    h.Top = layout.ScaledHeight + r.BarThickness > r.ControlHeight ? r.ControlHeight - r.BarThickness
                                                                    : layout.ScaledHeight;
    h.Width = r.ControlWidth - (v.Needed && r.ShowScrollBars ? r.BarThickness : 0);
    h.Height = r.BarThickness;
    h.PageSize = h.Width;
    h.Max = layout.ScaledWidth;
    layout.PaintWidth = h.Width;
  }
  if (v.Needed) {
    v.Visible = r.ShowScrollBars;
    v.Top = 0;
    v.Left = layout.ScaledWidth + r.BarThickness > r.ControlWidth ? r.ControlWidth - r.BarThickness
                                                                   : layout.ScaledWidth;
    v.Height = r.ControlHeight - (h.Needed && r.ShowScrollBars ? r.BarThickness : 0);
    v.Width = r.BarThickness;
    v.PageSize = v.Height;
    v.Max = layout.ScaledHeight;
    layout.PaintHeight = v.Height;
  }
}

}  // namespace

TViewerLayout ComputeLayout(const TLayoutRequest& request) {
  TLayoutRequest r = request;
  r.ControlWidth = std::max(1, r.ControlWidth);
  r.ControlHeight = std::max(1, r.ControlHeight);
  TViewerLayout layout;
  layout.Zoom = r.Zoom;
  if (r.ImageWidth <= 0 || r.ImageHeight <= 0) return layout;
  if (r.AutoZoom) layout.Zoom = FittingZoom(r.ControlWidth, r.ControlHeight, r.ImageWidth, r.ImageHeight);
  layout.ScaledWidth = ScaledSize(r.ImageWidth, layout.Zoom);
  layout.ScaledHeight = ScaledSize(r.ImageHeight, layout.Zoom);
  layout.PaintWidth = std::min(layout.ScaledWidth, r.ControlWidth);
  layout.PaintHeight = std::min(layout.ScaledHeight, r.ControlHeight);
  DecideNeededBars(r, layout);
  PlaceBars(r, layout);
  return layout;
}

}  // namespace pagewell
