#pragma once
// The window a container gives the control: its class, its size from the
// control's extent, the top-level window itself. Shared by the page host
// and the local service (src/service).
#include <windows.h>
#include <ole2.h>

namespace pagewell::container {

// Registers the class once per process; later calls do nothing.
void registerWindowClass(const wchar_t* className, WNDPROC procedure, int backgroundColor);

// The control's size in pixels, from its extent in HIMETRIC.
SIZE controlSizeInPixels(IOleObject* control);

// A captioned top-level window at the screen's top left whose client area
// is `client`, not shown yet.
HWND createHostWindow(const wchar_t* className, const wchar_t* title, WNDPROC procedure, SIZE client);

}  // namespace pagewell::container
