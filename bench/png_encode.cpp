// PNG encoding of 300 dpi letter pages against libpng at its default zlib
// level with its default filter choice, in one run: a clean colour page,
// the same page with a scanner's Gaussian noise, that noisy page in gray,
// and in black and white. The file sizes are reported as counters; the
// targets are a file no larger than libpng's and at most 0.7 times its time.
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <vector>

#include "formats/format_code.h"
#include "formats/png/png_image.h"
#include "page_fixtures.h"

namespace {

using pagewell::TluBitmap;

constexpr double kScannerNoise = 4.0;  // standard deviation, in levels of 255

const TluBitmap& CleanPage() {
  static const TluBitmap page = pagewell::bench::ScannedLetter(0);
  return page;
}

const TluBitmap& NoisyPage() {
  static const TluBitmap page = pagewell::bench::ScannedLetter(kScannerNoise);
  return page;
}

TluBitmap Converted(const TluBitmap& page, pagewell::TColorMode mode) {
  TluBitmap converted;
  converted.Assign(page);
  converted.SetColorMode(mode);
  return converted;
}

const TluBitmap& NoisyGrayPage() {
  static const TluBitmap page = Converted(NoisyPage(), pagewell::cmGray256);
  return page;
}

const TluBitmap& BlackWhitePage() {
  static const TluBitmap page = Converted(NoisyPage(), pagewell::cmBlackWhite);
  return page;
}

void Pagewell_Png(benchmark::State& state, const TluBitmap& page) {
  std::size_t size = 0;
  for (auto _ : state) {
    pagewell::ToxPNGImage png;
    png.Assign(page);
    png.SetResolution(page.XDpi(), page.YDpi());
    pagewell::TMemoryStream stream;
    png.SaveToStream(stream);
    size = stream.Size();
    benchmark::DoNotOptimize(stream.Data());
  }
  state.counters["bytes"] = static_cast<double>(size);
}

void WriteToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

// The page's rows in libpng's sample order (RGB bytes, gray bytes, or
// 1-bit rows with 0 for black), prepared outside the timed loop.
struct LibpngRows {
  int colorType, bitDepth;
  std::size_t rowBytes;
  std::vector<std::uint8_t> pixels;
};

LibpngRows RowsFor(const TluBitmap& page) {
  const int width = page.Width(), height = page.Height();
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(width) * 3);
  LibpngRows rows{PNG_COLOR_TYPE_RGB, 8, static_cast<std::size_t>(width) * 3, {}};
  if (page.ColorMode == pagewell::cmGray256) rows = {PNG_COLOR_TYPE_GRAY, 8, static_cast<std::size_t>(width), {}};
  if (page.ColorMode == pagewell::cmBlackWhite)
    rows = {PNG_COLOR_TYPE_GRAY, 1, static_cast<std::size_t>(width + 7) / 8, {}};
  rows.pixels.assign(rows.rowBytes * height, 0);
  for (int y = 0; y < height; ++y) {
    page.DecodeRowBGR(y, bgr.data());
    std::uint8_t* d = &rows.pixels[y * rows.rowBytes];
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* s = &bgr[3 * x];
      if (rows.colorType == PNG_COLOR_TYPE_RGB) {
        d[3 * x] = s[2], d[3 * x + 1] = s[1], d[3 * x + 2] = s[0];
      } else if (rows.bitDepth == 8) {
        d[x] = s[1];
      } else if (s[1] >= 128) {
        d[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
  }
  return rows;
}

void Libpng_Png(benchmark::State& state, const TluBitmap& page) {
  const LibpngRows prepared = RowsFor(page);
  std::vector<png_bytep> rows(page.Height());
  for (int y = 0; y < page.Height(); ++y) rows[y] = const_cast<png_bytep>(&prepared.pixels[y * prepared.rowBytes]);
  std::size_t size = 0;
  for (auto _ : state) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, WriteToVector, nullptr);
    png_set_compression_level(png, Z_DEFAULT_COMPRESSION);
    png_set_IHDR(png, info, page.Width(), page.Height(), prepared.bitDepth, prepared.colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, page.XPelsPerMeter, page.YPelsPerMeter, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    size = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes"] = static_cast<double>(size);
}

void Pagewell_Png_CleanColour(benchmark::State& state) { Pagewell_Png(state, CleanPage()); }
void Libpng_Png_CleanColour(benchmark::State& state) { Libpng_Png(state, CleanPage()); }
void Pagewell_Png_NoisyColour(benchmark::State& state) { Pagewell_Png(state, NoisyPage()); }
void Libpng_Png_NoisyColour(benchmark::State& state) { Libpng_Png(state, NoisyPage()); }
void Pagewell_Png_NoisyGray(benchmark::State& state) { Pagewell_Png(state, NoisyGrayPage()); }
void Libpng_Png_NoisyGray(benchmark::State& state) { Libpng_Png(state, NoisyGrayPage()); }
void Pagewell_Png_BlackWhite(benchmark::State& state) { Pagewell_Png(state, BlackWhitePage()); }
void Libpng_Png_BlackWhite(benchmark::State& state) { Libpng_Png(state, BlackWhitePage()); }

BENCHMARK(Pagewell_Png_CleanColour)->Unit(benchmark::kMillisecond);
BENCHMARK(Libpng_Png_CleanColour)->Unit(benchmark::kMillisecond);
BENCHMARK(Pagewell_Png_NoisyColour)->Unit(benchmark::kMillisecond);
BENCHMARK(Libpng_Png_NoisyColour)->Unit(benchmark::kMillisecond);
BENCHMARK(Pagewell_Png_NoisyGray)->Unit(benchmark::kMillisecond);
BENCHMARK(Libpng_Png_NoisyGray)->Unit(benchmark::kMillisecond);
BENCHMARK(Pagewell_Png_BlackWhite)->Unit(benchmark::kMillisecond);
BENCHMARK(Libpng_Png_BlackWhite)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
