#pragma once
// One file from the pages, as the control's page encoding makes it: one page
// through SaveToStreamAs; several pages as one multi-page TIFF (Group 4 for
// black-and-white pages, uncompressed for the others) or PDF (Group 4 pages
// for black-and-white, JPEG pages for the others).
#include <cstdint>
#include <memory>
#include <vector>

#include "formats/format_code.h"
#include "formats/pdf/lu_pdf.h"
#include "formats/tiff/tif_list.h"
#include "imaging/lu_bitmap.h"

namespace pagewell::convert {

bool FormatHoldsSeveralPages(TFormatCode code);

// Takes the pages one at a time and encodes each as it comes, so that only
// the encoded pages are kept, not the pictures. The first page is held
// until it is known whether a second follows: a lone page is written by
// SaveToStreamAs, which may treat it differently (a black-and-white page
// alone in a TIFF file keeps its own TiffCompression).
class TPageEncoder {
 public:
  TPageEncoder(TFormatCode code, int quality) : code_(code), quality_(quality) {}

  // Raises EUsageError for a second page in a single-page format.
  void Add(TluBitmap page);
  int Count() const { return count_; }
  // The whole file. An encoder without pages gives an empty file.
  std::vector<std::uint8_t> Finish();

 private:
  void Encode(const TluBitmap& page);

  TFormatCode code_;
  int quality_;
  int count_ = 0;
  TluBitmap first_;
  std::unique_ptr<TTIFList> tiff_;
  std::unique_ptr<TluPDF> pdf_;
};

}  // namespace pagewell::convert
