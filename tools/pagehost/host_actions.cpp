#include "host_actions.h"

#include <commctrl.h>
#include <psapi.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host_object.h"
#include "png_file.h"

namespace pagehost {
namespace {

struct ButtonSearch {
  const std::wstring* caption;
  HWND found;
};

bool isClickableButton(HWND window) {
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (lstrcmpiW(className, L"Button") != 0) return false;
  switch (GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return true;
  }
  return false;
}

// A button inside a disabled group or panel cannot be clicked by a person
// either: every window from the button up must be enabled.
bool enabledWithParents(HWND window) {
  for (; window; window = GetParent(window))
    if (!IsWindowEnabled(window)) return false;
  return true;
}

std::wstring captionOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

BOOL CALLBACK matchButton(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<ButtonSearch*>(context);
  if (!isClickableButton(window) || !IsWindowVisible(window) || !enabledWithParents(window)) return TRUE;
  if (captionOf(window) != *search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

struct LargestWindow {
  const std::wstring* className;
  HWND found;
  long area;
};

BOOL CALLBACK matchLargest(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<LargestWindow*>(context);
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  RECT bounds;
  if (*search->className != className || !IsWindowVisible(window) || !GetClientRect(window, &bounds)) return TRUE;
  const long area = static_cast<long>(bounds.right) * bounds.bottom;
  if (area > search->area) *search = LargestWindow{search->className, window, area};
  return TRUE;
}

LPARAM point(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

HHOOK labelHook = nullptr;
std::wstring labelLog;

LRESULT CALLBACK recordLabelText(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && message->message == WM_SETTEXT && message->lParam) {
    wchar_t className[16] = {};
    GetClassNameW(message->hwnd, className, 16);
    if (lstrcmpiW(className, L"Static") == 0) {
      labelLog += reinterpret_cast<const wchar_t*>(message->lParam);
      labelLog += L'\n';
    }
  }
  return CallNextHookEx(labelHook, code, wParam, lParam);
}

bool isUsable(HWND window, const wchar_t* wantedClass) {
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  return lstrcmpiW(className, wantedClass) == 0 && IsWindowVisible(window) && enabledWithParents(window);
}

struct ComboSearch {
  const std::wstring* item;
  HWND found;
  LRESULT index;
};

BOOL CALLBACK matchCombo(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<ComboSearch*>(context);
  if (!isUsable(window, L"ComboBox")) return TRUE;
  LRESULT index = SendMessageW(window, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(search->item->c_str()));
  if (index == CB_ERR) return TRUE;
  search->found = window;
  search->index = index;
  return FALSE;
}

struct EditSearch {
  const std::wstring* text;
  HWND found;
};

BOOL CALLBACK matchEdit(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<EditSearch*>(context);
  if (!isUsable(window, L"Edit") || captionOf(window) != *search->text) return TRUE;
  // The edit inside a combo box is the box's, not one of its own.
  wchar_t parentClass[32] = {};
  GetClassNameW(GetParent(window), parentClass, 32);
  if (lstrcmpiW(parentClass, L"ComboBox") == 0) return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK matchCaption(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<ButtonSearch*>(context);
  if (captionOf(window) != *search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

struct TabSearch {
  const std::wstring* caption;
  HWND found;
  int index;
};

BOOL CALLBACK matchTab(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<TabSearch*>(context);
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  if (lstrcmpiW(className, WC_TABCONTROLW) != 0 || !IsWindowVisible(window)) return TRUE;
  const int count = TabCtrl_GetItemCount(window);
  for (int i = 0; i < count; ++i) {
    wchar_t text[128] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 128;
    if (TabCtrl_GetItem(window, i, &item) && *search->caption == text) {
      search->found = window;
      search->index = i;
      return FALSE;
    }
  }
  return TRUE;
}

BOOL CALLBACK matchAnyButton(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<ButtonSearch*>(context);
  if (!isClickableButton(window) || captionOf(window) != *search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

bool clickTab(HWND window, const std::wstring& caption) {
  TabSearch search{&caption, nullptr, -1};
  EnumChildWindows(window, matchTab, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  RECT tab{};
  TabCtrl_GetItemRect(search.found, search.index, &tab);
  LPARAM point = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
  SendMessageW(search.found, WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendMessageW(search.found, WM_LBUTTONUP, 0, point);
  pumpMessages(20);
  return TabCtrl_GetCurSel(search.found) == search.index;
}

int buttonEnabled(HWND window, const std::wstring& caption) {
  ButtonSearch search{&caption, nullptr};
  EnumChildWindows(window, matchAnyButton, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return -1;
  return IsWindowEnabled(search.found) ? 1 : 0;
}

bool clickAt(HWND window, int x, int y) {
  POINT point{x, y};
  HWND target = window;
  for (;;) {
    HWND child = ChildWindowFromPointEx(target, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (!child || child == target) break;
    MapWindowPoints(target, child, &point, 1);
    target = child;
  }
  if (target == window) return false;
  LPARAM at = MAKELPARAM(point.x, point.y);
  SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(target, WM_LBUTTONUP, 0, at);
  return true;
}

double privateBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
    return 0;
  // The commit charge: Windows reports it in both fields, Wine only in
  // PagefileUsage.
  return static_cast<double>(counters.PagefileUsage);
}

COLORREF pixelAt(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  HDC screen = GetDC(nullptr);
  COLORREF color = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return color;
}


bool postDrag(HWND window, const std::wstring& className, int x1, int y1, int x2, int y2) {
  LargestWindow search{&className, nullptr, 0};
  EnumChildWindows(window, matchLargest, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  PostMessageW(search.found, WM_LBUTTONDOWN, MK_LBUTTON, point(x1, y1));
  PostMessageW(search.found, WM_MOUSEMOVE, MK_LBUTTON, point((x1 + x2) / 2, (y1 + y2) / 2));
  PostMessageW(search.found, WM_MOUSEMOVE, MK_LBUTTON, point(x2, y2));
  PostMessageW(search.found, WM_LBUTTONUP, 0, point(x2, y2));
  return true;
}

namespace {

struct WindowList {
  HWND owner;
  const std::wstring* className;
  std::wstring lines;
};

BOOL CALLBACK listWindow(HWND window, LPARAM context) {
  auto* list = reinterpret_cast<WindowList*>(context);
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if (*list->className != className || !IsWindowVisible(window)) return TRUE;
  RECT bounds;
  GetWindowRect(window, &bounds);
  MapWindowPoints(nullptr, list->owner, reinterpret_cast<POINT*>(&bounds), 2);
  list->lines += std::to_wstring(bounds.left) + L" " + std::to_wstring(bounds.top) + L" " +
                 std::to_wstring(bounds.right - bounds.left) + L" " + std::to_wstring(bounds.bottom - bounds.top) + L"\n";
  return TRUE;
}

}  // namespace

std::wstring windowsOfClass(HWND window, const std::wstring& className) {
  WindowList list{window, &className, {}};
  EnumChildWindows(window, listWindow, reinterpret_cast<LPARAM>(&list));
  return list.lines;
}

void startLabelLog() {
  if (!labelHook) labelHook = SetWindowsHookExW(WH_CALLWNDPROC, recordLabelText, nullptr, GetCurrentThreadId());
}

std::wstring takeLabelLog() { return std::move(labelLog); }

bool chooseItem(HWND window, const std::wstring& item) {
  ComboSearch search{&item, nullptr, CB_ERR};
  EnumChildWindows(window, matchCombo, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  SendMessageW(search.found, CB_SETCURSEL, static_cast<WPARAM>(search.index), 0);
  WPARAM command = MAKEWPARAM(GetDlgCtrlID(search.found), CBN_SELCHANGE);
  SendMessageW(GetParent(search.found), WM_COMMAND, command, reinterpret_cast<LPARAM>(search.found));
  return true;
}

bool typeInto(HWND window, const std::wstring& current, const std::wstring& text, const std::wstring& ending) {
  bool enter = ending == L"enter";
  if (!enter && ending != L"exit") return false;
  EditSearch search{&current, nullptr};
  EnumChildWindows(window, matchEdit, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  SetFocus(search.found);
  SetWindowTextW(search.found, text.c_str());
  if (enter)
    SendMessageW(search.found, WM_CHAR, VK_RETURN, 1);
  else
    SetFocus(window);
  return true;
}

std::wstring describeWindow(HWND window, const std::wstring& caption) {
  ButtonSearch search{&caption, nullptr};
  EnumChildWindows(window, matchCaption, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return L"";
  HWND parent = GetParent(search.found);
  RECT bounds;
  GetWindowRect(search.found, &bounds);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bounds), 2);
  bool visible = (GetWindowLongPtrW(search.found, GWL_STYLE) & WS_VISIBLE) != 0;
  return std::to_wstring(bounds.left) + L"," + std::to_wstring(bounds.top) + L"," +
         std::to_wstring(bounds.right - bounds.left) + L"," + std::to_wstring(bounds.bottom - bounds.top) + L"," +
         (visible ? L"1" : L"0") + L"," + captionOf(parent);
}

namespace {
std::wstring g_cursorProbe;
}  // namespace

bool postCursorProbe(HWND host, const std::wstring& caption) {
  ButtonSearch search{&caption, nullptr};
  EnumChildWindows(host, matchCaption, reinterpret_cast<LPARAM>(&search));
  g_cursorProbe.clear();
  return PostMessageW(host, kCursorProbeMessage, reinterpret_cast<WPARAM>(search.found), 0) != FALSE;
}

void runCursorProbe(HWND target) {
  if (!target || !IsWindow(target)) {
    g_cursorProbe = L"no window";
    return;
  }
  // From a known cursor, as a mouse move over the window would ask.
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  SendMessageW(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  g_cursorProbe = cursorName();
}

std::wstring takeCursorProbe() { return std::exchange(g_cursorProbe, std::wstring()); }

bool clickButton(HWND window, const std::wstring& caption) {
  ButtonSearch search{&caption, nullptr};
  EnumChildWindows(window, matchButton, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  SendMessageW(search.found, BM_CLICK, 0, 0);
  return true;
}

std::wstring cursorName() {
  const HCURSOR cursor = GetCursor();
  if (!cursor) return L"none";
  if (cursor == LoadCursorW(nullptr, IDC_WAIT)) return L"wait";
  if (cursor == LoadCursorW(nullptr, IDC_ARROW)) return L"arrow";
  return L"other";
}

bool saveScreenshot(HWND window, const std::wstring& path) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  pumpMessages(200);
  RECT bounds;
  GetWindowRect(window, &bounds);
  int width = bounds.right - bounds.left;
  int height = bounds.bottom - bounds.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool written = false;
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, bounds.left, bounds.top, SRCCOPY);
    GdiFlush();
    int stride = (width * 3 + 3) & ~3;
    std::vector<uint8_t> pixels(static_cast<const uint8_t*>(bits),
                                static_cast<const uint8_t*>(bits) + static_cast<size_t>(stride) * height);
    written = writePng(path, width, height, pixels, stride);
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return written;
}

}  // namespace pagehost
