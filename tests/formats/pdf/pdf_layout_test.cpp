// The document layout, byte for byte, and the page rules of the writer.
#include <gtest/gtest.h>

#include <regex>

#include "formats/pdf/lu_pdf.h"
#include "formats/pdf/pdf_literal_string.h"
#include "formats/pdf/pdf_pages.h"
#include "formats/tiff/ccitt_group4_encoder.h"

namespace pagewell {
namespace {

using testing::Document;

TPDFImage FakePage(TPDFImageKind kind, const std::string& data, int pageWidth, int pageHeight, int w, int h) {
  TPDFImage page;
  page.Kind = kind;
  page.Data.WriteString(data);
  page.PageWidth = pageWidth;
  page.PageHeight = pageHeight;
  page.PixelWidth = w;
  page.PixelHeight = h;
  return page;
}

// Replaces "\n" by the carriage return every line of the document ends
// with; "stream\n" becomes the CR LF a stream keyword needs.
std::string CR(std::string text) {
  for (char& c : text) {
    if (c == '\n') c = '\r';
  }
  for (std::size_t at = text.find("stream\r"); at != std::string::npos; at = text.find("stream\r", at + 1)) {
    if (at == 0 || text[at - 1] != 'd') text.insert(at + 7, "\n");
  }
  return text;
}

TEST(PdfLayout, OnePageDocumentByteForByte) {
  TluPDF pdf;
  pdf.Title = "Invoice";
  pdf.Images.Add(FakePage(pkJpegColor, "JPEG", 612, 792, 2550, 3300), 0);
  const std::string body = CR(
      "%PDF-1.2\n"
      "1 0 obj\n<<\n/Type /Catalog\n/Pages 2 0 R >>\nendobj\n"
      "2 0 obj\n<<\n/Type /Pages\n/Kids [3 0 R ]\n/Count 1\n>>\nendobj\n"
      "3 0 obj\n<<\n/Type /Page\n/Parent 2 0 R \n/MediaBox [ 0 0 612 792]\n/Resources \n<<\n/XObject <<\n"
      "/Im1 4 0 R \n>>\n/ProcSet [ /PDF /ImageC ]\n>>\n/Contents 5 0 R\n>>\nendobj\n"
      "4 0 obj\n<<\n/Type /XObject\n/Subtype /Image\n/Filter /DCTDecode\n/Width 2550\n/Height 3300\n"
      "/BitsPerComponent 8\n/ColorSpace /DeviceRGB\n/Length 5 >>\nstream\nJPEG\nendstream\nendobj\n"
      "5 0 obj\n<< /Length 6 0 R >>\nstream\nq\nq\n612 0 0 792 0 0 cm\n/Im1 Do\n\nQ\nQ\nendstream\nendobj\n"
      "6 0 obj\n36\nendobj\n"
      "7 0 obj\n<< \n/Title (Invoice)\n/CreationDate (D:20240309070502Z)\n>> \nendobj\n");
  std::string expected = body + CR("xref\n0 8\n") + "0000000000 65535 f \r";
  for (const char* object : {"1 0 obj", "2 0 obj", "3 0 obj", "4 0 obj", "5 0 obj", "6 0 obj", "7 0 obj"}) {
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \r", body.find(object));
    expected += entry;
  }
  expected += CR("trailer\n<< \n/Size 8\n/Info 7 0 R\n/Root 1 0 R\n>> \nstartxref\n" + std::to_string(body.size()) +
                 "\n%%EOF\n");
  EXPECT_EQ(Document(pdf), expected);
}

// The document goes at the stream's position; its cross-reference offsets
// and startxref count from the document's first byte all the same.
TEST(PdfLayout, AfterBytesAlreadyInTheStreamTheDocumentIsTheSame) {
  TluPDF pdf;
  pdf.Images.Add(FakePage(pkCCITTGroup4, "G4G4", 100, 50, 100, 50), 0);
  pdf.Images.Add(FakePage(pkJpegGray, "J", 72, 72, 300, 300), 0);
  TMemoryStream stream;
  stream.WriteString("head");
  pdf.SaveToStream(stream, testing::kCreated);
  EXPECT_EQ(std::string(stream.Bytes().begin(), stream.Bytes().end()), "head" + Document(pdf));
}

TEST(PdfLayout, TwoPagesAreNumberedFourObjectsApart) {
  TluPDF pdf;
  pdf.Images.Add(FakePage(pkCCITTGroup4, "G4G4", 100, 50, 100, 50), 0);
  pdf.Images.Add(FakePage(pkJpegGray, "J", 72, 72, 300, 300), 0);
  const std::string doc = Document(pdf);
  EXPECT_NE(doc.find("/Kids [3 0 R 7 0 R ]\r/Count 2\r"), std::string::npos);
  EXPECT_NE(doc.find("/Size 12\r/Info 11 0 R\r"), std::string::npos);
  EXPECT_NE(doc.find("/Im2 8 0 R \r"), std::string::npos);
  EXPECT_NE(doc.find("/Contents 9 0 R\r"), std::string::npos);
  EXPECT_NE(doc.find("9 0 obj\r<< /Length 10 0 R >>\rstream\r\nq\r"), std::string::npos);
  EXPECT_NE(doc.find("/Filter /CCITTFaxDecode\r/DecodeParms \r<<\r/K -1 /Columns 100>>\r/Width 100\r/Height 50\r"
                     "/BitsPerComponent 1\r/ColorSpace /DeviceGray\r/Length 5 >>\r"),
            std::string::npos);
  EXPECT_NE(doc.find("/Filter /DCTDecode\r/Width 300\r/Height 300\r/BitsPerComponent 8\r/ColorSpace /DeviceGray\r"
                     "/Length 2 >>\rstream\r\nJ\rendstream\r"),
            std::string::npos);
  // Every cross-reference entry is 20 bytes and points at its object's line.
  const std::size_t xref = doc.find("xref\r0 12\r0000000000 65535 f \r");
  ASSERT_NE(xref, std::string::npos);
  for (int number = 1; number <= 11; ++number) {
    const std::string entry = doc.substr(xref + 30 + 20 * static_cast<std::size_t>(number - 1), 20);
    EXPECT_EQ(entry.substr(10), " 00000 n \r");
    const std::size_t offset = std::stoul(entry.substr(0, 10));
    EXPECT_EQ(doc.compare(offset, std::to_string(number).size() + 6, std::to_string(number) + " 0 obj"), 0) << number;
  }
  EXPECT_NE(doc.find("startxref\r" + std::to_string(xref) + "\r%%EOF\r"), std::string::npos);
}

TEST(PdfLayout, InformationHoldsTheNonEmptyTextsInOrderEscaped) {
  TluPDF pdf;
  EXPECT_NE(Document(pdf).find("<< \r/CreationDate (D:20240309070502Z)\r>> \r"), std::string::npos);

  pdf.Producer = "Pagewell";
  pdf.Title = "Q3 (draft)";
  pdf.Subject = "a\\b";
  pdf.Author = "Ann";
  pdf.Keywords = "x)(y";
  EXPECT_NE(Document(pdf).find("<< \r/Producer (Pagewell)\r/Title (Q3 \\(draft\\))\r/Subject (a\\\\b)\r/Author (Ann)\r"
                               "/Keywords (x\\)\\(y)\r/CreationDate (D:20240309070502Z)\r>> \r"),
            std::string::npos);
}

TEST(PdfLayout, CreationDateComesFromTheLocalClock) {
  TluPDF pdf;
  TMemoryStream stream;
  const TPDFDateTime before = TPDFDateTime::Now();
  pdf.SaveToStream(stream);
  const std::string doc(stream.Bytes().begin(), stream.Bytes().end());
  std::smatch match;
  ASSERT_TRUE(std::regex_search(doc, match, std::regex("/CreationDate \\(D:(\\d{4})(\\d{2})(\\d{2})\\d{6}Z\\)\r")));
  EXPECT_EQ(std::stoi(match[1]), before.Year);
}

TEST(PdfLayout, LiteralEscaping) {
  EXPECT_EQ(EscapePdfLiteral("plain text"), "plain text");
  EXPECT_EQ(EscapePdfLiteral("(a) \\ b"), "\\(a\\) \\\\ b");
}

TEST(PdfPages, PageSizeInPoints) {
  struct TCase {
    int Pixels, PelsPerMeter, Points;
  };
  const TCase cases[] = {
      {2550, 11811, 612},  // 300 dpi letter width
      {3300, 11811, 792},
      {1700, 7874, 612},  // 200 dpi
      {100, 0, 100},      // unknown resolution: 72 dpi
      {100, -3000, 100},  // nonsense resolution: likewise
      {1, 11811, 0},      // 0.24 points rounds down
      {3, 11811, 1},      // 0.72 points rounds up
  };
  for (const auto& c : cases) EXPECT_EQ(PageSizeInPoints(c.Pixels, c.PelsPerMeter), c.Points) << c.Pixels;
}

TEST(PdfPages, PositionRule) {
  struct TCase {
    std::vector<int> Positions;
    std::string Order;
  };
  const TCase cases[] = {
      {{0, 0, 0}, "ABC"},   // 0 appends
      {{1, 1, 1}, "CBA"},   // 1 puts first
      {{5, 0, 0}, "ABC"},   // any position into an empty list goes first
      {{0, 0, 2}, "ACB"},   // 2 goes after the first
      {{0, 0, 3}, "ABC"},   // 3 goes after the second
      {{0, 0, 9}, "ABC"},   // past the end appends
      {{0, 0, 1}, "CAB"},
  };
  for (const auto& c : cases) {
    TImageList list;
    for (std::size_t i = 0; i < c.Positions.size(); ++i) {
      list.Add(FakePage(pkJpegColor, std::string(1, static_cast<char>('A' + i)), 1, 1, 1, 1), c.Positions[i]);
    }
    std::string order;
    for (int i = 1; i <= list.Count(); ++i) order += static_cast<char>(list.Item(i)->Data.Bytes()[0]);
    EXPECT_EQ(order, c.Order);
  }
  TImageList list;
  list.Add(TPDFImage{}, 0);
  EXPECT_EQ(list.Item(0), nullptr);
  EXPECT_EQ(list.Item(2), nullptr);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(PdfPages, PagesFromBitmaps) {
  TluPDF pdf;
  pdf.AddJpegPage(testing::ColourPage(2550, 3300, 300), 0, 90);
  pdf.AddJpegPage(testing::GrayPage(64, 32, 0), 0, 90);
  pdf.AddBilevelPage(testing::PatternPage(40, 20, 200), 0);
  ASSERT_EQ(pdf.Images.Count(), 3);
  const TPDFImage& colour = *pdf.Images.Item(1);
  EXPECT_EQ(colour.Kind, pkJpegColor);
  EXPECT_EQ(colour.PageWidth, 612);
  EXPECT_EQ(colour.PageHeight, 792);
  EXPECT_EQ(colour.PixelWidth, 2550);
  // The raw library data: JFIF without density.
  EXPECT_EQ(colour.Data.Bytes()[13], 0);
  const TPDFImage& gray = *pdf.Images.Item(2);
  EXPECT_EQ(gray.Kind, pkJpegGray);
  EXPECT_EQ(gray.PageWidth, 64);
  const TPDFImage& bilevel = *pdf.Images.Item(3);
  EXPECT_EQ(bilevel.Kind, pkCCITTGroup4);
  EXPECT_EQ(bilevel.Data.Bytes(), EncodeGroup4(testing::PatternPage(40, 20, 200)));
  EXPECT_EQ(bilevel.PageWidth, 14);  // 40 pixels at 200 dpi: 14.4 points
}

}  // namespace
}  // namespace pagewell
