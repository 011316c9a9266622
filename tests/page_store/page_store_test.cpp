#include "page_store/page_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "page_store/page_store_error.h"
#include "page_store/pixel_codec.h"
#include "page_store_fixtures.h"

namespace pagewell {
namespace {

using namespace page_store_test;
using TKey = TPageStore::TKey;

constexpr std::size_t kLargeBudget = 256u << 20;

// Puts `original` into `store`, fetches it into `back` (which may hold a
// page already) and expects every field of it back.
void ExpectComesBack(TPageStore& store, const TluBitmap& original, TluBitmap back = TluBitmap()) {
  TKey key = 0;
  ASSERT_EQ(store.Put(original, key), TPageStoreError::None);
  ASSERT_EQ(store.Get(key, back), TPageStoreError::None);
  ExpectSamePage(back, original);
}

// ---- round trip of every pixel format --------------------------------------

struct TRoundTripCase {
  TPixelFormat format;
  int width;
  int height;
  TPicture picture;
};

std::string CaseName(const testing::TestParamInfo<TRoundTripCase>& info) {
  const auto& c = info.param;
  return std::to_string(static_cast<int>(c.format)) + "bit_" + std::to_string(c.width) + "x" + std::to_string(c.height) +
         (c.picture == TPicture::Text ? "_text" : c.picture == TPicture::Noise ? "_noise" : "_rough");
}

std::vector<TRoundTripCase> RoundTripCases() {
  std::vector<TRoundTripCase> cases;
  for (TPixelFormat format : {TPixelFormat::pf1bit, TPixelFormat::pf4bit, TPixelFormat::pf8bit, TPixelFormat::pf15bit,
                              TPixelFormat::pf16bit, TPixelFormat::pf24bit, TPixelFormat::pf32bit}) {
    for (int width : {1, 7, 33, 300}) {
      for (TPicture picture : {TPicture::Text, TPicture::Noise, TPicture::Rough}) {
        if (picture == TPicture::Rough && format != TPixelFormat::pf1bit) continue;
        cases.push_back({format, width, width == 300 ? 200 : 9, picture});
      }
    }
  }
  return cases;
}

class PageStoreRoundTrip : public testing::TestWithParam<TRoundTripCase> {};

TEST_P(PageStoreRoundTrip, InMemoryAndInTheFileComeBackBitForBit) {
  const auto& c = GetParam();
  const TluBitmap original = MakePage(c.format, c.width, c.height, c.picture);
  for (std::size_t budget : {kLargeBudget, std::size_t{0}}) {
    SCOPED_TRACE(budget == 0 ? "in the file" : "in memory");
    auto state = std::make_shared<TFakeFileState>();
    TPageStore store(FakeOpener(state), budget);
    TKey key = 0;
    ASSERT_EQ(store.Put(original, key), TPageStoreError::None);
    EXPECT_NE(key, 0u);
    EXPECT_EQ(store.Count(), 1u);
    TluBitmap back;
    ASSERT_EQ(store.Get(key, back), TPageStoreError::None);
    ExpectSamePage(back, original);
    // A second fetch gives the same again.
    TluBitmap again;
    ASSERT_EQ(store.Get(key, again), TPageStoreError::None);
    ExpectSameRaster(again, original);
    if (budget == 0) {
      EXPECT_EQ(store.MemoryBytes(), 0u);
      EXPECT_GT(store.FileBytes(), 0u);
      EXPECT_EQ(state->opened, 1);
    } else {
      EXPECT_GT(store.MemoryBytes(), 0u);
      EXPECT_EQ(store.FileBytes(), 0u);
      EXPECT_EQ(state->opened, 0) << "a small batch never creates a file";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, PageStoreRoundTrip, testing::ValuesIn(RoundTripCases()), CaseName);

// Pages of many strips (about 512 KiB of rows each, the last one shorter),
// some filtered against the row above and some raw: 300-dpi Letter pages
// of text with a band of noise.
TEST(PageStore, LetterPagesOfManyStripsComeBack) {
  for (TPixelFormat format : {TPixelFormat::pf1bit, TPixelFormat::pf8bit, TPixelFormat::pf24bit}) {
    SCOPED_TRACE(static_cast<int>(format));
    TluBitmap original = MakePage(format, 2550, 3300, TPicture::Text);
    const TluBitmap noise = MakePage(format, 2550, 3300, TPicture::Noise);
    for (int y = 1650; y < 1900; ++y) std::memcpy(original.ScanLine(y), noise.ScanLine(y), original.RowStride());
    auto state = std::make_shared<TFakeFileState>();
    TPageStore store(FakeOpener(state), 0);
    ExpectComesBack(store, original);
  }
}

TEST(PageStore, EveryFieldOfTheBitmapComesBack) {
  for (TPixelFormat format : {TPixelFormat::pf1bit, TPixelFormat::pf8bit, TPixelFormat::pf24bit}) {
    SCOPED_TRACE(static_cast<int>(format));
    TluBitmap original = MakePage(format, 33, 21, TPicture::Text);
    SetEveryField(original);
    TPageStore store(nullptr, kLargeBudget);
    ExpectComesBack(store, original);
  }
}

TEST(PageStore, AnEmptyBitmapComesBack) {
  TPageStore store(nullptr, kLargeBudget);
  TluBitmap original;
  original.XPelsPerMeter = 5;
  ExpectComesBack(store, original, TluBitmap(3, 3, TPixelFormat::pf8bit));
}

// Group 4 codes runs of the palette's brighter colour as white; whichever
// index that is, and for two equally bright colours, the bits come back.
TEST(PageStore, BlackAndWhiteComesBackWhateverThePalette) {
  const std::vector<std::vector<TColor>> palettes = {
      {clBlack, clWhite}, {clWhite, clBlack}, {RGBColor(255, 0, 0), RGBColor(0, 0, 255)}, {clWhite, clWhite}, {clBlack, clBlack}};
  for (const auto& palette : palettes) {
    for (TPicture picture : {TPicture::Text, TPicture::Noise, TPicture::Rough}) {
      TluBitmap original = MakePage(TPixelFormat::pf1bit, 301, 77, picture);
      original.SetPaletteKeepingIndices(palette);
      TPageStore store(nullptr, kLargeBudget);
      ExpectComesBack(store, original);
    }
  }
}

// ---- the raster's hand-over --------------------------------------------------

TEST(RasterPixels, AreHandedOverAndTakenBackWithoutACopy) {
  TRaster raster = MakePage(TPixelFormat::pf24bit, 33, 5, TPicture::Noise);
  const std::vector<std::uint8_t> before = PixelBytes(raster);
  TRaster::TPixelBytes pixels = raster.ReleasePixels();
  const std::uint8_t* buffer = pixels.data();
  EXPECT_EQ(pixels.size(), raster.RowStride() * 5);
  EXPECT_EQ(raster.Width(), 33);  // the shell keeps its size and format
  EXPECT_EQ(raster.PixelFormat(), TPixelFormat::pf24bit);
  TRaster::TPixelBytes tooShort(pixels.size() - 1);
  EXPECT_FALSE(raster.AdoptPixels(std::move(tooShort)));
  ASSERT_TRUE(raster.AdoptPixels(std::move(pixels)));
  EXPECT_EQ(raster.ScanLine(0), buffer);
  EXPECT_EQ(PixelBytes(raster), before);
}

// ---- the codec -------------------------------------------------------------

TEST(PixelCodec, RoughBlackAndWhiteIsGroup4CleanTextAndNoiseAreDeflate) {
  TPixelCodec codec;
  std::vector<std::uint8_t> record;
  ASSERT_EQ(codec.Encode(MakePage(TPixelFormat::pf1bit, 300, 200, TPicture::Rough), record), TPageStoreError::None);
  EXPECT_EQ(record[4], 2) << "Group 4";
  ASSERT_EQ(codec.Encode(MakePage(TPixelFormat::pf1bit, 300, 200, TPicture::Text), record), TPageStoreError::None);
  EXPECT_EQ(record[4], 1) << "filtered DEFLATE";
  ASSERT_EQ(codec.Encode(MakePage(TPixelFormat::pf1bit, 300, 200, TPicture::Noise), record), TPageStoreError::None);
  EXPECT_EQ(record[4], 1) << "DEFLATE, Group 4 being larger than the raw rows";
  ASSERT_EQ(codec.Encode(MakePage(TPixelFormat::pf24bit, 300, 200, TPicture::Text), record), TPageStoreError::None);
  EXPECT_EQ(record[4], 1);
}

// A bit after the last pixel that is not 0 (no raster has one, but a wrong
// picture must never come back): Group 4 would drop it, DEFLATE keeps it.
TEST(PixelCodec, StrayBitsAfterTheLastPixelAreKept) {
  TluBitmap original = MakePage(TPixelFormat::pf1bit, 301, 50, TPicture::Rough);
  original.ScanLine(7)[original.RowBytes() - 1] |= 1;
  original.ScanLine(9)[original.RowStride() - 1] = 0x40;
  TPixelCodec codec;
  std::vector<std::uint8_t> record;
  ASSERT_EQ(codec.Encode(original, record), TPageStoreError::None);
  EXPECT_EQ(record[4], 1);
  TRaster::TPixelBytes pixels;
  ASSERT_EQ(codec.Decode(record.data(), record.size(), original, pixels), TPageStoreError::None);
  EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), original.ScanLine(0)));
}

// Every single flipped byte and every cut-short length of a record is
// Corrupt: nothing is taken on trust before its check.
TEST(PixelCodec, EveryFlippedByteAndEveryTruncationIsCorrupt) {
  for (TPixelFormat format : {TPixelFormat::pf1bit, TPixelFormat::pf8bit, TPixelFormat::pf24bit}) {
    SCOPED_TRACE(static_cast<int>(format));
    const TluBitmap page = MakePage(format, 201, 30, format == TPixelFormat::pf1bit ? TPicture::Rough : TPicture::Text);
    TPixelCodec codec;
    std::vector<std::uint8_t> record;
    ASSERT_EQ(codec.Encode(page, record), TPageStoreError::None);
    if (format == TPixelFormat::pf1bit) {
      EXPECT_EQ(record[4], 2) << "a Group 4 record";
    }
    TRaster::TPixelBytes pixels;
    ASSERT_EQ(codec.Decode(record.data(), record.size(), page, pixels), TPageStoreError::None);
    for (std::size_t i = 0; i < record.size(); ++i) {
      for (std::uint8_t flip : {0x01, 0x80, 0xFF}) {
        std::vector<std::uint8_t> bad = record;
        bad[i] ^= flip;
        ASSERT_EQ(codec.Decode(bad.data(), bad.size(), page, pixels), TPageStoreError::Corrupt) << "byte " << i;
      }
    }
    for (std::size_t size = 0; size < record.size(); ++size) {
      ASSERT_EQ(codec.Decode(record.data(), size, page, pixels), TPageStoreError::Corrupt) << "size " << size;
    }
    EXPECT_EQ(codec.Decode(nullptr, 0, page, pixels), TPageStoreError::Corrupt);
  }
}

std::vector<std::uint8_t> WithCrc(std::vector<std::uint8_t> record) {
  const std::uint32_t crc = PageStoreCrc32(record.data(), record.size() - 4);
  for (int i = 0; i < 4; ++i) record[record.size() - 4 + i] = static_cast<std::uint8_t>(crc >> (8 * i));
  return record;
}

// A record whose own checksum was made to fit a change (as a coder's bug
// would): every number is still checked before use, and what is decoded
// is either refused or exactly the page (ASan watches the bounds).
TEST(PixelCodec, AChangedRecordWithAFittingChecksumNeverGivesAWrongPicture) {
  // Each kind of record: Group 4, filtered DEFLATE, raw DEFLATE.
  struct TCase {
    TPixelFormat format;
    TPicture picture;
    int codec;
    bool filtered;
  };
  for (const TCase& c : {TCase{TPixelFormat::pf1bit, TPicture::Rough, 2, false},
                         TCase{TPixelFormat::pf8bit, TPicture::Text, 1, true},
                         TCase{TPixelFormat::pf24bit, TPicture::Text, 1, true},
                         TCase{TPixelFormat::pf24bit, TPicture::Noise, 1, false}}) {
    SCOPED_TRACE(static_cast<int>(c.format));
    const TluBitmap page = MakePage(c.format, 201, 30, c.picture);
    TPixelCodec codec;
    std::vector<std::uint8_t> record;
    ASSERT_EQ(codec.Encode(page, record), TPageStoreError::None);
    EXPECT_EQ(record[4], c.codec);
    EXPECT_EQ(record[36] != 0, c.filtered) << "the filtered size of the strip";
    int refused = 0;
    // Every byte of the header and the strip table, every 7th after.
    for (std::size_t i = 0; i + 4 < record.size(); i += i < 64 ? 1 : 7) {
      for (std::uint8_t flip : {0x01, 0x80, 0xFF}) {
        std::vector<std::uint8_t> bad = record;
        bad[i] ^= flip;
        bad = WithCrc(bad);
        TRaster::TPixelBytes pixels;
        const TPageStoreError error = codec.Decode(bad.data(), bad.size(), page, pixels);
        if (error == TPageStoreError::None) {
          ASSERT_TRUE(std::equal(pixels.begin(), pixels.end(), page.ScanLine(0))) << "byte " << i;
        } else {
          ASSERT_EQ(error, TPageStoreError::Corrupt) << "byte " << i;
          ++refused;
        }
      }
    }
    EXPECT_GT(refused, 0);
  }
}

// A record that checks out but is decoded for another page's shell (a
// mix-up that must not give a picture of the wrong size).
TEST(PixelCodec, ARecordForAnotherSizeOrFormatIsCorrupt) {
  const TluBitmap page = MakePage(TPixelFormat::pf8bit, 33, 20, TPicture::Text);
  TPixelCodec codec;
  std::vector<std::uint8_t> record;
  ASSERT_EQ(codec.Encode(page, record), TPageStoreError::None);
  TRaster::TPixelBytes pixels;
  EXPECT_EQ(codec.Decode(record.data(), record.size(), MakePage(TPixelFormat::pf8bit, 34, 20, TPicture::Text), pixels),
            TPageStoreError::Corrupt);
  EXPECT_EQ(codec.Decode(record.data(), record.size(), MakePage(TPixelFormat::pf8bit, 33, 21, TPicture::Text), pixels),
            TPageStoreError::Corrupt);
  EXPECT_EQ(codec.Decode(record.data(), record.size(), MakePage(TPixelFormat::pf4bit, 66, 20, TPicture::Text), pixels),
            TPageStoreError::Corrupt);
}

// ---- the memory budget and the file ------------------------------------------

TEST(PageStore, RecordsGoToTheFileOnceTheBudgetIsUsed) {
  auto state = std::make_shared<TFakeFileState>();
  const TluBitmap page = MakePage(TPixelFormat::pf24bit, 120, 80, TPicture::Noise);
  TPixelCodec codec;
  std::vector<std::uint8_t> record;
  ASSERT_EQ(codec.Encode(page, record), TPageStoreError::None);
  // Room for two records.
  TPageStore store(FakeOpener(state), record.size() * 2 + record.size() / 2);
  std::vector<TKey> keys(5);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    ASSERT_EQ(store.Put(MakePage(TPixelFormat::pf24bit, 120, 80, TPicture::Noise), keys[i]), TPageStoreError::None);
    EXPECT_EQ(state->opened, i < 2 ? 0 : 1) << "opened when first needed, once";
  }
  EXPECT_EQ(store.MemoryBytes(), record.size() * 2);
  EXPECT_EQ(store.FileBytes(), record.size() * 3);
  for (TKey key : keys) {
    TluBitmap back;
    ASSERT_EQ(store.Get(key, back), TPageStoreError::None);
    ExpectSamePage(back, page);
  }
}

