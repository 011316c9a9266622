#pragma once
// What the host does to its window on a script's behalf.
#include <windows.h>

#include <string>

namespace pagehost {

// Clicks the enabled (with all its parents), visible button, check box or radio button inside
// `window` whose caption is `caption`; false if there is none.
bool clickButton(HWND window, const std::wstring& caption);

// The cursor this thread shows: "wait" (the hourglass), "arrow", "none" or
// "other".
std::wstring cursorName();

// Writes a PNG of the window (frame included) to `path`.
bool saveScreenshot(HWND window, const std::wstring& path);

}  // namespace pagehost
