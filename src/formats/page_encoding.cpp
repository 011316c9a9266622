#include "formats/page_encoding.h"

#include "formats/tiff/tiff_pages.h"

namespace pagewell {

void TSeveralPagesEncoder::Add(const TluBitmap& page) {
  if (formatCode_ == fcTIFF) {
    tiff_.Add(MakeTiffPage(page, MultiPageCompressionFor(page)));
  } else if (page.ColorMode == cmBlackWhite) {
    pdf_.AddBilevelPage(page, 0);
  } else {
    pdf_.AddJpegPage(page, 0, quality_);
  }
}

void TSeveralPagesEncoder::SaveToStream(TMemoryStream& stream) const {
  if (formatCode_ == fcTIFF) {
    tiff_.SaveToStream(stream);
  } else {
    pdf_.SaveToStream(stream);
  }
}

TPageEncoding EncodeSeveralPages(int count, const TPageSource& page, int formatCode, int quality,
                                 TMemoryStream& stream, TPageEncodingProgress* progress) {
  if (!TSeveralPagesEncoder::Supports(formatCode)) return TPageEncoding::Unsupported;
  TSeveralPagesEncoder encoder(formatCode, quality);
  for (int index = 0; index < count; ++index) {
    if (progress && !progress->BeforePage(index + 1, count)) return TPageEncoding::Aborted;
    encoder.Add(page(index));
  }
  if (progress) progress->PagesDone();
  encoder.SaveToStream(stream);
  return TPageEncoding::Written;
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
