#include "upload/windows/password_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pagewell {
namespace {

// What the user does once the dialog is up, and what the test saw of it.
struct UserAction {
  const char* user;
  const char* password;
  enum { kOk, kCancel, kCloseBox, kEnterKey } how;
};

struct Seen {
  bool found = false;
  RECT client{};
  RECT window{};
  std::vector<std::string> texts;  // every child's text, top to bottom
  wchar_t passwordChar = 0;
  bool usernameHasFocus = false;
};

UserAction g_action;
Seen g_seen;

std::string textOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

void CALLBACK actOnDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowW(L"#32770", TfrmPassword::kTitle);
  if (!dialog) return;  // not up yet
  KillTimer(nullptr, timer);
  g_seen.found = true;
  GetClientRect(dialog, &g_seen.client);
  GetWindowRect(dialog, &g_seen.window);
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    g_seen.texts.push_back(textOf(child));
  g_seen.passwordChar = static_cast<wchar_t>(SendDlgItemMessageW(dialog, TfrmPassword::kPasswordId, EM_GETPASSWORDCHAR, 0, 0));
  g_seen.usernameHasFocus = GetFocus() == GetDlgItem(dialog, TfrmPassword::kUsernameId);
  SetDlgItemTextA(dialog, TfrmPassword::kUsernameId, g_action.user);
  SetDlgItemTextA(dialog, TfrmPassword::kPasswordId, g_action.password);
  switch (g_action.how) {
    case UserAction::kOk: PostMessageW(dialog, WM_COMMAND, IDOK, 0); break;
    case UserAction::kCancel: PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); break;
    case UserAction::kCloseBox: PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    case UserAction::kEnterKey: PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); break;
  }
}

std::optional<UploadCredentials> askWith(const UserAction& action, const std::string& site = "uploads.example") {
  g_action = action;
  g_seen = Seen{};
  SetTimer(nullptr, 0, 50, actOnDialog);
  return TfrmPassword::ask(nullptr, site);
}

TEST(TfrmPassword, AnswersWhatWasTypedOrNothing) {
  const struct {
    UserAction action;
    std::optional<UploadCredentials> expected;
  } cases[] = {
      {{"ann", "s3cret", UserAction::kOk}, UploadCredentials{"ann", "s3cret"}},
      {{"", "", UserAction::kOk}, UploadCredentials{"", ""}},
      {{"ann", "s3cret", UserAction::kEnterKey}, UploadCredentials{"ann", "s3cret"}},  // OK is the default
      {{"ann", "s3cret", UserAction::kCancel}, std::nullopt},
      {{"ann", "s3cret", UserAction::kCloseBox}, std::nullopt},
      {{"a \"quoted\" name", "p\xe4ss", UserAction::kOk}, UploadCredentials{"a \"quoted\" name", "p\xe4ss"}},
  };
  for (const auto& c : cases) {
    const auto answer = askWith(c.action);
    ASSERT_TRUE(g_seen.found) << c.action.user;
    ASSERT_EQ(answer.has_value(), c.expected.has_value()) << c.action.user << " " << c.action.how;
    if (!answer) continue;
    EXPECT_EQ(answer->user, c.expected->user);
    EXPECT_EQ(answer->password, c.expected->password);
  }
}

TEST(TfrmPassword, LooksAsDescribed) {
  askWith({"x", "y", UserAction::kCancel}, "files.example.org");
  ASSERT_TRUE(g_seen.found);
  EXPECT_EQ(g_seen.client.right - g_seen.client.left, 418);
  EXPECT_EQ(g_seen.client.bottom - g_seen.client.top, 223);
  const int width = g_seen.window.right - g_seen.window.left;
  EXPECT_LE(std::abs(g_seen.window.left - (GetSystemMetrics(SM_CXSCREEN) - width) / 2), 1) << "centred";
  EXPECT_EQ(g_seen.texts, (std::vector<std::string>{"Please type your user name and password.", "Site:",
                                                    "files.example.org", "User Name", "", "Password", "", "OK",
                                                    "Cancel"}));
  EXPECT_EQ(g_seen.passwordChar, L'*');
  EXPECT_TRUE(g_seen.usernameHasFocus);
}

TEST(TfrmPassword, ShowsASiteWithAmpersandsAsItStands) {
  askWith({"", "", UserAction::kCancel}, "a&b.example");
  ASSERT_TRUE(g_seen.found);
  EXPECT_EQ(g_seen.texts.at(2), "a&b.example");
}

}  // namespace
}  // namespace pagewell
