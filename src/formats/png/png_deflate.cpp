#include "formats/png/png_deflate.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <memory>

#include "imaging/errors.h"

namespace pagewell {
namespace {

// libdeflate at level 7 leaves clean pages smaller than zlib's default
// level does, in well under its time; higher levels cost more time than
// they save bytes. Packed black-and-white rows are smaller than zlib's
// already at level 4, in half the time.
constexpr int kMatchesLevel = 7;
constexpr int kQuickMatchesLevel = 4;
// Shares of zero residues in the sample: below the first a page is noisy,
// above the second it is clean; between them a trial decides.
constexpr double kNoisyZeros = 0.2;
constexpr double kCleanZeros = 0.5;
// zlib keeps this many literals before it ends a block and codes them with
// a table of their own: the largest count, so each table pays for itself.
constexpr int kRunsMemoryLevel = 9;
// The sample: this many bands of rows spread over the page.
constexpr std::size_t kSampleBands = 4;
constexpr std::size_t kRowsPerBand = 32;

std::vector<std::uint8_t> WithMatches(const std::uint8_t* raw, std::size_t size, int level) {
  const std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> compressor(
      libdeflate_alloc_compressor(level), &libdeflate_free_compressor);
  if (!compressor) throw EInvalidGraphic("PNG compression failed");
  std::vector<std::uint8_t> out(libdeflate_zlib_compress_bound(compressor.get(), size));
  const std::size_t written = libdeflate_zlib_compress(compressor.get(), raw, size, out.data(), out.size());
  if (written == 0) throw EInvalidGraphic("PNG compression failed");
  out.resize(written);
  return out;
}

std::vector<std::uint8_t> WithRunsOnly(const std::uint8_t* raw, std::size_t size) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, MAX_WBITS, kRunsMemoryLevel, Z_RLE) != Z_OK)
    throw EInvalidGraphic("PNG compression failed");
  std::vector<std::uint8_t> out(deflateBound(&stream, static_cast<uLong>(size)));
  // zlib counts in 32-bit units: a page larger than that goes in pieces.
  constexpr std::size_t kPiece = 1u << 30;
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(std::min(out.size(), kPiece));
  std::size_t offset = 0;
  int rc = Z_OK;
  while (rc == Z_OK) {
    const std::size_t piece = std::min(size - offset, kPiece);
    stream.next_in = const_cast<Bytef*>(raw + offset);
    stream.avail_in = static_cast<uInt>(piece);
    offset += piece;
    const int flush = offset == size ? Z_FINISH : Z_NO_FLUSH;
    do {
      if (stream.avail_out == 0) {
        const std::size_t done = stream.total_out;
        stream.next_out = out.data() + done;
        stream.avail_out = static_cast<uInt>(std::min(out.size() - done, kPiece));
      }
      rc = deflate(&stream, flush);
    } while (rc == Z_OK && (stream.avail_in > 0 || (flush == Z_FINISH && stream.avail_out == 0)));
    if (flush == Z_FINISH) break;
  }
  const std::size_t written = stream.total_out;
  deflateEnd(&stream);
  if (rc != Z_STREAM_END) throw EInvalidGraphic("PNG compression failed");
  out.resize(written);
  return out;
}

// Bands of rows spread over the page, where its paper, text and pictures are.
std::vector<std::uint8_t> SampleRows(const std::vector<std::uint8_t>& filtered, std::size_t rowSize, std::size_t rows) {
  std::vector<std::uint8_t> sample;
  sample.reserve(kSampleBands * kRowsPerBand * rowSize);
  for (std::size_t band = 0; band < kSampleBands; ++band) {
    const std::size_t first = (2 * band + 1) * rows / (2 * kSampleBands) - kRowsPerBand / 2;
    const std::uint8_t* start = filtered.data() + first * rowSize;
    sample.insert(sample.end(), start, start + kRowsPerBand * rowSize);
  }
  return sample;
}

double ZeroShare(const std::vector<std::uint8_t>& sample) {
  if (sample.empty()) return 1;
  return static_cast<double>(std::count(sample.begin(), sample.end(), std::uint8_t{0})) / sample.size();
}

}  // namespace

TPngDeflate ChoosePngDeflate(const std::vector<std::uint8_t>& filtered, std::size_t rowSize, bool packed) {
  if (packed) return TPngDeflate::QuickMatches;
  const std::size_t rows = rowSize ? filtered.size() / rowSize : 0;
  if (rows < kSampleBands * kRowsPerBand * 2) return TPngDeflate::Matches;  // small images: not worth a look
  const std::vector<std::uint8_t> sample = SampleRows(filtered, rowSize, rows);
  const double zeros = ZeroShare(sample);
  if (zeros < kNoisyZeros) return TPngDeflate::RunsOnly;
  if (zeros > kCleanZeros) return TPngDeflate::Matches;
  const std::size_t matches = WithMatches(sample.data(), sample.size(), kMatchesLevel).size();
  const std::size_t runs = WithRunsOnly(sample.data(), sample.size()).size();
  return runs < matches ? TPngDeflate::RunsOnly : TPngDeflate::Matches;
}

std::vector<std::uint8_t> PngDeflate(const std::uint8_t* raw, std::size_t size, TPngDeflate method) {
  switch (method) {
    case TPngDeflate::RunsOnly: return WithRunsOnly(raw, size);
    case TPngDeflate::QuickMatches: return WithMatches(raw, size, kQuickMatchesLevel);
    case TPngDeflate::Matches: break;
  }
  return WithMatches(raw, size, kMatchesLevel);
}

}  // namespace pagewell
