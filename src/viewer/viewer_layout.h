#pragma once
// Where the viewer puts its picture and its two bars: the zoom (fitted when
// the zoom is automatic), the size of the zoomed image, the paint area and
// each bar's place, page and range. A pure computation over sizes, so that
// the viewer's window code only applies its result.
namespace pagewell {

struct TLayoutRequest {
  int ControlWidth = 1;
  int ControlHeight = 1;
  int ImageWidth = 0;  // 0 without an image
  int ImageHeight = 0;
  double Zoom = 100.0;  // percent
  bool AutoZoom = false;
  bool ShowScrollBars = true;
  int BarThickness = 16;
};

struct TBarLayout {
  bool Needed = false;   // a needed bar is enabled with position 0
  bool Visible = false;  // needed, and the bars are shown
  int Left = 0, Top = 0, Width = 0, Height = 0;
  int PageSize = 0;  // also the large change
  int Max = 0;       // the range is 0 .. Max
};

struct TViewerLayout {
  double Zoom = 100.0;
  int ScaledWidth = 0;
  int ScaledHeight = 0;
  int PaintWidth = 0;
  int PaintHeight = 0;
  TBarLayout Horizontal;
  TBarLayout Vertical;
};

// The image at the zoom, rounded: trunc(size × zoom / 100 + 0.5).
int ScaledSize(int size, double zoom);

// The zoom that fits the image into the control: 100 when it fits as it
// is, else the smaller of the two ratios, in percent.
double FittingZoom(int controlWidth, int controlHeight, int imageWidth, int imageHeight);

TViewerLayout ComputeLayout(const TLayoutRequest& request);

}  // namespace pagewell
