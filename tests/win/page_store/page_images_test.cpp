// The form's pages kept in the page store: a thumbnail viewer keeps only its
// drawn view and shows exactly what it showed with its page; the page comes
// back from the store bit for bit; an edit goes through the store; and a
// store that cannot write or read leaves every page as it was.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "page_images.h"
#include "viewer_test_support.h"

namespace pagewell::testing {
namespace {

// The store's file in memory, with failures switched on by the test.
struct FakeFileState {
  std::vector<std::uint8_t> bytes;
  TPageStoreError writeFailure = TPageStoreError::None;
  TPageStoreError readFailure = TPageStoreError::None;
};

class FakePageFile final : public IPageFile {
 public:
  explicit FakePageFile(FakeFileState& state) : state_(state) {}
  TPageStoreError Write(std::uint64_t offset, const std::uint8_t* bytes, std::size_t count) override {
    if (state_.writeFailure != TPageStoreError::None) return state_.writeFailure;
    if (state_.bytes.size() < offset + count) state_.bytes.resize(offset + count);
    std::copy(bytes, bytes + count, state_.bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    return TPageStoreError::None;
  }
  TPageStoreError Read(std::uint64_t offset, std::uint8_t* bytes, std::size_t count) override {
    if (state_.readFailure != TPageStoreError::None) return state_.readFailure;
    if (offset + count > state_.bytes.size()) return TPageStoreError::ReadFailed;
    std::copy(state_.bytes.begin() + static_cast<std::ptrdiff_t>(offset),
              state_.bytes.begin() + static_cast<std::ptrdiff_t>(offset + count), bytes);
    return TPageStoreError::None;
  }
  void Truncate(std::uint64_t size) override {
    if (size < state_.bytes.size()) state_.bytes.resize(size);
  }

 private:
  FakeFileState& state_;
};

constexpr int kCell = 60;

class PageImagesTest : public ViewerTest {
 protected:
  // Every page goes to the file: a budget of nothing.
  PageImagesTest() : images([this] { return std::make_unique<FakePageFile>(file); }, 0) {}

  // A thumbnail as the form makes one: the page loaded, fitted, scaled to
  // gray, and kept.
  TPWImage& AddPage(const TluBitmap& page) {
    pages.push_back(std::make_unique<TPWImage>(host, 0, 0, kCell, kCell));
    TPWImage& v = *pages.back();
    LoadPage(v, page);
    v.SetAutoZoom(true);
    v.FitToSize(kCell, kCell);
    v.SetScaleToGray(true);
    return v;
  }

  static bool SameBits(const TluBitmap& a, const TluBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat()) return false;
    if (a.Palette() != b.Palette() || a.XPelsPerMeter != b.XPelsPerMeter) return false;
    for (int y = 0; y < a.Height(); ++y)
      if (!std::equal(a.ScanLine(y), a.ScanLine(y) + a.RowBytes(), b.ScanLine(y))) return false;
    return true;
  }

  void TearDown() override {
    pages.clear();
    ViewerTest::TearDown();
  }

