// Finding the source manager in the Windows and system folders of the prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <string>

#include "twain/dsm_library.h"

namespace pagewell::testing {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

TEST(DsmLibrary, TheOlderManagerServesWhenTheNewOneIsAbsent) {
  char system[MAX_PATH];
  GetSystemDirectoryA(system, sizeof system);
  const std::string newDsm = std::string(system) + "\\twaindsm.dll";
  ASSERT_EQ(GetFileAttributesA(newDsm.c_str()), INVALID_FILE_ATTRIBUTES) << "the prefix has its own twaindsm.dll";
  EXPECT_EQ(Lower(FindDsmPath(true)), "c:\\windows\\twain_32.dll");
  EXPECT_EQ(Lower(FindDsmPath(false)), "c:\\windows\\twain_32.dll");

  TDsmLibrary library(FindDsmPath(true));
  EXPECT_TRUE(library.Loaded());
}

TEST(DsmLibrary, PreferNewDsmChoosesBetweenBothManagers) {
  char system[MAX_PATH];
  GetSystemDirectoryA(system, sizeof system);
  const std::string newDsm = std::string(system) + "\\twaindsm.dll";
  // An empty file is enough for the search; loading it would fail.
  HANDLE file = CreateFileA(newDsm.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_EQ(Lower(FindDsmPath(true)), Lower(newDsm));
  EXPECT_EQ(Lower(FindDsmPath(false)), "c:\\windows\\twain_32.dll");
  TDsmLibrary broken(FindDsmPath(true));
  EXPECT_FALSE(broken.Loaded());
  DeleteFileA(newDsm.c_str());
}

TEST(DsmLibrary, NoPathLoadsNothing) {
  TDsmLibrary none(std::string{});
  EXPECT_FALSE(none.Loaded());
  EXPECT_EQ(none.Entry(), nullptr);
}

}  // namespace
}  // namespace pagewell::testing
