#include "consent_window.h"

#include <windows.h>

namespace pagewell {
namespace {

// The module this code is linked into: the service's program or the
// control's DLL, whichever shows the question.
HINSTANCE thisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&thisModule), &module);
  return module;
}

const wchar_t kClassName[] = L"PagewellConsent";
const UINT kUnansweredTimer = 1;
const UINT kUnansweredMilliseconds = 60000;
enum ButtonId { kAllowOnce = 101, kAlwaysAllow, kDeny };

struct Question {
  Consent answer = Consent::Deny;
  bool answered = false;
};

// A press of one of the three buttons, or Escape (IDCANCEL), which denies.
bool isAnswer(UINT message, WPARAM wParam) {
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
  WORD id = LOWORD(wParam);
  return id == kAllowOnce || id == kAlwaysAllow || id == kDeny || id == IDCANCEL;
}

LRESULT CALLBACK consentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* question = reinterpret_cast<Question*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  } else if (question && (isAnswer(message, wParam) || message == WM_TIMER || message == WM_CLOSE)) {
    WORD id = message == WM_COMMAND ? LOWORD(wParam) : static_cast<WORD>(kDeny);
    question->answer = id == kAllowOnce ? Consent::AllowOnce : id == kAlwaysAllow ? Consent::AlwaysAllow : Consent::Deny;
    question->answered = true;
    DestroyWindow(window);
    // A click sent from another thread is handled inside GetMessage, which
    // then waits on: a posted message lets the loop see the answer.
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void addChild(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style, int x, int y, int width,
              int height, int id) {
  HWND child = CreateWindowExW(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), thisModule(), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

void registerConsentClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = consentProc;
  windowClass.hInstance = thisModule();
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);  // fails harmlessly once registered
}

std::wstring widen(const std::string& utf8) {
  int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(size), L'\0');
  if (size > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
  return text;
}

}  // namespace

Consent askUserAbout(const std::string& origin) {
  registerConsentClass();

  Question question;
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  RECT frame{0, 0, 420, 150};
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_TOPMOST);
  HWND window = CreateWindowExW(WS_EX_TOPMOST, kClassName, L"Pagewell: allow this website?", style, 200, 200,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                thisModule(), &question);
  if (!window) return Consent::Deny;
  addChild(window, L"Static", L"The website", 0, 16, 12, 388, 18, 0);
  addChild(window, L"Edit", widen(origin), ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, 16, 32, 388, 22, 0);
  addChild(window, L"Static", L"wants to use your scanner and the pages you scan.", 0, 16, 60, 388, 18, 0);
  addChild(window, L"Button", L"Allow once", BS_PUSHBUTTON, 16, 106, 120, 28, kAllowOnce);
  addChild(window, L"Button", L"Always allow", BS_PUSHBUTTON, 150, 106, 120, 28, kAlwaysAllow);
  addChild(window, L"Button", L"Deny", BS_DEFPUSHBUTTON, 284, 106, 120, 28, kDeny);
  SetTimer(window, kUnansweredTimer, kUnansweredMilliseconds, nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);

  MSG message;
  while (!question.answered && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return question.answer;
}

}  // namespace pagewell
