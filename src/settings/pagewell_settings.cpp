#include "pagewell_settings.h"

#include <windows.h>

#include <algorithm>

#include "origin/policy.h"

namespace pagewell {
namespace {

const wchar_t kKey[] = L"SOFTWARE\\Pagewell";
const wchar_t kAllowedOrigins[] = L"AllowedOrigins";
const wchar_t kPromptForUnknownOrigins[] = L"PromptForUnknownOrigins";
// Far more than any list of origins; a larger value is not one we wrote.
constexpr DWORD kLargestList = 64 * 1024;

class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  HKEY* put() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

bool openSettings(SettingsScope scope, RegistryKey& key) {
  HKEY root = scope == SettingsScope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  REGSAM view = scope == SettingsScope::Machine ? KEY_WOW64_64KEY : 0;
  return RegOpenKeyExW(root, kKey, 0, KEY_QUERY_VALUE | view, key.put()) == ERROR_SUCCESS;
}

std::string utf8(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  return bytes;
}

std::wstring wide(const std::string& text) {
  int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(static_cast<size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
  return result;
}

// The strings of a REG_MULTI_SZ (or the one string of a REG_SZ), whether
// or not the data ends with the terminating zeros it should have.
std::vector<std::string> stringsOfValue(const std::vector<wchar_t>& data) {
  std::vector<std::string> strings;
  std::wstring current;
  for (wchar_t c : data) {
    if (c != L'\0') {
      current += c;
    } else if (!current.empty()) {
      strings.push_back(utf8(current));
      current.clear();
    }
  }
  if (!current.empty()) strings.push_back(utf8(current));
  return strings;
}

bool writeUserList(const std::vector<std::string>& origins) {
  std::wstring data;
  for (const std::string& origin : origins) data += wide(origin) + L'\0';
  data += L'\0';
  if (data.size() * sizeof(wchar_t) > kLargestList) return false;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  LONG rc = RegSetValueExW(key, kAllowedOrigins, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size() * sizeof(wchar_t)));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

}  // namespace

std::optional<std::vector<std::string>> readSettingStrings(SettingsScope scope, const wchar_t* name) {
  RegistryKey key;
  if (!openSettings(scope, key)) return std::nullopt;
  DWORD type = 0, size = 0;
  const LONG rc = RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size);
  if (rc == ERROR_FILE_NOT_FOUND) return std::nullopt;
  if (rc != ERROR_SUCCESS || (type != REG_MULTI_SZ && type != REG_SZ) || size > kLargestList)
    return std::vector<std::string>{};
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
  DWORD read = size;
  if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &read) != ERROR_SUCCESS ||
      (type != REG_MULTI_SZ && type != REG_SZ) || read > size)
    return std::vector<std::string>{};
  return stringsOfValue(data);
}

bool machineAllowsPrompting() {
  RegistryKey key;
  if (!openSettings(SettingsScope::Machine, key)) return true;
  DWORD type = 0, value = 1, size = sizeof value;
  LONG rc = RegQueryValueExW(key.get(), kPromptForUnknownOrigins, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  if (rc == ERROR_FILE_NOT_FOUND) return true;
  return rc == ERROR_SUCCESS && type == REG_DWORD && value != 0;
}

std::vector<std::string> userApprovedOrigins() {
  return policyWords(readSettingStrings(SettingsScope::User, kAllowedOrigins).value_or(std::vector<std::string>{}));
}

bool addUserApproval(const std::string& origin) {
  std::vector<std::string> origins = userApprovedOrigins();
  if (std::find(origins.begin(), origins.end(), origin) != origins.end()) return true;
  origins.push_back(origin);
  return writeUserList(origins);
}

bool removeUserApproval(const std::string& origin) {
  std::vector<std::string> origins = userApprovedOrigins();
  auto kept = std::remove(origins.begin(), origins.end(), origin);
  if (kept == origins.end()) return false;
  origins.erase(kept, origins.end());
  return writeUserList(origins);
}

}  // namespace pagewell
