#include "formats/pdf/image_list.h"

#include <algorithm>

namespace pagewell {

void TImageList::Add(TPDFImage page, int position) {
  std::size_t at = pages_.size();
  if (position == 1 || pages_.empty()) {
    at = 0;
  } else if (position >= 2) {
    at = std::min(pages_.size(), static_cast<std::size_t>(position - 1));
  }
  pages_.insert(pages_.begin() + static_cast<std::ptrdiff_t>(at), std::move(page));
}

const TPDFImage* TImageList::Item(int index) const {
  if (index < 1 || index > Count()) return nullptr;
  return &pages_[static_cast<std::size_t>(index - 1)];
}

}  // namespace pagewell
