// The mouse over the viewer: the paint area's and the bars' messages become
// the viewer's mouse events, and during SelectRectangle the paint area's
// press, moves and release drag the selection rectangle.
#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "viewer/message_pump.h"
#include "viewer/pw_image.h"

namespace pagewell {

namespace {

TMouseButton ButtonOf(UINT message) {
  switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: return mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return mbMiddle;
    default: return mbLeft;
  }
}

int Square(int value) { return value * value; }

// Scaled-image pixels to image pixels: the first pixel rounds to the
// nearest, the last is the one whose far edge the rectangle reaches.
int FirstImagePixel(int scaled, double zoom) { return static_cast<int>(std::trunc(scaled * 100.0 / zoom + 0.5)); }
int LastImagePixel(int scaled, double zoom) { return static_cast<int>(std::trunc((scaled + 1) * 100.0 / zoom - 0.5)); }

}  // namespace

void TPWImage::RaiseMouse(UINT message, WPARAM keys, int x, int y) {
  const auto shift = static_cast<TShiftState>(keys);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (OnMouseDown) OnMouseDown(*this, ButtonOf(message), shift, x, y);
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if (OnMouseUp) OnMouseUp(*this, ButtonOf(message), shift, x, y);
      break;
    case WM_MOUSEMOVE:
      if (OnMouseMove) OnMouseMove(*this, shift, x, y);
      break;
    case WM_LBUTTONDBLCLK:
      if (OnDblClick) OnDblClick(*this);
      break;
    default: break;
  }
}

// The paint area lies at (0, 0): its points are the viewer's points.
void TPWImage::RouteMouse(UINT message, WPARAM keys, int x, int y) {
  if (selecting_) {
    if (message == WM_LBUTTONDOWN) return SelectionMouseDown(keys, x, y);
    if (message == WM_MOUSEMOVE) return SelectionMouseMove(keys, x, y);
    if (message == WM_LBUTTONUP) return SelectionMouseUp(keys, x, y);
  }
  if (message == WM_LBUTTONDOWN) {
    pressed_ = true;
    SetCapture(paintArea_);
  }
  RaiseMouse(message, keys, x, y);
  if (message == WM_LBUTTONUP) {
    const bool click = pressed_ && InPaintArea(x, y);
    pressed_ = false;
    if (GetCapture() == paintArea_) ReleaseCapture();
    if (click && OnClick) OnClick(*this);
  }
}

