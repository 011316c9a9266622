// JPEG compression of a 2550 × 3300 colour page: our writer (the file the
// control saves, density patch included) against libjpeg-turbo called
// directly with the same settings (library defaults, float DCT, quality 90
// with baseline tables, all rows in one call, output to memory). The ratio
// of the two is our overhead.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

#include "formats/jpeg/jpeg_image_extra.h"
#include "page_fixtures.h"

namespace {

using pagewell::TluBitmap;

const TluBitmap& Page() {
  static const TluBitmap page = pagewell::bench::ScannedColourPage();
  return page;
}

void Pagewell_SaveBitmapAsJpeg(benchmark::State& state) {
  std::size_t size = 0;
  for (auto _ : state) {
    pagewell::TMemoryStream stream;
    pagewell::SaveBitmapAsJpeg(Page(), 90, stream);
    size = stream.Size();
    benchmark::DoNotOptimize(stream.Data());
  }
  state.counters["bytes"] = static_cast<double>(size);
}

void LibjpegTurbo_Direct(benchmark::State& state) {
  const TluBitmap& page = Page();
  std::vector<JSAMPROW> rows(static_cast<std::size_t>(page.Height()));
  for (int y = 0; y < page.Height(); ++y) rows[static_cast<std::size_t>(y)] = const_cast<std::uint8_t*>(page.ScanLine(y));
  std::size_t size = 0;
  for (auto _ : state) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    jpeg_mem_dest(&info, &buffer, &length);
    info.image_width = static_cast<JDIMENSION>(page.Width());
    info.image_height = static_cast<JDIMENSION>(page.Height());
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    info.dct_method = JDCT_FLOAT;
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    jpeg_write_scanlines(&info, rows.data(), static_cast<JDIMENSION>(rows.size()));
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    size = length;
    benchmark::DoNotOptimize(buffer);
    std::free(buffer);
  }
  state.counters["bytes"] = static_cast<double>(size);
}

}  // namespace

BENCHMARK(Pagewell_SaveBitmapAsJpeg)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(LibjpegTurbo_Direct)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(Pagewell_SaveBitmapAsJpeg)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(LibjpegTurbo_Direct)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK_MAIN();
