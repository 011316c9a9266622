#include "encode_pages.h"

#include <stdexcept>

#include "formats/pdf/lu_pdf.h"
#include "formats/tiff/tiff_pages.h"

namespace pagewell::convert {
namespace {

std::vector<std::uint8_t> MultiPageTiff(const std::vector<TluBitmap>& pages) {
  TTIFList list;
  for (const TluBitmap& page : pages) list.Add(MakeTiffPage(page, MultiPageCompressionFor(page)));
  TMemoryStream stream;
  list.SaveToStream(stream);
  return stream.Bytes();
}

std::vector<std::uint8_t> MultiPagePdf(const std::vector<TluBitmap>& pages, int quality) {
  TluPDF pdf;
  for (const TluBitmap& page : pages) {
    if (page.ColorMode == cmBlackWhite) {
      pdf.AddBilevelPage(page, 0);
    } else {
      pdf.AddJpegPage(page, 0, quality);
    }
  }
  TMemoryStream stream;
  pdf.SaveToStream(stream);
  return stream.Bytes();
}

}  // namespace

bool FormatHoldsSeveralPages(TFormatCode code) { return code == fcTIFF || code == fcPDF; }

std::vector<std::uint8_t> EncodePages(std::vector<TluBitmap>& pages, TFormatCode code, int quality) {
  if (pages.size() == 1) {
    TMemoryStream stream;
    pages.front().SaveToStreamAs(stream, code, quality, "", "", "", "");
    return stream.Bytes();
  }
  if (code == fcTIFF) return MultiPageTiff(pages);
  if (code == fcPDF) return MultiPagePdf(pages, quality);
  throw std::invalid_argument("several pages need TIFF or PDF output");
}

}  // namespace pagewell::convert
