#include "com/type_library.h"

#include "com/com_error.h"
#include "com/module.h"

namespace pagewell {

// Always our own copy, not whatever the registry points at: the vtable the
// dispatcher calls must be the one compiled into this DLL.
ComPtr<ITypeLib> loadTypeLibrary() {
  ComPtr<ITypeLib> library;
  HRESULT hr = LoadTypeLibEx(modulePath().c_str(), REGKIND_NONE, library.put());
  if (FAILED(hr)) throw ComError(hr, "The type library could not be loaded");
  return library;
}

ComPtr<ITypeInfo> typeInfoOf(REFGUID guid) {
  ComPtr<ITypeInfo> info;
  HRESULT hr = loadTypeLibrary()->GetTypeInfoOfGuid(guid, info.put());
  if (FAILED(hr)) throw ComError(hr, "The type library lacks a type");
  return info;
}

}  // namespace pagewell
