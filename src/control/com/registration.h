#pragma once
// Writes and removes the registry entries of the control: the class, its
// ProgIDs, the control's keys and categories, and the type library.
#include <windows.h>

namespace pagewell {

HRESULT registerServer();
HRESULT unregisterServer();

}  // namespace pagewell
