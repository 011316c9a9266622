#pragma once
// How a PNG's filtered image data becomes its zlib stream. Scanned pages
// come in two kinds that want different compressors: clean pages (flat
// paper, repeated strokes) are long matches, which libdeflate finds fast;
// noisy pages (a scanner's sensor noise over paper and photographs) have
// almost no matches worth finding, and there a coder of runs and literals
// alone (zlib's run-length strategy) is both smaller and several times
// faster. Which kind a page is, is read from a sample of its filtered rows:
// how many residues are zero (flat paper leaves zeros, noise does not),
// and where that does not tell, which method compresses the sample smaller.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pagewell {

enum class TPngDeflate {
  Matches,      // libdeflate, for rows of whole-byte samples
  QuickMatches, // libdeflate at a lower level, for packed and palette rows
  RunsOnly,     // zlib's runs-and-literals strategy, for noisy pages
};

// The method for an image whose rows are `rowSize` bytes each, filter byte
// included; `packed` for packed or palette rows, which are not filtered.
TPngDeflate ChoosePngDeflate(const std::vector<std::uint8_t>& filtered, std::size_t rowSize, bool packed);

// One zlib stream of `raw`. Throws EInvalidGraphic when compression fails.
std::vector<std::uint8_t> PngDeflate(const std::uint8_t* raw, std::size_t size, TPngDeflate method);

}  // namespace pagewell
