#include "progress_label.h"

#include <windows.h>
#include <commctrl.h>

#include "twain_form.h"

namespace pagewell {

void ShowProgressLabel(TTwainForm& form, const std::wstring& text) {
  HWND label = form.component("lblProgress");
  HWND bar = form.component("pbrUpload");
  if (!label || !bar) return;
  SetWindowTextW(label, text.c_str());
  SIZE extent{};
  if (HDC dc = GetDC(label)) {
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
  }
  RECT labelBounds, barBounds;
  GetWindowRect(label, &labelBounds);
  GetWindowRect(bar, &barBounds);
  MapWindowPoints(nullptr, GetParent(bar), reinterpret_cast<POINT*>(&barBounds), 2);
  const int width = extent.cx;
  const int left = barBounds.left + (barBounds.right - barBounds.left - width) / 2;
  SetWindowPos(label, nullptr, left, barBounds.top - 20, width, labelBounds.bottom - labelBounds.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetProgressPosition(TTwainForm& form, int percent) {
  SendMessageW(form.component("pbrUpload"), PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

}  // namespace pagewell
