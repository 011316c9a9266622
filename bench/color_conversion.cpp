// ConvertColorMode on a 24-bit page against leptonica's equivalents, in one
// run: thresholding to 1 bit, conversion to 8-bit gray, octree reduction to
// a 256-entry palette.
#include <benchmark/benchmark.h>
#include <leptonica/allheaders.h>

#include "page_fixtures.h"

namespace {

using pagewell::TluBitmap;

const TluBitmap& Page() {
  static const TluBitmap page = pagewell::bench::ScannedColourPage();
  return page;
}

// The same pixels as a leptonica 32-bit RGB image.
PIX* LeptonicaPage() {
  static PIX* pix = [] {
    const TluBitmap& page = Page();
    PIX* p = pixCreate(page.Width(), page.Height(), 32);
    for (int y = 0; y < page.Height(); ++y) {
      const std::uint8_t* s = page.ScanLine(y);
      l_uint32* line = pixGetData(p) + y * pixGetWpl(p);
      for (int x = 0; x < page.Width(); ++x, s += 3) composeRGBPixel(s[2], s[1], s[0], line + x);
    }
    return p;
  }();
  return pix;
}

void ConvertPage(benchmark::State& state, pagewell::TColorMode mode) {
  for (auto _ : state) {
    state.PauseTiming();
    TluBitmap page = Page();
    state.ResumeTiming();
    page.SetColorMode(mode);
    benchmark::DoNotOptimize(page.ScanLine(0));
  }
}

void Pagewell_ToBlackWhite(benchmark::State& state) { ConvertPage(state, pagewell::cmBlackWhite); }
void Pagewell_ToGray256(benchmark::State& state) { ConvertPage(state, pagewell::cmGray256); }
void Pagewell_ToPalette256(benchmark::State& state) { ConvertPage(state, pagewell::cmPalette256); }

void Leptonica_ToBinary(benchmark::State& state) {
  PIX* source = LeptonicaPage();
  for (auto _ : state) {
    PIX* binary = pixConvertTo1(source, 128);
    benchmark::DoNotOptimize(binary);
    pixDestroy(&binary);
  }
}

void Leptonica_ToGray(benchmark::State& state) {
  PIX* source = LeptonicaPage();
  for (auto _ : state) {
    PIX* gray = pixConvertRGBToGray(source, 0.0f, 0.0f, 0.0f);
    benchmark::DoNotOptimize(gray);
    pixDestroy(&gray);
  }
}

void Leptonica_OctreeColorQuant(benchmark::State& state) {
  PIX* source = LeptonicaPage();
  for (auto _ : state) {
    PIX* quantized = pixOctreeColorQuant(source, 240, 0);
    benchmark::DoNotOptimize(quantized);
    pixDestroy(&quantized);
  }
}

BENCHMARK(Pagewell_ToBlackWhite)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Leptonica_ToBinary)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Pagewell_ToGray256)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Leptonica_ToGray)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Pagewell_ToPalette256)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Leptonica_OctreeColorQuant)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
