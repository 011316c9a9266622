#include "twain/twain_memory.h"

namespace pagewell {
namespace {

twain::TW_HANDLE WINAPI GlobalAllocate(twain::TW_UINT32 size) { return GlobalAlloc(GPTR, size); }
void WINAPI GlobalRelease(twain::TW_HANDLE handle) { GlobalFree(handle); }
twain::TW_MEMREF WINAPI GlobalLockHandle(twain::TW_HANDLE handle) { return GlobalLock(handle); }
void WINAPI GlobalUnlockHandle(twain::TW_HANDLE handle) { GlobalUnlock(handle); }

}  // namespace

TTwainMemory TTwainMemory::Global() {
  return TTwainMemory{GlobalAllocate, GlobalRelease, GlobalLockHandle, GlobalUnlockHandle, true};
}

TTwainMemory TTwainMemory::FromEntryPoint(const twain::TW_ENTRYPOINT& entry) {
  return TTwainMemory{entry.DSM_MemAllocate, entry.DSM_MemFree, entry.DSM_MemLock, entry.DSM_MemUnlock, false};
}

std::size_t TTwainMemory::KnownSize(twain::TW_HANDLE handle) const {
  return IsGlobal && handle ? GlobalSize(handle) : 0;
}

}  // namespace pagewell
