#include "formats/page_encoding.h"

#include "formats/pdf/lu_pdf.h"
#include "formats/tiff/tiff_pages.h"

namespace pagewell {
namespace {

bool PagesDoneUnlessAborted(int count, const TPageSource& page, TPageEncodingProgress* progress,
                            const std::function<void(const TluBitmap&)>& add) {
  for (int index = 0; index < count; ++index) {
    if (progress && !progress->BeforePage(index + 1, count)) return false;
    add(page(index));
  }
  if (progress) progress->PagesDone();
  return true;
}

}  // namespace

TPageEncoding EncodeSeveralPages(int count, const TPageSource& page, int formatCode, int quality,
                                 TMemoryStream& stream, TPageEncodingProgress* progress) {
  if (formatCode == fcTIFF) {
    TTIFList list;
    const bool complete = PagesDoneUnlessAborted(count, page, progress, [&](const TluBitmap& bitmap) {
      list.Add(MakeTiffPage(bitmap, MultiPageCompressionFor(bitmap)));
    });
    if (!complete) return TPageEncoding::Aborted;
    list.SaveToStream(stream);
    return TPageEncoding::Written;
  }
  if (formatCode == fcPDF) {
    TluPDF pdf;
    const bool complete = PagesDoneUnlessAborted(count, page, progress, [&](const TluBitmap& bitmap) {
      if (bitmap.ColorMode == cmBlackWhite) {
        pdf.AddBilevelPage(bitmap, 0);
      } else {
        pdf.AddJpegPage(bitmap, 0, quality);
      }
    });
    if (!complete) return TPageEncoding::Aborted;
    pdf.SaveToStream(stream);
    return TPageEncoding::Written;
  }
  return TPageEncoding::Unsupported;
}

TluBitmap OutputCopyOf(const TluBitmap& page) {
  TluBitmap copy;
  static_cast<TRaster&>(copy) = page;
  copy.XPelsPerMeter = page.XPelsPerMeter;
  copy.YPelsPerMeter = page.YPelsPerMeter;
  const TPixelFormat format = copy.PixelFormat();
  if (format != TPixelFormat::pf1bit && format != TPixelFormat::pf4bit && format != TPixelFormat::pf8bit &&
      format != TPixelFormat::pf32bit) {
    copy.SetPixelFormat(TPixelFormat::pf24bit);
  }
  copy.DetectColorMode();
  return copy;
}

}  // namespace pagewell
