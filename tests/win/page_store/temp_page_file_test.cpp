// The page store's temporary file as Windows sees it: where it is, who may
// open it, that it goes away with its handle, and the sweep of files that
// earlier processes left behind.
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>

#include <string>
#include <vector>

#include "page_store/windows/temp_page_file.h"

namespace pagewell {
namespace {

// A folder of the test's own under the temporary folder, removed with
// whatever is left in it.
class TempFolder {
 public:
  TempFolder() {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    path_ = std::wstring(temp) + L"pagewell-test-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    for (const std::wstring& name : Files()) DeleteFileW((path_ + name).c_str());
    RemoveDirectoryW(path_.c_str());
  }
  const std::wstring& Path() const { return path_; }
  std::vector<std::wstring> Files() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path_ + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
  }

 private:
  std::wstring path_;
};

std::vector<BYTE> CurrentUserSid() {
  HANDLE token = nullptr;
  OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
  BYTE buffer[256];
  DWORD size = sizeof buffer;
  GetTokenInformation(token, TokenUser, buffer, size, &size);
  CloseHandle(token);
  PSID sid = reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid;
  const BYTE* bytes = static_cast<const BYTE*>(sid);
  return std::vector<BYTE>(bytes, bytes + GetLengthSid(sid));
}

TEST(TempPageFileTest, OnlyTheUserCanOpenItAndItGoesWithItsHandle) {
  TempFolder folder;
  std::unique_ptr<IPageFile> file = OpenTempPageFile(folder.Path());
  ASSERT_TRUE(file);
  const std::vector<std::wstring> names = folder.Files();
  ASSERT_EQ(names.size(), 1u);
  const std::wstring name = names[0];
  const std::wstring prefix = kPageFilePrefix + std::to_wstring(GetCurrentProcessId()) + L"-";
  EXPECT_EQ(name.rfind(prefix, 0), 0u);
  EXPECT_EQ(name.substr(name.size() - 6), kPageFileExtension);

  // Nobody but the user may open it: every entry that allows access names
  // the user or the system itself. (Windows keeps the one entry the file is
  // made with; Wine answers from the Unix file's owner-only mode and adds
  // the system.)
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_EQ(GetNamedSecurityInfoW((folder.Path() + name).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                  nullptr, nullptr, &dacl, nullptr, &descriptor),
            static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_TRUE(dacl);
  const std::vector<BYTE> user = CurrentUserSid();
  BYTE system[SECURITY_MAX_SID_SIZE];
  DWORD systemSize = sizeof system;
  ASSERT_TRUE(CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &systemSize));
  int userEntries = 0;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, i, &ace));
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    const bool isUser = EqualSid(&allowed->SidStart, const_cast<BYTE*>(user.data()));
    EXPECT_TRUE(isUser || EqualSid(&allowed->SidStart, system)) << "entry " << i << " lets someone else in";
    userEntries += isUser;
  }
  EXPECT_EQ(userEntries, 1);
  LocalFree(descriptor);

  // Nobody else opens it while it is in use.
  HANDLE other = CreateFileW((folder.Path() + name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE |
                             FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(other, INVALID_HANDLE_VALUE);
  if (other != INVALID_HANDLE_VALUE) CloseHandle(other);

  file.reset();
  EXPECT_TRUE(folder.Files().empty());
}

TEST(TempPageFileTest, ReadsBackWhatWasWrittenAtAnyOffsetAndNothingPastTheEnd) {
  TempFolder folder;
  std::unique_ptr<IPageFile> file = OpenTempPageFile(folder.Path());
  ASSERT_TRUE(file);
  std::vector<std::uint8_t> first(70000), second(333);
  for (std::size_t i = 0; i < first.size(); ++i) first[i] = static_cast<std::uint8_t>(i * 7);
  for (std::size_t i = 0; i < second.size(); ++i) second[i] = static_cast<std::uint8_t>(i ^ 0x5A);
  ASSERT_EQ(file->Write(0, first.data(), first.size()), TPageStoreError::None);
  ASSERT_EQ(file->Write(100000, second.data(), second.size()), TPageStoreError::None);
  ASSERT_EQ(file->Write(10, second.data(), 5), TPageStoreError::None);

  std::vector<std::uint8_t> read(second.size());
  ASSERT_EQ(file->Read(100000, read.data(), read.size()), TPageStoreError::None);
  EXPECT_EQ(read, second);
  read.assign(20, 0);
  ASSERT_EQ(file->Read(5, read.data(), read.size()), TPageStoreError::None);
  std::vector<std::uint8_t> expected(first.begin() + 5, first.begin() + 25);
  std::copy(second.begin(), second.begin() + 5, expected.begin() + 5);
  EXPECT_EQ(read, expected);
  EXPECT_EQ(file->Read(100000 + 330, read.data(), read.size()), TPageStoreError::ReadFailed);
}

TEST(TempPageFileTest, TheSweepRemovesLeftoversButNotFilesInUse) {
  TempFolder folder;
  std::unique_ptr<IPageFile> inUse = OpenTempPageFile(folder.Path());
  ASSERT_TRUE(inUse);
  // What a process that ended without Windows deleting its file leaves, and
  // files that only look alike.
  for (const wchar_t* name : {L"Pagewell-4242-1.pages", L"Pagewell-4242-2.pages", L"Pagewell-notes.txt",
                              L"Other-1-1.pages"}) {
    HANDLE file = CreateFileW((folder.Path() + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
  }
  EXPECT_EQ(RemoveLeftoverPageFiles(folder.Path()), 2);
  std::vector<std::wstring> left = folder.Files();
  EXPECT_EQ(left.size(), 3u);  // the file in use and the two look-alikes
  const std::uint8_t byte = 1;
  EXPECT_EQ(inUse->Write(0, &byte, 1), TPageStoreError::None);
}

}  // namespace
}  // namespace pagewell
