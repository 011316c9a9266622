#pragma once
// Presses a button of every modal dialog or message box that appears on
// this thread, so that a page script never hangs on one, and remembers what
// the dialog said. It answers the control's question whether the page's
// site may use it the same way, as its user would: once the wanted button
// can be pressed.
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

  static constexpr UINT kConsentMessage = WM_APP + 19;  // after host_actions.h's cursor probe
  // Handles kConsentMessage (wParam: the question's window), and the timer
  // of the same id on the window it posts to, which looks again until the
  // wanted button is enabled.
  void answerConsent(HWND question);
  // The button to press in the question ("Always allow" unless told
  // otherwise), the questions answered so far and the origin the last one
  // named.
  std::wstring consentAnswer = L"Always allow";
  long consentCount = 0;
  std::wstring consentOrigin;

 private:
  HHOOK hook_ = nullptr;
  HWND postTo_ = nullptr;
  // The question whose button is not enabled yet.
  HWND waitingQuestion_ = nullptr;
};

}  // namespace pagehost
