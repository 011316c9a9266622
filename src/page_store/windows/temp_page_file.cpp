#include "page_store/windows/temp_page_file.h"

#include <windows.h>
#include <aclapi.h>

#include <atomic>
#include <vector>

namespace pagewell {
namespace {

std::wstring userTempFolder() {
  wchar_t path[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, path);
  if (length == 0 || length > MAX_PATH) return {};
  return std::wstring(path, length);
}

std::wstring folderOrTemp(const std::wstring& folder) { return folder.empty() ? userTempFolder() : folder; }

// The token user's SID, in a buffer that holds it.
std::vector<BYTE> currentUserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  const bool read = size != 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
  CloseHandle(token);
  if (!read) return {};
  const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
  std::vector<BYTE> sid(GetLengthSid(user->User.Sid));
  if (!CopySid(static_cast<DWORD>(sid.size()), sid.data(), user->User.Sid)) return {};
  return sid;
}

// A security descriptor whose protected DACL lets the user alone at the
// file: the pages are the user's documents, and the temporary folder's
// inherited rights may let others read.
class UserOnlySecurity {
 public:
  UserOnlySecurity() {
    sid_ = currentUserSid();
    if (sid_.empty()) return;
    EXPLICIT_ACCESSW access{};
    access.grfAccessPermissions = GENERIC_ALL;
    access.grfAccessMode = SET_ACCESS;
    access.grfInheritance = NO_INHERITANCE;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_USER;
    access.Trustee.ptstrName = reinterpret_cast<LPWSTR>(sid_.data());
    if (SetEntriesInAclW(1, &access, nullptr, &acl_) != ERROR_SUCCESS) return;
    if (!InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION)) return;
    if (!SetSecurityDescriptorDacl(&descriptor_, TRUE, acl_, FALSE)) return;
    if (!SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED)) return;
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = &descriptor_;
    attributes_.bInheritHandle = FALSE;
    ready_ = true;
  }
  ~UserOnlySecurity() {
    if (acl_) LocalFree(acl_);
  }
  UserOnlySecurity(const UserOnlySecurity&) = delete;
  UserOnlySecurity& operator=(const UserOnlySecurity&) = delete;

  // Null when the descriptor could not be made: no file is made then.
  SECURITY_ATTRIBUTES* attributes() { return ready_ ? &attributes_ : nullptr; }

 private:
  std::vector<BYTE> sid_;
  PACL acl_ = nullptr;
  SECURITY_DESCRIPTOR descriptor_{};
  SECURITY_ATTRIBUTES attributes_{};
  bool ready_ = false;
};

TPageStoreError writeError(DWORD error) {
  return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? TPageStoreError::DiskFull
                                                                      : TPageStoreError::WriteFailed;
}

OVERLAPPED at(std::uint64_t offset) {
  OVERLAPPED overlapped{};
  overlapped.Offset = static_cast<DWORD>(offset);
  overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return overlapped;
}

// Reads and writes go to explicit offsets, in pieces a DWORD can count.
class TempPageFile final : public IPageFile {
 public:
  explicit TempPageFile(HANDLE file) : file_(file) {}
  ~TempPageFile() override { CloseHandle(file_); }
  TempPageFile(const TempPageFile&) = delete;
  TempPageFile& operator=(const TempPageFile&) = delete;

  TPageStoreError Write(std::uint64_t offset, const std::uint8_t* bytes, std::size_t count) override {
    while (count > 0) {
      const DWORD piece = static_cast<DWORD>(count < kMaxPiece ? count : kMaxPiece);
      OVERLAPPED overlapped = at(offset);
      DWORD written = 0;
      if (!WriteFile(file_, bytes, piece, &written, &overlapped)) return writeError(GetLastError());
      if (written != piece) return TPageStoreError::DiskFull;
      offset += piece, bytes += piece, count -= piece;
    }
    return TPageStoreError::None;
  }

  void Truncate(std::uint64_t size) override {
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    if (SetFilePointerEx(file_, end, nullptr, FILE_BEGIN)) SetEndOfFile(file_);
  }

  TPageStoreError Read(std::uint64_t offset, std::uint8_t* bytes, std::size_t count) override {
    while (count > 0) {
      const DWORD piece = static_cast<DWORD>(count < kMaxPiece ? count : kMaxPiece);
      OVERLAPPED overlapped = at(offset);
      DWORD read = 0;
      if (!ReadFile(file_, bytes, piece, &read, &overlapped) || read != piece) return TPageStoreError::ReadFailed;
      offset += piece, bytes += piece, count -= piece;
    }
    return TPageStoreError::None;
  }

 private:
  static constexpr std::size_t kMaxPiece = 1u << 30;
  HANDLE file_;
};

std::wstring newPageFileName() {
  static std::atomic<unsigned> counter{0};
  return std::wstring(kPageFilePrefix) + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(++counter) + kPageFileExtension;
}

}  // namespace

std::unique_ptr<IPageFile> OpenTempPageFile(const std::wstring& folder) {
  const std::wstring where = folderOrTemp(folder);
  if (where.empty()) return nullptr;
  UserOnlySecurity security;
  if (!security.attributes()) return nullptr;
  // No sharing: no other process may read the pages or delete the file
  // under us, which also tells the leftover sweep that it is in use.
  const HANDLE file = CreateFileW((where + newPageFileName()).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                  security.attributes(), CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<TempPageFile>(file);
}

int RemoveLeftoverPageFiles(const std::wstring& folder) {
  const std::wstring where = folderOrTemp(folder);
  if (where.empty()) return 0;
  WIN32_FIND_DATAW found;
  const std::wstring pattern = where + kPageFilePrefix + L"*" + kPageFileExtension;
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int removed = 0;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (DeleteFileW((where + found.cFileName).c_str())) ++removed;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return removed;
}

}  // namespace pagewell
