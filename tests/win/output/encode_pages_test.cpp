// EncodePages over a list of pages: which page goes out in which format,
// that saving leaves the pages as they were, and when nothing is written.
#include "encode_pages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/page_fixtures.h"

namespace pagewell {
namespace {

std::string Start(const TMemoryStream& stream, size_t count) {
  const auto& bytes = stream.Bytes();
  return std::string(bytes.begin(), bytes.begin() + std::min(count, bytes.size()));
}

class StopBefore : public TPageEncodingProgress {
 public:
  explicit StopBefore(int page) : page_(page) {}
  bool BeforePage(int page, int) override { return page != page_; }
  void PagesDone() override {}

 private:
  int page_;
};

struct ThreePages {
  ThreePages() {
    pages[0] = test::RandomPage(TPixelFormat::pf1bit, 30, 20, 1);
    pages[1] = test::RandomPage(TPixelFormat::pf8bit, 31, 21, 2);
    pages[2] = test::RandomPage(TPixelFormat::pf24bit, 32, 22, 3);
    // Settings of a page that its own file would use; output ignores them.
    pages[1].TiffCompression = 2;
    pages[2].Transparent = true;
  }
  std::vector<const TluBitmap*> list() const { return {&pages[0], &pages[1], &pages[2]}; }
  TluBitmap pages[3];
};

// One page: the page named by the index, in any format, from a copy.
TEST(EncodePagesTest, OnePageGoesOutInItsFormatAndStaysAsItWas) {
  const struct {
    int code;
    std::string start;
  } cases[] = {{fcBMP, "BM"},        {fcGIF, "GIF8"},      {fcJPEG, "\xFF\xD8\xFF"},
               {fcPCX, "\x0A"},      {fcTIFF, "II*"},      {fcPNG, "\x89PNG"},
               {fcPSD, "8BPS"},      {fcWBMP, std::string("\0\0", 2)}, {fcPDF, "%PDF-"}};
  for (bool allPages : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE("format " + std::to_string(c.code) + (allPages ? ", all pages" : ""));
      ThreePages three;
      const TluBitmap before = three.pages[1];
      TMemoryStream stream;
      // With all pages, only TIFF and PDF hold several; the others are
      // never asked for them, and a caller that does gets nothing.
      const bool several = allPages && FormatHoldsSeveralPages(c.code);
      const EncodeOutcome outcome = EncodePages(three.list(), stream, allPages, c.code, 2, nullptr);
      if (allPages && !several) {
        EXPECT_EQ(outcome, EncodeOutcome::NoPage);
        EXPECT_EQ(stream.Size(), 0u);
        continue;
      }
      ASSERT_EQ(outcome, EncodeOutcome::Written);
      EXPECT_EQ(Start(stream, c.start.size()), c.start);
      EXPECT_EQ(three.pages[1].PixelFormat(), before.PixelFormat());
      EXPECT_EQ(three.pages[1].Palette(), before.Palette());
      EXPECT_EQ(three.pages[1].TiffCompression, 2);
    }
  }
}

TEST(EncodePagesTest, NothingIsWrittenWithoutAPageOrAfterAStop) {
  ThreePages three;
  const std::vector<const TluBitmap*> one = {&three.pages[2]};
  StopBefore stopAtTwo(2);
  const struct {
    const char* name;
    std::vector<const TluBitmap*> pages;
    bool allPages;
    int code;
    unsigned index;
    TPageEncodingProgress* progress;
    EncodeOutcome outcome;
  } cases[] = {
      {"index 0", three.list(), false, fcPDF, 0, nullptr, EncodeOutcome::NoPage},
      {"index past the end", three.list(), false, fcPDF, 4, nullptr, EncodeOutcome::NoPage},
      {"no pages", {}, true, fcTIFF, 1, nullptr, EncodeOutcome::NoPage},
      {"stop before page 2, TIFF", three.list(), true, fcTIFF, 1, &stopAtTwo, EncodeOutcome::Aborted},
      {"stop before page 2, PDF", three.list(), true, fcPDF, 1, &stopAtTwo, EncodeOutcome::Aborted},
      // One page goes through the page's own writer: no page-by-page stop.
      {"one page of all", one, true, fcPDF, 1, &stopAtTwo, EncodeOutcome::Written},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TMemoryStream stream;
    EXPECT_EQ(EncodePages(c.pages, stream, c.allPages, c.code, c.index, c.progress), c.outcome);
    EXPECT_EQ(stream.Size() > 0, c.outcome == EncodeOutcome::Written);
  }
}

}  // namespace
}  // namespace pagewell
