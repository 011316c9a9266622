// The form refused by the site lock: every component hidden, one line of
// text in their place, so the page shows which site is not allowed and the
// user has nothing to press. And what the site lock has to tell a page's
// developer under DebugAlerts.
#include "com/module.h"
#include "text/wide_text.h"
#include "twain_form.h"

namespace pagewell {
namespace {

constexpr int kLineMargin = 8;
constexpr int kLineHeight = 20;

void hideChildren(HWND parent) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    ShowWindow(child, SW_HIDE);
}

}  // namespace

void TTwainForm::showOnlyLine(const std::wstring& text) {
  stopConnectTimer();
  hideChildren(window_.get());
  RECT client{};
  GetClientRect(window_.get(), &client);
  HWND line = CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                              kLineMargin, kLineMargin, client.right - 2 * kLineMargin, kLineHeight,
                              window_.get(), nullptr, moduleInstance(), nullptr);
  if (line) SendMessageW(line, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  InvalidateRect(window_.get(), nullptr, TRUE);
}

void TTwainForm::alertLines(const std::vector<std::string>& lines) {
  if (!state_.debugAlerts) return;
  for (const std::string& line : lines) showDebugAlert(wideFromUtf8(line));
}

}  // namespace pagewell
