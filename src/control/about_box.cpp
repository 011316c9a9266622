#include "about_box.h"

#include "com/module.h"
#include "dialog_template.h"

namespace pagewell {
namespace {

INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
  }
  return FALSE;
}

}  // namespace

void TTwainFormAbout::show(HWND owner) {
  DialogTemplate box(L"About Pagewell", 180, 90);
  box.addItem(DialogTemplate::kStatic, L"Orlavex Pagewell", 0xFFFF, SS_CENTER, 10, 10, 160, 10);
  box.addItem(DialogTemplate::kStatic, L"Version 1.3", 0xFFFF, SS_CENTER, 10, 24, 160, 10);
  box.addItem(DialogTemplate::kStatic, kBuildLabel, 0xFFFF, SS_CENTER, 10, 38, 160, 10);
  box.addItem(DialogTemplate::kButton, L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 65, 64, 50, 14);
  DialogBoxIndirectParamW(moduleInstance(), box.get(), owner, aboutProc, 0);
}

}  // namespace pagewell
