#include "upload/windows/password_form.h"

#include <vector>

#include "platform/dialog_template.h"

namespace pagewell {
namespace {

struct DialogData {
  std::string site;
  UploadCredentials typed;
};

HINSTANCE ownModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ownModule), &module);
  return module;
}

std::string itemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(item)) + 1, '\0');
  GetWindowTextA(item, text.data(), static_cast<int>(text.size()));
  return text.data();
}

// Exactly the client size asked for, centred on the screen.
void sizeAndCentre(HWND dialog) {
  RECT frame{0, 0, TfrmPassword::kClientWidth, TfrmPassword::kClientHeight};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK passwordProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* data = reinterpret_cast<DialogData*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      SetDlgItemTextA(dialog, TfrmPassword::kSiteId, data->site.c_str());
      SendDlgItemMessageW(dialog, TfrmPassword::kPasswordId, EM_SETPASSWORDCHAR, '*', 0);
      sizeAndCentre(dialog);
      return TRUE;  // the focus goes to the first tab stop, the user name
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        auto* data = reinterpret_cast<DialogData*>(GetWindowLongPtrW(dialog, DWLP_USER));
        data->typed.user = itemText(dialog, TfrmPassword::kUsernameId);
        data->typed.password = itemText(dialog, TfrmPassword::kPasswordId);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {  // also the frame's close box
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
  }
  return FALSE;
}

}  // namespace

std::optional<UploadCredentials> TfrmPassword::ask(HWND owner, const std::string& site) {
  // Laid out in dialog units; the window is sized to its pixels when shown.
  DialogTemplate form(kTitle, 279, 137);
  form.addItem(DialogTemplate::kStatic, L"Please type your user name and password.", 0xFFFF, SS_LEFT, 10, 8, 259, 10);
  form.addItem(DialogTemplate::kStatic, L"Site:", 0xFFFF, SS_LEFT, 10, 26, 48, 10);
  form.addItem(DialogTemplate::kStatic, L"", kSiteId, SS_LEFT | SS_NOPREFIX, 62, 26, 207, 10);
  form.addItem(DialogTemplate::kStatic, L"User Name", 0xFFFF, SS_LEFT, 10, 47, 48, 10);
  form.addItem(DialogTemplate::kEdit, L"", kUsernameId, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 62, 45, 207, 13);
  form.addItem(DialogTemplate::kStatic, L"Password", 0xFFFF, SS_LEFT, 10, 67, 48, 10);
  form.addItem(DialogTemplate::kEdit, L"", kPasswordId, ES_AUTOHSCROLL | ES_PASSWORD | WS_BORDER | WS_TABSTOP, 62,
               65, 207, 13);
  form.addItem(DialogTemplate::kButton, L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 154, 112, 55, 15);
  form.addItem(DialogTemplate::kButton, L"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 214, 112, 55, 15);
  DialogData data{site, {}};
  const INT_PTR result =
      DialogBoxIndirectParamW(ownModule(), form.get(), owner, passwordProc, reinterpret_cast<LPARAM>(&data));
  if (result != IDOK) return std::nullopt;
  return data.typed;
}

}  // namespace pagewell
