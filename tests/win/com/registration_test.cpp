// regsvr32 and regsvr32 /u under Wine: every key the control writes, read
// back through the registry API and through `reg query`, and none left after
// unregistering. Ends registered, for the tests that create the control.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com_test_support.h"

namespace {

using comtest::dllPath;
using comtest::runProcess;

const std::wstring kClass = L"CLSID\\{60953E2E-8F0C-4A8C-8882-62DE8446F78C}";
const std::wstring kLibrary = L"TypeLib\\{16906855-A4E2-4870-B870-8C496E3BEAA5}";
const std::wstring kInterface = L"Interface\\{E25131F9-F0FD-438B-A971-2A9F350D33C2}";
// The type library registers under the platform of the DLL's pointer width.
#ifdef _WIN64
const std::wstring kPlatform = L"win64";
#else
const std::wstring kPlatform = L"win32";
#endif
const std::wstring kEvents = L"Interface\\{7498676B-B33D-4A98-817B-1E5F21C5976B}";

struct ExpectedValue {
  std::wstring key;
  const wchar_t* name;  // nullptr: the default value
  std::wstring value;
};

std::wstring windowsDllPath() {
  std::wstring path = dllPath();
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

std::vector<ExpectedValue> expectedValues() {
  const std::wstring path = windowsDllPath();
  return {
      {kClass, nullptr, L"Pagewell Control"},
      {kClass + L"\\InprocServer32", nullptr, path},
      {kClass + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {kClass + L"\\ProgID", nullptr, L"Pagewell.TwainForm"},
      {kClass + L"\\VersionIndependentProgID", nullptr, L"Pagewell.TwainForm"},
      {kClass + L"\\Control", nullptr, L""},
      {kClass + L"\\MiscStatus", nullptr, L"73728"},
      {kClass + L"\\MiscStatus\\1", nullptr, L"73728"},
      {kClass + L"\\ToolboxBitmap32", nullptr, path + L",1"},
      {kClass + L"\\TypeLib", nullptr, L"{16906855-A4E2-4870-B870-8C496E3BEAA5}"},
      {kClass + L"\\Version", nullptr, L"1.3"},
      {kClass + L"\\Implemented Categories\\{40FC6ED4-2438-11CF-A3DB-080036F12502}", nullptr, L""},
      {kClass + L"\\Implemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}", nullptr, L""},
      {kClass + L"\\Implemented Categories\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}", nullptr, L""},
      {L"Pagewell.TwainForm", nullptr, L"Pagewell Control"},
      {L"Pagewell.TwainForm\\CLSID", nullptr, L"{60953E2E-8F0C-4A8C-8882-62DE8446F78C}"},
      {kLibrary + L"\\1.3", nullptr, L"Pagewell Library"},
      {kLibrary + L"\\1.3\\409\\" + kPlatform, nullptr, path},
      {kInterface, nullptr, L"ITwainForm"},
      {kEvents, nullptr, L"ITwainFormEvents"},
  };
}

bool keyExists(const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool readValue(const ExpectedValue& expected, std::wstring& value) {
  wchar_t buffer[1024] = {};
  DWORD size = sizeof buffer;
  DWORD type = 0;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, expected.key.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  LONG rc = RegQueryValueExW(key, expected.name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || type != REG_SZ) return false;
  value = buffer;
  return true;
}

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

void unregister() {
  auto result = runProcess(L"regsvr32 /s /u \"" + windowsDllPath() + L"\"");
  ASSERT_EQ(result.exitCode, 0u) << result.output;
}

void registerControl() {
  auto result = runProcess(L"regsvr32 /s \"" + windowsDllPath() + L"\"");
  ASSERT_EQ(result.exitCode, 0u) << result.output;
}

TEST(Registration, UnregisterRemovesEveryKeyThenRegisterWritesThemAll) {
  unregister();
  for (const std::wstring& root : {kClass, std::wstring(L"Pagewell.TwainForm"), kLibrary, kInterface, kEvents})
    EXPECT_FALSE(keyExists(root)) << narrow(root);
  auto query = runProcess(L"reg query \"HKCR\\" + kClass + L"\"");
  EXPECT_NE(query.exitCode, 0u) << query.output;
  // Unregistering what is not registered succeeds too.
  unregister();

  registerControl();
  for (const ExpectedValue& expected : expectedValues()) {
    std::wstring value;
    ASSERT_TRUE(readValue(expected, value)) << narrow(expected.key);
    EXPECT_EQ(_wcsicmp(value.c_str(), expected.value.c_str()), 0)
        << narrow(expected.key) << ": " << narrow(value);
  }
}

TEST(Registration, RegQuerySeesTheClassKeys) {
  registerControl();
  auto result = runProcess(L"reg query \"HKCR\\" + kClass + L"\" /s");
  ASSERT_EQ(result.exitCode, 0u);
  for (const char* expected : {"InprocServer32", "ThreadingModel    REG_SZ    Apartment",
                               "Pagewell.TwainForm", "73728", "Pagewell.dll,1", "1.3",
                               "{40FC6ED4-2438-11CF-A3DB-080036F12502}"})
    EXPECT_NE(result.output.find(expected), std::string::npos) << expected << "\n" << result.output;
}

// ToolboxBitmap32 names bitmap resource 1 of the DLL.
TEST(Registration, ToolboxBitmapResourceExists) {
  HMODULE module = LoadLibraryExW(dllPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(2) /* RT_BITMAP */), nullptr);
  EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), L"TYPELIB"), nullptr);
  FreeLibrary(module);
}

}  // namespace