bool TPWImage::InPaintArea(int x, int y) const { return x >= 0 && y >= 0 && x < paintWidth_ && y < paintHeight_; }
bool TPWImage::InControl(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

// --- the selection ------------------------------------------------------------

void TPWImage::SelectRectangle() {
  if (!image_ || image_->Empty() || selecting_ || !window_) return;
  dragging_ = false;
  selecting_ = true;
  // The wait serves the thread's messages in passes of 10 ms of the tick
  // counter; it ends with the release over the picture (or when the window
  // goes or the application quits).
  while (selecting_ && window_) {
    const DWORD start = GetTickCount();
    do {
      if (!ProcessPendingMessages()) selecting_ = false;
    } while (selecting_ && window_ && GetTickCount() - start < 10);
  }
  selecting_ = false;
  dragging_ = false;
  screenCursor_ = nullptr;
}

void TPWImage::SelectionMouseDown(WPARAM keys, int x, int y) {
  dragging_ = true;
  dragStart_ = dragEnd_ = POINT{x + HorzOffset(), y + VertOffset()};
  SetCapture(paintArea_);
  if (InControl(x, y)) RaiseMouse(WM_LBUTTONDOWN, keys, x, y);
}

void TPWImage::SelectionMouseMove(WPARAM keys, int x, int y) {
  if (InPaintArea(x, y)) {
    screenCursor_ = LoadCursor(nullptr, IDC_CROSS);
    SetCursor(screenCursor_);
    if (dragging_) {
      HDC dc = GetDC(paintArea_);
      DrawDragRectangle(dc);  // erases the previous one
      ReleaseDC(paintArea_, dc);
      ScrollAtEdges(x, y);
      dragEnd_ = POINT{x + HorzOffset(), y + VertOffset()};
      dc = GetDC(paintArea_);
      DrawDragRectangle(dc);
      ReleaseDC(paintArea_, dc);
    }
  } else {
    screenCursor_ = nullptr;
  }
  if (InControl(x, y)) RaiseMouse(WM_MOUSEMOVE, keys, x, y);
}

void TPWImage::SelectionMouseUp(WPARAM keys, int x, int y) {
  if (GetCapture() == paintArea_) ReleaseCapture();
  if (InPaintArea(x, y)) {
    // A release without a press seen on the picture selects the one pixel.
    if (!dragging_) dragStart_ = POINT{x + HorzOffset(), y + VertOffset()};
    dragging_ = false;
    screenCursor_ = nullptr;
    const POINT release{x + HorzOffset(), y + VertOffset()};
    const int x1 = std::min(dragStart_.x, release.x), x2 = std::max(dragStart_.x, release.x);
    const int y1 = std::min(dragStart_.y, release.y), y2 = std::max(dragStart_.y, release.y);
    image_->SetSelection(FirstImagePixel(x1, zoom_), FirstImagePixel(y1, zoom_), LastImagePixel(x2, zoom_),
                         LastImagePixel(y2, zoom_));
    selecting_ = false;
    Repaint();
  } else {
    // Released off the picture: no rectangle, and the user may drag again.
    dragging_ = false;
    image_->ClearSelection();
    Layout();
  }
  if (InControl(x, y)) RaiseMouse(WM_LBUTTONUP, keys, x, y);
}

// The rectangle from the drag start to the drag end in the paint area's
// frame, drawn with a dotted pen that inverts what it covers: drawn twice,
// it leaves the picture as it was.
void TPWImage::DrawDragRectangle(HDC dc) const {
  const int h = HorzOffset(), v = VertOffset();
  const int left = std::min(dragStart_.x, dragEnd_.x) - h, right = std::max(dragStart_.x, dragEnd_.x) - h;
  const int top = std::min(dragStart_.y, dragEnd_.y) - v, bottom = std::max(dragStart_.y, dragEnd_.y) - v;
  HPEN pen = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  const int oldMode = SetROP2(dc, R2_NOTXORPEN);
  const int oldBackground = SetBkMode(dc, TRANSPARENT);
  Rectangle(dc, left, top, right + 1, bottom + 1);
  SetBkMode(dc, oldBackground);
  SetROP2(dc, oldMode);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

// Near an edge of the picture the view follows the pointer, faster the
// closer it comes.
void TPWImage::ScrollAtEdges(int x, int y) {
  if (horzBar_->Enabled()) {
    if (paintWidth_ - x < 10) horzBar_->SetPosition(horzBar_->Position() + Square(9 - (paintWidth_ - x)) + 1);
    else if (x < 10) horzBar_->SetPosition(horzBar_->Position() - (Square(10 - x) - 1));
  }
  if (vertBar_->Enabled()) {
    if (paintHeight_ - y < 10) vertBar_->SetPosition(vertBar_->Position() + Square(9 - (paintHeight_ - y)) + 1);
    else if (y < 10) vertBar_->SetPosition(vertBar_->Position() - (Square(10 - y) - 1));
  }
}

// The image's rectangle, while it holds a rectangular or shaped selection.
bool TPWImage::HasSelection() const { return image_ && (image_->SelectionKind == 1 || image_->SelectionKind == 2); }
int TPWImage::SelectionLeft() const { return HasSelection() ? image_->SelectionLeft : 0; }
int TPWImage::SelectionRight() const { return HasSelection() ? image_->SelectionRight : 0; }
int TPWImage::SelectionTop() const { return HasSelection() ? image_->SelectionTop : 0; }
int TPWImage::SelectionBottom() const { return HasSelection() ? image_->SelectionBottom : 0; }

}  // namespace pagewell
