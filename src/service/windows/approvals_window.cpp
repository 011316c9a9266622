#include "approvals_window.h"

#include <string>
#include <vector>

#include "container/host_window.h"
#include "pagewell_settings.h"
#include "wide_text.h"

namespace pagewell::service {
namespace {

const wchar_t kClassName[] = L"PagewellApprovals";
const wchar_t kTitle[] = L"Pagewell: allowed websites";
enum ControlId { kList = 101, kRemove, kClose };

HWND g_window = nullptr;  // the one list window, while it is open

void refill(HWND window) {
  HWND list = GetDlgItem(window, kList);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& origin : userApprovedOrigins())
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(origin).c_str()));
  SendMessageW(list, LB_SETCURSEL, 0, 0);
  EnableWindow(GetDlgItem(window, kRemove), SendMessageW(list, LB_GETCOUNT, 0, 0) > 0);
}

void removeSelected(HWND window) {
  HWND list = GetDlgItem(window, kList);
  LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (selected == LB_ERR) return;
  LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(selected), 0);
  std::wstring origin(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(origin.data()));
  origin.resize(static_cast<size_t>(length));
  removeUserApproval(narrow(origin));
  refill(window);
}

LRESULT CALLBACK approvalsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == kRemove) {
    removeSelected(window);
    return 0;
  }
  if ((message == WM_COMMAND && (LOWORD(wParam) == kClose || LOWORD(wParam) == IDCANCEL)) || message == WM_CLOSE) {
    DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY) g_window = nullptr;
  return DefWindowProcW(window, message, wParam, lParam);
}

void addChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width,
              int height, int id) {
  HWND child = CreateWindowExW(className == std::wstring(L"ListBox") ? WS_EX_CLIENTEDGE : 0, className, text,
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y, width, height, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

}  // namespace

void addWebsitesMenu(HWND serviceWindow) {
  HMENU websites = CreatePopupMenu();
  AppendMenuW(websites, MF_STRING, kShowApprovalsCommand, L"&Allowed websites...");
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(websites), L"&Websites");
  RECT before, after, outer;
  GetClientRect(serviceWindow, &before);
  SetMenu(serviceWindow, bar);
  // Where the menu took its height from the client area, the window grows
  // by it, so the control keeps its place and size.
  GetClientRect(serviceWindow, &after);
  int shortBy = (before.bottom - before.top) - (after.bottom - after.top);
  if (shortBy == 0) return;
  GetWindowRect(serviceWindow, &outer);
  SetWindowPos(serviceWindow, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top + shortBy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void showApprovalsWindow(HWND owner) {
  if (g_window) {
    SetForegroundWindow(g_window);
    return;
  }
  container::registerWindowClass(kClassName, approvalsProc, COLOR_BTNFACE);
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  RECT frame{0, 0, 420, 260};
  AdjustWindowRect(&frame, style, FALSE);
  RECT ownerPlace;
  GetWindowRect(owner, &ownerPlace);
  g_window = CreateWindowExW(0, kClassName, kTitle, style, ownerPlace.left + 40, ownerPlace.top + 40,
                             frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  if (!g_window) return;
  addChild(g_window, L"Static", L"Websites you allowed to use your scanner:", 0, 12, 10, 396, 18, 0);
  addChild(g_window, L"ListBox", L"", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 12, 32, 396, 180, kList);
  addChild(g_window, L"Button", L"Remove", BS_PUSHBUTTON, 200, 222, 96, 28, kRemove);
  addChild(g_window, L"Button", L"Close", BS_DEFPUSHBUTTON, 312, 222, 96, 28, kClose);
  refill(g_window);
  ShowWindow(g_window, SW_SHOWNORMAL);
}

}  // namespace pagewell::service
