// The page store beside zlib's level 1 in one run: a 300 dpi letter page
// (2550 × 3300) stored (TPageStore::Put: coding the pixels, checksums,
// keeping the shell) and fetched (Get: an exact copy back), against
// compress2(level 1) and uncompress on the same raw pixel bytes (the whole
// buffer, row padding included). Pages: the text page at 1, 8 and 24 bits
// (bench/text_page.h), and the scanned colour page with scanner noise and a
// photograph (bench/page_fixtures.h) at 24 bits and as 8-bit gray, and the
// text page turned by 1.5 degrees as a feeder skews paper, at 1 and 24 bits. Each
// benchmark reports the coded size in its "bytes" counter. Before timing,
// every page is checked to come back from the store bit for bit and from
// zlib byte for byte; a difference stops the benchmark with an error.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "page_fixtures.h"
#include "page_store/page_store.h"
#include "page_store/pixel_codec.h"
#include "text_page.h"

namespace {

using pagewell::TluBitmap;
using pagewell::TPageStore;
using pagewell::TPageStoreError;
using pagewell::TPixelFormat;

enum TPageKind { kText1 = 0, kText8, kText24, kScan8, kScan24, kSkewed1, kSkewed24 };

const TluBitmap& Page(int kind) {
  static std::map<int, TluBitmap> pages;
  auto found = pages.find(kind);
  if (found != pages.end()) return found->second;
  TluBitmap page;
  switch (kind) {
    case kText1: page = pagewell::bench::TextPage(TPixelFormat::pf1bit, 0); break;
    case kText8: page = pagewell::bench::TextPage(TPixelFormat::pf8bit, 0); break;
    case kText24: page = pagewell::bench::TextPage(TPixelFormat::pf24bit, 0); break;
    case kSkewed1: page = pagewell::bench::TextPage(TPixelFormat::pf1bit, 1.5); break;
    case kSkewed24: page = pagewell::bench::TextPage(TPixelFormat::pf24bit, 1.5); break;
    case kScan8:
      page = pagewell::bench::ScannedColourPage();
      page.SetColorMode(pagewell::cmGray256);
      break;
    default: page = pagewell::bench::ScannedColourPage(); break;
  }
  return pages.emplace(kind, std::move(page)).first->second;
}

std::string KindName(int kind) {
  static const char* const names[] = {"text_1bit", "text_8bit", "text_24bit", "scan_8bit", "scan_24bit", "skewed_text_1bit",
                                      "skewed_text_24bit"};
  return names[kind];
}

std::size_t RawBytes(const TluBitmap& page) { return page.RowStride() * static_cast<std::size_t>(page.Height()); }

bool SamePixels(const TluBitmap& a, const TluBitmap& b) {
  return a.Width() == b.Width() && a.Height() == b.Height() && a.PixelFormat() == b.PixelFormat() &&
         a.Palette() == b.Palette() && std::memcmp(a.ScanLine(0), b.ScanLine(0), RawBytes(a)) == 0;
}

void StorePut(benchmark::State& state) {
  const TluBitmap& page = Page(static_cast<int>(state.range(0)));
  TPageStore store(nullptr, std::size_t{1} << 30);
  std::size_t bytes = 0;
  TPageStore::TKey stored = 0;
  for (auto _ : state) {
    // The store keeps its coder from page to page, as in a batch.
    state.PauseTiming();
    TluBitmap copy = page;
    store.Remove(stored);
    state.ResumeTiming();
    if (store.Put(std::move(copy), stored) != TPageStoreError::None) {
      state.SkipWithError("Put failed");
      break;
    }
    bytes = store.MemoryBytes();
  }
  TPageStore::TKey key = 0;
  TluBitmap back;
  store.Clear();
  if (store.Put(page, key) != TPageStoreError::None || store.Get(key, back) != TPageStoreError::None ||
      !SamePixels(back, page)) {
    state.SkipWithError("the page did not come back bit for bit");
  }
  state.counters["bytes"] = static_cast<double>(bytes);
  state.counters["ratio"] = static_cast<double>(RawBytes(page)) / static_cast<double>(bytes);
  state.SetLabel(KindName(static_cast<int>(state.range(0))));
}

void StoreGet(benchmark::State& state) {
  const TluBitmap& page = Page(static_cast<int>(state.range(0)));
  TPageStore store(nullptr, std::size_t{1} << 30);
  TPageStore::TKey key = 0;
  if (store.Put(page, key) != TPageStoreError::None) {
    state.SkipWithError("Put failed");
    return;
  }
  TluBitmap back;
  if (store.Get(key, back) != TPageStoreError::None || !SamePixels(back, page)) {
    state.SkipWithError("the page did not come back bit for bit");
    return;
  }
  for (auto _ : state) {
    TluBitmap fetched;
    if (store.Get(key, fetched) != TPageStoreError::None) {
      state.SkipWithError("Get failed");
      break;
    }
    benchmark::DoNotOptimize(fetched.ScanLine(0));
  }
  state.counters["bytes"] = static_cast<double>(store.MemoryBytes());
  state.SetLabel(KindName(static_cast<int>(state.range(0))));
}

std::vector<Bytef> ZlibCompress(const TluBitmap& page) {
  uLongf size = compressBound(static_cast<uLong>(RawBytes(page)));
  std::vector<Bytef> out(size);
  compress2(out.data(), &size, page.ScanLine(0), static_cast<uLong>(RawBytes(page)), 1);
  out.resize(size);
  return out;
}

void ZlibLevel1Compress(benchmark::State& state) {
  const TluBitmap& page = Page(static_cast<int>(state.range(0)));
  const uLong raw = static_cast<uLong>(RawBytes(page));
  std::vector<Bytef> out(compressBound(raw));
  uLongf size = 0;
  for (auto _ : state) {
    size = static_cast<uLongf>(out.size());
    if (compress2(out.data(), &size, page.ScanLine(0), raw, 1) != Z_OK) {
      state.SkipWithError("compress2 failed");
      break;
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes"] = static_cast<double>(size);
  state.counters["ratio"] = static_cast<double>(raw) / static_cast<double>(size);
  state.SetLabel(KindName(static_cast<int>(state.range(0))));
}

void ZlibUncompress(benchmark::State& state) {
  const TluBitmap& page = Page(static_cast<int>(state.range(0)));
  const std::vector<Bytef> coded = ZlibCompress(page);
  std::vector<Bytef> out(RawBytes(page));
  for (auto _ : state) {
    uLongf size = static_cast<uLongf>(out.size());
    if (uncompress(out.data(), &size, coded.data(), static_cast<uLong>(coded.size())) != Z_OK || size != out.size()) {
      state.SkipWithError("uncompress failed");
      break;
    }
    benchmark::DoNotOptimize(out.data());
  }
  if (std::memcmp(out.data(), page.ScanLine(0), out.size()) != 0) state.SkipWithError("zlib changed the bytes");
  state.counters["bytes"] = static_cast<double>(coded.size());
  state.SetLabel(KindName(static_cast<int>(state.range(0))));
}

void Kinds(benchmark::internal::Benchmark* b) {
  for (int kind : {kText1, kText8, kText24, kScan8, kScan24, kSkewed1, kSkewed24}) b->Arg(kind);
  b->Unit(benchmark::kMillisecond);
  b->UseRealTime();
}

BENCHMARK(StorePut)->Apply(Kinds);
BENCHMARK(ZlibLevel1Compress)->Apply(Kinds);
BENCHMARK(StoreGet)->Apply(Kinds);
BENCHMARK(ZlibUncompress)->Apply(Kinds);

}  // namespace

BENCHMARK_MAIN();
