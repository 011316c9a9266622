// GIF encoding of an 8-bit, 256-colour 300 dpi letter page: our writer (the
// run-length code stream the page save uses) against giflib's LZW encoder,
// in one run. The file sizes are reported as counters.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <vector>

#include "formats/gif/gif_image.h"
#include "page_fixtures.h"

namespace {

using pagewell::TluBitmap;

const TluBitmap& PalettePage() {
  static const TluBitmap page = [] {
    TluBitmap reduced;
    reduced.Assign(pagewell::bench::ScannedColourPage());
    reduced.SetColorMode(pagewell::cmPalette256);
    return reduced;
  }();
  return page;
}

void Pagewell_Gif8(benchmark::State& state) {
  const TluBitmap& page = PalettePage();
  std::size_t size = 0;
  for (auto _ : state) {
    pagewell::TGIFImage gif;
    gif.Assign(page);
    gif.Compression = pagewell::gcRLE;
    pagewell::TMemoryStream stream;
    gif.SaveToStream(stream);
    size = stream.Size();
    benchmark::DoNotOptimize(stream.Data());
  }
  state.counters["bytes"] = static_cast<double>(size);
}

int WriteToVector(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

void Giflib_Gif8(benchmark::State& state) {
  const TluBitmap& page = PalettePage();
  std::vector<GifColorType> colours;
  for (pagewell::TColor c : page.Palette())
    colours.push_back({pagewell::RedOf(c), pagewell::GreenOf(c), pagewell::BlueOf(c)});
  std::size_t size = 0;
  for (auto _ : state) {
    std::vector<std::uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToVector, &error);
    ColorMapObject* map = GifMakeMapObject(256, colours.data());
    EGifPutScreenDesc(gif, page.Width(), page.Height(), 8, 0, nullptr);
    EGifPutImageDesc(gif, 0, 0, page.Width(), page.Height(), false, map);
    for (int y = 0; y < page.Height(); ++y) {
      EGifPutLine(gif, const_cast<GifPixelType*>(page.ScanLine(y)), page.Width());
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    size = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes"] = static_cast<double>(size);
}

BENCHMARK(Pagewell_Gif8)->Unit(benchmark::kMillisecond);
BENCHMARK(Giflib_Gif8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
