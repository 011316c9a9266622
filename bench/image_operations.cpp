// The image operations against leptonica's document-image routines, on a
// 300 dpi letter page of text at 1, 8 and 24 bits (the argument of every
// benchmark), with a plain memcpy of the page's bytes as the floor (into a warm buffer,
// and into a freshly allocated one as the turns must):
//
//   quarter and half turns       pixRotate90, pixRotateOrth, pixRotate180
//   turn by 2 degrees, nearest   pixRotate with sampling on a grown canvas
//   skew detection               pixFindSkew (8 and 24 bits: after pixConvertTo1,
//                                which the finder needs)
//   despeckle                    selective morphology: pixSelectBySize at 1 bit,
//                                a 3 × 3 closing at 8 and 24 bits
#include <benchmark/benchmark.h>
#include <leptonica/allheaders.h>

#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "imaging/rotate_arbitrary.h"
#include "imaging/rotate_orthogonal.h"
#include "text_page.h"

namespace {

using pagewell::TluBitmap;
using pagewell::TPixelFormat;

constexpr double kSkew = 2.0;

TPixelFormat FormatOf(const benchmark::State& state) { return static_cast<TPixelFormat>(state.range(0)); }

// Straight pages for the turns and despeckle, skewed ones for skew detection.
const TluBitmap& Page(TPixelFormat format, bool skewed) {
  static std::map<std::pair<int, bool>, TluBitmap> pages;
  auto key = std::make_pair(static_cast<int>(format), skewed);
  auto it = pages.find(key);
  if (it == pages.end()) it = pages.emplace(key, pagewell::bench::TextPage(format, skewed ? kSkew : 0)).first;
  return it->second;
}

PIX* LeptonicaPage(TPixelFormat format, bool skewed) {
  static std::map<std::pair<int, bool>, PIX*> pixes;
  auto key = std::make_pair(static_cast<int>(format), skewed);
  auto it = pixes.find(key);
  if (it == pixes.end()) it = pixes.emplace(key, pagewell::bench::LeptonicaCopy(Page(format, skewed))).first;
  return it->second;
}

// The page's bytes copied into a buffer that stays allocated: the speed of
// memory alone, with both buffers warm in the caches and page tables.
void Memcpy_Page(benchmark::State& state) {
  const TluBitmap& page = Page(FormatOf(state), false);
  const std::size_t bytes = page.RowStride() * static_cast<std::size_t>(page.Height());
  std::vector<std::uint8_t> target(bytes, 1);
  for (auto _ : state) {
    std::memcpy(target.data(), page.ScanLine(0), bytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

// The page's bytes copied into a destination allocated for each copy,
// which replaces the previous copy. This is the reference for the turns of
// a whole page: a quarter turn cannot write into its source, so it too
// allocates a new page every time while the old one still exists, and
// releases the old one after; it pays for the fresh memory (page faults,
// cold cache lines) before the first byte lands. The warm copy above leaves
// that cost out.
void Memcpy_PageToFreshBuffer(benchmark::State& state) {
  const TluBitmap& page = Page(FormatOf(state), false);
  const std::size_t bytes = page.RowStride() * static_cast<std::size_t>(page.Height());
  std::unique_ptr<std::uint8_t[]> previous;
  for (auto _ : state) {
    std::unique_ptr<std::uint8_t[]> target(new std::uint8_t[bytes]);  // not zeroed, like a turn's target
    std::memcpy(target.get(), page.ScanLine(0), bytes);
    benchmark::DoNotOptimize(target.get());
    benchmark::ClobberMemory();
    previous = std::move(target);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void Pagewell_Rotate90(benchmark::State& state) {
  TluBitmap page = Page(FormatOf(state), false);
  for (auto _ : state) {
    page.Rotate(false, pagewell::clWhite, 90);
    benchmark::DoNotOptimize(page.ScanLine(0));
  }
}

void Leptonica_Rotate90(benchmark::State& state) {
  PIX* source = LeptonicaPage(FormatOf(state), false);
  for (auto _ : state) {
    PIX* turned = pixRotate90(source, -1);
    benchmark::DoNotOptimize(turned);
    pixDestroy(&turned);
  }
}

void Leptonica_RotateOrth90(benchmark::State& state) {
  PIX* source = LeptonicaPage(FormatOf(state), false);
  for (auto _ : state) {
    PIX* turned = pixRotateOrth(source, 3);  // three clockwise quarters: 90 counter-clockwise
    benchmark::DoNotOptimize(turned);
    pixDestroy(&turned);
  }
}

void Pagewell_Rotate180(benchmark::State& state) {
  TluBitmap page = Page(FormatOf(state), false);
  for (auto _ : state) {
    page.Rotate(false, pagewell::clWhite, 180);
    benchmark::DoNotOptimize(page.ScanLine(0));
  }
}

void Leptonica_Rotate180(benchmark::State& state) {
  PIX* source = LeptonicaPage(FormatOf(state), false);
  for (auto _ : state) {
    PIX* turned = pixRotate180(nullptr, source);
    benchmark::DoNotOptimize(turned);
    pixDestroy(&turned);
  }
}

void Pagewell_RotateNearest2Degrees(benchmark::State& state) {
  const TluBitmap& page = Page(FormatOf(state), false);
  const auto geometry = pagewell::TRotationGeometry::For(page.Width(), page.Height(), kSkew);
  const std::uint32_t fill = page.PixelFormat() == TPixelFormat::pf24bit ? 0xFFFFFF : 1;
  for (auto _ : state) {
    pagewell::TRaster turned = pagewell::RotatedNearest(page, geometry, fill);
    benchmark::DoNotOptimize(turned.ScanLine(0));
  }
}

void Leptonica_RotateSampling2Degrees(benchmark::State& state) {
  PIX* source = LeptonicaPage(FormatOf(state), false);
  const float radians = static_cast<float>(kSkew * 3.14159265358979 / 180);
  for (auto _ : state) {
    PIX* turned = pixRotate(source, radians, L_ROTATE_SAMPLING, L_BRING_IN_WHITE, pixGetWidth(source),
                            pixGetHeight(source));
    benchmark::DoNotOptimize(turned);
    pixDestroy(&turned);
  }
}

void Pagewell_DetectSkewAngle(benchmark::State& state) {
  const TluBitmap& page = Page(FormatOf(state), true);
  double angle = 0;
  for (auto _ : state) benchmark::DoNotOptimize(angle = page.DetectSkewAngle(15));
  state.counters["angle"] = angle;
}

void Leptonica_FindSkew(benchmark::State& state) {
  PIX* source = LeptonicaPage(FormatOf(state), true);
  float angle = 0, confidence = 0;
  for (auto _ : state) {
    PIX* binary = pixGetDepth(source) == 1 ? pixClone(source) : pixConvertTo1(source, 128);
    pixFindSkew(binary, &angle, &confidence);
    pixDestroy(&binary);
  }
  state.counters["angle"] = angle;
}

void Pagewell_Despeckle(benchmark::State& state) {
  const TluBitmap& original = Page(FormatOf(state), false);
  for (auto _ : state) {
    state.PauseTiming();
    TluBitmap page = original;
    state.ResumeTiming();
    page.Despeckle(9);
    benchmark::DoNotOptimize(page.ScanLine(0));
  }
}

void Leptonica_SelectiveMorphology(benchmark::State& state) {
  PIX* source = LeptonicaPage(FormatOf(state), false);
  for (auto _ : state) {
    PIX* cleaned = nullptr;
    switch (pixGetDepth(source)) {
      case 1: cleaned = pixSelectBySize(source, 4, 4, 8, L_SELECT_IF_EITHER, L_SELECT_IF_GTE, nullptr); break;
      case 8: cleaned = pixCloseGray(source, 3, 3); break;
      default: cleaned = pixColorMorph(source, L_MORPH_CLOSE, 3, 3); break;
    }
    benchmark::DoNotOptimize(cleaned);
    pixDestroy(&cleaned);
  }
}

void Depths(benchmark::internal::Benchmark* b) {
  b->Arg(1)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond)->MinTime(0.3);
}

BENCHMARK(Memcpy_Page)->Apply(Depths);
BENCHMARK(Memcpy_PageToFreshBuffer)->Apply(Depths);
BENCHMARK(Pagewell_Rotate90)->Apply(Depths);
BENCHMARK(Leptonica_Rotate90)->Apply(Depths);
BENCHMARK(Leptonica_RotateOrth90)->Apply(Depths);
BENCHMARK(Pagewell_Rotate180)->Apply(Depths);
BENCHMARK(Leptonica_Rotate180)->Apply(Depths);
BENCHMARK(Pagewell_RotateNearest2Degrees)->Apply(Depths);
BENCHMARK(Leptonica_RotateSampling2Degrees)->Apply(Depths);
BENCHMARK(Pagewell_DetectSkewAngle)->Apply(Depths);
BENCHMARK(Leptonica_FindSkew)->Apply(Depths);
BENCHMARK(Pagewell_Despeckle)->Apply(Depths);
BENCHMARK(Leptonica_SelectiveMorphology)->Apply(Depths);

}  // namespace

int main(int argc, char** argv) {
  setMsgSeverity(L_SEVERITY_WARNING);  // pixRotate reports its method on every call
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
