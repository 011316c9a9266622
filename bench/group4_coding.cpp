// CCITT Group 4 coding of a 300 dpi letter text page (2550 × 3300, 1 bit),
// side by side with libtiff in one run: encoding one strip
// (TIFFWriteEncodedStrip) and decoding it (TIFFReadEncodedStrip). Both
// coders get the same rows and keep them in memory. Before timing, the
// coded bytes of both are compared byte for byte, and so are the decoded
// rows; a difference stops the benchmark with an error instead of a figure.
#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "formats/tiff/ccitt_decoder.h"
#include "formats/tiff/ccitt_group4_encoder.h"
#include "text_page.h"

namespace {

using pagewell::TluBitmap;

const TluBitmap& Page() {
  static const TluBitmap page = pagewell::bench::TextPage(pagewell::TPixelFormat::pf1bit, 1.5);
  return page;
}

std::size_t RowBytes() { return (static_cast<std::size_t>(Page().Width()) + 7) / 8; }

// The page's rows packed without padding, 1 = black (WhiteIsZero), the
// layout libtiff takes and gives.
const std::vector<std::uint8_t>& PackedRows() {
  static const std::vector<std::uint8_t> rows = [] {
    const TluBitmap& page = Page();
    const bool indexZeroIsBlack = page.Palette()[0] == pagewell::clBlack;
    std::vector<std::uint8_t> packed(RowBytes() * page.Height());
    for (int y = 0; y < page.Height(); ++y) {
      const std::uint8_t* in = page.ScanLine(y);
      std::uint8_t* out = &packed[y * RowBytes()];
      for (std::size_t i = 0; i < RowBytes(); ++i) out[i] = indexZeroIsBlack ? ~in[i] : in[i];
      if (page.Width() % 8) out[RowBytes() - 1] &= static_cast<std::uint8_t>(0xFF << (8 - page.Width() % 8));
    }
    return packed;
  }();
  return rows;
}

// A TIFF file in memory for libtiff's client I/O.
struct TMemoryFile {
  std::vector<std::uint8_t> bytes;
  toff_t position = 0;
};

tsize_t MemRead(thandle_t h, tdata_t data, tsize_t size) {
  auto* f = static_cast<TMemoryFile*>(h);
  const toff_t available = f->position < f->bytes.size() ? f->bytes.size() - f->position : 0;
  const tsize_t n = static_cast<tsize_t>(std::min<toff_t>(available, static_cast<toff_t>(size)));
  std::memcpy(data, f->bytes.data() + f->position, static_cast<std::size_t>(n));
  f->position += static_cast<toff_t>(n);
  return n;
}

tsize_t MemWrite(thandle_t h, tdata_t data, tsize_t size) {
  auto* f = static_cast<TMemoryFile*>(h);
  const std::size_t end = static_cast<std::size_t>(f->position) + static_cast<std::size_t>(size);
  if (end > f->bytes.size()) f->bytes.resize(end);
  std::memcpy(f->bytes.data() + f->position, data, static_cast<std::size_t>(size));
  f->position = end;
  return size;
}

toff_t MemSeek(thandle_t h, toff_t offset, int whence) {
  auto* f = static_cast<TMemoryFile*>(h);
  const toff_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? f->position : f->bytes.size();
  f->position = base + offset;
  return f->position;
}

int MemClose(thandle_t) { return 0; }
toff_t MemSize(thandle_t h) { return static_cast<TMemoryFile*>(h)->bytes.size(); }
int MemMap(thandle_t, tdata_t*, toff_t*) { return 0; }
void MemUnmap(thandle_t, tdata_t, toff_t) {}

TIFF* OpenMemory(TMemoryFile& file, const char* mode) {
  return TIFFClientOpen("page", mode, &file, MemRead, MemWrite, MemSeek, MemClose, MemSize, MemMap, MemUnmap);
}

void SetGroup4Fields(TIFF* tif, int width, int height) {
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
  TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, height);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
}

// libtiff's coded strip and the whole file that holds it.
struct TLibtiffEncoded {
  std::vector<std::uint8_t> strip;
  TMemoryFile file;
};

