#include "formats/pdf/pdf_stream_writer.h"

#include <cstdio>
#include <ctime>
#include <vector>

#include "formats/pdf/pdf_literal_string.h"

namespace pagewell {

// The document as it goes out, front to back, into the sink: lines end with
// a single carriage return, and the offset of every object (counted from
// the document's first byte) is noted for the cross-reference table.
class TPDFBuilder {
 public:
  TPDFBuilder(TByteSink& out, int objectCount) : out_(out), offsets_(static_cast<std::size_t>(objectCount) + 1, 0) {}

  std::uint64_t Offset() const { return written_; }
  void Line(const std::string& text) { Text(text + '\r'); }
  void Bytes(const TMemoryStream& data) {
    out_.Write(data);
    written_ += data.Size();
  }
  // The keyword that opens a stream's data. Every other line ends with a
  // lone carriage return, but this one must end with CR LF (or LF): a
  // reader takes a line feed after the CR as part of the end of line, so
  // data that begins with the byte 0x0A (a Group 4 page can) would lose
  // that byte.
  void StreamKeyword() { Text("stream\r\n"); }
  // Notes the offset of the object and writes its opening line.
  void OpenObject(int number) {
    offsets_.at(static_cast<std::size_t>(number)) = Offset();
    Line(std::to_string(number) + " 0 obj");
  }
  std::uint64_t ObjectOffset(int number) const { return offsets_.at(static_cast<std::size_t>(number)); }

 private:
  void Text(const std::string& text) {
    out_.Write(text);
    written_ += text.size();
  }

