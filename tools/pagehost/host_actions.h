#pragma once
// What the host does to its window on a script's behalf.
#include <windows.h>

#include <string>

namespace pagehost {

// Clicks the enabled, visible button, check box or radio button inside
// `window` whose caption is `caption`; false if there is none.
bool clickButton(HWND window, const std::wstring& caption);

// Chooses, as a user would, the item `item` in the first enabled, visible
// combo box that lists it: the item is selected and the box's owner hears
// of the change. False if no such box lists it.
bool chooseItem(HWND window, const std::wstring& item);

// Types into the enabled, visible edit that now reads `current`: the edit
// gets the focus and the text `text`, then either Enter is typed
// (`ending` "enter") or the focus leaves the edit ("exit"). False if no
// such edit or the ending is neither.
bool typeInto(HWND window, const std::wstring& current, const std::wstring& text, const std::wstring& ending);

// Writes a PNG of the window (frame included) to `path`.
bool saveScreenshot(HWND window, const std::wstring& path);

}  // namespace pagehost
