#include "formats/page_encoding.h"

#include "formats/tiff/tiff_pages.h"
#include "formats/tiff/tiff_stream_writer.h"

namespace pagewell {

namespace {

// A PDF page as the control makes it: Group 4 for black and white, JPEG
// at the quality for every other page.
TPDFImage PdfPageFor(const TluBitmap& page, int quality) {
  return page.ColorMode == cmBlackWhite ? MakeBilevelPdfPage(page) : MakeJpegPdfPage(page, quality);
}

std::unique_ptr<TTIFImage> TiffPageFor(const TluBitmap& page) {
  return MakeTiffPage(page, MultiPageCompressionFor(page));
}

// Asks for each page in turn, after the progress allows it, and hands it to
// `add` before asking for the next.
template <typename AddPage>
TPageEncoding AddEachPage(int count, const TPageSource& page, TPageEncodingProgress* progress, AddPage add) {
  for (int index = 0; index < count; ++index) {
    if (progress && !progress->BeforePage(index + 1, count)) return TPageEncoding::Aborted;
    add(page(index));
  }
  if (progress) progress->PagesDone();
  return TPageEncoding::Written;
}

}  // namespace

void TSeveralPagesEncoder::Add(const TluBitmap& page) {
  if (formatCode_ == fcTIFF) {
    tiff_.Add(TiffPageFor(page));
  } else {
    pdf_.Images.Add(PdfPageFor(page, quality_), 0);
  }
}

void TSeveralPagesEncoder::SaveToStream(TMemoryStream& stream) const {
  if (formatCode_ == fcTIFF) {
    tiff_.SaveToStream(stream);
  } else {
    pdf_.SaveToStream(stream);
  }
}

TPageEncoding EncodeSeveralPages(int count, const TPageSource& page, int formatCode, int quality, TByteSink& sink,
                                 TPageEncodingProgress* progress, const std::optional<TPDFDateTime>& created) {
  if (!TSeveralPagesEncoder::Supports(formatCode)) return TPageEncoding::Unsupported;
  if (formatCode == fcTIFF) {
    TTiffStreamWriter tiff(sink, count);
    return AddEachPage(count, page, progress, [&](const TluBitmap& bitmap) { tiff.Add(*TiffPageFor(bitmap)); });
  }
  TPdfStreamWriter pdf(sink, count);
  const TPageEncoding result =
      AddEachPage(count, page, progress, [&](const TluBitmap& bitmap) { pdf.AddPage(PdfPageFor(bitmap, quality)); });
  if (result == TPageEncoding::Written) pdf.Finish(TPDFDocumentInfo{}, created.value_or(TPDFDateTime::Now()));
  return result;
}

TPageEncoding EncodeSeveralPages(int count, const TPageSource& page, int formatCode, int quality,
                                 TMemoryStream& stream, TPageEncodingProgress* progress) {
  // Encoded apart and added to the stream only once complete, so a stop
  // leaves the stream as it was.
  TMemoryStream file;
  TMemoryStreamSink sink(file);
  const TPageEncoding result = EncodeSeveralPages(count, page, formatCode, quality, sink, progress);
  if (result != TPageEncoding::Written) return result;
  if (stream.Size() == 0 && stream.Position() == 0) {
    stream = std::move(file);
  } else {
    stream.Write(file.Data(), file.Size());
  }
  return result;
}

namespace {

// The picture and resolution alone, in a format the encoders take, with its
// colour mode found afresh.
TluBitmap outputPage(TRaster picture, std::int32_t xPelsPerMeter, std::int32_t yPelsPerMeter) {
  TluBitmap copy;
  static_cast<TRaster&>(copy) = std::move(picture);
  copy.XPelsPerMeter = xPelsPerMeter;
  copy.YPelsPerMeter = yPelsPerMeter;
  const TPixelFormat format = copy.PixelFormat();
  if (format != TPixelFormat::pf1bit && format != TPixelFormat::pf4bit && format != TPixelFormat::pf8bit &&
      format != TPixelFormat::pf32bit) {
    copy.SetPixelFormat(TPixelFormat::pf24bit);
  }
  copy.DetectColorMode();
  return copy;
}

}  // namespace

TluBitmap OutputCopyOf(const TluBitmap& page) {
  return outputPage(static_cast<const TRaster&>(page), page.XPelsPerMeter, page.YPelsPerMeter);
}

TluBitmap OutputCopyOf(TluBitmap&& page) {
  return outputPage(std::move(static_cast<TRaster&>(page)), page.XPelsPerMeter, page.YPelsPerMeter);
}

}  // namespace pagewell
