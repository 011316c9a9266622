// Deciding blank and colour for a 300-dpi Letter page (2550 × 3300) at 1, 8
// and 24 bits, against the JPEG encoding of the same page in the same run:
// the decision should cost at most 0.15 of the encoding. Each pair runs
// back to back; the counter "of_jpeg" of the analysis is its time as a
// share of the encoding's time measured just before it.
#include <benchmark/benchmark.h>

#include <chrono>

#include "formats/jpeg/jpeg_image_extra.h"
#include "imaging/auto_color.h"
#include "imaging/page_content.h"
#include "page_fixtures.h"
#include "text_page.h"

namespace {

using pagewell::TluBitmap;
using pagewell::TPixelFormat;

const TluBitmap& Page(int bits) {
  static const TluBitmap one = pagewell::bench::TextPage(TPixelFormat::pf1bit, 0);
  static const TluBitmap eight = pagewell::bench::TextPage(TPixelFormat::pf8bit, 0);
  static const TluBitmap colour = pagewell::bench::ScannedColourPage();
  return bits == 1 ? one : bits == 8 ? eight : colour;
}

double JpegSeconds[25] = {};

void Jpeg(benchmark::State& state) {
  const TluBitmap& page = Page(static_cast<int>(state.range(0)));
  double fastest = 1e9;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    pagewell::TMemoryStream stream;
    pagewell::SaveBitmapAsJpeg(page, 90, stream);
    benchmark::DoNotOptimize(stream.Data());
    fastest = std::min(fastest, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  JpegSeconds[state.range(0)] = fastest;
}

void BlankAndColour(benchmark::State& state) {
  const TluBitmap& page = Page(static_cast<int>(state.range(0)));
  double fastest = 1e9;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const pagewell::TContentAnalysis content = pagewell::AnalysePageContent(page);
    benchmark::DoNotOptimize(pagewell::AutoColorModeFor(page, content, pagewell::acBlackWhiteWhenTextOnly));
    fastest = std::min(fastest, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  const double jpeg = JpegSeconds[state.range(0)];
  if (jpeg > 0) state.counters["of_jpeg"] = fastest / jpeg;
}

}  // namespace

BENCHMARK(Jpeg)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BlankAndColour)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(Jpeg)->Arg(8)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BlankAndColour)->Arg(8)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(Jpeg)->Arg(24)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BlankAndColour)->Arg(24)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK_MAIN();
