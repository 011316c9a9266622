// window_state CLASS
//
// How the top-level window of class CLASS (of any program) is shown, as
// its user sees it: prints "minimized", "normal" or "hidden" and exits 0,
// or exits 1 when there is no such window (2 when used wrongly).
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fputs("usage: window_state CLASS\n", stderr);
    return 2;
  }
  HWND window = FindWindowW(argv[1], nullptr);
  if (!window) return 1;
  const char* state = !IsWindowVisible(window) ? "hidden" : IsIconic(window) ? "minimized" : "normal";
  std::printf("%s\n", state);
  return 0;
}
