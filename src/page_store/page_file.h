#pragma once
// IPageFile: the seam between the page store and where the records beyond
// its memory budget live. The control gives the store a temporary file
// (readable by the user alone, deleted on close); the tests give it one in
// memory that fails when told to.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "page_store/page_store_error.h"

namespace pagewell {

class IPageFile {
 public:
  virtual ~IPageFile() = default;
  // Writes `count` bytes at `offset`, extending the file when the range ends
  // past its end. None, or WriteFailed / DiskFull.
  virtual TPageStoreError Write(std::uint64_t offset, const std::uint8_t* bytes, std::size_t count) = 0;
  // Reads exactly `count` bytes at `offset`. None, or ReadFailed (also for a
  // range past the end of the file).
  virtual TPageStoreError Read(std::uint64_t offset, std::uint8_t* bytes, std::size_t count) = 0;
  // Cuts the file to `size` bytes, giving the rest back to the disk. The
  // store asks only for space it no longer uses; a file that cannot be cut
  // stays as long as it was, which costs disk space and nothing else.
  virtual void Truncate(std::uint64_t size) = 0;
};

// Opens (creates) the file; called when the first record does not fit the
// memory budget, and again after Clear. A null result means the file cannot
// be created: the store reports WriteFailed and asks again next time.
using TPageFileOpener = std::function<std::unique_ptr<IPageFile>()>;

}  // namespace pagewell