  FakeFileState file;
  TPageImages images;
  std::vector<std::unique_ptr<TPWImage>> pages;
};

TEST_F(PageImagesTest, AKeptThumbnailShowsWhatItShowedWithItsPage) {
  TluBitmap colour = PatternPage(300, 200);
  colour.XPelsPerMeter = colour.YPelsPerMeter = 3937;
  TluBitmap blackWhite = PatternPage(200, 300);
  blackWhite.SetColorMode(cmBlackWhite);
  for (const TluBitmap* page : {&colour, &blackWhite}) {
    TPWImage& v = AddPage(*page);
    PumpMessages();
    const TRaster before = CaptureClient(v.Handle());
    const int width = v.Width(), height = v.Height();
    const TluBitmap held = *v.Image();

    ASSERT_EQ(images.Keep(v), TPageStoreError::None);
    EXPECT_EQ(v.Image(), nullptr);
    EXPECT_TRUE(v.ImageLoaded());
    EXPECT_EQ(v.ImageWidth(), held.Width());
    InvalidateRect(v.PaintAreaHandle(), nullptr, TRUE);
    PumpMessages();
    const TRaster after = CaptureClient(v.Handle());
    EXPECT_EQ(v.Width(), width);
    EXPECT_EQ(v.Height(), height);
    int wrong = 0;
    for (int y = 0; y < before.Height(); ++y)
      for (int x = 0; x < before.Width(); ++x) wrong += before.PixelColor(x, y) != after.PixelColor(x, y);
    EXPECT_EQ(wrong, 0);

    TluBitmap back;
    ASSERT_EQ(images.Fetch(v, back), TPageStoreError::None);
    EXPECT_TRUE(SameBits(back, held));
    EXPECT_EQ(back.ColorMode, held.ColorMode);
  }
  EXPECT_GT(file.bytes.size(), 0u);
}

TEST_F(PageImagesTest, AnEditGoesThroughTheStoreAndRefitsTheThumbnail) {
  TPWImage& v = AddPage(PatternPage(300, 120));
  ASSERT_EQ(images.Keep(v), TPageStoreError::None);
  const int wideWidth = v.Width();
  ASSERT_EQ(images.Edit(v, kCell, kCell, [](TPWImage& viewer) { viewer.Rotate(90); }), TPageStoreError::None);
  EXPECT_TRUE(v.ViewOnly());
  EXPECT_LT(v.Width(), wideWidth);
  TluBitmap back;
  ASSERT_EQ(images.Fetch(v, back), TPageStoreError::None);
  EXPECT_EQ(back.Width(), 120);
  EXPECT_EQ(back.Height(), 300);
  EXPECT_EQ(back.PixelColor(0, 299), PatternColor(0, 0));
}

TEST_F(PageImagesTest, AStoreThatFailsLeavesEveryPageAsItWas) {
  TPWImage& kept = AddPage(PatternPage(300, 120));
  ASSERT_EQ(images.Keep(kept), TPageStoreError::None);
  TluBitmap original;
  ASSERT_EQ(images.Fetch(kept, original), TPageStoreError::None);
  const int width = kept.Width();

  // The disk is full: a new page is refused, an edit leaves the page and its
  // thumbnail as they were.
  file.writeFailure = TPageStoreError::DiskFull;
  TPWImage& refused = AddPage(PatternPage(50, 50));
  EXPECT_EQ(images.Keep(refused), TPageStoreError::DiskFull);
  TluBitmap none;
  EXPECT_EQ(images.Fetch(refused, none), TPageStoreError::NoSuchPage);
  EXPECT_EQ(images.Edit(kept, kCell, kCell, [](TPWImage& viewer) { viewer.Rotate(90); }), TPageStoreError::DiskFull);
  EXPECT_EQ(kept.Width(), width);
  file.writeFailure = TPageStoreError::None;
  TluBitmap still;
  ASSERT_EQ(images.Fetch(kept, still), TPageStoreError::None);
  EXPECT_TRUE(SameBits(still, original));

  // A read that fails is reported, and so is a record changed behind the
  // store's back: never a wrong picture.
  file.readFailure = TPageStoreError::ReadFailed;
  TluBitmap unread;
  EXPECT_EQ(images.Fetch(kept, unread), TPageStoreError::ReadFailed);
  file.readFailure = TPageStoreError::None;
  file.bytes[file.bytes.size() / 2] ^= 0x40;
  EXPECT_EQ(images.Fetch(kept, unread), TPageStoreError::Corrupt);

  // Forgotten pages and a cleared list are gone from the store.
  images.Forget(kept);
  EXPECT_EQ(images.Fetch(kept, unread), TPageStoreError::NoSuchPage);
  EXPECT_EQ(images.Store().Count(), 0u);
}

}  // namespace
}  // namespace pagewell::testing
