#pragma once
// Presses a button of every modal dialog or message box that appears on
// this thread, so that a page script never hangs on one, and remembers what
// the dialog said.
#include <windows.h>

#include <string>
#include <vector>

namespace pagehost {

class DialogDismisser {
 public:
  // `postTo` receives the request to dismiss once the dialog is up.
  explicit DialogDismisser(HWND postTo);
  ~DialogDismisser();
  DialogDismisser(const DialogDismisser&) = delete;
  DialogDismisser& operator=(const DialogDismisser&) = delete;

  static constexpr UINT kDismissMessage = WM_APP + 17;
  // Handles kDismissMessage (wParam: the dialog).
  void dismiss(HWND dialog);

  std::wstring lastText;
  // Dialogs dismissed so far.
  long count = 0;
  // Caption of the button to press ("Cancel", "No", ...); empty: the
  // dialog's default button.
  std::wstring answer;
  // Texts typed into the dialog's edit boxes before the button is pressed,
  // one per box in the dialog's order; boxes past the list are left as
  // they are.
  std::vector<std::wstring> edits;

 private:
  HHOOK hook_ = nullptr;
};

}  // namespace pagehost