TLibtiffEncoded LibtiffEncode() {
  TLibtiffEncoded result;
  TIFF* tif = OpenMemory(result.file, "w");
  SetGroup4Fields(tif, Page().Width(), Page().Height());
  std::vector<std::uint8_t> rows = PackedRows();  // libtiff may code in place
  TIFFWriteEncodedStrip(tif, 0, rows.data(), static_cast<tmsize_t>(rows.size()));
  TIFFClose(tif);
  result.file.position = 0;
  TIFF* reader = OpenMemory(result.file, "r");
  result.strip.resize(static_cast<std::size_t>(TIFFRawStripSize(reader, 0)));
  TIFFReadRawStrip(reader, 0, result.strip.data(), static_cast<tmsize_t>(result.strip.size()));
  TIFFClose(reader);
  result.file.position = 0;
  return result;
}

const TLibtiffEncoded& LibtiffReference() {
  static const TLibtiffEncoded encoded = LibtiffEncode();
  return encoded;
}

std::vector<std::uint8_t> PagewellDecode(const std::vector<std::uint8_t>& coded) {
  std::vector<std::uint8_t> rows(RowBytes() * Page().Height());
  pagewell::TCCITTDecoder decoder(pagewell::TCCITTScheme::Group4, 0, Page().Width());
  decoder.DecodeStrip(coded.data(), coded.size(), Page().Height(), rows.data(), RowBytes());
  return rows;
}

// Empty when both coders agree; otherwise what differs.
std::string Disagreement() {
  const std::vector<std::uint8_t> ours = pagewell::EncodeGroup4(Page());
  const std::vector<std::uint8_t>& theirs = LibtiffReference().strip;
  if (ours != theirs) {
    const auto at = std::mismatch(ours.begin(), ours.end(), theirs.begin(), theirs.end());
    return "coded rows differ from libtiff's at byte " + std::to_string(at.first - ours.begin()) + " (" +
           std::to_string(ours.size()) + " bytes against " + std::to_string(theirs.size()) + ")";
  }
  if (PagewellDecode(theirs) != PackedRows()) return "decoded rows differ from the page";
  return "";
}

bool Agree(benchmark::State& state) {
  static const std::string problem = Disagreement();
  if (!problem.empty()) state.SkipWithError(problem.c_str());
  return problem.empty();
}

void Pagewell_Group4Encode(benchmark::State& state) {
  if (!Agree(state)) return;
  std::size_t size = 0;
  for (auto _ : state) {
    const std::vector<std::uint8_t> coded = pagewell::EncodeGroup4(Page());
    size = coded.size();
    benchmark::DoNotOptimize(coded.data());
  }
  state.counters["bytes"] = static_cast<double>(size);
}

// One strip into a fresh in-memory file each time, as a writer of one page does.
void Libtiff_Group4Encode(benchmark::State& state) {
  if (!Agree(state)) return;
  std::vector<std::uint8_t> rows = PackedRows();
  std::size_t size = 0;
  for (auto _ : state) {
    TMemoryFile file;
    TIFF* tif = OpenMemory(file, "w");
    SetGroup4Fields(tif, Page().Width(), Page().Height());
    size = static_cast<std::size_t>(TIFFWriteEncodedStrip(tif, 0, rows.data(), static_cast<tmsize_t>(rows.size())));
    TIFFClose(tif);
    benchmark::DoNotOptimize(file.bytes.data());
  }
  state.counters["bytes"] = static_cast<double>(LibtiffReference().strip.size());
  benchmark::DoNotOptimize(size);
}

void Pagewell_Group4Decode(benchmark::State& state) {
  if (!Agree(state)) return;
  const std::vector<std::uint8_t>& coded = LibtiffReference().strip;
  std::vector<std::uint8_t> rows(RowBytes() * Page().Height());
  for (auto _ : state) {
    pagewell::TCCITTDecoder decoder(pagewell::TCCITTScheme::Group4, 0, Page().Width());
    decoder.DecodeStrip(coded.data(), coded.size(), Page().Height(), rows.data(), RowBytes());
    benchmark::DoNotOptimize(rows.data());
  }
}

void Libtiff_Group4Decode(benchmark::State& state) {
  if (!Agree(state)) return;
  TMemoryFile file = LibtiffReference().file;
  TIFF* tif = OpenMemory(file, "r");
  std::vector<std::uint8_t> rows(RowBytes() * Page().Height());
  for (auto _ : state) {
    TIFFReadEncodedStrip(tif, 0, rows.data(), static_cast<tmsize_t>(rows.size()));
    benchmark::DoNotOptimize(rows.data());
  }
  TIFFClose(tif);
}

BENCHMARK(Pagewell_Group4Encode)->Unit(benchmark::kMillisecond);
BENCHMARK(Libtiff_Group4Encode)->Unit(benchmark::kMillisecond);
BENCHMARK(Pagewell_Group4Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(Libtiff_Group4Decode)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
