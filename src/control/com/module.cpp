#include "com/module.h"

#include <atomic>

namespace pagewell {
namespace {

HINSTANCE g_instance = nullptr;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

}  // namespace

HINSTANCE moduleInstance() { return g_instance; }

std::wstring modulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(g_instance, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void objectCreated() { ++g_objects; }
void objectDestroyed() { --g_objects; }
void lockModule() { ++g_locks; }
void unlockModule() { --g_locks; }
bool moduleInUse() { return g_objects > 0 || g_locks > 0; }

}  // namespace pagewell

// Only remembers the instance: window classes and common controls are set up
// on first use, never under the loader lock.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    pagewell::g_instance = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
