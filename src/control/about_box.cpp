#include "about_box.h"

#include <shellapi.h>

#include "com/module.h"
#include "platform/dialog_template.h"
#include "window_handle.h"

namespace pagewell {
namespace {

// The link is a label that looks and acts like one in a browser: the
// link colour, underlined, a hand over it, and a click opens the address.
struct AboutState {
  FontHandle linkFont;
};

void prepareLink(HWND dialog, AboutState& state) {
  HWND link = GetDlgItem(dialog, TTwainFormAbout::kLinkId);
  LOGFONTW description{};
  auto dialogFont = reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0));
  if (!dialogFont || GetObjectW(dialogFont, sizeof description, &description) == 0)
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description);
  description.lfUnderline = TRUE;
  state.linkFont.reset(CreateFontIndirectW(&description));
  if (state.linkFont) SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(state.linkFont.get()), FALSE);
}

INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      prepareLink(dialog, *reinterpret_cast<AboutState*>(lParam));
      return TRUE;
    case WM_CTLCOLORSTATIC:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != TTwainFormAbout::kLinkId) return FALSE;
      SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_HOTLIGHT));
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_SETCURSOR:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(wParam)) != TTwainFormAbout::kLinkId) return FALSE;
      SetCursor(LoadCursorW(nullptr, IDC_HAND));
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == TTwainFormAbout::kLinkId && HIWORD(wParam) == STN_CLICKED) {
        ShellExecuteW(dialog, L"open", TTwainFormAbout::kProductLink, nullptr, nullptr, SW_SHOWNORMAL);
        return TRUE;
      }
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
  }
  return FALSE;
}

}  // namespace

void TTwainFormAbout::show(HWND owner) {
  DialogTemplate box(kTitle, 180, 104);
  box.addItem(DialogTemplate::kStatic, L"Orlavex Pagewell", 0xFFFF, SS_CENTER, 10, 10, 160, 10);
  box.addItem(DialogTemplate::kStatic, L"Version 1.3", 0xFFFF, SS_CENTER, 10, 24, 160, 10);
  box.addItem(DialogTemplate::kStatic, kBuildLabel, 0xFFFF, SS_CENTER, 10, 38, 160, 10);
  box.addItem(DialogTemplate::kStatic, kProductLink, kLinkId, SS_CENTER | SS_NOTIFY | SS_NOPREFIX, 10, 54,
              160, 10);
  box.addItem(DialogTemplate::kButton, L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 65, 78, 50, 14);
  AboutState state;
  DialogBoxIndirectParamW(moduleInstance(), box.get(), owner, aboutProc, reinterpret_cast<LPARAM>(&state));
}

}  // namespace pagewell
