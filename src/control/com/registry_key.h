#pragma once
// Owning registry key handle.
#include <windows.h>

#include <string>
#include <utility>

namespace pagewell {

class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  RegistryKey(RegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  ~RegistryKey() { if (key_) RegCloseKey(key_); }

  // Creates (or opens) root\path for writing.
  static RegistryKey create(HKEY root, const std::wstring& path);

  void setString(const wchar_t* name, const std::wstring& value) const;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace pagewell
