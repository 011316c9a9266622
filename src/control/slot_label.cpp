#include "slot_label.h"

#include <mutex>

#include "com/module.h"

namespace pagewell {
namespace {

const wchar_t kSlotLabelClass[] = L"PagewellSlotLabel";
const wchar_t kFontProperty[] = L"PagewellFont";

std::wstring captionOf(HWND label) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The strip's colour is what its group box paints its background with.
HBRUSH backgroundBrush(HWND label, HDC dc) {
  return reinterpret_cast<HBRUSH>(SendMessageW(GetParent(label), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                               reinterpret_cast<LPARAM>(label)));
}

void paint(HWND label) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(label, &paint);
  RECT client;
  GetClientRect(label, &client);
  auto color = static_cast<COLORREF>(GetWindowLongPtrW(label, GWLP_USERDATA));
  if (color == CLR_INVALID) {
    HBRUSH brush = backgroundBrush(label, dc);
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
  } else {
    BrushHandle brush(CreateSolidBrush(color));
    FillRect(dc, &client, brush.get());
  }
  HGDIOBJ oldFont = SelectObject(dc, GetPropW(label, kFontProperty) ? GetPropW(label, kFontProperty)
                                                                    : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  std::wstring caption = captionOf(label);
  TextOutW(dc, 0, 0, caption.c_str(), static_cast<int>(caption.size()));
  SelectObject(dc, oldFont);
  EndPaint(label, &paint);
}

// Like a label that sizes itself: as wide and as high as its text.
SIZE textExtent(HWND label, const std::wstring& text) {
  HDC dc = GetDC(label);
  HGDIOBJ oldFont = SelectObject(dc, GetPropW(label, kFontProperty) ? GetPropW(label, kFontProperty)
                                                                    : GetStockObject(DEFAULT_GUI_FONT));
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  extent.cy = metrics.tmHeight;
  SelectObject(dc, oldFont);
  ReleaseDC(label, dc);
  return extent;
}

LRESULT CALLBACK slotLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint(label);
      return 0;
    case WM_SETFONT:
      SetPropW(label, kFontProperty, reinterpret_cast<HANDLE>(wParam));
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(GetPropW(label, kFontProperty));
    case WM_NCDESTROY:
      RemovePropW(label, kFontProperty);
      break;
  }
  return DefWindowProcW(label, message, wParam, lParam);
}

void registerSlotLabelClass() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = slotLabelProc;
    windowClass.hInstance = moduleInstance();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kSlotLabelClass;
    RegisterClassExW(&windowClass);
  });
}

}  // namespace

WindowHandle createSlotLabel(HWND parent) {
  registerSlotLabelClass();
  WindowHandle label(CreateWindowExW(0, kSlotLabelClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                                     nullptr, moduleInstance(), nullptr));
  if (label) {
    SetWindowLongPtrW(label.get(), GWLP_USERDATA, static_cast<LONG_PTR>(CLR_INVALID));
    SendMessageW(label.get(), WM_SETFONT, SendMessageW(parent, WM_GETFONT, 0, 0), FALSE);
  }
  return label;
}

void setSlotLabelCaption(HWND label, const std::wstring& caption) {
  if (captionOf(label) == caption) return;
  SetWindowTextW(label, caption.c_str());
  SIZE extent = textExtent(label, caption);
  SetWindowPos(label, nullptr, 0, 0, extent.cx, extent.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(label, nullptr, TRUE);
}

void moveSlotLabel(HWND label, int x, int y) {
  SetWindowPos(label, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int slotLabelWidth(HWND label) {
  RECT bounds;
  GetWindowRect(label, &bounds);
  return bounds.right - bounds.left;
}

void setSlotLabelColor(HWND label, COLORREF color) {
  if (static_cast<COLORREF>(GetWindowLongPtrW(label, GWLP_USERDATA)) == color) return;
  SetWindowLongPtrW(label, GWLP_USERDATA, static_cast<LONG_PTR>(color));
  InvalidateRect(label, nullptr, TRUE);
}

}  // namespace pagewell
