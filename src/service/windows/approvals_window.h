#pragma once
// The websites the user allowed ("Always allow"), listed in a window of the
// service's where each can be taken back. Opened from the service window's
// menu; a site taken off the list is asked about again at its next visit.
#include <windows.h>

namespace pagewell::service {

// The menu command of the service window that opens the list.
constexpr UINT kShowApprovalsCommand = 40001;

// Gives the service's window its "Websites" menu, keeping the client area
// (and so the control's place) as it is.
void addWebsitesMenu(HWND serviceWindow);

// Shows the list, or brings it forward when it is already open.
void showApprovalsWindow(HWND owner);

}  // namespace pagewell::service
