// The viewer's windows, its properties, the layout of picture and bars and
// the scrolling.
#include "viewer/pw_image.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "viewer/viewer_layout.h"

namespace pagewell {

namespace {

const char kViewerClass[] = "PagewellViewer";
const char kPaintAreaClass[] = "PagewellViewerPaintArea";


// The mouse messages both windows pass on: buttons, moves and the
// left-button double click.
bool IsButtonOrMoveMessage(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDBLCLK: return true;
    default: return false;
  }
}

// A cursor the viewer set for its whole surface wins over the class cursor.
bool ShowCursorIfSet(HCURSOR cursor) {
  if (!cursor) return false;
  SetCursor(cursor);
  return true;
}

}  // namespace

// The window procedures of the viewer and of its paint area; each finds its
// viewer in the window's user data, set when the window is created.
struct TPWImageWindows {
  static LRESULT CALLBACK Viewer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TPWImage* viewer = Attach(window, message, lParam);
    return viewer ? viewer->HandleViewerMessage(window, message, wParam, lParam)
                  : DefWindowProcA(window, message, wParam, lParam);
  }

  static LRESULT CALLBACK PaintArea(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TPWImage* viewer = Attach(window, message, lParam);
    return viewer ? viewer->HandlePaintAreaMessage(window, message, wParam, lParam)
                  : DefWindowProcA(window, message, wParam, lParam);
  }

  static TPWImage* Attach(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<TPWImage*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  }

  // The module that holds these procedures: the control's DLL or a test
  // program. Classes are registered on first use, never from DllMain.
  static HINSTANCE Module() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&TPWImageWindows::Viewer), &module);
    return module;
  }

  static void RegisterClasses(HINSTANCE module) {
    WNDCLASSA windowClass{};
    if (!GetClassInfoA(module, kViewerClass, &windowClass)) {
      windowClass = WNDCLASSA{};
      windowClass.style = CS_DBLCLKS;
      windowClass.lpfnWndProc = &TPWImageWindows::Viewer;
      windowClass.hInstance = module;
      windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
      windowClass.lpszClassName = kViewerClass;
      RegisterClassA(&windowClass);
    }
    if (!GetClassInfoA(module, kPaintAreaClass, &windowClass)) {
      windowClass = WNDCLASSA{};
      windowClass.style = CS_DBLCLKS;
      windowClass.lpfnWndProc = &TPWImageWindows::PaintArea;
      windowClass.hInstance = module;
      windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
      windowClass.lpszClassName = kPaintAreaClass;
      RegisterClassA(&windowClass);
    }
  }
};

TPWImage::TPWImage(HWND parent, int left, int top, int width, int height)
    : left_(left), top_(top), width_(std::max(1, width)), height_(std::max(1, height)) {
  CreateWindows(parent);
  Layout();
}

