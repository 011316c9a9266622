#pragma once
// EncodePages: the selected pages as one file in a memory stream. The local
// save and the upload both make their file here.
//
//   int code = ResolveFileFormat(form);
//   TMemoryStream stream;
//   EncodeOutcome outcome =
//       EncodePages(form, stream, OutputHoldsAllPages(form, code), code, form.state().currentPage);
//
// One page (AllPages false, or fewer than two pages) is written through the
// bitmap's SaveToStreamAs at JPEG quality 90; several pages become one TIFF
// (Group 4 for black-and-white pages, uncompressed otherwise) or one PDF
// (Group 4 or JPEG quality 90). Before each of several pages the progress
// label reads "Preparing to upload - Page(i/n)..." (the form's status
// texts), centred over the bar, the bar shows (i - 1) x 100 div n, pending
// messages are served and the abort flag (AbortUpload, btnAbort) is read:
// once set, nothing at all is written and the outcome is Aborted.
// Encoder failures raise (std::exception); the stream then holds nothing
// usable.
//
// Each page is encoded from a copy of its picture and resolution, one page
// at a time, so saving never changes a page and holds at most one copy.
#include <string_view>
#include <vector>

#include "formats/memory_stream.h"
#include "formats/page_encoding.h"
#include "imaging/lu_bitmap.h"

namespace pagewell {

class TTwainForm;

enum class EncodeOutcome {
  Written,  // the file is in the stream
  NoPage,   // no page to write (PageIndex names none, or several pages of a one-page format)
  Aborted,  // the abort flag was set before a page; nothing written
};

// The format code of the form's output, from FileFormat and FileName (see
// file_format.h).
int ResolveFileFormat(const TTwainForm& form);

// All pages go into the file when rdbAll is checked and the format is TIFF
// or PDF; otherwise only the current page.
bool OutputHoldsAllPages(const TTwainForm& form, int formatCode);

// The form's pages in list order, with its progress label, bar and abort
// flag.
EncodeOutcome EncodePages(TTwainForm& form, TMemoryStream& stream, bool allPages, int formatCode,
                          unsigned pageIndex);

// The same for any list of pages in order (PageIndex 1-based into it); the
// progress, when given, is told before each of several pages.
EncodeOutcome EncodePages(const std::vector<const TluBitmap*>& pages, TMemoryStream& stream, bool allPages,
                          int formatCode, unsigned pageIndex, TPageEncodingProgress* progress);

// The text of the progress label before page `page` of `count`:
// preparing + " - " + page text + "(page/count)...".
std::wstring PreparingPageText(std::wstring_view preparing, std::wstring_view pageText, int page, int count);

}  // namespace pagewell
