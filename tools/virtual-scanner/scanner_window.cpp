// The source's own interface, shown when the application enables it with
// ShowUI: a small window with "Scan" (announces a batch) and "Close" (asks
// the application to close the source). Tests press the buttons by finding
// the window by its class and the buttons by their captions.
#include "virtual_source.h"

namespace virtual_scanner {

namespace {

const char kClassName[] = "PagewellVirtualScannerWindow";
constexpr int kScanId = 1;
constexpr int kCloseId = 2;

HINSTANCE ModuleInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ModuleInstance), &module);
  return module;
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    if (LOWORD(wParam) == kScanId) TheSource().ScanPressed();
    if (LOWORD(wParam) == kCloseId) TheSource().ClosePressed();
    return 0;
  }
  if (message == WM_CLOSE) {
    TheSource().ClosePressed();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterWindowClass() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = ModuleInstance();
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

void TVirtualSource::ShowWindow() {
  CloseWindow();
  if (!RegisterWindowClass()) return;
  const std::string title = "Pagewell Virtual Scanner - " + config_.Devices[device_].Name;
  HWND window = CreateWindowExA(0, kClassName, title.c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 40, 40, 260,
                                110, static_cast<HWND>(ui_.hParent), nullptr, ModuleInstance(), nullptr);
  if (!window) return;
  CreateWindowExA(0, "BUTTON", "Scan", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 20, 20, 90, 28, window,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kScanId)), ModuleInstance(), nullptr);
  CreateWindowExA(0, "BUTTON", "Close", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 130, 20, 90, 28, window,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCloseId)), ModuleInstance(), nullptr);
  ::ShowWindow(window, SW_SHOWNORMAL);
  window_ = window;
}

void TVirtualSource::CloseWindow() {
  if (window_) DestroyWindow(static_cast<HWND>(window_));
  window_ = nullptr;
}

}  // namespace virtual_scanner
