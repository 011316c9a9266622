#pragma once
// TTIFList: the pages of a multi-page TIFF file, in order. It owns its pages.
#include <cstddef>
#include <memory>
#include <vector>

#include "formats/memory_stream.h"
#include "formats/tiff/tif_image.h"

namespace pagewell {

class TTIFList {
 public:
  // Position 1 (or an empty list) puts the page first, 0 appends, p >= 2
  // inserts after page p - 1 or at the end.
  void Add(std::unique_ptr<TTIFImage> page, int position = 0);
  // Page by 1-based index; nullptr past the end.
  TTIFImage* Item(int index) const;
  int Count() const { return static_cast<int>(pages_.size()); }
  void Clear() { pages_.clear(); }

  // The header, then each page's directory and data in list order, every
  // directory linked from the previous page's next-IFD field. Written at
  // the stream's position.
  void SaveToStream(TMemoryStream& stream) const;
  std::vector<std::uint8_t> SaveToBytes() const;

 private:
  std::size_t EncodedSize() const;

  std::vector<std::unique_ptr<TTIFImage>> pages_;
};

}  // namespace pagewell
