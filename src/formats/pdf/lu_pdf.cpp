#include "formats/pdf/lu_pdf.h"

#include "formats/jpeg/jpeg_image_extra.h"
#include "formats/tiff/ccitt_group4_encoder.h"

namespace pagewell {
namespace {

constexpr double kPointsPerMetre = 2834.645669;

TPDFImage PageOf(const TluBitmap& bitmap, TPDFImageKind kind) {
  TPDFImage page;
  page.Kind = kind;
  page.PixelWidth = bitmap.Width();
  page.PixelHeight = bitmap.Height();
  page.PageWidth = PageSizeInPoints(bitmap.Width(), bitmap.XPelsPerMeter);
  page.PageHeight = PageSizeInPoints(bitmap.Height(), bitmap.YPelsPerMeter);
  return page;
}

}  // namespace

std::int32_t PageSizeInPoints(std::int32_t pixels, std::int32_t pixelsPerMetre) {
  // A negative resolution (possible in files from outside) means as little
  // as none: 72 pixels per inch.
  if (pixelsPerMetre <= 0) return pixels;
  const double r = pixelsPerMetre;
  return static_cast<std::int32_t>((r * 0.5 + pixels * kPointsPerMetre) / r);
}

TPDFImage MakeJpegPdfPage(const TluBitmap& bitmap, int quality) {
  const bool gray = bitmap.IsGrayPalette();
  TJPEGImageExtra jpeg;
  jpeg.CompressionQuality = quality;
  jpeg.Grayscale = gray;
  jpeg.CompressFrom(bitmap);
  TPDFImage page = PageOf(bitmap, gray ? pkJpegGray : pkJpegColor);
  page.Data = TMemoryStream(jpeg.TakeCompressedData());
  return page;
}

TPDFImage MakeBilevelPdfPage(const TluBitmap& bitmap) {
  TPDFImage page = PageOf(bitmap, pkCCITTGroup4);
  page.Data = TMemoryStream(EncodeGroup4(bitmap));
  return page;
}

void TluPDF::AddJpegPage(const TluBitmap& bitmap, int position, int quality) {
  Images.Add(MakeJpegPdfPage(bitmap, quality), position);
}

void TluPDF::AddBilevelPage(const TluBitmap& bitmap, int position) { Images.Add(MakeBilevelPdfPage(bitmap), position); }

void TluPDF::SaveToStream(TMemoryStream& stream) const { SaveToStream(stream, TPDFDateTime::Now()); }

void TluPDF::SaveToStream(TMemoryStream& stream, const TPDFDateTime& created) const {
  const int pageCount = Images.Count();
  // Room for the images and, around them, the objects' text (some 600
  // bytes a page), the information and the cross-reference table.
  constexpr std::size_t kTextPerPage = 1024, kTextPerDocument = 2048;
  std::size_t size = kTextPerDocument;
  for (int i = 1; i <= pageCount; ++i) size += Images.Item(i)->Data.Size() + kTextPerPage;
  size += Producer.size() + Title.size() + Keywords.size() + Author.size() + Subject.size();
  if (stream.Position() == stream.Size()) stream.Reserve(size);
  TMemoryStreamSink sink(stream);
  TPdfStreamWriter pdf(sink, pageCount);
  for (int i = 1; i <= pageCount; ++i) pdf.AddPage(*Images.Item(i));
  pdf.Finish(*this, created);
}

void SaveBitmapAsPdf(const TluBitmap& page, int quality, const std::string& title, const std::string& subject,
                     const std::string& author, const std::string& keywords, TMemoryStream& stream) {
  TluPDF document;
  document.Title = title;
  document.Subject = subject;
  document.Author = author;
  document.Keywords = keywords;
  if (page.ColorMode == cmBlackWhite) {
    document.AddBilevelPage(page, 1);
  } else {
    document.AddJpegPage(page, 1, quality);
  }
  document.SaveToStream(stream);
}

}  // namespace pagewell
