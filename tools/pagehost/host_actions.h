#pragma once
// What the host does to its window on a script's behalf.
#include <windows.h>

#include <string>

namespace pagehost {

// Clicks the visible button, check box or radio button inside `window` whose
// caption is `caption` and which is enabled with all its parents; false if
// there is none.
bool clickButton(HWND window, const std::wstring& caption);

// Posts a left-button drag from (x1, y1) to (x2, y2), in client
// coordinates, to the largest visible window of the class inside `window`;
// false if there is none. The messages wait in the queue for whoever pumps
// it next (a control waiting for a drag pumps them itself).
bool postDrag(HWND window, const std::wstring& className, int x1, int y1, int x2, int y2);

// The visible windows of the class inside `window`, one line each:
// "left top width height" in `window`'s client coordinates.
std::wstring windowsOfClass(HWND window, const std::wstring& className);

// From the call on, every text set on a label (a Static window) of this
// thread is recorded, including texts set and replaced while the control
// works without returning to the script.
void startLabelLog();
// The texts recorded since the last call, one per line.
std::wstring takeLabelLog();

// Chooses, as a user would, the item `item` in the first enabled, visible
// combo box that lists it: the item is selected and the box's owner hears
// of the change. False if no such box lists it.
bool chooseItem(HWND window, const std::wstring& item);

// Types into the enabled, visible edit that now reads `current`: the edit
// gets the focus and the text `text`, then either Enter is typed
// (`ending` "enter") or the focus leaves the edit ("exit"). False if no
// such edit or the ending is neither.
bool typeInto(HWND window, const std::wstring& current, const std::wstring& text, const std::wstring& ending);
// The cursor this thread shows: "wait" (the hourglass), "arrow", "none" or
// "other".
std::wstring cursorName();

// Where the first window inside `window` captioned `caption` sits:
// "left,top,width,height,visible,parent caption", relative to its parent,
// visible as its own style says ("1" or "0"); empty if there is none.
std::wstring describeWindow(HWND window, const std::wstring& caption);

// Clicks with the left button at (x, y) of the window's client area (where
// the control sits at (0, 0)), on the innermost visible window there;
// false if there is none.
bool clickAt(HWND window, int x, int y);

// The memory the process has committed for itself, in bytes.
double privateBytes();

// The cursor probe. Queued behind the messages already posted to the host
// (so that it runs inside whatever message loop handles them), it asks the
// first window captioned `caption` which cursor it sets when the mouse moves
// over it; takeCursorProbe gives the answer once: a cursorName, "no window",
// or empty while the probe has not run.
constexpr UINT kCursorProbeMessage = WM_APP + 18;
bool postCursorProbe(HWND host, const std::wstring& caption);
void runCursorProbe(HWND target);
std::wstring takeCursorProbe();

// Writes a PNG of the window (frame included) to `path`.
bool saveScreenshot(HWND window, const std::wstring& path);

// Clicks, as a user would, the tab captioned `caption` of a tab control
// inside `window`; false if there is none.
bool clickTab(HWND window, const std::wstring& caption);

// Whether the button captioned `caption` inside `window`, shown or not, is
// enabled: 1 enabled, 0 disabled, -1 no such button.
int buttonEnabled(HWND window, const std::wstring& caption);

// The colour (0x00BBGGRR) shown at (x, y) of the window's client area, where
// the control sits at (0, 0); CLR_INVALID outside it. Painting that is
// still pending is not waited for: Sleep first to let it happen.
COLORREF pixelAt(HWND window, int x, int y);

}  // namespace pagehost
