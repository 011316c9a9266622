#pragma once
// One file from the pages, as the control's page encoding makes it (see
// formats/page_encoding.h): one page through SaveToStreamAs, several pages
// as one multi-page TIFF or PDF.
#include <cstdint>
#include <memory>
#include <vector>

#include "formats/format_code.h"
#include "formats/page_encoding.h"
#include "imaging/lu_bitmap.h"

namespace pagewell::convert {

// Takes the pages one at a time and encodes each as it comes, so that only
// the coded pages are kept, not the pictures. The first page is held until
// it is known whether a second follows: a lone page is written by
// SaveToStreamAs, which may treat it differently (a black-and-white page
// alone in a TIFF file keeps its own TiffCompression).
class TPageEncoder {
 public:
  TPageEncoder(TFormatCode code, int quality) : code_(code), quality_(quality) {}

  // Told that more than one page will come, a several-page encoder encodes
  // the first page at once instead of holding it.
  void ExpectSeveralPages();
  // Raises EUsageError for a second page in a single-page format.
  void Add(TluBitmap page);
  // The whole file; empty when no page was added.
  std::vector<std::uint8_t> Finish();

 private:
  TFormatCode code_;
  int quality_;
  int count_ = 0;
  TluBitmap first_;
  std::unique_ptr<TSeveralPagesEncoder> several_;
};

}  // namespace pagewell::convert