TPWImage::~TPWImage() {
  selecting_ = false;
  twain_.reset();
  horzBar_.reset();
  vertBar_.reset();
  if (window_) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    if (paintArea_) SetWindowLongPtrA(paintArea_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

void TPWImage::CreateWindows(HWND parent) {
  const HINSTANCE module = TPWImageWindows::Module();
  TPWImageWindows::RegisterClasses(module);
  window_ = CreateWindowExA(0, kViewerClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, left_, top_, width_,
                            height_, parent, nullptr, module, this);
  paintArea_ = CreateWindowExA(0, kPaintAreaClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_, nullptr, module,
                               this);
  horzBar_ = std::make_unique<TluScrollBar>(window_, TluScrollBar::sbHorizontal);
  vertBar_ = std::make_unique<TluScrollBar>(window_, TluScrollBar::sbVertical);
  // The bars share the viewer's mouse events and scroll handler.
  for (TluScrollBar* bar : {horzBar_.get(), vertBar_.get()}) {
    bar->SetSmallChange(scrollSpeed_);
    bar->OnChange = [this](TluScrollBar& changed) { ScrollBarChanged(changed); };
    bar->OnMouse = [this](UINT message, WPARAM keys, int x, int y) { RaiseMouse(message, keys, x, y); };
  }
}

void TPWImage::SetBounds(int left, int top, int width, int height) {
  left_ = left, top_ = top;
  width = std::max(1, width), height = std::max(1, height);
  const bool resized = width != width_ || height != height_;
  width_ = width, height_ = height;
  if (window_) MoveWindow(window_, left, top, width, height, TRUE);
  if (resized) Layout();
}

// --- properties ------------------------------------------------------------

void TPWImage::SetZoom(double zoom) {
  if (autoZoom_) return;
  if (!(zoom > 0.0 && zoom <= kMaxZoom)) return;
  // The view's centre in image pixels, before the zoom changes.
  centreX_ = horzBar_->Enabled() && image_ ? ViewCentre(*horzBar_, paintWidth_) : 0;
  centreY_ = vertBar_->Enabled() && image_ ? ViewCentre(*vertBar_, paintHeight_) : 0;
  if (zoom == zoom_) return;
  zoom_ = zoom;
  keepCentre_ = true;
  Layout();
}

int TPWImage::ViewCentre(const TluScrollBar& bar, int paintExtent) const {
  return static_cast<int>(std::trunc((2.0 * bar.Position() + paintExtent) * 50.0 / zoom_));
}

void TPWImage::SetAutoZoom(bool value) {
  if (value == autoZoom_) return;
  autoZoom_ = value;
  if (image_) Layout();
}

void TPWImage::SetShowScrollBars(bool value) {
  if (value == showScrollBars_) return;
  showScrollBars_ = value;
  Layout();
}

void TPWImage::SetScaleToGray(bool value) {
  scaleToGray_ = value;
  Layout();
}

void TPWImage::SetScrollSpeed(int speed) {
  if (speed < 1 || speed > 32767) return;
  scrollSpeed_ = speed;
  horzBar_->SetSmallChange(speed);
  vertBar_->SetSmallChange(speed);
}

std::string TPWImage::TwainAppName() const { return twain_ ? twain_->AppProductName() : twainAppName_; }

void TPWImage::SetTwainAppName(const std::string& name) {
  twainAppName_ = name;
  if (twain_) twain_->SetAppProductName(name);
}

// --- layout -----------------------------------------------------------------

void TPWImage::Layout() {
  updating_ = true;
  TLayoutRequest request;
  request.ControlWidth = width_;
  request.ControlHeight = height_;
  request.ImageWidth = ImageWidth();
  request.ImageHeight = ImageHeight();
  request.Zoom = zoom_;
  request.AutoZoom = autoZoom_;
  request.ShowScrollBars = showScrollBars_;
  request.BarThickness = TluScrollBar::kThickness;
  const TViewerLayout layout = ComputeLayout(request);
  if ((image_ && !image_->Empty()) || viewOnly_.kept) zoom_ = layout.Zoom;
  scaledWidth_ = layout.ScaledWidth;
  scaledHeight_ = layout.ScaledHeight;
  paintWidth_ = layout.PaintWidth;
  paintHeight_ = layout.PaintHeight;
  if (paintArea_) MoveWindow(paintArea_, 0, 0, paintWidth_, paintHeight_, FALSE);
  ApplyBar(*horzBar_, layout.Horizontal);
  ApplyBar(*vertBar_, layout.Vertical);
  if (zoom_ != 100.0 && image_) PrepareDisplayBitmap(paintWidth_, paintHeight_);
  RestoreCentre();
  updating_ = false;
  Repaint();
}

void TPWImage::ApplyBar(TluScrollBar& bar, const TBarLayout& layout) {
  if (!layout.Needed) {
    bar.SetPosition(0);
    bar.SetVisible(false);
    bar.SetEnabled(false);
    return;
  }
  bar.SetBounds(layout.Left, layout.Top, layout.Width, layout.Height);
  bar.SetPageSize(layout.PageSize);
  bar.SetLargeChange(layout.PageSize);
  bar.SetParams(0, 0, layout.Max);
  bar.SetEnabled(true);
  bar.SetVisible(layout.Visible);
}

// The scaled view's bitmap: the paint area's size, in the image's format
// and palette, except for a black-and-white page reduced with ScaleToGray,
// which is drawn in 256 grays.
void TPWImage::PrepareDisplayBitmap(int paintWidth, int paintHeight) {
  if (paintWidth < 1 || paintHeight < 1 || !image_ || image_->Empty()) {
    displayBitmap_ = TluBitmap();
    return;
  }
  const bool gray = ScalesToGray();
  TluBitmap display(paintWidth, paintHeight, gray ? TPixelFormat::pf8bit : image_->PixelFormat());
  if (gray) {
    std::vector<TColor> ramp(256);
    for (unsigned i = 0; i < 256; ++i) ramp[i] = RGBColor(i, i, i);
    display.SetPaletteKeepingIndices(ramp);
  } else if (!image_->Palette().empty()) {
    display.SetPaletteKeepingIndices(image_->Palette());
  }
  display.ColorMode = gray ? cmGray256 : image_->ColorMode;
  displayBitmap_ = std::move(display);
}

bool TPWImage::ScalesToGray() const {
  return image_ && image_->ColorMode == cmBlackWhite && scaleToGray_ && zoom_ < 100.0;
}

// After a zoom change the bars are moved so that the view's centre shows
// the image pixel it showed before.
void TPWImage::RestoreCentre() {
  if (!keepCentre_) return;
  keepCentre_ = false;
  if (horzBar_->Enabled() && centreX_ != 0) {
    horzBar_->SetPosition(static_cast<int>(std::trunc(centreX_ * zoom_ / 100.0)) - paintWidth_ / 2);
  }
  if (vertBar_->Enabled() && centreY_ != 0) {
    vertBar_->SetPosition(static_cast<int>(std::trunc(centreY_ * zoom_ / 100.0)) - paintHeight_ / 2);
  }
}

// A bar moved: no view may start beyond the last full page of the zoomed
// image; then the picture follows and the page hears of it.
void TPWImage::ScrollBarChanged(TluScrollBar&) {
  if (limitingScroll_) return;
  limitingScroll_ = true;
  for (TluScrollBar* bar : {horzBar_.get(), vertBar_.get()}) {
    const int last = std::max(bar->Min(), bar->Max() - bar->PageSize());
    if (bar->Position() > last) bar->SetPosition(last);
  }
  limitingScroll_ = false;
  Repaint();
  if (OnScroll) OnScroll(*this);
}

void TPWImage::Repaint() {
  if (!window_ || updating_) return;
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int TPWImage::HorzOffset() const { return horzBar_->Enabled() ? horzBar_->Position() : 0; }
int TPWImage::VertOffset() const { return vertBar_->Enabled() ? vertBar_->Position() : 0; }

// --- window messages ---------------------------------------------------------

LRESULT TPWImage::HandleViewerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL: {
      const HWND source = reinterpret_cast<HWND>(lParam);
      if (horzBar_ && source == horzBar_->Handle()) horzBar_->Scroll(LOWORD(wParam));
      if (vertBar_ && source == vertBar_->Handle()) vertBar_->Scroll(LOWORD(wParam));
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      PaintSurroundings(dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_SETCURSOR:
      if (ShowCursorIfSet(screenCursor_)) return TRUE;
      break;
    case WM_DESTROY:
      window_ = nullptr;
      paintArea_ = nullptr;
      selecting_ = false;
      break;
    default:
      if (IsButtonOrMoveMessage(message)) {
        RaiseMouse(message, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
      }
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT TPWImage::HandlePaintAreaMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      if (!updating_) PaintPicture(dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_SETCURSOR:
      if (ShowCursorIfSet(screenCursor_)) return TRUE;
      break;
    default:
      if (IsButtonOrMoveMessage(message)) {
        RouteMouse(message, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
      }
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace pagewell