TEST(PageStore, KeysAreNeverZeroAndNeverShared) {
  TPageStore store(nullptr, kLargeBudget);
  std::vector<TKey> keys;
  for (int i = 0; i < 20; ++i) {
    TKey key = 0;
    ASSERT_EQ(store.Put(MakePage(TPixelFormat::pf8bit, 7, 3, TPicture::Noise, i), key), TPageStoreError::None);
    EXPECT_NE(key, 0u);
    for (TKey other : keys) EXPECT_NE(key, other);
    keys.push_back(key);
    if (i % 3 == 0) {
      store.Remove(keys.front());
      keys.erase(keys.begin());
    }
  }
  EXPECT_EQ(store.Count(), keys.size());
}

TEST(PageStore, UnknownKeysAreNoSuchPage) {
  TPageStore store(nullptr, kLargeBudget);
  TluBitmap page = MakePage(TPixelFormat::pf8bit, 7, 3, TPicture::Noise);
  const TluBitmap before = page;
  EXPECT_EQ(store.Get(0, page), TPageStoreError::NoSuchPage);
  EXPECT_EQ(store.Get(12345, page), TPageStoreError::NoSuchPage);
  ExpectSamePage(page, before);
  EXPECT_EQ(store.Replace(3, page), TPageStoreError::NoSuchPage);
  store.Remove(3);
  EXPECT_EQ(store.Count(), 0u);
}

