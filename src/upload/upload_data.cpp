#include "upload/upload_data.h"

#include <algorithm>

namespace pagewell {

bool TMemoryUploadData::ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) {
  if (offset > file_.Size() || count > file_.Size() - offset) return false;
  std::copy_n(file_.Data() + offset, count, into);
  return true;
}

}  // namespace pagewell
