#include "upload/windows/progress_display.h"

#include <commctrl.h>

#include <vector>

namespace pagewell {
namespace {

constexpr int kLabelRowHeight = 20;

HFONT fontOf(HWND window) { return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)); }

SIZE textExtent(HWND window, const std::wstring& text) {
  SIZE extent{};
  if (HDC dc = GetDC(window)) {
    HGDIOBJ old = SelectObject(dc, fontOf(window));
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
  }
  return extent;
}

std::wstring windowText(HWND window) {
  std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  return text.data();
}

RECT windowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

}  // namespace

void CentreProgressLabel(HWND bar, HWND label, const std::wstring& text) {
  if (!label || !bar) return;
  SetWindowTextW(label, text.c_str());
  const int width = textExtent(label, text).cx;
  const RECT labelBounds = windowRect(label);
  RECT barBounds = windowRect(bar);
  MapWindowPoints(nullptr, GetParent(bar), reinterpret_cast<POINT*>(&barBounds), 2);
  const int left = barBounds.left + (barBounds.right - barBounds.left - width) / 2;
  SetWindowPos(label, nullptr, left, barBounds.top - kLabelRowHeight, width, labelBounds.bottom - labelBounds.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void UploadProgressDisplay::show(int percent, const std::wstring& text) {
  if (showsAlready(percent, text)) return;
  SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
  CentreProgressLabel(bar_, label_, text);
  placed_ = bar_ && label_;
  barRect_ = windowRect(bar_);
  labelRect_ = windowRect(label_);
  font_ = fontOf(label_);
}

// Each check asks the window itself, which costs no trip to the server:
// a page script that moved the bar, or any other code that set the label,
// between two pieces makes the next setting a full one.
bool UploadProgressDisplay::showsAlready(int percent, const std::wstring& text) const {
  if (!placed_) return false;
  const RECT bar = windowRect(bar_), label = windowRect(label_);
  return EqualRect(&bar, &barRect_) && EqualRect(&label, &labelRect_) && fontOf(label_) == font_ &&
         SendMessageW(bar_, PBM_GETPOS, 0, 0) == percent && windowText(label_) == text;
}

}  // namespace pagewell
