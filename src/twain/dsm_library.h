#pragma once
// Finding and loading the TWAIN data source manager: "twaindsm.dll" in the
// system folder (the 32-bit one under WOW64) or the older "twain_32.dll" in
// the Windows folder. The library stays loaded while this object lives.
#include <string>

#include "twain/twain_types.h"

namespace pagewell {

// The path of the manager to load, empty when neither file exists. With
// `preferNewDsm` "twaindsm.dll" wins whenever it exists, otherwise
// "twain_32.dll" wins whenever it exists.
std::string FindDsmPath(bool preferNewDsm);
// The same search in the given folders.
std::string FindDsmPath(bool preferNewDsm, const std::string& systemFolder, const std::string& windowsFolder);

class TDsmLibrary {
 public:
  TDsmLibrary() = default;
  // Loads the library at `path` and takes export ordinal 1 as DSM_Entry;
  // on any failure the object stays empty.
  explicit TDsmLibrary(const std::string& path);
  ~TDsmLibrary();
  TDsmLibrary(const TDsmLibrary&) = delete;
  TDsmLibrary& operator=(const TDsmLibrary&) = delete;
  TDsmLibrary(TDsmLibrary&& other) noexcept;
  TDsmLibrary& operator=(TDsmLibrary&& other) noexcept;

  bool Loaded() const { return entry_ != nullptr; }
  twain::DSMENTRYPROC Entry() const { return entry_; }
  const std::string& Path() const { return path_; }

 private:
  void Release();

  HMODULE module_ = nullptr;
  twain::DSMENTRYPROC entry_ = nullptr;
  std::string path_;
};

}  // namespace pagewell
