#include "dialog_dismisser.h"

#include <vector>

namespace pagehost {
namespace {

// How often the host looks whether the question's button can be pressed.
constexpr UINT kConsentPollMilliseconds = 50;

HWND g_postTo = nullptr;
// The control's question about a site, known by the title it promises.
const wchar_t kConsentTitle[] = L"Pagewell: allow this website?";

// The question need not take the focus when it appears, so it is known
// when it is created rather than when it is activated.
bool isConsentQuestion(const CBT_CREATEWNDW& created) {
  const CREATESTRUCTW& window = *created.lpcs;
  return !(window.style & WS_CHILD) && window.lpszName && !IS_INTRESOURCE(window.lpszName) &&
         lstrcmpW(window.lpszName, kConsentTitle) == 0;
}

LRESULT CALLBACK cbtHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && isConsentQuestion(*reinterpret_cast<CBT_CREATEWNDW*>(lParam)))
    PostMessageW(g_postTo, DialogDismisser::kConsentMessage, wParam, 0);
  if (code == HCBT_ACTIVATE) {
    auto window = reinterpret_cast<HWND>(wParam);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpW(className, L"#32770") == 0)
      PostMessageW(g_postTo, DialogDismisser::kDismissMessage, wParam, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::wstring windowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring withoutMnemonic(std::wstring text) {
  std::wstring plain;
  for (wchar_t c : text)
    if (c != L'&') plain += c;
  return plain;
}

std::vector<HWND> childrenOfClass(HWND dialog, const wchar_t* wanted) {
  std::vector<HWND> found;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    if (lstrcmpiW(className, wanted) == 0) found.push_back(child);
  }
  return found;
}

}  // namespace

DialogDismisser::DialogDismisser(HWND postTo) : postTo_(postTo) {
  g_postTo = postTo;
  hook_ = SetWindowsHookExW(WH_CBT, cbtHook, nullptr, GetCurrentThreadId());
}

DialogDismisser::~DialogDismisser() {
  if (hook_) UnhookWindowsHookEx(hook_);
  g_postTo = nullptr;
}

void DialogDismisser::dismiss(HWND dialog) {
  if (!IsWindow(dialog)) return;
  std::wstring text;
  for (HWND label : childrenOfClass(dialog, L"Static")) {
    std::wstring line = windowText(label);
    if (line.empty()) continue;
    if (!text.empty()) text += L"\n";
    text += line;
  }
  lastText = text;
  ++count;
  std::vector<HWND> boxes = childrenOfClass(dialog, L"Edit");
  for (size_t i = 0; i < boxes.size() && i < edits.size(); ++i) SetWindowTextW(boxes[i], edits[i].c_str());
  WORD id = IDOK;
  LRESULT defaultId = SendMessageW(dialog, DM_GETDEFID, 0, 0);
  if (HIWORD(defaultId) == DC_HASDEFID) id = LOWORD(defaultId);
  if (!answer.empty()) {
    id = lstrcmpiW(answer.c_str(), L"Cancel") == 0 ? IDCANCEL : id;
    for (HWND button : childrenOfClass(dialog, L"Button"))
      if (lstrcmpiW(withoutMnemonic(windowText(button)).c_str(), answer.c_str()) == 0)
        id = static_cast<WORD>(GetDlgCtrlID(button));
  }
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void DialogDismisser::answerConsent(HWND question) {
  KillTimer(postTo_, kConsentMessage);
  if (!question) question = waitingQuestion_;
  waitingQuestion_ = nullptr;
  if (!IsWindow(question)) return;
  HWND pressed = nullptr;
  for (HWND button : childrenOfClass(question, L"Button"))
    if (lstrcmpiW(withoutMnemonic(windowText(button)).c_str(), consentAnswer.c_str()) == 0) pressed = button;
  // The question's buttons come alive a moment after it appears, so that a
  // click meant for something else cannot answer it: look again shortly.
  if (pressed && !(IsWindowEnabled(pressed) && IsWindowVisible(pressed))) {
    waitingQuestion_ = question;
    SetTimer(postTo_, kConsentMessage, kConsentPollMilliseconds, nullptr);
    return;
  }
  // The origin the question names: in a text window of its own (an edit
  // box in the question's first form).
  std::vector<HWND> named = childrenOfClass(question, L"PagewellOriginText");
  if (named.empty()) named = childrenOfClass(question, L"Edit");
  consentOrigin = named.empty() ? std::wstring() : windowText(named[0]);
  ++consentCount;
  // No such button: closing the window is the user's other way to say no.
  if (pressed)
    SendMessageW(pressed, BM_CLICK, 0, 0);
  else
    PostMessageW(question, WM_CLOSE, 0, 0);
}

}  // namespace pagehost
