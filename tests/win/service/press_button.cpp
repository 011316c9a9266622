// press_button TITLE CAPTION [SECONDS]
//
// Answers a window of another program as its user would: waits up to
// SECONDS (10) for the top-level window titled TITLE, prints the text of
// its first edit field (what the window is asking about), and clicks its
// button captioned CAPTION. Exit code 0 when clicked, 1 when no such
// window came, 2 when it has no such button.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

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
  if (HWND edit = FindWindowExW(window, nullptr, L"Edit", nullptr)) {
    wchar_t text[512] = {};
    // WM_GETTEXT itself: GetWindowText does not ask a window of another
    // process for its text.
    SendMessageW(edit, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    char utf8[1536] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("%s\n", utf8);
    std::fflush(stdout);
  }
  HWND button = FindWindowExW(window, nullptr, L"Button", argv[2]);
  if (!button) return 2;
  SendMessageW(button, BM_CLICK, 0, 0);
  return 0;
}
