#include "viewer/lu_scroll_bar.h"

#include <windowsx.h>

#include <algorithm>

namespace pagewell {

namespace {

const char kPropertyName[] = "PagewellScrollBar";

}  // namespace

TluScrollBar::TluScrollBar(HWND parent, TKind kind) : kind_(kind) {
  const DWORD style = WS_CHILD | (kind == sbHorizontal ? SBS_HORZ : SBS_VERT);
  window_ = CreateWindowExA(0, "SCROLLBAR", "", style, 0, 0, 0, 0, parent, nullptr,
                            reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
  if (!window_) return;
  // The bar's own procedure stays in charge; ours sees every message first
  // to pass the mouse on to the viewer.
  SetPropA(window_, kPropertyName, this);
  originalProcedure_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TluScrollBar::SubclassProcedure)));
  ShowRange();
}

TluScrollBar::~TluScrollBar() {
  if (!window_) return;
  SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProcedure_));
  RemovePropA(window_, kPropertyName);
  DestroyWindow(window_);
}

void TluScrollBar::SetPosition(int position) { SetParams(position, min_, max_); }

void TluScrollBar::SetParams(int position, int min, int max) {
  if (max < min) max = min;
  min_ = min;
  max_ = max;
  const int limited = std::clamp(position, min_, max_);
  const bool moved = limited != position_;
  position_ = limited;
  ShowRange();
  if (moved && OnChange) OnChange(*this);
}

void TluScrollBar::SetPageSize(int pageSize) {
  pageSize_ = std::max(0, pageSize);
  ShowRange();
}

void TluScrollBar::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (window_) EnableWindow(window_, enabled ? TRUE : FALSE);
}

void TluScrollBar::SetVisible(bool visible) {
  visible_ = visible;
  if (window_) ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

void TluScrollBar::SetBounds(int left, int top, int width, int height) {
  left_ = left, top_ = top, width_ = width, height_ = height;
  if (window_) MoveWindow(window_, left, top, width, height, TRUE);
}

void TluScrollBar::Scroll(int code) {
  switch (code) {
    case SB_LINEUP: SetPosition(position_ - smallChange_); break;
    case SB_LINEDOWN: SetPosition(position_ + smallChange_); break;
    case SB_PAGEUP: SetPosition(position_ - largeChange_); break;
    case SB_PAGEDOWN: SetPosition(position_ + largeChange_); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: SetPosition(TrackPosition()); break;
    case SB_TOP: SetPosition(min_); break;
    case SB_BOTTOM: SetPosition(max_); break;
    default: break;
  }
}

// The thumb's position in 32 bits (the message carries only 16).
int TluScrollBar::TrackPosition() const {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_TRACKPOS;
  if (!window_ || !GetScrollInfo(window_, SB_CTL, &info)) return position_;
  return info.nTrackPos;
}

void TluScrollBar::ShowRange() {
  if (!window_) return;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = min_;
  info.nMax = max_;
  info.nPage = static_cast<UINT>(pageSize_);
  info.nPos = position_;
  SetScrollInfo(window_, SB_CTL, &info, visible_ ? TRUE : FALSE);
}

void TluScrollBar::ForwardMouse(UINT message, WPARAM keys, int x, int y) {
  if (OnMouse) OnMouse(message, keys, x + left_, y + top_);
}

LRESULT CALLBACK TluScrollBar::SubclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* bar = static_cast<TluScrollBar*>(GetPropA(window, kPropertyName));
  if (!bar) return DefWindowProcA(window, message, wParam, lParam);
  return bar->HandleMessage(message, wParam, lParam);
}

LRESULT TluScrollBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      ForwardMouse(message, wParam, x, y);
      const bool tracks = message == WM_LBUTTONDOWN && enabled_;
      const LRESULT result = CallWindowProcA(originalProcedure_, window_, message, wParam, lParam);
      if (tracks) {
        // The bar follows a left press in a loop of its own that takes the
        // release from the queue; the viewer still hears of it.
        POINT point{};
        GetCursorPos(&point);
        ScreenToClient(window_, &point);
        ForwardMouse(WM_LBUTTONUP, 0, point.x, point.y);
      }
      return result;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_LBUTTONDBLCLK:
      ForwardMouse(message, wParam, x, y);
      break;
    default: break;
  }
  return CallWindowProcA(originalProcedure_, window_, message, wParam, lParam);
}

}  // namespace pagewell
