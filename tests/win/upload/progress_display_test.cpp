#include "upload/windows/progress_display.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace pagewell {
namespace {

std::wstring textOf(HWND window) {
  wchar_t text[128] = {};
  GetWindowTextW(window, text, 128);
  return text;
}

// A shown form with the bar and the label where the control has them.
class ProgressDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    form_ = CreateWindowW(L"STATIC", L"form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                          nullptr, nullptr);
    bar_ = CreateWindowW(PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 16, 96, 257, 17, form_, nullptr, nullptr,
                         nullptr);
    label_ = CreateWindowW(L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 16, 76, 51, 13, form_,
                           nullptr, nullptr, nullptr);
    SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  }
  void TearDown() override { DestroyWindow(form_); }

  RECT placeOf(HWND window) const {
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  int textWidth(const std::wstring& text) const {
    HDC dc = GetDC(label_);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label_, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(label_, dc);
    return extent.cx;
  }
  // The bar at `percent`, the label reading `text` at its width, centred
  // over the bar with its top 20 pixels above the bar's.
  void expectShowing(int percent, const std::wstring& text) const {
    EXPECT_EQ(SendMessageW(bar_, PBM_GETPOS, 0, 0), percent);
    EXPECT_EQ(textOf(label_), text);
    const RECT bar = placeOf(bar_), label = placeOf(label_);
    const int width = textWidth(text);
    EXPECT_EQ(label.right - label.left, width);
    EXPECT_EQ(label.left, bar.left + (bar.right - bar.left - width) / 2);
    EXPECT_EQ(label.top, bar.top - 20);
    EXPECT_EQ(label.bottom - label.top, 13) << "the label keeps its height";
  }
  // Counts the settings that reach the label and the bar from now on.
  void countSettings() {
    settings_ = 0;
    SetWindowSubclass(label_, countingProc, 0, reinterpret_cast<DWORD_PTR>(&settings_));
    SetWindowSubclass(bar_, countingProc, 0, reinterpret_cast<DWORD_PTR>(&settings_));
  }
  static LRESULT CALLBACK countingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR counter) {
    if (message == WM_SETTEXT || message == WM_WINDOWPOSCHANGING || message == PBM_SETPOS)
      ++*reinterpret_cast<int*>(counter);
    return DefSubclassProc(window, message, wParam, lParam);
  }

  HWND form_ = nullptr, bar_ = nullptr, label_ = nullptr;
  int settings_ = 0;
};

TEST_F(ProgressDisplayTest, SetsTheBarAndCentresTheLabelOverIt) {
  UploadProgressDisplay display(bar_, label_);
  display.show(40, L"Uploading... 40%");
  expectShowing(40, L"Uploading... 40%");
  display.show(100, L"Uploading... 100%");
  expectShowing(100, L"Uploading... 100%");
}

TEST_F(ProgressDisplayTest, CentringTruncatesTowardZeroWhenTheTextIsWiderThanTheBar) {
  const std::wstring text(60, L'W');
  CentreProgressLabel(bar_, label_, text);
  const int width = textWidth(text);
  ASSERT_GT(width, 257);
  EXPECT_EQ(placeOf(label_).left, 16 + (257 - width) / 2);
}

// The same setting again after the next piece would change nothing on the
// screen: it reaches neither window. A new percentage does.
TEST_F(ProgressDisplayTest, TheSameSettingAgainReachesNeitherWindow) {
  UploadProgressDisplay display(bar_, label_);
  display.show(40, L"Uploading... 40%");
  countSettings();
  display.show(40, L"Uploading... 40%");
  EXPECT_EQ(settings_, 0);
  expectShowing(40, L"Uploading... 40%");
  display.show(41, L"Uploading... 41%");
  EXPECT_GT(settings_, 0);
  expectShowing(41, L"Uploading... 41%");
}

// Whatever else changed the bar or the label between two pieces, the next
// setting puts the display right as a full setting would.
TEST_F(ProgressDisplayTest, ASettingAfterAnythingElseChangedTheDisplayIsMadeInFull) {
  struct Case {
    const char* what;
    std::function<void(HWND bar, HWND label)> change;
  };
  const Case cases[] = {
      {"the page moved the bar", [](HWND bar, HWND) { SetWindowPos(bar, nullptr, 40, 150, 200, 17, SWP_NOZORDER); }},
      {"the page moved the label", [](HWND, HWND label) { SetWindowPos(label, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }},
      {"other code set the label", [](HWND, HWND label) { SetWindowTextW(label, L"Preparing to upload..."); }},
      {"other code set the bar", [](HWND bar, HWND) { SendMessageW(bar, PBM_SETPOS, 7, 0); }},
      {"the label's font changed",
       [](HWND, HWND label) { SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT)), FALSE); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    UploadProgressDisplay display(bar_, label_);
    display.show(40, L"Uploading... 40%");
    c.change(bar_, label_);
    display.show(40, L"Uploading... 40%");
    expectShowing(40, L"Uploading... 40%");
  }
}

}  // namespace
}  // namespace pagewell