// ---- failures through the seam -----------------------------------------------

struct TWriteFailureCase {
  const char* name;
  TPageStoreError fail;
};

class PageStoreWriteFailure : public testing::TestWithParam<TWriteFailureCase> {};

TEST_P(PageStoreWriteFailure, ThePageIsNotStoredAndTheEarlierOnesAreIntact) {
  auto state = std::make_shared<TFakeFileState>();
  TPageStore store(FakeOpener(state), 0);
  std::vector<TluBitmap> pages;
  std::vector<TKey> keys;
  for (int i = 0; i < 3; ++i) {
    pages.push_back(MakePage(TPixelFormat::pf24bit, 50, 40, TPicture::Noise, i));
    keys.push_back(0);
    ASSERT_EQ(store.Put(pages.back(), keys.back()), TPageStoreError::None);
  }
  const std::uint64_t fileBytes = store.FileBytes();
  if (GetParam().fail == TPageStoreError::DiskFull) {
    state->diskSize = state->bytes.size() + 100;  // part of the next record fits
  } else {
    state->failWrites = GetParam().fail;
  }
  TKey key = 77;
  EXPECT_EQ(store.Put(MakePage(TPixelFormat::pf24bit, 50, 40, TPicture::Noise, 9), key), GetParam().fail);
  EXPECT_EQ(key, 77u) << "no key given";
  EXPECT_EQ(store.Count(), 3u);
  EXPECT_EQ(store.FileBytes(), fileBytes);
  EXPECT_EQ(store.FreeFileBytes(), 0u);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    TluBitmap back;
    ASSERT_EQ(store.Get(keys[i], back), TPageStoreError::None);
    ExpectSamePage(back, pages[i]);
  }
  // The disk has room again: the store goes on.
  state->failWrites = TPageStoreError::None;
  state->diskSize = UINT64_MAX;
  const TluBitmap next = MakePage(TPixelFormat::pf24bit, 50, 40, TPicture::Noise, 10);
  ASSERT_EQ(store.Put(next, key), TPageStoreError::None);
  TluBitmap back;
  ASSERT_EQ(store.Get(key, back), TPageStoreError::None);
  ExpectSamePage(back, next);
  EXPECT_EQ(store.Count(), 4u);
}

