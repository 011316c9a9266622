// Finding the source manager: "twaindsm.dll" in the system folder or
// "twain_32.dll" in the Windows folder, as PreferNewDSM decides.
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

// Two scratch folders standing in for the system and Windows folders.
class DsmSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    root = std::string(temp) + "pagewell-dsm-search";
    system = root + "\\system32";
    windows = root + "\\windows";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA(system.c_str(), nullptr);
    CreateDirectoryA(windows.c_str(), nullptr);
  }
  void TearDown() override {
    DeleteFileA((system + "\\twaindsm.dll").c_str());
    DeleteFileA((windows + "\\twain_32.dll").c_str());
    RemoveDirectoryA(system.c_str());
    RemoveDirectoryA(windows.c_str());
    RemoveDirectoryA(root.c_str());
  }
  static void Touch(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
  }

  std::string root, system, windows;
};

TEST_F(DsmSearchTest, ChoosesByPresenceAndPreference) {
  EXPECT_EQ(FindDsmPath(true, system, windows), "");
  EXPECT_EQ(FindDsmPath(false, system, windows), "");

  Touch(windows + "\\twain_32.dll");
  EXPECT_EQ(FindDsmPath(true, system, windows), windows + "\\twain_32.dll");

  Touch(system + "\\twaindsm.dll");
  EXPECT_EQ(FindDsmPath(true, system, windows), system + "\\twaindsm.dll");
  EXPECT_EQ(FindDsmPath(false, system, windows), windows + "\\twain_32.dll");

  DeleteFileA((windows + "\\twain_32.dll").c_str());
  EXPECT_EQ(FindDsmPath(false, system, windows), system + "\\twaindsm.dll");
  // A file that is no library loads nothing.
  EXPECT_FALSE(TDsmLibrary(FindDsmPath(true, system, windows)).Loaded());
}

TEST(DsmLibrary, WinesManagerIsFoundAndLoaded) {
  EXPECT_EQ(Lower(FindDsmPath(false)), "c:\\windows\\twain_32.dll");
  TDsmLibrary library(FindDsmPath(true));
  EXPECT_TRUE(library.Loaded());
  EXPECT_FALSE(TDsmLibrary(std::string{}).Loaded());
}

}  // namespace
}  // namespace pagewell::testing
