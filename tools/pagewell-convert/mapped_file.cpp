#include "mapped_file.h"

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pagewell::convert {
namespace {

[[noreturn]] void CannotOpen() { throw std::runtime_error("cannot open the file"); }
[[noreturn]] void CannotRead() { throw std::runtime_error("cannot read the file"); }

}  // namespace

#ifdef _WIN32

TMappedFile::TMappedFile(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) CannotOpen();
  LARGE_INTEGER size{};
  const bool sized = GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
                     static_cast<unsigned long long>(size.QuadPart) <= static_cast<std::size_t>(-1);
  if (!sized) {
    CloseHandle(file);
    CannotRead();
  }
  size_ = static_cast<std::size_t>(size.QuadPart);
  if (size_ == 0) {
    CloseHandle(file);
    return;
  }
  mapping_ = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  CloseHandle(file);  // the mapping keeps the file open
  if (!mapping_) CannotRead();
  data_ = static_cast<const std::uint8_t*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0));
  if (!data_) {
    CloseHandle(mapping_);
    CannotRead();
  }
}

TMappedFile::~TMappedFile() {
  if (data_) UnmapViewOfFile(data_);
  if (mapping_) CloseHandle(mapping_);
}

void TMappedFile::ReleaseResidentPages() const {}

#else

TMappedFile::TMappedFile(const std::string& path) {
  const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) CannotOpen();
  struct stat status {};
  if (fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(file);
    CannotRead();
  }
  size_ = static_cast<std::size_t>(status.st_size);
  if (size_ == 0) {
    close(file);
    return;
  }
  void* bytes = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, file, 0);
  close(file);  // the mapping keeps the file open
  if (bytes == MAP_FAILED) CannotRead();
  data_ = static_cast<const std::uint8_t*>(bytes);
}

TMappedFile::~TMappedFile() {
  if (data_) munmap(const_cast<std::uint8_t*>(data_), size_);
}

void TMappedFile::ReleaseResidentPages() const {
  if (data_) madvise(const_cast<std::uint8_t*>(data_), size_, MADV_DONTNEED);
}

#endif

}  // namespace pagewell::convert
