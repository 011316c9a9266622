#include "machine_policy.h"

#include <windows.h>

#include "allowed_origins.h"
#include "text/wide_text.h"

namespace pagewell {
namespace {

const wchar_t kPolicyKey[] = L"SOFTWARE\\Pagewell";
// Far more than any list of origins; a larger value is not one we wrote.
constexpr DWORD kLargestValue = 64 * 1024;

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

// The strings of a REG_MULTI_SZ (or the one string of a REG_SZ), whether
// or not the data ends with the terminating zeros it should have.
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

}  // namespace

std::optional<std::vector<std::string>> ReadMachinePolicyStrings(const wchar_t* name) {
  RegistryKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPolicyKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put()) != ERROR_SUCCESS)
    return std::nullopt;
  DWORD type = 0, size = 0;
  const LONG rc = RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size);
  if (rc == ERROR_FILE_NOT_FOUND) return std::nullopt;
  if (rc != ERROR_SUCCESS || (type != REG_MULTI_SZ && type != REG_SZ) || size > kLargestValue)
    return std::vector<std::string>{};
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
  DWORD read = size;
  if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &read) != ERROR_SUCCESS ||
      (type != REG_MULTI_SZ && type != REG_SZ) || read > size)
    return std::vector<std::string>{};
  return stringsOfValue(data);
}

std::vector<std::string> ReadUploadTargetsPolicy() {
  return policyEntries(ReadMachinePolicyStrings(L"UploadTargets").value_or(std::vector<std::string>{}));
}

}  // namespace pagewell