INSTANTIATE_TEST_SUITE_P(Seam, PageStoreWriteFailure,
                         testing::Values(TWriteFailureCase{"WriteFailed", TPageStoreError::WriteFailed},
                                         TWriteFailureCase{"DiskFull", TPageStoreError::DiskFull}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PageStore, AFileThatCannotBeCreatedIsWriteFailedAndAskedForAgain) {
  int asked = 0;
  auto state = std::make_shared<TFakeFileState>();
  TPageStore store(
      [&]() -> std::unique_ptr<IPageFile> {
        ++asked;
        if (asked == 1) return nullptr;
        return std::make_unique<TFakePageFile>(state);
      },
      0);
  TKey key = 0;
  EXPECT_EQ(store.Put(MakePage(TPixelFormat::pf8bit, 7, 3, TPicture::Noise), key), TPageStoreError::WriteFailed);
  EXPECT_EQ(store.Count(), 0u);
  EXPECT_EQ(store.Put(MakePage(TPixelFormat::pf8bit, 7, 3, TPicture::Noise), key), TPageStoreError::None);
  EXPECT_EQ(asked, 2);
  TPageStore withoutOpener(nullptr, 0);
  EXPECT_EQ(withoutOpener.Put(MakePage(TPixelFormat::pf8bit, 7, 3, TPicture::Noise), key), TPageStoreError::WriteFailed);
}

TEST(PageStore, AFailedReadIsReadFailed) {
  auto state = std::make_shared<TFakeFileState>();
  TPageStore store(FakeOpener(state), 0);
  const TluBitmap original = MakePage(TPixelFormat::pf24bit, 33, 9, TPicture::Text);
  TKey key = 0;
  ASSERT_EQ(store.Put(original, key), TPageStoreError::None);
  state->failReads = true;
  TluBitmap page = MakePage(TPixelFormat::pf1bit, 5, 5, TPicture::Noise);
  const TluBitmap before = page;
  EXPECT_EQ(store.Get(key, page), TPageStoreError::ReadFailed);
  ExpectSamePage(page, before);
  // A file that lost its end.
  state->failReads = false;
  state->bytes.resize(state->bytes.size() - 1);
  EXPECT_EQ(store.Get(key, page), TPageStoreError::ReadFailed);
  ExpectSamePage(page, before);
}

TEST(PageStore, AFlippedByteInTheFileIsCorrupt) {
  for (TPixelFormat format : {TPixelFormat::pf1bit, TPixelFormat::pf4bit, TPixelFormat::pf8bit, TPixelFormat::pf24bit}) {
    SCOPED_TRACE(static_cast<int>(format));
    auto state = std::make_shared<TFakeFileState>();
    TPageStore store(FakeOpener(state), 0);
    const TluBitmap first = MakePage(format, 300, 40, TPicture::Text, 1);
    const TluBitmap second = MakePage(format, 300, 40, TPicture::Text, 2);
    TKey firstKey = 0, secondKey = 0;
    ASSERT_EQ(store.Put(first, firstKey), TPageStoreError::None);
    const std::size_t firstSize = state->bytes.size();
    ASSERT_EQ(store.Put(second, secondKey), TPageStoreError::None);
    for (std::size_t at : {std::size_t{0}, std::size_t{5}, std::size_t{40}, firstSize / 2, firstSize - 1}) {
      state->bytes[at] ^= 0x10;
      TluBitmap page;
      EXPECT_EQ(store.Get(firstKey, page), TPageStoreError::Corrupt) << "byte " << at;
      EXPECT_TRUE(page.Empty());
      state->bytes[at] ^= 0x10;
    }
    // The other page is untouched by it.
    state->bytes[firstSize / 2] ^= 0x01;
    TluBitmap back;
    ASSERT_EQ(store.Get(secondKey, back), TPageStoreError::None);
    ExpectSamePage(back, second);
  }
}

// ---- Replace and Remove --------------------------------------------------------

TEST(PageStore, ReplaceStoresTheNewPage) {
  for (std::size_t budget : {kLargeBudget, std::size_t{0}}) {
    auto state = std::make_shared<TFakeFileState>();
    TPageStore store(FakeOpener(state), budget);
    TKey key = 0;
    ASSERT_EQ(store.Put(MakePage(TPixelFormat::pf24bit, 40, 30, TPicture::Noise), key), TPageStoreError::None);
    TluBitmap edited = MakePage(TPixelFormat::pf8bit, 33, 17, TPicture::Text, 5);
    SetEveryField(edited);
    ASSERT_EQ(store.Replace(key, edited), TPageStoreError::None);
    EXPECT_EQ(store.Count(), 1u);
    TluBitmap back;
    ASSERT_EQ(store.Get(key, back), TPageStoreError::None);
    ExpectSamePage(back, edited);
  }
}

TEST(PageStore, AFailedReplaceKeepsTheOldPage) {
  for (TPageStoreError fail : {TPageStoreError::WriteFailed, TPageStoreError::DiskFull}) {
    auto state = std::make_shared<TFakeFileState>();
    TPageStore store(FakeOpener(state), 0);
    const TluBitmap old = MakePage(TPixelFormat::pf24bit, 40, 30, TPicture::Noise, 1);
    TKey key = 0;
    ASSERT_EQ(store.Put(old, key), TPageStoreError::None);
    const std::uint64_t fileBytes = store.FileBytes();
    state->failWrites = fail;
    EXPECT_EQ(store.Replace(key, MakePage(TPixelFormat::pf24bit, 40, 30, TPicture::Noise, 2)), fail);
    EXPECT_EQ(store.FileBytes(), fileBytes);
    state->failWrites = TPageStoreError::None;
    TluBitmap back;
    ASSERT_EQ(store.Get(key, back), TPageStoreError::None);
    ExpectSamePage(back, old);
  }
}

TEST(PageStore, RemovedSpaceIsUsedAgain) {
  auto state = std::make_shared<TFakeFileState>();
  TPageStore store(FakeOpener(state), 0);
  std::vector<TKey> keys(6);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    ASSERT_EQ(store.Put(MakePage(TPixelFormat::pf24bit, 40, 30, TPicture::Noise, i), keys[i]), TPageStoreError::None);
  }
  const std::uint64_t full = store.FileBytes();
  store.Remove(keys[1]);
  store.Remove(keys[2]);  // next to it: one gap of two records
  store.Remove(keys[4]);
  EXPECT_EQ(store.FileBytes(), full);
  EXPECT_EQ(store.FreeFileBytes(), full / 2);
  // Two records fill the double gap, a third the single one.
  std::vector<TluBitmap> pages;
  for (int i = 0; i < 3; ++i) {
    pages.push_back(MakePage(TPixelFormat::pf24bit, 40, 30, TPicture::Noise, 100 + i));
    ASSERT_EQ(store.Put(pages.back(), keys[i == 2 ? 4 : 1 + i]), TPageStoreError::None);
  }
  EXPECT_EQ(store.FileBytes(), full);
  EXPECT_EQ(store.FreeFileBytes(), 0u);
  for (int i = 0; i < 3; ++i) {
    TluBitmap back;
    ASSERT_EQ(store.Get(keys[i == 2 ? 4 : 1 + i], back), TPageStoreError::None);
    ExpectSamePage(back, pages[i]);
  }
  // Removing the last record gives its space back at the end.
  store.Remove(keys[5]);
  EXPECT_EQ(store.FileBytes(), full - full / 6);
}

