#include "consent_window.h"

#include <windows.h>

#include <vector>

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
const wchar_t kOriginClassName[] = L"PagewellOriginText";
const wchar_t kTitle[] = L"Pagewell: allow this website?";

enum TimerId : UINT { kUnansweredTimer = 1, kArmTimer = 2 };
const UINT kUnansweredMilliseconds = 60000;
// Long enough that a click or key meant for the page lands on nothing.
const UINT kArmMilliseconds = 1000;
enum ButtonId { kAllowOnce = 101, kAlwaysAllow, kDeny };
const int kButtons[] = {kAllowOnce, kAlwaysAllow, kDeny};

const int kWidth = 440;
const int kMargin = 16;
const int kOriginLineHeight = 18;
const int kOriginTop = 32;

struct Question {
  Consent answer = Consent::Deny;
  bool answered = false;
};

std::wstring widen(const std::string& utf8) {
  int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
  return text;
}

// --- The origin, wrapped, its site in bold -------------------------------

// The origin text, and where in it the site's characters are.
struct OriginText {
  std::wstring text;
  size_t boldFrom = 0, boldTo = 0;
};

// The last occurrence of the site inside the origin's host: the host ends
// with it (before the port).
OriginText describe(const std::wstring& origin, const std::wstring& site) {
  OriginText described{origin, 0, 0};
  if (site.empty()) return described;
  size_t hostStart = origin.find(L"://");
  hostStart = hostStart == std::wstring::npos ? 0 : hostStart + 3;
  size_t hostEnd = origin.find(L':', hostStart);
  if (origin.compare(hostStart, 1, L"[") == 0) hostEnd = origin.find(L']', hostStart) + 1;
  if (hostEnd == std::wstring::npos || hostEnd == 0) hostEnd = origin.size();
  if (hostEnd - hostStart < site.size()) return described;
  size_t at = hostEnd - site.size();
  if (origin.compare(at, site.size(), site) != 0) return described;
  described.boldFrom = at;
  described.boldTo = hostEnd;
  return described;
}

HFONT makeFont(bool bold) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTW font = metrics.lfMessageFont;
  if (bold) font.lfWeight = FW_BOLD;
  return CreateFontIndirectW(&font);
}

int widthOf(HDC dc, const std::wstring& text, size_t from, size_t to, HFONT font) {
  SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str() + from, static_cast<int>(to - from), &size);
  return size.cx;
}

// Lays the characters out left to right and starts a new line where the
// next one would pass the right edge: an origin has no spaces to break at,
// and every character of it must be seen. The site is kept on one line
// when it fits on one. Returns the lines needed.
int layOut(HDC dc, const OriginText& origin, HFONT regular, HFONT bold, int width, bool draw) {
  int x = 0, line = 0;
  for (size_t i = 0; i < origin.text.size(); ++i) {
    bool inSite = i >= origin.boldFrom && i < origin.boldTo;
    if (i == origin.boldFrom && inSite && x > 0) {
      int site = widthOf(dc, origin.text, origin.boldFrom, origin.boldTo, bold);
      if (x + site > width && site <= width) {
        x = 0;
        ++line;
      }
    }
    int advance = widthOf(dc, origin.text, i, i + 1, inSite ? bold : regular);
    if (x > 0 && x + advance > width) {
      x = 0;
      ++line;
    }
    if (draw) TextOutW(dc, x, line * kOriginLineHeight, &origin.text[i], 1);
    x += advance;
  }
  return line + 1;
}

struct OriginView {
  OriginText origin;
  HFONT regular, bold;
};

LRESULT CALLBACK originProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* view = reinterpret_cast<OriginView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  } else if (message == WM_PAINT && view) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ before = SelectObject(dc, view->regular);
    layOut(dc, view->origin, view->regular, view->bold, client.right, true);
    SelectObject(dc, before);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int originLines(const OriginView& view, int width) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ before = SelectObject(dc, view.regular);
  int lines = layOut(dc, view.origin, view.regular, view.bold, width, false);
  SelectObject(dc, before);
  ReleaseDC(nullptr, dc);
  return lines;
}

// --- The window -----------------------------------------------------------

// A press of one of the three buttons, or Escape (IDCANCEL), which denies.
bool isAnswer(UINT message, WPARAM wParam) {
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
  WORD id = LOWORD(wParam);
  return id == kAllowOnce || id == kAlwaysAllow || id == kDeny || id == IDCANCEL;
}

