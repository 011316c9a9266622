#pragma once
// TluPDF: turns bitmaps into a PDF document in which every page is one
// full-page image. A black-and-white page is stored as CCITT Group 4 data,
// every other page as a JPEG.
//
// Use: create, set the texts, add the pages, SaveToStream. The bitmaps are
// only read while a page is added; the pages keep no reference to them.
// A document written page by page, without holding its pages, goes through
// TPdfStreamWriter, which SaveToStream uses too.
#include <string>

#include "formats/memory_stream.h"
#include "formats/pdf/image_list.h"
#include "formats/pdf/pdf_stream_writer.h"
#include "imaging/lu_bitmap.h"

namespace pagewell {

// The pages of one document, all held until the document is saved; the
// document information is the inherited texts.
class TluPDF : public TPDFDocumentInfo {
 public:
  TImageList Images;

  // A JPEG page of the bitmap at the quality (gray when the bitmap has an
  // all-gray palette). Position as in TImageList::Add.
  void AddJpegPage(const TluBitmap& bitmap, int position, int quality);
  // A CCITT Group 4 page; the bitmap must be black-and-white (1 bit,
  // index 0 black, index 1 white).
  void AddBilevelPage(const TluBitmap& bitmap, int position);

  // Writes the document at the stream's position, dated by the local clock.
  void SaveToStream(TMemoryStream& stream) const;
  void SaveToStream(TMemoryStream& stream, const TPDFDateTime& created) const;
};

// A page of the document from a bitmap, as AddJpegPage and AddBilevelPage
// make it: JPEG at the quality (gray for an all-gray palette), or CCITT
// Group 4 for a black-and-white bitmap.
TPDFImage MakeJpegPdfPage(const TluBitmap& bitmap, int quality);
TPDFImage MakeBilevelPdfPage(const TluBitmap& bitmap);

// The page size in points for W pixels at R pixels per metre: W × 2834.645669
// / R rounded half up, or W when the resolution is unknown.
std::int32_t PageSizeInPoints(std::int32_t pixels, std::int32_t pixelsPerMetre);

// How a page is saved as a PDF file: a one-page document, Group 4 for a
// cmBlackWhite page, otherwise JPEG at the quality.
void SaveBitmapAsPdf(const TluBitmap& page, int quality, const std::string& title, const std::string& subject,
                     const std::string& author, const std::string& keywords, TMemoryStream& stream);

}  // namespace pagewell