// ---- Giving the file back ---------------------------------------------------------

// Pages large enough that a batch of them passes the size from which the
// store compacts its file: about half a megabyte of noise each.
TluBitmap LargePage(std::uint32_t seed) { return MakePage(TPixelFormat::pf24bit, 420, 400, TPicture::Noise, seed); }

struct TLargeBatch {
  std::shared_ptr<TFakeFileState> state = std::make_shared<TFakeFileState>();
  TPageStore store{FakeOpener(state), 0};
  std::vector<TKey> keys;
  explicit TLargeBatch(int pages) : keys(pages) {
    for (int i = 0; i < pages; ++i) EXPECT_EQ(store.Put(LargePage(i), keys[i]), TPageStoreError::None);
  }
  void ExpectEveryPageBack(const std::vector<int>& kept) {
    for (int i : kept) {
      TluBitmap back;
      ASSERT_EQ(store.Get(keys[i], back), TPageStoreError::None) << "page " << i;
      ExpectSameRaster(back, LargePage(i));
    }
  }
};

TEST(PageStore, FreeSpaceAtTheEndIsGivenBackToTheDisk) {
  TLargeBatch batch(6);
  const std::uint64_t full = batch.state->bytes.size();
  ASSERT_EQ(full, batch.store.FileBytes());
  batch.store.Remove(batch.keys[5]);
  batch.store.Remove(batch.keys[3]);  // a gap that stays
  batch.store.Remove(batch.keys[4]);  // ... until the ones after it go
  EXPECT_EQ(batch.state->bytes.size(), batch.store.FileBytes());
  EXPECT_EQ(batch.store.FileBytes(), full / 2);
  batch.ExpectEveryPageBack({0, 1, 2});
}

