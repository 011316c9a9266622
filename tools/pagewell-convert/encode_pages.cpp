#include "encode_pages.h"

#include <utility>

#include "convert_options.h"

namespace pagewell::convert {

void TPageEncoder::ExpectSeveralPages() {
  if (!several_ && count_ == 0 && TSeveralPagesEncoder::Supports(code_)) {
    several_ = std::make_unique<TSeveralPagesEncoder>(code_, quality_);
  }
}

void TPageEncoder::Add(TluBitmap page) {
  ++count_;
  if (several_) {
    several_->Add(page);
    return;
  }
  if (count_ == 1) {
    first_ = std::move(page);
    return;
  }
  if (!TSeveralPagesEncoder::Supports(code_)) throw EUsageError("several pages need TIFF or PDF output");
  several_ = std::make_unique<TSeveralPagesEncoder>(code_, quality_);
  several_->Add(first_);
  first_ = TluBitmap();
  several_->Add(page);
}

std::vector<std::uint8_t> TPageEncoder::Finish() {
  TMemoryStream stream;
  if (several_) {
    several_->SaveToStream(stream);
  } else if (count_ == 1) {
    first_.SaveToStreamAs(stream, code_, quality_, "", "", "", "");
  }
  return stream.TakeBytes();
}

}  // namespace pagewell::convert
