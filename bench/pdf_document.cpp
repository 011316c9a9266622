// A 10-page PDF at 300 dpi (5 black-and-white pages as CCITT Group 4, 5
// colour pages as JPEG quality 90) made from bitmaps by TluPDF, side by side
// in one run with:
// - ImageMagick's convert from PNM files. convert applies one compression
//   to every page of a PDF, so this run uses JPEG quality 90 for all pages;
// - ImageMagick's convert from a Group 4 TIFF and a JPEG file per page
//   (it decodes them and writes each page with its file's compression, the
//   Group 4 / JPEG choice we make); this takes minutes under Debian's
//   ImageMagick resource limits, so it runs only when asked for with
//   --benchmark_filter=G4AndJpeg;
// - img2pdf given the same already-compressed files (it only wraps them).
//
// The peers run as processes; their times are wall-clock times of the
// whole command. Debian's ImageMagick security policy forbids the PDF
// coder; the benchmark then reports an error for those peers.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "formats/jpeg/jpeg_image_extra.h"
#include "formats/pdf/lu_pdf.h"
#include "page_fixtures.h"

namespace {

using pagewell::TluBitmap;
using pagewell::TMemoryStream;

constexpr int kPagesOfEachKind = 5;

const TluBitmap& ColourPage() {
  static const TluBitmap page = pagewell::bench::ScannedColourPage();
  return page;
}

const TluBitmap& BilevelPage() {
  static const TluBitmap page = [] {
    TluBitmap p = pagewell::bench::ScannedColourPage();
    p.SetColorMode(pagewell::cmBlackWhite);
    return p;
  }();
  return page;
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

void WritePnm(const std::string& path, const TluBitmap& page) {
  std::ofstream out(path, std::ios::binary);
  const bool bilevel = page.BitsPerPixel() == 1;
  out << (bilevel ? "P4\n" : "P6\n") << page.Width() << " " << page.Height() << "\n" << (bilevel ? "" : "255\n");
  std::vector<std::uint8_t> row(static_cast<std::size_t>(page.Width()) * 3);
  for (int y = 0; y < page.Height(); ++y) {
    if (bilevel) {
      // PBM: 1 is black, the inverse of index 1 = white.
      for (std::size_t i = 0; i < page.RowBytes(); ++i) row[i] = static_cast<std::uint8_t>(~page.ScanLine(y)[i]);
      out.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(page.RowBytes()));
    } else {
      page.DecodeRowBGR(y, row.data());
      for (std::size_t x = 0; x < row.size(); x += 3) std::swap(row[x], row[x + 2]);
      out.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(row.size()));
    }
  }
}

// The input files of the peers, made once.
struct TPeerInput {
  std::filesystem::path Dir;
  std::string PnmPages;    // alternately bilevel and colour
  std::string ReadyPages;  // Group 4 TIFF and JPEG files
  TPeerInput() {
    Dir = std::filesystem::temp_directory_path() / "pagewell-bench-pdf";
    std::filesystem::create_directories(Dir);
    const std::string bilevel = (Dir / "bilevel.pbm").string(), colour = (Dir / "colour.ppm").string();
    const std::string tiff = (Dir / "bilevel.tif").string(), jpeg = (Dir / "colour.jpg").string();
    WritePnm(bilevel, BilevelPage());
    WritePnm(colour, ColourPage());
    TMemoryStream stream;
    pagewell::SaveBitmapAsJpeg(ColourPage(), 90, stream);
    WriteBytes(jpeg, stream.Bytes());
    std::system(("convert " + bilevel + " -compress Group4 " + tiff).c_str());
    for (int i = 0; i < kPagesOfEachKind; ++i) {
      PnmPages += " " + bilevel + " " + colour;
      ReadyPages += " " + tiff + " " + jpeg;
    }
  }
};

const TPeerInput& PeerInput() {
  static const TPeerInput input;
  return input;
}

void Pagewell_TluPDF(benchmark::State& state) {
  std::size_t size = 0;
  for (auto _ : state) {
    pagewell::TluPDF pdf;
    for (int i = 0; i < kPagesOfEachKind; ++i) {
      pdf.AddBilevelPage(BilevelPage(), 0);
      pdf.AddJpegPage(ColourPage(), 0, 90);
    }
    TMemoryStream stream;
    pdf.SaveToStream(stream);
    size = stream.Size();
    benchmark::DoNotOptimize(stream.Data());
  }
  state.counters["bytes"] = static_cast<double>(size);
}

void RunPeer(benchmark::State& state, const std::string& command, const std::string& output) {
  for (auto _ : state) {
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
      state.SkipWithError(("failed: " + command.substr(0, 40)).c_str());
      break;
    }
  }
  std::error_code ignored;
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(output, ignored));
}

// Set from the command line in main.
bool requestedByName = false;
bool RequestedByName() { return requestedByName; }

void ImageMagick_ConvertPnmAllJpeg(benchmark::State& state) {
  const auto& input = PeerInput();
  const std::string output = (input.Dir / "convert-pnm.pdf").string();
  RunPeer(state, "convert -density 300 -units PixelsPerInch" + input.PnmPages + " -compress JPEG -quality 90 " + output,
          output);
}

void ImageMagick_ConvertG4AndJpegFiles(benchmark::State& state) {
  if (!RequestedByName()) {
    state.SkipWithError("slow: run with --benchmark_filter=G4AndJpeg");
    for (auto _ : state) {
    }
    return;
  }
  const auto& input = PeerInput();
  const std::string output = (input.Dir / "convert-ready.pdf").string();
  RunPeer(state, "convert -density 300 -units PixelsPerInch" + input.ReadyPages + " -quality 90 " + output, output);
}

void Img2pdf_Ready(benchmark::State& state) {
  const auto& input = PeerInput();
  const std::string output = (input.Dir / "img2pdf.pdf").string();
  RunPeer(state, "img2pdf" + input.ReadyPages + " -o " + output, output);
}

}  // namespace

BENCHMARK(Pagewell_TluPDF)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5);
BENCHMARK(ImageMagick_ConvertPnmAllJpeg)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5);
BENCHMARK(ImageMagick_ConvertG4AndJpegFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(Img2pdf_Ready)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5);
int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]).find("G4AndJpeg") != std::string::npos) requestedByName = true;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
