#pragma once
// TImageList: the pages of a PDF document in output order. It owns its
// pages; items are addressed from 1.
#include <cstddef>
#include <vector>

#include "formats/pdf/pdf_image.h"

namespace pagewell {

class TImageList {
 public:
  // Position 1, or any position while the list is empty, puts the page
  // first; 0 (or a negative position) appends it; p >= 2 inserts it after
  // the (p - 1)-th page, or at the end when the list is shorter.
  void Add(TPDFImage page, int position);
  // The page at a 1-based index, nullptr outside the list.
  const TPDFImage* Item(int index) const;
  int Count() const { return static_cast<int>(pages_.size()); }
  void Clear() { pages_.clear(); }

 private:
  std::vector<TPDFImage> pages_;
};

}  // namespace pagewell
