#pragma once
// The type library embedded in this DLL (resource 1 TYPELIB).
#include <oaidl.h>

#include "com/com_ptr.h"

namespace pagewell {

ComPtr<ITypeLib> loadTypeLibrary();
ComPtr<ITypeInfo> typeInfoOf(REFGUID guid);

}  // namespace pagewell
