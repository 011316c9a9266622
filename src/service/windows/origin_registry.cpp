#include "origin_registry.h"

#include <windows.h>

#include <algorithm>

#include "origin/policy.h"
#include "wide_text.h"

namespace pagewell::service {
namespace {

const wchar_t kKey[] = L"SOFTWARE\\Pagewell";
const wchar_t kAllowedOrigins[] = L"AllowedOrigins";
const wchar_t kPromptForUnknownOrigins[] = L"PromptForUnknownOrigins";
// The entries one list may hold; more is not a list anyone wrote by hand.
const DWORD kMaxListBytes = 64 * 1024;

// The strings of a REG_MULTI_SZ value; none if it is missing or not one.
std::vector<std::string> readList(HKEY root, REGSAM view) {
  HKEY key = nullptr;
  std::vector<std::string> entries;
  if (RegOpenKeyExW(root, kKey, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) return entries;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, kAllowedOrigins, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_MULTI_SZ && size <= kMaxListBytes) {
    std::wstring text(size / sizeof(wchar_t) + 2, L'\0');
    if (RegQueryValueExW(key, kAllowedOrigins, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size) ==
        ERROR_SUCCESS) {
      for (const wchar_t* entry = text.c_str(); *entry; entry += wcslen(entry) + 1) entries.push_back(narrow(entry));
    }
  }
  RegCloseKey(key);
  return entries;
}

void writeUserList(const std::vector<std::string>& entries) {
  std::wstring text;
  for (const std::string& entry : entries) text += widen(entry) + L'\0';
  text += L'\0';
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExW(key, kAllowedOrigins, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(text.data()),
                 static_cast<DWORD>(text.size() * sizeof(wchar_t)));
  RegCloseKey(key);
}

}  // namespace

std::vector<std::string> machineAllowedOrigins() { return readList(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY); }

bool machineAllowsPrompting() {
  DWORD value = 1, size = sizeof value, type = 0;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return true;
  LONG rc = RegQueryValueExW(key, kPromptForUnknownOrigins, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (rc == ERROR_FILE_NOT_FOUND) return true;
  // A value that is there but not a DWORD is read as the stricter choice.
  return rc == ERROR_SUCCESS && type == REG_DWORD && value != 0;
}

std::vector<std::string> userAllowedOrigins() { return readList(HKEY_CURRENT_USER, 0); }

std::vector<std::string> userApprovedOrigins() { return policyWords(userAllowedOrigins()); }

void addUserApproval(const std::string& origin) {
  std::vector<std::string> entries = userApprovedOrigins();
  if (std::find(entries.begin(), entries.end(), origin) != entries.end()) return;
  entries.push_back(origin);
  writeUserList(entries);
}

bool removeUserApproval(const std::string& origin) {
  std::vector<std::string> entries = userApprovedOrigins();
  auto kept = std::remove(entries.begin(), entries.end(), origin);
  if (kept == entries.end()) return false;
  entries.erase(kept, entries.end());
  writeUserList(entries);
  return true;
}

}  // namespace pagewell::service
