#include "twain/dsm_library.h"

#include <shlobj.h>

#include <utility>

namespace pagewell {
namespace {

// A 32-bit process on 64-bit Windows finds the 32-bit system DLLs in the
// SysWOW64 folder. IsWow64Process is looked up at run time because older
// systems lack it; without it the process is taken for a native one.
bool IsWow64() {
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  HMODULE kernel = GetModuleHandleA("kernel32");
  if (!kernel) return false;
  auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
  BOOL wow64 = FALSE;
  return isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::string FolderPath(int csidl) {
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path))) return {};
  return path;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string FindDsmPath(bool preferNewDsm) {
  return FindDsmPath(preferNewDsm, FolderPath(IsWow64() ? CSIDL_SYSTEMX86 : CSIDL_SYSTEM), FolderPath(CSIDL_WINDOWS));
}

std::string FindDsmPath(bool preferNewDsm, const std::string& systemFolder, const std::string& windowsFolder) {
  std::string candidate;
  if (!systemFolder.empty() && FileExists(systemFolder + "\\twaindsm.dll")) candidate = systemFolder + "\\twaindsm.dll";
  if (!candidate.empty() && preferNewDsm) return candidate;
  if (!windowsFolder.empty() && FileExists(windowsFolder + "\\twain_32.dll")) candidate = windowsFolder + "\\twain_32.dll";
  return candidate;
}

TDsmLibrary::TDsmLibrary(const std::string& path) : path_(path) {
  if (path.empty()) return;
  module_ = LoadLibraryA(path.c_str());
  if (!module_) return;
  entry_ = reinterpret_cast<twain::DSMENTRYPROC>(
      reinterpret_cast<void*>(GetProcAddress(module_, MAKEINTRESOURCEA(1))));
  if (!entry_) Release();
}

TDsmLibrary::~TDsmLibrary() { Release(); }

TDsmLibrary::TDsmLibrary(TDsmLibrary&& other) noexcept
    : module_(std::exchange(other.module_, nullptr)),
      entry_(std::exchange(other.entry_, nullptr)),
      path_(std::move(other.path_)) {}

TDsmLibrary& TDsmLibrary::operator=(TDsmLibrary&& other) noexcept {
  if (this != &other) {
    Release();
    module_ = std::exchange(other.module_, nullptr);
    entry_ = std::exchange(other.entry_, nullptr);
    path_ = std::move(other.path_);
  }
  return *this;
}

void TDsmLibrary::Release() {
  if (module_) FreeLibrary(module_);
  module_ = nullptr;
  entry_ = nullptr;
}

}  // namespace pagewell
