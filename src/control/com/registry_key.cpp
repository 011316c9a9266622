#include "com/registry_key.h"

#include "com/com_error.h"

namespace pagewell {

RegistryKey RegistryKey::create(HKEY root, const std::wstring& path) {
  RegistryKey key;
  LONG rc = RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                            nullptr, &key.key_, nullptr);
  if (rc != ERROR_SUCCESS) throw ComError(HRESULT_FROM_WIN32(rc), "A registry key could not be created");
  return key;
}

void RegistryKey::setString(const wchar_t* name, const std::wstring& value) const {
  LONG rc = RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  if (rc != ERROR_SUCCESS) throw ComError(HRESULT_FROM_WIN32(rc), "A registry value could not be written");
}

}  // namespace pagewell
