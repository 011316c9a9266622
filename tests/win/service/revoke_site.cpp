// revoke_site [ORIGIN]
//
// Takes a website off the service's list of the user's approvals as the
// user would: opens the list from the service window's menu, prints every
// origin on it, one a line, and when ORIGIN is given selects it and presses
// Remove. Exit code 0 when done, 1 when the service window or its list did
// not come, 2 when ORIGIN is not on the list.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// The service window's "Websites > Allowed websites..." command.
constexpr UINT kShowApprovalsCommand = 40001;

HWND waitFor(const wchar_t* className, const wchar_t* title) {
  for (int waited = 0; waited < 100; ++waited) {
    if (HWND window = FindWindowW(className, title)) return window;
    Sleep(100);
  }
  return nullptr;
}

std::wstring itemText(HWND list, LRESULT index) {
  LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  HWND service = waitFor(L"PagewellService", nullptr);
  if (!service) return 1;
  PostMessageW(service, WM_COMMAND, kShowApprovalsCommand, 0);
  HWND approvals = waitFor(nullptr, L"Pagewell: allowed websites");
  HWND list = approvals ? FindWindowExW(approvals, nullptr, L"ListBox", nullptr) : nullptr;
  if (!list) return 1;
  LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  LRESULT found = LB_ERR;
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring origin = itemText(list, i);
    char utf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, origin.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("%s\n", utf8);
    if (argc > 1 && origin == argv[1]) found = i;
  }
  std::fflush(stdout);
  int code = 0;
  if (argc > 1) {
    if (found == LB_ERR) {
      code = 2;
    } else {
      SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
      SendMessageW(FindWindowExW(approvals, nullptr, L"Button", L"Remove"), BM_CLICK, 0, 0);
    }
  }
  SendMessageW(FindWindowExW(approvals, nullptr, L"Button", L"Close"), BM_CLICK, 0, 0);
  return code;
}
