#pragma once
// The memory functions through which the session and the manager exchange
// handles: the manager's own (TW_ENTRYPOINT) when it offers them, otherwise
// the Windows global memory functions. Also the RAII wrappers that keep every
// handle that the session receives or allocates locked and freed exactly once.
#include <cstddef>

#include "twain/twain_types.h"

namespace pagewell {

struct TTwainMemory {
  twain::DSM_MEMALLOCATE Allocate = nullptr;
  twain::DSM_MEMFREE Free = nullptr;
  twain::DSM_MEMLOCK Lock = nullptr;
  twain::DSM_MEMUNLOCK Unlock = nullptr;
  // Whether the handles are plain global memory, whose size can be asked.
  bool IsGlobal = false;

  // GlobalAlloc (zero-initialised fixed blocks), GlobalFree, GlobalLock, GlobalUnlock.
  static TTwainMemory Global();
  static TTwainMemory FromEntryPoint(const twain::TW_ENTRYPOINT& entry);

  // The block's size in bytes when it can be known, else 0.
  std::size_t KnownSize(twain::TW_HANDLE handle) const;
};

// Owns one handle and frees it when it goes.
class TOwnedHandle {
 public:
  TOwnedHandle(const TTwainMemory& memory, twain::TW_HANDLE handle) : memory_(memory), handle_(handle) {}
  ~TOwnedHandle() { Reset(); }
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;

  twain::TW_HANDLE Get() const { return handle_; }
  void Reset() {
    if (handle_) memory_.Free(handle_);
    handle_ = nullptr;
  }

 private:
  TTwainMemory memory_;
  twain::TW_HANDLE handle_;
};

// Keeps a handle locked for its lifetime; Data() is null when the lock failed.
class THandleLock {
 public:
  THandleLock(const TTwainMemory& memory, twain::TW_HANDLE handle)
      : memory_(memory), handle_(handle), data_(handle ? memory.Lock(handle) : nullptr) {}
  ~THandleLock() {
    if (data_) memory_.Unlock(handle_);
  }
  THandleLock(const THandleLock&) = delete;
  THandleLock& operator=(const THandleLock&) = delete;

  void* Data() const { return data_; }

 private:
  TTwainMemory memory_;
  twain::TW_HANDLE handle_;
  void* data_;
};

}  // namespace pagewell
