#include "formats/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace pagewell {
namespace fs = std::filesystem;

namespace {

std::string Reason(int error) {
  switch (error) {
    case ENOSPC: return "the disk is full";
    case EFBIG: return "the file is too large for the disk";
    case EACCES:
    case EPERM: return "access is denied";
    case EROFS: return "the disk is read-only";
    case 0: return "the data could not be stored";
    default: return std::strerror(error);
  }
}

[[noreturn]] void Fail(const std::string& what, int error) { throw EFileWriteError(what + ": " + Reason(error)); }

std::FILE* OpenForWriting(const fs::path& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"wb");
#else
  return std::fopen(path.c_str(), "wb");
#endif
}

// A name beside the target that no other file has: the target's name, a
// random number and ".tmp".
fs::path TemporaryBeside(const fs::path& target) {
  std::random_device random;
  for (;;) {
    fs::path candidate = target;
    candidate += fs::path(".~" + std::to_string(random() % 100000000u) + ".tmp");
    std::error_code ignored;
    if (!fs::exists(candidate, ignored)) return candidate;
  }
}

// The checks the replacement itself would fail on only on some platforms:
// a POSIX rename replaces a read-only file, Windows refuses.
void CheckTarget(const fs::path& target) {
  std::error_code error;
  const fs::file_status status = fs::status(target, error);
  if (status.type() == fs::file_type::not_found) return;
  if (status.type() == fs::file_type::directory) throw EFileWriteError("Cannot write the file: a folder has that name");
  if (status.type() != fs::file_type::regular) throw EFileWriteError("Cannot write the file: it is not a plain file");
  if ((status.permissions() & fs::perms::owner_write) == fs::perms::none)
    throw EFileWriteError("Cannot write the file: the file is read-only");
}

void WriteAll(const fs::path& path, const std::uint8_t* bytes, std::size_t count) {
  std::FILE* file = OpenForWriting(path);
  if (!file) Fail("Cannot create the file", errno);
  errno = 0;
  const bool written = (count == 0 || std::fwrite(bytes, 1, count, file) == count) && std::fflush(file) == 0;
  const int writeError = errno;
  const bool closed = std::fclose(file) == 0;
  const int closeError = errno;
  if (!written || !closed) {
    std::error_code ignored;
    fs::remove(path, ignored);
    Fail("Cannot write the file", !written ? writeError : closeError);
  }
}

}  // namespace

void WriteFileAtomically(const fs::path& target, const std::uint8_t* bytes, std::size_t count) {
  CheckTarget(target);
  const fs::path temporary = TemporaryBeside(target);
  WriteAll(temporary, bytes, count);
  std::error_code error;
  fs::rename(temporary, target, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    throw EFileWriteError("Cannot replace the file: " + Reason(error.value()));
  }
}

}  // namespace pagewell
