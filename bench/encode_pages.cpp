// EncodePages with 20 black-and-white 300 dpi letter pages (2550 × 3300,
// 1 bit) into one TIFF and into one PDF, as the local save and the upload
// run it. Beside each, the same file made from the pages directly, without
// the per-page output copy, in the same run: the time ratio between the two
// is the cost of the copy.
//
// Memory: every allocation of the process is counted. For each run the
// counters give the peak of live heap bytes above what was live before the
// call, over the sum of the page bitmaps (peak_over_pages) and over one
// page plus the finished file (peak_over_page_plus_file). A copy of every
// page held at once would show as peak_over_pages near 1 or above.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "encode_pages.h"
#include "formats/page_encoding.h"
#include "text_page.h"

namespace {

std::atomic<long long> liveBytes{0};
std::atomic<long long> peakBytes{0};

void Count(void* block) {
  const long long now = liveBytes += static_cast<long long>(malloc_usable_size(block));
  long long peak = peakBytes.load();
  while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
  }
}

}  // namespace

void* operator new(std::size_t size) {
  void* block = std::malloc(size ? size : 1);
  if (!block) throw std::bad_alloc();
  Count(block);
  return block;
}
void operator delete(void* block) noexcept {
  if (!block) return;
  liveBytes -= static_cast<long long>(malloc_usable_size(block));
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept { operator delete(block); }

namespace {

using pagewell::TluBitmap;

constexpr int kPages = 20;

// Four distinct text pages (straight and fed at small angles), each used
// five times as separate bitmaps.
const std::vector<TluBitmap>& Pages() {
  static const std::vector<TluBitmap> pages = [] {
    std::vector<TluBitmap> distinct;
    for (double skew : {0.0, 0.6, -1.1, 1.7}) distinct.push_back(pagewell::bench::TextPage(pagewell::TPixelFormat::pf1bit, skew));
    std::vector<TluBitmap> all;
    for (int i = 0; i < kPages; ++i) all.push_back(distinct[i % distinct.size()]);
    return all;
  }();
  return pages;
}

std::vector<const TluBitmap*> PageList() {
  std::vector<const TluBitmap*> list;
  for (const TluBitmap& page : Pages()) list.push_back(&page);
  return list;
}

double PageBytes(const TluBitmap& page) {
  return static_cast<double>(page.Height()) * ((page.Width() + 31) / 32 * 4);
}

// Runs `encode` (which answers the file's size) and reports time and the
// memory counters.
template <class Encode>
void Measure(benchmark::State& state, Encode encode) {
  const std::vector<const TluBitmap*> pages = PageList();
  double sumOfPages = 0;
  for (const TluBitmap* page : pages) sumOfPages += PageBytes(*page);
  double peak = 0, fileSize = 0;
  for (auto _ : state) {
    const long long before = liveBytes.load();
    peakBytes = before;
    fileSize = static_cast<double>(encode(pages));
    peak = static_cast<double>(peakBytes.load() - before);
  }
  state.counters["file_MB"] = fileSize / 1e6;
  state.counters["pages_MB"] = sumOfPages / 1e6;
  state.counters["peak_MB"] = peak / 1e6;
  state.counters["peak_over_pages"] = peak / sumOfPages;
  state.counters["peak_over_page_plus_file"] = peak / (PageBytes(*pages.front()) + fileSize);
}

void EncodePagesInto(benchmark::State& state, int code) {
  Measure(state, [code, &state](const std::vector<const TluBitmap*>& pages) {
    pagewell::TMemoryStream stream;
    if (pagewell::EncodePages(pages, stream, true, code, 1, nullptr) != pagewell::EncodeOutcome::Written)
      state.SkipWithError("nothing written");
    return stream.Size();
  });
}

void DirectlyInto(benchmark::State& state, int code) {
  Measure(state, [code](const std::vector<const TluBitmap*>& pages) {
    pagewell::TMemoryStream stream;
    pagewell::EncodeSeveralPages(static_cast<int>(pages.size()), [&](int i) -> const TluBitmap& { return *pages[i]; },
                                 code, 90, stream);
    return stream.Size();
  });
}

void BM_EncodePagesTiff(benchmark::State& state) { EncodePagesInto(state, pagewell::fcTIFF); }
void BM_DirectTiff(benchmark::State& state) { DirectlyInto(state, pagewell::fcTIFF); }
void BM_EncodePagesPdf(benchmark::State& state) { EncodePagesInto(state, pagewell::fcPDF); }
void BM_DirectPdf(benchmark::State& state) { DirectlyInto(state, pagewell::fcPDF); }

BENCHMARK(BM_EncodePagesTiff)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_DirectTiff)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_EncodePagesPdf)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_DirectPdf)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace

BENCHMARK_MAIN();
