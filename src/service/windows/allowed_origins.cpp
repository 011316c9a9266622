#include "allowed_origins.h"

#include <windows.h>

#include <sstream>

#include "consent_window.h"
#include "core/origin_match.h"
#include "wide_text.h"

namespace pagewell::service {
namespace {

const wchar_t kKey[] = L"SOFTWARE\\Pagewell";
const wchar_t kValue[] = L"AllowedOrigins";
// The entries one list may hold; more is not a list anyone wrote by hand.
const DWORD kMaxListBytes = 64 * 1024;

// The strings of a REG_MULTI_SZ value; none if it is missing or not one.
std::vector<std::string> readList(HKEY root, REGSAM view) {
  HKEY key = nullptr;
  std::vector<std::string> entries;
  if (RegOpenKeyExW(root, kKey, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) return entries;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, kValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_MULTI_SZ &&
      size <= kMaxListBytes) {
    std::wstring text(size / sizeof(wchar_t) + 2, L'\0');
    if (RegQueryValueExW(key, kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size) == ERROR_SUCCESS) {
      // The installer writes the origins it is given as one string,
      // separated by spaces; each string may hold several.
      for (const wchar_t* entry = text.c_str(); *entry; entry += wcslen(entry) + 1) {
        std::istringstream words(narrow(entry));
        for (std::string origin; words >> origin;) entries.push_back(origin);
      }
    }
  }
  RegCloseKey(key);
  return entries;
}

void addToUserList(const std::string& origin) {
  std::vector<std::string> entries = readList(HKEY_CURRENT_USER, 0);
  entries.push_back(origin);
  std::wstring text;
  for (const std::string& entry : entries) text += widen(entry) + L'\0';
  text += L'\0';
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExW(key, kValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(text.data()),
                 static_cast<DWORD>(text.size() * sizeof(wchar_t)));
  RegCloseKey(key);
}

bool listAdmits(const std::vector<std::string>& entries, const std::string& origin) {
  for (const std::string& entry : entries)
    if (originMatches(origin, entry)) return true;
  return false;
}

}  // namespace

bool AllowedOrigins::admits(const std::string& origin) {
  // The machine's 64-bit view, so that both builds read the same policy.
  if (listAdmits(commandLine_, origin) || listAdmits(readList(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY), origin) ||
      listAdmits(readList(HKEY_CURRENT_USER, 0), origin))
    return true;
  // Only an origin the user could recognise is put to them.
  if (!prompt_ || !originMatches(origin, origin)) return false;
  std::lock_guard<std::mutex> lock(askLock_);
  if (denied_.count(origin)) return false;
  switch (askUserAbout(origin)) {
    case Consent::AlwaysAllow: addToUserList(origin); return true;
    case Consent::AllowOnce: return true;
    default: denied_.insert(origin); return false;
  }
}

}  // namespace pagewell::service
