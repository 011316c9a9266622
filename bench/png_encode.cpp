// PNG encoding of a 300 dpi letter page, 24-bit and 8-bit gray, against
// libpng at the same zlib level (the default) with libpng's default filter
// choice, in one run. The file sizes are reported as counters.
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <vector>

#include "formats/format_code.h"
#include "formats/png/png_image.h"
#include "page_fixtures.h"

namespace {

using pagewell::TluBitmap;

const TluBitmap& ColourPage() {
  static const TluBitmap page = pagewell::bench::ScannedColourPage();
  return page;
}

const TluBitmap& GrayPage() {
  static const TluBitmap page = [] {
    TluBitmap gray;
    gray.Assign(ColourPage());
    gray.SetColorMode(pagewell::cmGray256);
    return gray;
  }();
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

// libpng gets rows in its own sample order (RGB or gray bytes), prepared
// outside the timed loop.
void Libpng_Png(benchmark::State& state, const TluBitmap& page, bool gray) {
  const int width = page.Width(), height = page.Height();
  const std::size_t rowBytes = gray ? width : width * 3u;
  std::vector<std::uint8_t> pixels(rowBytes * height);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* s = page.ScanLine(y);
    std::uint8_t* d = &pixels[y * rowBytes];
    if (gray) {
      std::copy(s, s + width, d);
    } else {
      for (int x = 0; x < width; ++x) d[3 * x] = s[3 * x + 2], d[3 * x + 1] = s[3 * x + 1], d[3 * x + 2] = s[3 * x];
    }
  }
  std::vector<png_bytep> rows(height);
  for (int y = 0; y < height; ++y) rows[y] = &pixels[y * rowBytes];
  std::size_t size = 0;
  for (auto _ : state) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, WriteToVector, nullptr);
    png_set_compression_level(png, Z_DEFAULT_COMPRESSION);
    png_set_IHDR(png, info, width, height, 8, gray ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
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

void Pagewell_Png24(benchmark::State& state) { Pagewell_Png(state, ColourPage()); }
void Libpng_Png24(benchmark::State& state) { Libpng_Png(state, ColourPage(), false); }
void Pagewell_PngGray8(benchmark::State& state) { Pagewell_Png(state, GrayPage()); }
void Libpng_PngGray8(benchmark::State& state) { Libpng_Png(state, GrayPage(), true); }

BENCHMARK(Pagewell_Png24)->Unit(benchmark::kMillisecond);
BENCHMARK(Libpng_Png24)->Unit(benchmark::kMillisecond);
BENCHMARK(Pagewell_PngGray8)->Unit(benchmark::kMillisecond);
BENCHMARK(Libpng_PngGray8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
