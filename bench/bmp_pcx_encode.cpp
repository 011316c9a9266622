// BMP and PCX files of a 24-bit and a black-and-white 300 dpi letter page,
// ours against ImageMagick's command-line convert, in one run. ImageMagick
// runs as a process that reads a PPM (or PBM) and writes the file; its
// decode and start-up cost is measured separately (ImageMagick_ReadOnly)
// so that its encoding time can be told apart. Wall-clock times.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "formats/format_code.h"
#include "formats/memory_stream.h"
#include "page_fixtures.h"

namespace {

using pagewell::TluBitmap;

const TluBitmap& ColourPage() {
  static const TluBitmap page = pagewell::bench::ScannedColourPage();
  return page;
}

const TluBitmap& BlackWhitePage() {
  static const TluBitmap page = [] {
    TluBitmap bw;
    bw.Assign(ColourPage());
    bw.SetColorMode(pagewell::cmBlackWhite);
    return bw;
  }();
  return page;
}

std::string TempPath(const std::string& name) { return (std::filesystem::temp_directory_path() / name).string(); }

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// The page as PPM (24 bits) or PBM (1 bit), ImageMagick's input.
std::string NetpbmInput(const TluBitmap& page) {
  const bool bilevel = page.PixelFormat() == pagewell::TPixelFormat::pf1bit;
  const std::string path = TempPath(bilevel ? "pagewell_bench_page.pbm" : "pagewell_bench_page.ppm");
  std::ofstream out(path, std::ios::binary);
  out << (bilevel ? "P4\n" : "P6\n") << page.Width() << " " << page.Height() << (bilevel ? "\n" : "\n255\n");
  std::vector<std::uint8_t> row(page.Width() * 3u);
  for (int y = 0; y < page.Height(); ++y) {
    if (bilevel) {  // PBM: 1 = black; our index 0 is black
      for (std::size_t i = 0; i < page.RowBytes(); ++i) row[i] = static_cast<std::uint8_t>(~page.ScanLine(y)[i]);
      out.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(page.RowBytes()));
    } else {
      page.DecodeRowBGR(y, row.data());
      for (std::size_t i = 0; i < row.size(); i += 3) std::swap(row[i], row[i + 2]);
      out.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(row.size()));
    }
  }
  return path;
}

void Pagewell_Save(benchmark::State& state, const TluBitmap& source, int code, const char* name) {
  TluBitmap page = source;
  std::size_t size = 0;
  for (auto _ : state) {
    pagewell::TMemoryStream stream;
    page.SaveToStreamAs(stream, code, 90, "", "", "", "");
    WriteFile(TempPath(name), stream.Data(), stream.Size());
    size = stream.Size();
  }
  state.counters["bytes"] = static_cast<double>(size);
}

void ImageMagick_Convert(benchmark::State& state, const TluBitmap& page, const std::string& target) {
  const std::string input = NetpbmInput(page);
  const std::string command = "convert " + input + " " + target + " 2>/dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("convert failed");
  }
  if (target != "null:") state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(TempPath("pagewell_bench_im.out")));
}

void Pagewell_Bmp24(benchmark::State& s) { Pagewell_Save(s, ColourPage(), pagewell::fcBMP, "pagewell_bench.bmp"); }
void ImageMagick_Bmp24(benchmark::State& s) { ImageMagick_Convert(s, ColourPage(), "BMP3:" + TempPath("pagewell_bench_im.out")); }
void ImageMagick_ReadOnly24(benchmark::State& s) { ImageMagick_Convert(s, ColourPage(), "null:"); }
void Pagewell_Pcx24(benchmark::State& s) { Pagewell_Save(s, ColourPage(), pagewell::fcPCX, "pagewell_bench.pcx"); }
void ImageMagick_Pcx24(benchmark::State& s) { ImageMagick_Convert(s, ColourPage(), "PCX:" + TempPath("pagewell_bench_im.out")); }
void Pagewell_Pcx1(benchmark::State& s) { Pagewell_Save(s, BlackWhitePage(), pagewell::fcPCX, "pagewell_bench1.pcx"); }
void ImageMagick_Pcx1(benchmark::State& s) { ImageMagick_Convert(s, BlackWhitePage(), "PCX:" + TempPath("pagewell_bench_im.out")); }
void ImageMagick_ReadOnly1(benchmark::State& s) { ImageMagick_Convert(s, BlackWhitePage(), "null:"); }

BENCHMARK(Pagewell_Bmp24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImageMagick_Bmp24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Pagewell_Pcx24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImageMagick_Pcx24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImageMagick_ReadOnly24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Pagewell_Pcx1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImageMagick_Pcx1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImageMagick_ReadOnly1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
