// Several pages written page by page into a sink: the same bytes as the
// file built whole in memory, each page out before the next is asked for,
// and a sink that fails part way leaving no file behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "formats/atomic_file.h"
#include "formats/page_encoding.h"
#include "imaging/page_fixtures.h"
#include "support/external_tools.h"

namespace pagewell {
namespace {
namespace fs = std::filesystem;

using test::RandomPage;

const TPDFDateTime kCreated{2026, 12, 11, 5, 30, 1};

// Black and white, gray, 16 colours and true colour, at odd sizes and
// resolutions, so every kind of page and odd-length data meet a seam.
std::vector<TluBitmap> MixedPages() {
  std::vector<TluBitmap> pages;
  pages.push_back(RandomPage(TPixelFormat::pf1bit, 97, 61, 1));
  TluBitmap gray = RandomPage(TPixelFormat::pf8bit, 41, 29, 2);
  std::vector<TColor> ramp;
  for (int i = 0; i < 256; ++i) ramp.push_back(RGBColor(i, i, i));
  gray.SetPaletteKeepingIndices(ramp);
  pages.push_back(gray);
  pages.push_back(RandomPage(TPixelFormat::pf4bit, 13, 7, 3));
  pages.push_back(RandomPage(TPixelFormat::pf24bit, 33, 21, 4));
  pages.push_back(RandomPage(TPixelFormat::pf1bit, 1, 1, 5));
  int dpi = 96;
  for (TluBitmap& page : pages) {
    page.DetectColorMode();
    page.SetXDpi(dpi += 50);
    page.SetYDpi(dpi / 2);
  }
  return pages;
}

// The file as the whole-file encoders make it in memory.
std::vector<std::uint8_t> InMemoryFile(const std::vector<TluBitmap>& pages, int code) {
  TMemoryStream file;
  if (code == fcTIFF) {
    TSeveralPagesEncoder encoder(fcTIFF, 90);
    for (const TluBitmap& page : pages) encoder.Add(page);
    encoder.SaveToStream(file);
  } else {
    TluPDF pdf;
    for (const TluBitmap& page : pages) {
      if (page.ColorMode == cmBlackWhite) {
        pdf.AddBilevelPage(page, 0);
      } else {
        pdf.AddJpegPage(page, 0, 90);
      }
    }
    pdf.SaveToStream(file, kCreated);
  }
  return file.TakeBytes();
}

// Keeps what it is given.
class RecordingSink final : public TByteSink {
 public:
  using TByteSink::Write;
  void Write(const std::uint8_t* bytes, std::size_t count) override { bytes_.insert(bytes_.end(), bytes, bytes + count); }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

// Passes the bytes on to a file until `limit`, then fails as a full disk.
class FailingFileSink final : public TByteSink {
 public:
  FailingFileSink(TByteSink& file, std::size_t limit) : file_(file), left_(limit) {}
  using TByteSink::Write;
  void Write(const std::uint8_t* bytes, std::size_t count) override {
    if (count > left_) throw EFileWriteError("Cannot write the file: the disk is full");
    left_ -= count;
    file_.Write(bytes, count);
  }

