#include "upload/windows/registry_content_type.h"

#include <windows.h>

#include <vector>

namespace pagewell {

std::string RegistryContentType(const std::string& dottedExtension) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, dottedExtension.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return {};
  std::string type;
  DWORD valueType = 0, size = 0;
  if (RegQueryValueExA(key, "Content Type", nullptr, &valueType, nullptr, &size) == ERROR_SUCCESS &&
      (valueType == REG_SZ || valueType == REG_EXPAND_SZ) && size > 0) {
    std::vector<char> value(size + 1, '\0');  // the stored text need not end in a zero
    if (RegQueryValueExA(key, "Content Type", nullptr, &valueType, reinterpret_cast<BYTE*>(value.data()), &size) ==
        ERROR_SUCCESS)
      type = value.data();
  }
  RegCloseKey(key);
  return type;
}

}  // namespace pagewell