TEST(PageStore, AMostlyFreeFileIsCompactedAFewRecordsACall) {
  TLargeBatch batch(40);
  const std::uint64_t record = batch.store.FileBytes() / 40;
  // The batch's first 30 pages go: the file is three quarters gaps, with
  // the ten pages kept at its end.
  for (int i = 0; i < 30; ++i) batch.store.Remove(batch.keys[i]);
  std::vector<int> kept;
  for (int i = 30; i < 40; ++i) kept.push_back(i);
  // Each store call moves a bounded share of the records forward ...
  for (int call = 0; call < 10 && batch.store.FileBytes() > 2 * 10 * record; ++call) {
    const std::uint64_t written = batch.state->bytesWritten;
    TKey small = 0;
    ASSERT_EQ(batch.store.Put(MakePage(TPixelFormat::pf1bit, 16, 16, TPicture::Text), small), TPageStoreError::None);
    EXPECT_LE(batch.state->bytesWritten - written, (8u << 20) + 2 * record) << "call " << call;
    batch.store.Remove(small);
  }
  // ... until the file is no longer mostly free, and the disk has it back.
  EXPECT_LE(batch.store.FileBytes(), 2 * 10 * record + record);
  EXPECT_EQ(batch.state->bytes.size(), batch.store.FileBytes());
  batch.ExpectEveryPageBack(kept);
}

