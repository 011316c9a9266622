#include "page_store/page_file_stream.h"

#include "formats/atomic_file.h"
#include "page_store/page_store_error.h"

namespace pagewell {

void TPageFileSink::Write(const std::uint8_t* bytes, std::size_t count) {
  if (count == 0) return;
  const TPageStoreError error = file_.Write(size_, bytes, count);
  if (error != TPageStoreError::None) throw EFileWriteError(PageStoreErrorText(error));
  size_ += count;
}

bool TPageFileUploadData::ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) {
  if (offset > size_ || count > size_ - offset) return false;
  return count == 0 || file_.Read(offset, into, count) == TPageStoreError::None;
}

}  // namespace pagewell