void armButtons(HWND window, bool live) {
  for (int id : kButtons) EnableWindow(GetDlgItem(window, id), live ? TRUE : FALSE);
}

LRESULT CALLBACK consentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* question = reinterpret_cast<Question*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  } else if (message == WM_TIMER && wParam == kArmTimer) {
    KillTimer(window, kArmTimer);
    armButtons(window, true);
    return 0;
  } else if (question && (isAnswer(message, wParam) || (message == WM_TIMER && wParam == kUnansweredTimer) ||
                          message == WM_CLOSE)) {
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

void registerClass(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = thisModule();
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);  // fails harmlessly once registered
}

HWND addChild(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style, RECT place, int id,
              HFONT font, void* parameter = nullptr) {
  HWND child = CreateWindowExW(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                               place.right - place.left, place.bottom - place.top, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), thisModule(), parameter);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

// In the middle of the screen the user works on, not at a place a page
// could predict and put something of its own under.
POINT centredOnWorkArea(int width, int height) {
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return {work.left + (work.right - work.left - width) / 2, work.top + (work.bottom - work.top - height) / 3};
}

// Flashes the window and its taskbar button until the user turns to it.
void flash(HWND window) {
  FLASHWINFO info{};
  info.cbSize = sizeof info;
  info.hwnd = window;
  info.dwFlags = FLASHW_ALL | FLASHW_TIMERNOFG;
  FlashWindowEx(&info);
}

}  // namespace

Consent askUserAbout(const std::string& origin, const std::string& site) {
  registerClass(kClassName, consentProc);
  registerClass(kOriginClassName, originProc);

  OriginView view{describe(widen(origin), widen(site)), makeFont(false), makeFont(true)};
  const int textWidth = kWidth - 2 * kMargin;
  const int originHeight = originLines(view, textWidth) * kOriginLineHeight;
  const int afterOrigin = kOriginTop + originHeight + 8;
  const int buttonsTop = afterOrigin + 34;
  const int height = buttonsTop + 28 + kMargin;

  Question question;
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  RECT frame{0, 0, kWidth, height};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  int outerWidth = frame.right - frame.left, outerHeight = frame.bottom - frame.top;
  POINT at = centredOnWorkArea(outerWidth, outerHeight);
  HWND window = CreateWindowExW(0, kClassName, kTitle, style, at.x, at.y, outerWidth, outerHeight, nullptr, nullptr,
                                thisModule(), &question);
  if (!window) {
    DeleteObject(view.regular);
    DeleteObject(view.bold);
    return Consent::Deny;
  }
  addChild(window, L"Static", L"The website", 0, {kMargin, 12, kMargin + textWidth, 30}, 0, view.regular);
  // The origin's own text is the window text of its view, for assistive
  // tools and for the tests that read what was asked.
  addChild(window, kOriginClassName, widen(origin), 0, {kMargin, kOriginTop, kMargin + textWidth, kOriginTop + originHeight},
           0, view.regular, &view);
  addChild(window, L"Static", L"wants to use your scanner and the pages you scan.", 0,
           {kMargin, afterOrigin, kMargin + textWidth, afterOrigin + 18}, 0, view.regular);
  const int buttonWidth = 128, gap = (textWidth - 3 * buttonWidth) / 2;
  const wchar_t* captions[] = {L"Allow once", L"Always allow", L"Deny"};
  for (int i = 0; i < 3; ++i) {
    int left = kMargin + i * (buttonWidth + gap);
    addChild(window, L"Button", captions[i], kButtons[i] == kDeny ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON,
             {left, buttonsTop, left + buttonWidth, buttonsTop + 28}, kButtons[i], view.regular);
  }
  armButtons(window, false);
  SetTimer(window, kArmTimer, kArmMilliseconds, nullptr);
  SetTimer(window, kUnansweredTimer, kUnansweredMilliseconds, nullptr);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  flash(window);

  MSG message;
  while (!question.answered && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // Ended without an answer (WM_QUIT): the window goes, and that denies.
  if (!question.answered) DestroyWindow(window);
  DeleteObject(view.regular);
  DeleteObject(view.bold);
  return question.answer;
}

}  // namespace pagewell
