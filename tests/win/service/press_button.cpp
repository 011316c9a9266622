// press_button TITLE CAPTION [SECONDS]
//
// Answers a window of another program as its user would: waits up to
// SECONDS (10) for the top-level window titled TITLE, prints what it is
// asking about (the text of its origin view, or else of its first edit
// field), then how it came up, one fact a line:
//   foreground=0|1   whether it took the focus from the user
//   topmost=0|1      whether it put itself above every other window
//   armed_at_first=0|1  whether the button could be pressed at first sight
// and clicks the button captioned CAPTION as soon as it can be pressed.
// Exit code 0 when clicked, 1 when no such window came, 2 when it has no
// such button, 3 when the button never came alive.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

void printText(HWND child) {
  wchar_t text[1024] = {};
  // WM_GETTEXT itself: GetWindowText does not ask a window of another
  // process for its text.
  SendMessageW(child, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  char utf8[3072] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  std::printf("%s\n", utf8);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fputs("usage: press_button TITLE CAPTION [SECONDS]\n", stderr);
    return 2;
  }
  int seconds = argc > 3 ? _wtoi(argv[3]) : 10;
  HWND window = nullptr;
  for (int waited = 0; !window && waited <= seconds * 10; ++waited) {
    window = FindWindowW(nullptr, argv[1]);
    if (!window) Sleep(100);
  }
  if (!window) return 1;
  HWND asked = FindWindowExW(window, nullptr, L"PagewellOriginText", nullptr);
  if (!asked) asked = FindWindowExW(window, nullptr, L"Edit", nullptr);
  if (asked) printText(asked);
  HWND button = FindWindowExW(window, nullptr, L"Button", argv[2]);
  std::printf("foreground=%d\n", GetForegroundWindow() == window ? 1 : 0);
  std::printf("topmost=%d\n", (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0);
  if (!button) return 2;
  std::printf("armed_at_first=%d\n", IsWindowEnabled(button) ? 1 : 0);
  std::fflush(stdout);
  for (int waited = 0; !IsWindowEnabled(button); ++waited) {
    if (waited > seconds * 10) return 3;
    Sleep(100);
  }
  SendMessageW(button, BM_CLICK, 0, 0);
  return 0;
}
