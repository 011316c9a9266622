#pragma once
// TPdfStreamWriter: a PDF document written front to back into a byte sink,
// one page at a time. The catalog and the page tree need only the number of
// pages, so they go first; each page's objects (page, image, content and
// its length) follow as the page is added; the document information, the
// cross-reference table and the trailer close the document. Between pages
// only the objects' offsets are kept, a few bytes a page.
#include <cstdint>
#include <memory>
#include <string>

#include "formats/byte_sink.h"
#include "formats/pdf/pdf_image.h"

namespace pagewell {

// A date and time as the document information's /CreationDate writes it.
struct TPDFDateTime {
  int Year = 2000, Month = 1, Day = 1, Hour = 0, Minute = 0, Second = 0;
  // The local clock now.
  static TPDFDateTime Now();
};

// Document information, each text written when not empty.
struct TPDFDocumentInfo {
  std::string Producer;
  std::string Title;
  std::string Keywords;
  std::string Author;
  std::string Subject;
};

// The document's bytes and object offsets so far.
class TPDFBuilder;

class TPdfStreamWriter {
 public:
  // Writes the header, the catalog and the page tree of `pageCount` pages.
  TPdfStreamWriter(TByteSink& sink, int pageCount);
  ~TPdfStreamWriter();

  // Writes the next page's objects; raises EStreamError past the announced
  // count.
  void AddPage(const TPDFImage& page);
  // Writes the information, the cross-reference table and the trailer;
  // raises EStreamError unless every announced page was added.
  void Finish(const TPDFDocumentInfo& info, const TPDFDateTime& created);

 private:
  std::unique_ptr<TPDFBuilder> pdf_;
  int pageCount_;
  int added_ = 0;
};

}  // namespace pagewell
