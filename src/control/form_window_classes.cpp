#include "form_window_classes.h"

#include <commctrl.h>

#include <mutex>

#include "com/module.h"
#include "twain_form.h"
#include "window_handle.h"

namespace pagewell {

const wchar_t kFormClass[] = L"PagewellTwainForm";
const wchar_t kGroupBoxClass[] = L"PagewellGroupBox";
const wchar_t kSheetClass[] = L"PagewellTabSheet";
const wchar_t kShapeClass[] = L"PagewellShape";

namespace {

LRESULT CALLBACK formProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* form = reinterpret_cast<TTwainForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form && form->window() == window) {
    // A handler's failure (a device gone missing, memory short) ends that
    // handler only: nothing may unwind into the system's message dispatch.
    try {
      return form->handleMessage(message, wParam, lParam);
    } catch (...) {
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Containers (group boxes, tab sheets) hand their children's notifications
// to the form, which owns every handler; the form's window is their
// creation parameter.
HWND formOf(HWND container) {
  return reinterpret_cast<HWND>(GetWindowLongPtrW(container, GWLP_USERDATA));
}

bool forwardToForm(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      if (HWND form = formOf(window)) {
        result = SendMessageW(form, message, wParam, lParam);
        return true;
      }
  }
  return false;
}

void fillBackground(HWND window, HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  HWND form = formOf(window);
  auto brush = form ? reinterpret_cast<HBRUSH>(SendMessageW(form, WM_CTLCOLORSTATIC,
                                                            reinterpret_cast<WPARAM>(dc),
                                                            reinterpret_cast<LPARAM>(window)))
                    : GetSysColorBrush(COLOR_BTNFACE);
  FillRect(dc, &client, brush);
}

// The etched frame of a group box with its caption cut into the top edge.
void paintGroupFrame(HWND window, HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  HGDIOBJ oldFont = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  RECT frame = client;
  frame.top += metrics.tmHeight / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  wchar_t caption[256] = {};
  int length = GetWindowTextW(window, caption, 256);
  if (length > 0) {
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption, length, &extent);
    RECT textBox{8, 0, 8 + extent.cx + 4, metrics.tmHeight};
    SetBkMode(dc, TRANSPARENT);
    HWND form = formOf(window);
    HBRUSH brush = form ? reinterpret_cast<HBRUSH>(SendMessageW(form, WM_CTLCOLORSTATIC,
                                                                reinterpret_cast<WPARAM>(dc),
                                                                reinterpret_cast<LPARAM>(window)))
                        : GetSysColorBrush(COLOR_BTNFACE);
    FillRect(dc, &textBox, brush);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(window) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    TextOutW(dc, 10, 0, caption, length);
  }
  SelectObject(dc, oldFont);
}

LRESULT CALLBACK containerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  LRESULT result = 0;
  if (forwardToForm(window, message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_ERASEBKGND:
      fillBackground(window, reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_SETFONT:
      SetPropW(window, L"PagewellFont", reinterpret_cast<HANDLE>(wParam));
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(GetPropW(window, L"PagewellFont"));
    case WM_SETTEXT:
    case WM_ENABLE: {
      LRESULT r = DefWindowProcW(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, TRUE);
      return r;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      wchar_t className[32] = {};
      GetClassNameW(window, className, 32);
      if (lstrcmpW(className, kGroupBoxClass) == 0) paintGroupFrame(window, dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_NCDESTROY:
      RemovePropW(window, L"PagewellFont");
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// TShape: a rectangle with a black pen, filled with the shape's brush.
LRESULT CALLBACK shapeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client;
      GetClientRect(window, &client);
      BrushHandle brush(CreateSolidBrush(shapeBrush(window)));
      HGDIOBJ oldBrush = SelectObject(dc, brush.get());
      HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
      Rectangle(dc, client.left, client.top, client.right, client.bottom);
      SelectObject(dc, oldPen);
      SelectObject(dc, oldBrush);
      EndPaint(window, &paint);
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void registerClass(const wchar_t* name, WNDPROC proc, UINT style, HBRUSH background) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = style;
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = moduleInstance();
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

void registerAll() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS;
  InitCommonControlsEx(&controls);
  registerClass(kFormClass, formProc, CS_DBLCLKS, nullptr);
  registerClass(kGroupBoxClass, containerProc, CS_HREDRAW | CS_VREDRAW, nullptr);
  registerClass(kSheetClass, containerProc, 0, nullptr);
  registerClass(kShapeClass, shapeProc, CS_HREDRAW | CS_VREDRAW, nullptr);
}

}  // namespace

// Registered once per process.
void registerFormWindowClasses() {
  static std::once_flag once;
  std::call_once(once, registerAll);
}


void setShapeBrush(HWND shape, COLORREF color) {
  SetWindowLongPtrW(shape, GWLP_USERDATA, static_cast<LONG_PTR>(color));
  InvalidateRect(shape, nullptr, TRUE);
}

COLORREF shapeBrush(HWND shape) {
  return static_cast<COLORREF>(GetWindowLongPtrW(shape, GWLP_USERDATA));
}

}  // namespace pagewell