TEST(PageStore, AFailureWhileCompactingLeavesEveryPageReadable) {
  for (TPageStoreError failure : {TPageStoreError::DiskFull, TPageStoreError::WriteFailed}) {
    TLargeBatch batch(40);
    for (int i = 0; i < 30; ++i) {
      if (i == 29) batch.state->failWrites = failure;  // the moves of the last Remove fail
      batch.store.Remove(batch.keys[i]);
    }
    batch.state->failWrites = TPageStoreError::None;
    std::vector<int> kept;
    for (int i = 30; i < 40; ++i) kept.push_back(i);
    batch.ExpectEveryPageBack(kept);
  }
  TLargeBatch unreadable(40);
  unreadable.state->failReads = true;
  for (int i = 0; i < 30; ++i) unreadable.store.Remove(unreadable.keys[i]);
  unreadable.state->failReads = false;
  std::vector<int> kept;
  for (int i = 30; i < 40; ++i) kept.push_back(i);
  unreadable.ExpectEveryPageBack(kept);
}

// Editing every page of a batch (fetch, edit, replace, one at a time) does
// not grow the file beyond one record.
TEST(PageStore, EditingEveryPageDoesNotDoubleTheFile) {
  auto state = std::make_shared<TFakeFileState>();
  TPageStore store(FakeOpener(state), 0);
  std::vector<TKey> keys(10);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    ASSERT_EQ(store.Put(MakePage(TPixelFormat::pf24bit, 40, 30, TPicture::Noise, i), keys[i]), TPageStoreError::None);
  }
  const std::uint64_t full = store.FileBytes();
  for (int round = 0; round < 3; ++round) {
    for (std::size_t i = 0; i < keys.size(); ++i) {
      TluBitmap page;
      ASSERT_EQ(store.Get(keys[i], page), TPageStoreError::None);
      page.Flip(0);
      ASSERT_EQ(store.Replace(keys[i], page), TPageStoreError::None);
    }
  }
  EXPECT_LE(store.FileBytes(), full + full / keys.size());
  EXPECT_EQ(store.Count(), keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    TluBitmap expected = MakePage(TPixelFormat::pf24bit, 40, 30, TPicture::Noise, i);
    expected.Flip(0);  // three flips
    TluBitmap back;
    ASSERT_EQ(store.Get(keys[i], back), TPageStoreError::None);
    ExpectSameRaster(back, expected);
  }
}

