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

}  // namespace

TAtomicFileWriter::TAtomicFileWriter(const fs::path& target) : target_(target) {
  CheckTarget(target_);
  temporary_ = TemporaryBeside(target_);
  file_ = OpenForWriting(temporary_);
  if (!file_) Fail("Cannot create the file", errno);
}

TAtomicFileWriter::~TAtomicFileWriter() {
  if (!committed_) Discard();
}

void TAtomicFileWriter::Write(const std::uint8_t* bytes, std::size_t count) {
  if (!file_) throw EFileWriteError("Cannot write the file: it is already closed");
  if (count == 0) return;
  errno = 0;
  if (std::fwrite(bytes, 1, count, file_) != count) Abandon("Cannot write the file", errno);
}

void TAtomicFileWriter::Commit() {
  if (!file_) throw EFileWriteError("Cannot write the file: it is already closed");
  errno = 0;
  if (std::fflush(file_) != 0) Abandon("Cannot write the file", errno);
  const bool closed = std::fclose(file_) == 0;
  const int closeError = errno;
  file_ = nullptr;
  if (!closed) Abandon("Cannot write the file", closeError);
  std::error_code error;
  fs::rename(temporary_, target_, error);
  if (error) {
    Discard();
    throw EFileWriteError("Cannot replace the file: " + Reason(error.value()));
  }
  committed_ = true;
}

void TAtomicFileWriter::Abandon(const std::string& what, int error) {
  Discard();
  Fail(what, error);
}

void TAtomicFileWriter::Discard() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  std::error_code ignored;
  fs::remove(temporary_, ignored);
}

void WriteFileAtomically(const fs::path& target, const std::uint8_t* bytes, std::size_t count) {
  TAtomicFileWriter file(target);
  file.Write(bytes, count);
  file.Commit();
}

}  // namespace pagewell
