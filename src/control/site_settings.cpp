#include "site_settings.h"

#include <windows.h>

#include <algorithm>

#include "allowed_origins.h"
#include "machine_policy.h"
#include "text/wide_text.h"

namespace pagewell {
namespace {

const wchar_t kSettingsKey[] = L"SOFTWARE\\Pagewell";
const wchar_t kOriginsValue[] = L"AllowedOrigins";
const wchar_t kPromptValue[] = L"PromptForUnknownOrigins";
// Far more than any list of sites; a larger value is not a list we wrote.
constexpr DWORD kLargestList = 64 * 1024;

// The strings of a REG_MULTI_SZ (or the one string of a REG_SZ) as UTF-8,
// whether or not the data ends with the terminating zeros it should have.
std::vector<std::string> stringsOfValue(const std::vector<wchar_t>& data) {
  std::vector<std::string> strings;
  std::wstring current;
  for (wchar_t c : data) {
    if (c != L'\0') {
      current += c;
    } else if (!current.empty()) {
      strings.push_back(utf8FromWide(current));
      current.clear();
    }
  }
  if (!current.empty()) strings.push_back(utf8FromWide(current));
  return strings;
}

// The user's list: nothing when the value is missing, no entries when it is
// there but not a list of text.
std::optional<std::vector<std::string>> readUserList() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0, size = 0;
  LONG rc = RegQueryValueExW(key, kOriginsValue, nullptr, &type, nullptr, &size);
  if (rc == ERROR_FILE_NOT_FOUND) {
    RegCloseKey(key);
    return std::nullopt;
  }
  std::vector<std::string> origins;
  if (rc == ERROR_SUCCESS && (type == REG_MULTI_SZ || type == REG_SZ) && size <= kLargestList) {
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD read = size;
    if (RegQueryValueExW(key, kOriginsValue, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &read) ==
        ERROR_SUCCESS)
      origins = policyEntries(stringsOfValue(data));
  }
  RegCloseKey(key);
  return origins;
}

// On unless the machine says 0; a value of another type is read as the
// stricter choice, as the local service reads it.
bool readPromptSetting() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return true;
  DWORD type = 0, value = 1, size = sizeof value;
  LONG rc = RegQueryValueExW(key, kPromptValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (rc == ERROR_FILE_NOT_FOUND) return true;
  return rc == ERROR_SUCCESS && type == REG_DWORD && value != 0;
}

}  // namespace

MachineSiteSettings readMachineSiteSettings() {
  // Both builds of the control read the one native policy: the 32-bit one on
  // 64-bit Windows would otherwise see the 32-bit registry view.
  std::optional<std::vector<std::string>> policy = ReadMachinePolicyStrings(kOriginsValue);
  if (policy) policy = policyEntries(*policy);
  return MachineSiteSettings{std::move(policy), readPromptSetting()};
}

std::vector<std::string> readUserApprovals() {
  return readUserList().value_or(std::vector<std::string>{});
}

bool addUserApproval(const std::string& origin) {
  // The service writes the same list: one origin a string, the list as it was
  // plus the new one.
  std::vector<std::string> entries = readUserApprovals();
  if (std::find(entries.begin(), entries.end(), origin) != entries.end()) return true;
  std::wstring data;
  for (const std::string& entry : entries) data += wideFromUtf8(entry) + L'\0';
  data += wideFromUtf8(origin) + L'\0';
  data += L'\0';
  if (data.size() * sizeof(wchar_t) > kLargestList) return false;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  LONG rc = RegSetValueExW(key, kOriginsValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size() * sizeof(wchar_t)));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

}  // namespace pagewell
