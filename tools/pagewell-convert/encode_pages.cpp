#include "encode_pages.h"

#include <utility>

#include "convert_options.h"
#include "formats/tiff/tiff_pages.h"

namespace pagewell::convert {

bool FormatHoldsSeveralPages(TFormatCode code) { return code == fcTIFF || code == fcPDF; }

void TPageEncoder::Add(TluBitmap page) {
  ++count_;
  if (count_ == 1) {
    first_ = std::move(page);
    return;
  }
  if (!FormatHoldsSeveralPages(code_)) throw EUsageError("several pages need TIFF or PDF output");
  if (count_ == 2) {
    Encode(first_);
    first_ = TluBitmap();
  }
  Encode(page);
}

void TPageEncoder::Encode(const TluBitmap& page) {
  if (code_ == fcTIFF) {
    if (!tiff_) tiff_ = std::make_unique<TTIFList>();
    tiff_->Add(MakeTiffPage(page, MultiPageCompressionFor(page)));
    return;
  }
  if (!pdf_) pdf_ = std::make_unique<TluPDF>();
  if (page.ColorMode == cmBlackWhite) {
    pdf_->AddBilevelPage(page, 0);
  } else {
    pdf_->AddJpegPage(page, 0, quality_);
  }
}

std::vector<std::uint8_t> TPageEncoder::Finish() {
  TMemoryStream stream;
  if (count_ == 1) {
    first_.SaveToStreamAs(stream, code_, quality_, "", "", "", "");
  } else if (tiff_) {
    tiff_->SaveToStream(stream);
  } else if (pdf_) {
    pdf_->SaveToStream(stream);
  }
  return stream.TakeBytes();
}

}  // namespace pagewell::convert
