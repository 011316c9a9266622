// The output format: FileFormat first, then FileName's extension, then PDF.
#include <gtest/gtest.h>

#include <string>

#include "encode_pages.h"
#include "file_format.h"
#include "formats/format_code.h"

namespace pagewell {
namespace {

TEST(ResolveFileFormatTest, FileFormatThenExtensionThenPdf) {
  const struct {
    const wchar_t* fileFormat;
    const wchar_t* fileName;
    int code;
  } cases[] = {
      {L"TIF", L"scan.pdf", fcTIFF},      {L"JPG", L"", fcJPEG},           {L"WBM", L"x.png", fcWBMP},
      {L"BMP", L"x", fcBMP},              {L"GIF", L"x", fcGIF},           {L"PCX", L"x", fcPCX},
      {L"PNG", L"x", fcPNG},              {L"PSD", L"x", fcPSD},           {L"PDF", L"x.tif", fcPDF},
      {L"FileName", L"scan.jpeg", fcJPEG}, {L"FileName", L"scan.JPE", fcJPEG}, {L"FileName", L"a.b.Tiff", fcTIFF},
      {L"FileName", L"scan.wbmp", fcWBMP}, {L"FileName", L"scan.gif", fcGIF}, {L"FileName", L"scan", fcPDF},
      {L"FileName", L"scan.txt", fcPDF},  {L"FileName", L"", fcPDF},       {L"FileName", L"dir.tif\\scan", fcPDF},
      {L"FileName", L"scan.t\u00eff", fcPDF}, {L"FileName", L"scan.png.", fcPDF},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.fileFormat) + L" " + c.fileName));
    EXPECT_EQ(ResolveFileFormat(c.fileFormat, c.fileName), c.code);
  }
}

TEST(ResolveFileFormatTest, ProgressTextReadsAsTheStatusTextsSay) {
  EXPECT_EQ(PreparingPageText(L"Preparing to upload", L"Page", 2, 5), L"Preparing to upload - Page(2/5)...");
  EXPECT_EQ(PreparingPageText(L"Vorbereiten", L"Seite", 10, 12), L"Vorbereiten - Seite(10/12)...");
}

}  // namespace
}  // namespace pagewell
