#include "container/host_window.h"

namespace pagewell::container {

void registerWindowClass(const wchar_t* className, WNDPROC procedure, int backgroundColor) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(backgroundColor);
  windowClass.lpszClassName = className;
  RegisterClassExW(&windowClass);
}

SIZE controlSizeInPixels(IOleObject* control) {
  SIZEL extent{};
  control->GetExtent(DVASPECT_CONTENT, &extent);
  HDC screen = GetDC(nullptr);
  SIZE size{MulDiv(extent.cx, GetDeviceCaps(screen, LOGPIXELSX), 2540),
            MulDiv(extent.cy, GetDeviceCaps(screen, LOGPIXELSY), 2540)};
  ReleaseDC(nullptr, screen);
  return size;
}

HWND createHostWindow(const wchar_t* className, const wchar_t* title, WNDPROC procedure, SIZE client) {
  registerWindowClass(className, procedure, COLOR_WINDOW);
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT frame{0, 0, client.cx, client.cy};
  AdjustWindowRect(&frame, style, FALSE);
  return CreateWindowExW(0, className, title, style, 0, 0, frame.right - frame.left,
                         frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace pagewell::container
