#include "dialog_dismisser.h"

#include <vector>

namespace pagehost {
namespace {

HWND g_postTo = nullptr;

LRESULT CALLBACK cbtHook(int code, WPARAM wParam, LPARAM lParam) {
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

DialogDismisser::DialogDismisser(HWND postTo) {
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

}  // namespace pagehost
