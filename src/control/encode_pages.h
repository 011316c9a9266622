#pragma once
// EncodePages: the selected pages as one file written to a byte sink. The
// local save and the upload both make their file here.
//
//   int code = ResolveFileFormat(form);
//   EncodeOutcome outcome =
//       EncodePages(form, sink, OutputHoldsAllPages(form, code), code, form.state().currentPage);
//
// One page (AllPages false, or fewer than two pages) is written through the
// bitmap's SaveToStreamAs at JPEG quality 90; several pages become one TIFF
// (Group 4 for black-and-white pages, uncompressed otherwise) or one PDF
// (Group 4 or JPEG quality 90). Before each of several pages the progress
// label reads "Preparing to upload - Page(i/n)..." (the form's status
// texts), centred over the bar, the bar shows (i - 1) x 100 div n, pending
// messages are served and the abort flag (AbortUpload, btnAbort) is read:
// once set, the encoding stops and the outcome is Aborted.
// Encoder and sink failures raise (std::exception).
//
// Pages are fetched from where they are kept one at a time, each encoded
// and its bytes handed to the sink before the next is fetched, so output
// holds one page and the pieces being written, whatever the page count.
// The sink may have taken part of the file when the outcome is not
// Written: the caller discards it (the local save removes its temporary
// file, the upload sends nothing).
#include <functional>
#include <string_view>
#include <vector>

#include "formats/byte_sink.h"
#include "formats/memory_stream.h"
#include "formats/page_encoding.h"
#include "imaging/lu_bitmap.h"
#include "page_store/page_store_error.h"

namespace pagewell {

class TTwainForm;

enum class EncodeOutcome {
  Written,         // the file is in the sink
  NoPage,          // no page to write (PageIndex names none, or several pages of a one-page format)
  Aborted,         // the abort flag was set before a page
  PageUnreadable,  // a page could not be read back from where it is kept
};

// The pages to choose from: how many, and a copy of page `position`
// (1-based) on request.
struct OutputPages {
  unsigned count = 0;
  std::function<TPageStoreError(unsigned position, TluBitmap& page)> fetch;
};

// The format code of the form's output, from FileFormat and FileName (see
// file_format.h).
int ResolveFileFormat(const TTwainForm& form);

// All pages go into the file when rdbAll is checked and the format is TIFF
// or PDF; otherwise only the current page.
bool OutputHoldsAllPages(const TTwainForm& form, int formatCode);

// The form's pages in list order, with its progress label, bar and abort
// flag. A page that cannot be read back is reported under DebugAlerts.
EncodeOutcome EncodePages(TTwainForm& form, TByteSink& sink, bool allPages, int formatCode, unsigned pageIndex);

// The same for any pages (PageIndex 1-based); the progress, when given, is
// told before each of several pages. `readError`, when given, receives the
// store's error of an unreadable page.
EncodeOutcome EncodePages(const OutputPages& pages, TByteSink& sink, bool allPages, int formatCode,
                          unsigned pageIndex, TPageEncodingProgress* progress, TPageStoreError* readError = nullptr);

// Pages held as bitmaps, into a memory stream: what tests and benchmarks
// use. Nothing reaches the stream unless the outcome is Written.
EncodeOutcome EncodePages(const std::vector<const TluBitmap*>& pages, TMemoryStream& stream, bool allPages,
                          int formatCode, unsigned pageIndex, TPageEncodingProgress* progress);

// The text of the progress label before page `page` of `count`:
// preparing + " - " + page text + "(page/count)...".
std::wstring PreparingPageText(std::wstring_view preparing, std::wstring_view pageText, int page, int count);

}  // namespace pagewell
