#pragma once
// Pages into one output file, as the control's page encoding (local save and
// upload) and the command-line converter make it: one page through the
// bitmap's SaveToStreamAs; several pages into one multi-page TIFF (CCITT
// Group 4 for black-and-white pages, uncompressed for the others) or one PDF
// (Group 4 pages for black-and-white, JPEG pages for the others).
//
// Several pages are asked for one at a time and each is encoded before the
// next is asked for, so a caller that prepares a working copy of a page
// holds only one such copy at once. Written to a byte sink, each page's
// coded bytes also leave before the next page is asked for: only the
// offsets of the pages are kept, never the coded file.
#include <functional>
#include <optional>

#include "formats/byte_sink.h"
#include "formats/format_code.h"
#include "formats/memory_stream.h"
#include "formats/pdf/lu_pdf.h"
#include "formats/tiff/tif_list.h"
#include "imaging/lu_bitmap.h"

namespace pagewell {

// Told before each page of a several-page file and once after the last; a
// false answer from BeforePage stops the encoding.
class TPageEncodingProgress {
 public:
  // `page` is 1-based, of `count`.
  virtual bool BeforePage(int page, int count) = 0;
  // Every page is encoded; the file is written next.
  virtual void PagesDone() = 0;

 protected:
  ~TPageEncodingProgress() = default;
};

enum class TPageEncoding {
  Written,      // the whole file is in the stream or sink
  Aborted,      // stopped before a page: a stream is as it was, a sink may
                // hold the start of the file, which the caller discards
  Unsupported,  // several pages in a format of one page; nothing written
};

// Page `index` (0-based) of the file, valid until the next call.
using TPageSource = std::function<const TluBitmap&(int index)>;

// The pages of one TIFF or PDF file, each encoded as it is added: only the
// coded pages are kept, never the pictures. For a file built whole in
// memory; EncodeSeveralPages into a sink makes the same bytes without
// keeping the coded pages.
class TSeveralPagesEncoder {
 public:
  static bool Supports(int formatCode) { return formatCode == fcTIFF || formatCode == fcPDF; }
  // `formatCode` must be one that Supports; `quality` is the JPEG quality
  // of the PDF's colour and gray pages.
  TSeveralPagesEncoder(int formatCode, int quality) : formatCode_(formatCode), quality_(quality) {}

  void Add(const TluBitmap& page);
  // The whole file, at the stream's position.
  void SaveToStream(TMemoryStream& stream) const;

 private:
  int formatCode_;
  int quality_;
  TTIFList tiff_;
  TluPDF pdf_;
};

// `count` (two or more) pages into one TIFF or PDF file written to `sink`
// page by page, the same bytes TSeveralPagesEncoder makes; `quality` is
// the JPEG quality of the PDF's colour and gray pages, `created` the PDF's
// creation date (by default the local clock once every page is encoded).
// On Aborted the sink already holds the start of the file: the caller
// discards what it received (a file writer is not committed). A failing
// sink raises, and so does a page that cannot be encoded.
TPageEncoding EncodeSeveralPages(int count, const TPageSource& page, int formatCode, int quality, TByteSink& sink,
                                 TPageEncodingProgress* progress = nullptr,
                                 const std::optional<TPDFDateTime>& created = std::nullopt);

// The same appended to `stream`. Nothing reaches the stream unless every
// page was encoded.
TPageEncoding EncodeSeveralPages(int count, const TPageSource& page, int formatCode, int quality,
                                 TMemoryStream& stream, TPageEncodingProgress* progress = nullptr);

// A copy of the page's picture and resolution only, its colour mode found
// afresh, with every other setting at its default (no metadata, no
// transparency, no requested TIFF compression), as a page handed over
// through a device-independent bitmap arrives. Output is made from such a
// copy, so saving never changes the page itself.
TluBitmap OutputCopyOf(const TluBitmap& page);
// The same from a page the caller gives up: its pixels move, not copied.
TluBitmap OutputCopyOf(TluBitmap&& page);

}  // namespace pagewell