 private:
  TByteSink& file_;
  std::size_t left_;
};

TPageEncoding Stream(const std::vector<TluBitmap>& pages, int code, TByteSink& sink,
                     const TPageSource& source = nullptr) {
  const TPageSource fromList = [&](int i) -> const TluBitmap& { return pages[static_cast<std::size_t>(i)]; };
  return EncodeSeveralPages(static_cast<int>(pages.size()), source ? source : fromList, code, 90, sink, nullptr,
                            kCreated);
}

const int kFormats[] = {fcTIFF, fcPDF};

TEST(PageStreamingTest, SameBytesAsTheFileBuiltInMemoryEachPageOutBeforeTheNext) {
  const std::vector<TluBitmap> pages = MixedPages();
  for (int code : kFormats) {
    SCOPED_TRACE(code == fcTIFF ? "TIFF" : "PDF");
    RecordingSink sink;
    std::vector<std::size_t> sentWhenAsked;
    const TPageSource source = [&](int i) -> const TluBitmap& {
      sentWhenAsked.push_back(sink.Bytes().size());
      return pages[static_cast<std::size_t>(i)];
    };
    ASSERT_EQ(Stream(pages, code, sink, source), TPageEncoding::Written);
    EXPECT_EQ(sink.Bytes(), InMemoryFile(pages, code));
    for (std::size_t i = 1; i < sentWhenAsked.size(); ++i)
      EXPECT_GT(sentWhenAsked[i], sentWhenAsked[i - 1] + 20) << "page " << i << " was not out before page " << i + 1;
  }
}

// The in-memory wrapper makes the same file after whatever the stream held.
TEST(PageStreamingTest, InMemoryWrapperAppendsTheStreamedFile) {
  const std::vector<TluBitmap> pages = MixedPages();
  RecordingSink sink;
  ASSERT_EQ(Stream(pages, fcTIFF, sink), TPageEncoding::Written);
  TMemoryStream stream;
  stream.WriteString("kept");
  ASSERT_EQ(EncodeSeveralPages(static_cast<int>(pages.size()), [&](int i) -> const TluBitmap& { return pages[i]; },
                               fcTIFF, 90, stream),
            TPageEncoding::Written);
  std::vector<std::uint8_t> expected{'k', 'e', 'p', 't'};
  expected.insert(expected.end(), sink.Bytes().begin(), sink.Bytes().end());
  EXPECT_EQ(stream.Bytes(), expected);
}

// The disk fills in the header, inside a page, and at the very end: the
// error comes out, the old file stays and no temporary file is left.
TEST(PageStreamingTest, ASinkThatFailsPartWayLeavesTheOldFileAndNoTemporary) {
  const std::vector<TluBitmap> pages = MixedPages();
  for (int code : kFormats) {
    const std::size_t size = InMemoryFile(pages, code).size();
    for (std::size_t limit : {std::size_t{4}, size / 2, size - 1}) {
      SCOPED_TRACE((code == fcTIFF ? "TIFF, " : "PDF, ") + std::to_string(limit) + " of " + std::to_string(size));
      testing::TTempDir dir;
      const std::string target = dir.File("pages.out");
      testing::WriteFileBytes(target, {'o', 'l', 'd'});
      try {
        TAtomicFileWriter file(target);
        FailingFileSink failing(file, limit);
        Stream(pages, code, failing);
        ADD_FAILURE() << "no error";
      } catch (const EFileWriteError& e) {
        EXPECT_STREQ(e.what(), "Cannot write the file: the disk is full");
      }
      EXPECT_EQ(testing::ReadFileBytes(target), std::vector<std::uint8_t>({'o', 'l', 'd'}));
      EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(target).parent_path()), fs::directory_iterator()), 1);
    }
  }
}

// A file streamed to disk through the atomic writer, read by libtiff and
// poppler.
TEST(PageStreamingTest, StreamedFilesOpenInOtherDecoders) {
  if (!testing::HaveTool("tiffinfo") || !testing::HaveTool("pdfinfo"))
    GTEST_SKIP() << "libtiff's and poppler's tools exist only in the native build";
  const std::vector<TluBitmap> pages = MixedPages();
  testing::TTempDir dir;
  const struct {
    int code;
    const char* name;
    const char* command;
    std::regex pages;
  } cases[] = {
      {fcTIFF, "pages.tif", "tiffinfo ", std::regex("(TIFF Directory[^]*){5}")},
      {fcPDF, "pages.pdf", "pdfinfo ", std::regex("Pages: +5\n")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string target = dir.File(c.name);
    TAtomicFileWriter file(target);
    ASSERT_EQ(Stream(pages, c.code, file), TPageEncoding::Written);
    file.Commit();
    EXPECT_EQ(testing::ReadFileBytes(target), InMemoryFile(pages, c.code));
    const auto info = testing::RunCommand(c.command + target);
    ASSERT_EQ(info.exitCode, 0) << info.output;
    EXPECT_TRUE(std::regex_search(info.output, c.pages)) << info.output;
  }
}

}  // namespace
}  // namespace pagewell