TEST(PageStore, ReplaceInMemoryStaysInMemory) {
  TPageStore store(nullptr, 0);
  auto state = std::make_shared<TFakeFileState>();
  TPixelCodec codec;
  std::vector<std::uint8_t> record;
  ASSERT_EQ(codec.Encode(MakePage(TPixelFormat::pf24bit, 40, 30, TPicture::Noise), record), TPageStoreError::None);
  TPageStore budgeted(FakeOpener(state), record.size());
  TKey key = 0;
  ASSERT_EQ(budgeted.Put(MakePage(TPixelFormat::pf24bit, 40, 30, TPicture::Noise), key), TPageStoreError::None);
  ASSERT_EQ(budgeted.Replace(key, MakePage(TPixelFormat::pf24bit, 40, 30, TPicture::Noise, 3)), TPageStoreError::None);
  EXPECT_EQ(budgeted.MemoryBytes(), record.size());
  EXPECT_EQ(state->opened, 0);
}

// ---- Clear -------------------------------------------------------------------------

TEST(PageStore, ClearFreesEverythingAndDropsTheFile) {
  auto state = std::make_shared<TFakeFileState>();
  const TluBitmap page = MakePage(TPixelFormat::pf8bit, 40, 30, TPicture::Noise);
  TPixelCodec codec;
  std::vector<std::uint8_t> record;
  ASSERT_EQ(codec.Encode(page, record), TPageStoreError::None);
  TPageStore store(FakeOpener(state), record.size());
  std::vector<TKey> keys(4);
  for (auto& key : keys) ASSERT_EQ(store.Put(page, key), TPageStoreError::None);
  store.Remove(keys[1]);
  EXPECT_EQ(state->open, 1);
  store.Clear();
  EXPECT_EQ(store.Count(), 0u);
  EXPECT_EQ(store.MemoryBytes(), 0u);
  EXPECT_EQ(store.FileBytes(), 0u);
  EXPECT_EQ(store.FreeFileBytes(), 0u);
  EXPECT_EQ(state->open, 0) << "the file is closed";
  for (TKey key : keys) {
    TluBitmap back;
    EXPECT_EQ(store.Get(key, back), TPageStoreError::NoSuchPage);
  }
  // The store is as new: the first page goes to memory, the next opens a new file.
  TKey key = 0;
  ASSERT_EQ(store.Put(page, key), TPageStoreError::None);
  EXPECT_EQ(state->opened, 1);
  ASSERT_EQ(store.Put(page, key), TPageStoreError::None);
  EXPECT_EQ(state->opened, 2);
  TluBitmap back;
  ASSERT_EQ(store.Get(key, back), TPageStoreError::None);
  ExpectSamePage(back, page);
}

TEST(PageStore, EveryErrorHasAMessage) {
  for (TPageStoreError error : {TPageStoreError::None, TPageStoreError::WriteFailed, TPageStoreError::DiskFull,
                                TPageStoreError::ReadFailed, TPageStoreError::Corrupt, TPageStoreError::NoSuchPage,
                                TPageStoreError::OutOfMemory}) {
    EXPECT_FALSE(PageStoreErrorText(error).empty());
  }
  EXPECT_NE(PageStoreErrorText(TPageStoreError::DiskFull), PageStoreErrorText(TPageStoreError::WriteFailed));
}

}  // namespace
}  // namespace pagewell