  TByteSink& out_;
  std::uint64_t written_ = 0;
  std::vector<std::uint64_t> offsets_;
};

namespace {

std::string N(long long value) { return std::to_string(value); }

// Object numbers: 1 catalog, 2 page tree, for page i: 4i - 1 page,
// 4i image, 4i + 1 content, 4i + 2 content length; 4n + 3 information.
int PageObject(int i) { return 4 * i - 1; }
int ImageObject(int i) { return 4 * i; }
int ContentObject(int i) { return 4 * i + 1; }
int LengthObject(int i) { return 4 * i + 2; }
int InfoObject(int pageCount) { return 4 * pageCount + 3; }

void WriteCatalog(TPDFBuilder& pdf) {
  pdf.OpenObject(1);
  pdf.Line("<<");
  pdf.Line("/Type /Catalog");
  pdf.Line("/Pages 2 0 R >>");
  pdf.Line("endobj");
}

void WritePageTree(TPDFBuilder& pdf, int pageCount) {
  pdf.OpenObject(2);
  pdf.Line("<<");
  pdf.Line("/Type /Pages");
  std::string kids = "/Kids [";
  for (int i = 1; i <= pageCount; ++i) kids += N(PageObject(i)) + " 0 R ";
  pdf.Line(kids + "]");
  pdf.Line("/Count " + N(pageCount));
  pdf.Line(">>");
  pdf.Line("endobj");
}

void WritePageObject(TPDFBuilder& pdf, int i, const TPDFImage& page) {
  pdf.OpenObject(PageObject(i));
  pdf.Line("<<");
  pdf.Line("/Type /Page");
  pdf.Line("/Parent 2 0 R ");
  pdf.Line("/MediaBox [ 0 0 " + N(page.PageWidth) + " " + N(page.PageHeight) + "]");
  pdf.Line("/Resources ");
  pdf.Line("<<");
  pdf.Line("/XObject <<");
  pdf.Line("/Im" + N(i) + " " + N(ImageObject(i)) + " 0 R ");
  pdf.Line(">>");
  pdf.Line("/ProcSet [ /PDF /ImageC ]");
  pdf.Line(">>");
  pdf.Line("/Contents " + N(ContentObject(i)) + " 0 R");
  pdf.Line(">>");
  pdf.Line("endobj");
}

void WriteImageObject(TPDFBuilder& pdf, int i, const TPDFImage& page) {
  const bool ccitt = page.Kind == pkCCITTGroup4;
  pdf.OpenObject(ImageObject(i));
  pdf.Line("<<");
  pdf.Line("/Type /XObject");
  pdf.Line("/Subtype /Image");
  if (ccitt) {
    pdf.Line("/Filter /CCITTFaxDecode");
    pdf.Line("/DecodeParms ");
    pdf.Line("<<");
    pdf.Line("/K -1 /Columns " + N(page.PixelWidth) + ">>");
  } else {
    pdf.Line("/Filter /DCTDecode");
  }
  pdf.Line("/Width " + N(page.PixelWidth));
  pdf.Line("/Height " + N(page.PixelHeight));
  if (ccitt) {
    pdf.Line("/BitsPerComponent 1");
    pdf.Line("/ColorSpace /DeviceGray");
  } else {
    pdf.Line("/BitsPerComponent 8");
    pdf.Line(page.Kind == pkJpegGray ? "/ColorSpace /DeviceGray" : "/ColorSpace /DeviceRGB");
  }
  // The length counts the carriage return after the data as well.
  pdf.Line("/Length " + N(static_cast<long long>(page.Data.Size()) + 1) + " >>");
  pdf.StreamKeyword();
  pdf.Bytes(page.Data);
  pdf.Line("");
  pdf.Line("endstream");
  pdf.Line("endobj");
}

// Answers the number of content bytes.
std::uint64_t WriteContentObject(TPDFBuilder& pdf, int i, const TPDFImage& page) {
  pdf.OpenObject(ContentObject(i));
  pdf.Line("<< /Length " + N(LengthObject(i)) + " 0 R >>");
  pdf.StreamKeyword();
  const std::uint64_t start = pdf.Offset();
  pdf.Line("q");
  pdf.Line("q");
  pdf.Line(N(page.PageWidth) + " 0 0 " + N(page.PageHeight) + " 0 0 cm");
  pdf.Line("/Im" + N(i) + " Do");
  pdf.Line("");
  pdf.Line("Q");
  pdf.Line("Q");
  const std::uint64_t length = pdf.Offset() - start;
  pdf.Line("endstream");
  pdf.Line("endobj");
  return length;
}

void WriteLengthObject(TPDFBuilder& pdf, int i, std::uint64_t length) {
  pdf.OpenObject(LengthObject(i));
  pdf.Line(N(static_cast<long long>(length)));
  pdf.Line("endobj");
}

std::string DateText(const TPDFDateTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second);
  return text;
}

void WriteInformation(TPDFBuilder& pdf, int number, const TPDFDocumentInfo& document, const TPDFDateTime& created) {
  pdf.OpenObject(number);
  pdf.Line("<< ");
  const std::pair<const char*, const std::string*> entries[] = {{"/Producer", &document.Producer},
                                                                {"/Title", &document.Title},
                                                                {"/Subject", &document.Subject},
                                                                {"/Author", &document.Author},
                                                                {"/Keywords", &document.Keywords}};
  for (const auto& [key, text] : entries) {
    if (!text->empty()) pdf.Line(std::string(key) + " (" + EscapePdfLiteral(*text) + ")");
  }
  pdf.Line("/CreationDate (D:" + DateText(created) + "Z)");
  pdf.Line(">> ");
  pdf.Line("endobj");
}

void WriteCrossReference(TPDFBuilder& pdf, int objectCount) {
  pdf.Line("xref");
  pdf.Line("0 " + N(objectCount + 1));
  pdf.Line("0000000000 65535 f ");
  char entry[32];
  for (int number = 1; number <= objectCount; ++number) {
    std::snprintf(entry, sizeof entry, "%010llu 00000 n ", static_cast<unsigned long long>(pdf.ObjectOffset(number)));
    pdf.Line(entry);
  }
}

void WriteTrailer(TPDFBuilder& pdf, int objectCount, std::uint64_t crossReference) {
  pdf.Line("trailer");
  pdf.Line("<< ");
  pdf.Line("/Size " + N(objectCount + 1));
  pdf.Line("/Info " + N(objectCount) + " 0 R");
  pdf.Line("/Root 1 0 R");
  pdf.Line(">> ");
  pdf.Line("startxref");
  pdf.Line(N(static_cast<long long>(crossReference)));
  pdf.Line("%%EOF");
}

}  // namespace

TPDFDateTime TPDFDateTime::Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

TPdfStreamWriter::TPdfStreamWriter(TByteSink& sink, int pageCount)
    : pdf_(std::make_unique<TPDFBuilder>(sink, InfoObject(pageCount))), pageCount_(pageCount) {
  pdf_->Line("%PDF-1.2");
  WriteCatalog(*pdf_);
  WritePageTree(*pdf_, pageCount);
}

TPdfStreamWriter::~TPdfStreamWriter() = default;

void TPdfStreamWriter::AddPage(const TPDFImage& page) {
  if (added_ >= pageCount_) throw EStreamError("More PDF pages than announced");
  const int i = ++added_;
  WritePageObject(*pdf_, i, page);
  WriteImageObject(*pdf_, i, page);
  WriteLengthObject(*pdf_, i, WriteContentObject(*pdf_, i, page));
}

void TPdfStreamWriter::Finish(const TPDFDocumentInfo& info, const TPDFDateTime& created) {
  if (added_ != pageCount_) throw EStreamError("Fewer PDF pages than announced");
  const int objectCount = InfoObject(pageCount_);
  WriteInformation(*pdf_, objectCount, info, created);
  const std::uint64_t crossReference = pdf_->Offset();
  WriteCrossReference(*pdf_, objectCount);
  WriteTrailer(*pdf_, objectCount, crossReference);
}

}  // namespace pagewell
