#pragma once
// The DLL's own state: its instance handle and the two counts that decide
// whether COM may unload it (live objects and class-factory locks).
#include <windows.h>

#include <string>

namespace pagewell {

HINSTANCE moduleInstance();
std::wstring modulePath();

void objectCreated();
void objectDestroyed();
void lockModule();
void unlockModule();
bool moduleInUse();

}  // namespace pagewell
