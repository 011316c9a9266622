#pragma once
// An input file mapped read-only into memory instead of read into a buffer:
// the pages come straight from the system's file cache, with no buffer to
// clear and no copy, and the parts already decoded can be let go again, so
// a long multi-page file never occupies its whole size in the process.
#include <cstddef>
#include <cstdint>
#include <string>

namespace pagewell::convert {

class TMappedFile {
 public:
  // Raises std::runtime_error with a clear message when the file cannot be
  // opened or mapped. An empty file maps to no bytes.
  explicit TMappedFile(const std::string& path);
  ~TMappedFile();
  TMappedFile(const TMappedFile&) = delete;
  TMappedFile& operator=(const TMappedFile&) = delete;

  const std::uint8_t* Data() const { return data_; }
  std::size_t Size() const { return size_; }

  // Lets the system take back the memory of the pages read so far; they are
  // read again from the file cache if touched later. Where the system offers
  // no such hint this does nothing.
  void ReleaseResidentPages() const;

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  void* mapping_ = nullptr;  // the Windows file-mapping handle; unused elsewhere
};

}  // namespace pagewell::convert
