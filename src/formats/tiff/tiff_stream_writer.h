#pragma once
// TTiffStreamWriter: a multi-page TIFF file written front to back, page by
// page, into a byte sink: the header, then each page's directory and data.
// The number of pages is known from the start, so every page's next-IFD
// field is settled before the page goes out: it holds the position right
// after the page's own block, where the next page's directory starts, and
// 0 on the last page. Only the position of the next block is kept between
// pages.
#include <cstdint>

#include "formats/byte_sink.h"
#include "formats/tiff/tif_image.h"

namespace pagewell {

class TTiffStreamWriter {
 public:
  // Writes the header.
  TTiffStreamWriter(TByteSink& sink, int pageCount);

  // Writes the next page; raises EStreamError past the announced count or
  // past the 4 GB a TIFF file can address.
  void Add(const TTIFImage& page);

 private:
  TByteSink& sink_;
  int pageCount_;
  int written_ = 0;
  std::uint64_t position_ = 0;  // where the next page's directory starts
};

}  // namespace pagewell
