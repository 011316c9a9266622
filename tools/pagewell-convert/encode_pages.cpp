#include "encode_pages.h"

#include <stdexcept>

#include "formats/page_encoding.h"

namespace pagewell::convert {

std::vector<std::uint8_t> EncodePages(std::vector<TluBitmap>& pages, TFormatCode code, int quality) {
  TMemoryStream stream;
  if (pages.size() == 1) {
    pages.front().SaveToStreamAs(stream, code, quality, "", "", "", "");
    return stream.Bytes();
  }
  const auto page = [&](int index) -> const TluBitmap& { return pages[static_cast<std::size_t>(index)]; };
  if (EncodeSeveralPages(static_cast<int>(pages.size()), page, code, quality, stream) != TPageEncoding::Written)
    throw std::invalid_argument("several pages need TIFF or PDF output");
  return stream.Bytes();
}

}  // namespace pagewell::convert
